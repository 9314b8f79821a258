#pragma once
// The results window: shows the results log as it is on disk when it is
// opened. Saving adds the new lines to the end of the log under a lock, so
// seats sharing the program folder never overwrite each other's results.
// Its Class page shows the gradebook: who took which set and how it went.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTabWidget>
#include <QTableView>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "base/Form.h"
#include "base/core/FileLock.h"
#include "candidates/core/SaveJournal.h"
#include "session/ClassModel.h"
#include "session/LogView.h"
#include "session/core/CandidateReport.h"

namespace proctorium {

class TResultsForm : public TForm {
  Q_OBJECT
 public:
  explicit TResultsForm(QWidget* parent = nullptr);

  QTabWidget* tabsResults;
  TLogView* Memo1;
  // The Class page.
  QLineEdit* edFilterSet;
  QLineEdit* edFilterCandidate;
  QTableView* tblClass;
  // Sorting without the mouse: the same as a click on a column's title.
  QComboBox* cbSortClass;
  QCheckBox* chkSortDescending;
  TClassModel* ClassModel;
  QLabel* lbClass;
  QPushButton* btnExportClass;
  QPushButton* btnPrintReport;
  QPushButton* btnReport;
  QPushButton* btnClear;
  QPushButton* btnClose;
  QPushButton* btnStatistics;
  QPushButton* btnExport;

  std::string ResultsFileName;
  // How long a save or clear waits for another seat's lock; negative waits
  // as long as it takes, for test seats on a machine too busy to promise
  // the user-facing limit.
  int LockWaitMs = SharedFileLockTimeoutMs;
  // How much of the log's end is read before the window is shown.
  std::size_t LogTailBytes = 512 * 1024;

  // The memo's lines; an empty memo has none.
  QStringList Lines() const;
  // Appends lines to the end of the log (with any a failed save kept) and
  // to the memo when the window is open. Lines that cannot be saved stay
  // pending, are shown with the log, and go first on the next save.
  // alsoUnderLock runs while the log's lock is held, after the lines were
  // written; what it throws is reported once the lock is released.
  void AddLines(const QStringList& lines, const std::function<void()>& alsoUnderLock = {});
  // Saves one test: its lines for the results log and what goes with them
  // into the other logs, all as one unit through the save journal, so a
  // kill leaves the test in every log or in none. A save that fails before
  // anything is on disk stays pending, with all its parts, and goes first
  // next time.
  void SaveTest(const QStringList& lines, std::vector<TLogAddition> others);
  // Saves the pending tests in order under the results log's lock, then
  // runs alsoUnderLock; reports a failure once the lock is released.
  void SavePending(const std::function<void()>& alsoUnderLock = {});
  // Tests whose save failed and that wait for the next one.
  int PendingCount() const { return static_cast<int>(Pending_.size()); }
  // Fills the memo from the log on disk and the pending lines.
  void LoadLog();

  void btnClearClick();
  // Opens the question statistics of the saved tests.
  void btnStatisticsClick();
  // Saves the results log as CSV.
  void btnExportClick();
  void btnCloseClick() { close(); }

  // Reads the gradebook into the Class page.
  void LoadClass();
  // The answers of the test in a row of the Class page, question by question.
  void ShowAnswers(int row);
  // Saves the rows shown as CSV.
  void btnExportClassClick();
  // A report per selected test, or with none selected one per candidate and
  // set (the latest attempts among the rows shown): as PDF or on paper.
  void btnReportClick();
  void btnPrintReportClick();
  // The reports btnReportClick makes, one per test; empty with no rows.
  std::vector<std::vector<TReportLine>> Reports() const;
  void FormResize();

 protected:
  void FormShow() override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void FormCreate();
  QWidget* MakeClassPage();
  // Completes a save a kill cut short, so the logs agree when read.
  void CompleteInterrupted();
  struct TPendingSave {
    std::vector<std::string> Lines;  // Windows-1252, for the results log
    std::vector<TLogAddition> Others;
  };
  std::vector<TPendingSave> Pending_;
  bool Sized_ = false;
};

extern TResultsForm* ResultsForm;

}  // namespace proctorium
