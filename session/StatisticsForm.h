#pragma once
// The question statistics of the saved tests, one series (set file and
// version of its questions) at a time, with the exports for a spreadsheet.

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <vector>

#include "base/Form.h"
#include "session/Histogram.h"
#include "session/core/ItemStatistics.h"

namespace proctorium {

class TStatisticsForm : public TForm {
  Q_OBJECT
 public:
  explicit TStatisticsForm(QWidget* parent = nullptr);
  // Room for the chart, the summary and every column of the table.
  static constexpr QSize DefaultSize{1120, 680};

  QComboBox* cbSeries;
  // Which tests count; both off by default.
  QCheckBox* chkDateRange;
  QDateEdit* dtFrom;
  QDateEdit* dtTo;
  QCheckBox* chkLatestAttempt;
  QLabel* lbSkipped;  // damaged lines of the log, hidden when none
  QLabel* lbSummary;
  THistogram* Histogram;
  QTableWidget* tblQuestions;
  QPushButton* btnExportStatistics;
  QPushButton* btnSaveHistogram;
  QPushButton* btnClose;

  // Reads the detail log afresh, with the filter the controls set.
  void LoadDetailLog();
  TStatisticsFilter Filter() const;
  const TSkippedLines& Skipped() const { return Skipped_; }
  void ShowSeries(int index);
  void btnExportStatisticsClick();
  void btnSaveHistogramClick();

  const std::vector<TSeriesStatistics>& Series() const { return Series_; }

 protected:
  void FormShow() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  const TSeriesStatistics* Selected() const;
  // The Flags column takes the room left beside the others, and at least
  // its text; a scroll bar appears only when even that does not fit.
  void FitFlagsColumn();
  std::vector<TSeriesStatistics> Series_;
  TSkippedLines Skipped_;
  bool DatesSet_ = false;
  TStatisticsOptions Options_;
};

// Writes bytes to a file the user chose; failures are reported to the user.
bool SaveExport(QWidget* parent, const QString& caption, const QString& suggestedName, const QString& filter,
                const QString& suffix, const std::string& bytes);

}  // namespace proctorium
