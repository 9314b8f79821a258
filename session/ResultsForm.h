#pragma once
// The results window: the results log, and the working copy of it. The
// memo is filled from the file once, at start-up; every change of the memo
// writes the whole file again.

#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <string>

#include "app/Form.h"

namespace proctorium {

class TResultsForm : public TForm {
  Q_OBJECT
 public:
  explicit TResultsForm(QWidget* parent = nullptr);

  QPlainTextEdit* Memo1;
  QPushButton* btnClear;
  QPushButton* btnClose;
  QPushButton* btnStatistics;
  QPushButton* btnExport;

  std::string ResultsFileName;
  bool LoadingFile = false;

  // The memo's lines; an empty memo has none.
  QStringList Lines() const;
  // Appends lines to the memo and writes the file once for all of them.
  void AddLines(const QStringList& lines);

  void Memo1Change();
  void btnClearClick();
  // Opens the question statistics of the saved tests.
  void btnStatisticsClick();
  // Saves the results log as CSV.
  void btnExportClick();
  void btnCloseClick() { close(); }
  void FormResize();

 protected:
  void FormShow() override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void FormCreate();
  bool Batching_ = false;
};

extern TResultsForm* ResultsForm;

}  // namespace proctorium
