#pragma once
// The question statistics of the saved tests, one series (set file and
// version of its questions) at a time, with the exports for a spreadsheet.

#include <QComboBox>
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

  QComboBox* cbSeries;
  QLabel* lbSummary;
  THistogram* Histogram;
  QTableWidget* tblQuestions;
  QPushButton* btnExportStatistics;
  QPushButton* btnSaveHistogram;
  QPushButton* btnClose;

  // Reads the detail log afresh.
  void LoadDetailLog();
  void ShowSeries(int index);
  void btnExportStatisticsClick();
  void btnSaveHistogramClick();

  const std::vector<TSeriesStatistics>& Series() const { return Series_; }

 protected:
  void FormShow() override;

 private:
  const TSeriesStatistics* Selected() const;
  std::vector<TSeriesStatistics> Series_;
  TStatisticsOptions Options_;
};

// Writes bytes to a file the user chose; failures are reported to the user.
bool SaveExport(QWidget* parent, const QString& caption, const QString& suggestedName, const QString& filter,
                const QString& suffix, const std::string& bytes);

}  // namespace proctorium
