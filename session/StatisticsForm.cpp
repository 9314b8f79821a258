#include "session/StatisticsForm.h"

#include <QBuffer>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "base/Controls.h"
#include "base/FileDialogs.h"
#include "base/MessageDlg.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "base/core/FileIO.h"
#include "session/core/CsvExport.h"
#include "session/core/DetailLog.h"

namespace proctorium {

namespace {

QString Figure(const std::optional<double>& v, int decimals = 2) {
  return v ? QString::number(*v, 'f', decimals) : QStringLiteral("\u2013");
}

QString SeriesName(const TSeriesStatistics& s, bool older) {
  QString name = QStringLiteral("%1 \u2013 %2 test%3, %4 to %5")
                     .arg(QString::fromStdString(s.SetFile))
                     .arg(s.Takers)
                     .arg(s.Takers == 1 ? "" : "s")
                     .arg(QString::fromStdString(s.FirstDate.substr(0, 10)))
                     .arg(QString::fromStdString(s.LastDate.substr(0, 10)));
  if (older) name += QStringLiteral(" (earlier version of the questions)");
  return name;
}

}  // namespace

bool SaveExport(QWidget* parent, const QString& caption, const QString& suggestedName, const QString& filter,
                const QString& suffix, const std::string& bytes) {
  const QString path = AskSaveFileName(parent, caption, QDir::home().filePath(suggestedName), filter, suffix);
  if (path.isEmpty()) return false;
  try {
    WriteFileAtomic(path.toStdString(), bytes);
  } catch (const std::exception& e) {
    MessageDlg(QString::fromStdString(e.what()), TMsgDlgType::Warning, mbOK);
    return false;
  }
  return true;
}

TStatisticsForm::TStatisticsForm(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("StatisticsForm"));
  setWindowTitle(QStringLiteral("Question Statistics"));
  setSizeGripEnabled(true);
  cbSeries = new QComboBox(this);
  cbSeries->setObjectName(QStringLiteral("cbSeries"));
  cbSeries->setToolTip(QStringLiteral("Question set; a set whose questions were changed starts a new series"));
  lbSummary = new QLabel(this);
  lbSummary->setObjectName(QStringLiteral("lbSummary"));
  lbSummary->setWordWrap(true);
  Histogram = new THistogram(this);
  Histogram->setToolTip(QStringLiteral("How many tests reached each score"));
  tblQuestions = new QTableWidget(this);
  tblQuestions->setObjectName(QStringLiteral("tblQuestions"));
  tblQuestions->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Tab leaves the table for the buttons; the arrows move between cells.
  tblQuestions->setTabKeyNavigation(false);
  tblQuestions->setAccessibleName(QStringLiteral("Question statistics"));
  cbSeries->setAccessibleName(QStringLiteral("Question set"));
  tblQuestions->verticalHeader()->hide();
  QStringList headers{"Question", "Attempts", "Facility", "Discrimination", "Point-biserial", "Answer"};
  for (char c = 'A'; c <= 'H'; ++c) headers << QString(QChar(c));
  headers << "None"
          << "Flags";
  tblQuestions->setColumnCount(headers.size());
  tblQuestions->setHorizontalHeaderLabels(headers);
  tblQuestions->horizontalHeader()->setStretchLastSection(true);
  tblQuestions->setToolTip(
      QStringLiteral("Facility: share answered correctly. Discrimination: share correct in the best 27% of takers "
                     "minus that in the weakest 27%. A to H: how often each answer was ticked."));
  btnExportStatistics = MakeButton(this, "btnExportStatistics", QStringLiteral("&Export CSV"),
                                   QStringLiteral("Save these statistics as a CSV file for a spreadsheet"), {});
  btnSaveHistogram = MakeButton(this, "btnSaveHistogram", QStringLiteral("Save C&hart"),
                                QStringLiteral("Save the score chart as a PNG picture"), {});
  btnClose = MakeButton(this, "btnClose", QStringLiteral("&Close"), QStringLiteral("Close this window"), {});

  auto* top = new QVBoxLayout(this);
  top->addWidget(cbSeries);
  auto* middle = new QHBoxLayout;
  middle->addWidget(Histogram, 1);
  middle->addWidget(lbSummary, 1);
  top->addLayout(middle);
  top->addWidget(tblQuestions, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnExportStatistics);
  buttons->addWidget(btnSaveHistogram);
  buttons->addStretch(1);
  buttons->addWidget(btnClose);
  top->addLayout(buttons);

  connect(cbSeries, &QComboBox::currentIndexChanged, this, [this](int i) { ShowSeries(i); });
  connect(btnExportStatistics, &QPushButton::clicked, this, [this] { btnExportStatisticsClick(); });
  connect(btnSaveHistogram, &QPushButton::clicked, this, [this] { btnSaveHistogramClick(); });
  connect(btnClose, &QPushButton::clicked, this, [this] { close(); });
  resize(820, 560);
}

void TStatisticsForm::FormShow() {
  SetFontSize(Settings().FontSize());
  SetShowHint(Settings().ShowHints());
  LoadDetailLog();
  // The window grows with the font, so the chart, the summary and several
  // rows of the table stay readable.
  OpenGrownForFont(this, QSize(820, 560).expandedTo(minimumSizeHint()));
}

void TStatisticsForm::LoadDetailLog() {
  std::string bytes;
  const std::string path = ProgramPath(DetailLogRelative);
  if (FileExists(path) && !ReadWholeFile(path, bytes))
    MessageDlg(QStringLiteral("Cannot open file ") + QString::fromStdString(path), TMsgDlgType::Warning, mbOK);
  Series_ = ComputeStatistics(ReadDetailLog(bytes), Options_);
  const QSignalBlocker block(cbSeries);
  cbSeries->clear();
  // A set file seen again further down the list is an older version of it.
  std::vector<std::string> named;
  for (const TSeriesStatistics& s : Series_) {
    QString lower = QString::fromStdString(s.SetFile).toLower();
    const bool older = std::find(named.begin(), named.end(), lower.toStdString()) != named.end();
    named.push_back(lower.toStdString());
    cbSeries->addItem(SeriesName(s, older));
  }
  ShowSeries(Series_.empty() ? -1 : 0);
}

const TSeriesStatistics* TStatisticsForm::Selected() const {
  const int i = cbSeries->currentIndex();
  return i >= 0 && i < static_cast<int>(Series_.size()) ? &Series_[i] : nullptr;
}

void TStatisticsForm::ShowSeries(int index) {
  if (index >= 0 && cbSeries->currentIndex() != index) cbSeries->setCurrentIndex(index);
  const TSeriesStatistics* s = Selected();
  Histogram->SetSeries(s);
  btnExportStatistics->setEnabled(s != nullptr);
  btnSaveHistogram->setEnabled(s != nullptr);
  tblQuestions->setRowCount(0);
  if (!s) {
    lbSummary->setText(
        QStringLiteral("No answers have been saved yet. Each Save Results adds the answers of "
                       "the test, and the statistics appear here."));
    return;
  }
  const QString kr = s->Kr20
                         ? QString::number(*s->Kr20, 'f', 2)
                         : QStringLiteral("not shown (%1)").arg(QString::fromStdString(ReliabilityNote(*s, Options_)));
  lbSummary->setText(QStringLiteral("Tests: %1 (%2 saw every question)\nQuestions in the set: %3\n"
                                    "Mean score: %4%\nStandard deviation: %5\nReliability (KR-20): %6")
                         .arg(s->Takers)
                         .arg(s->CompleteTakers)
                         .arg(s->QuestionsInSet)
                         .arg(s->MeanPercent, 0, 'f', 1)
                         .arg(s->SdPercent, 0, 'f', 1)
                         .arg(kr));
  tblQuestions->setRowCount(static_cast<int>(s->Items.size()));
  for (int r = 0; r < static_cast<int>(s->Items.size()); ++r) {
    const TItemStatistics& item = s->Items[r];
    QStringList cells{QString::number(item.Question), QString::number(item.Attempts),
                      Figure(item.Facility),          Figure(item.Discrimination),
                      Figure(item.PointBiserial),     QString::fromStdString(MaskLetters(item.CorrectAnswer))};
    for (int a = 0; a < AnswerCount; ++a)
      cells << ((item.Offered & (1u << a)) || item.Chosen[a] ? QString::number(item.Chosen[a]) : QString());
    cells << (item.Attempts ? QString::number(item.Blank) : QString()) << QString::fromStdString(FlagText(item));
    const bool flagged = item.NegativeDiscrimination || item.UnchosenDistractors;
    for (int c = 0; c < cells.size(); ++c) {
      auto* cell = new QTableWidgetItem(cells[c]);
      if (c < cells.size() - 1) cell->setTextAlignment(Qt::AlignCenter);
      if (flagged) cell->setBackground(QColor(255, 225, 215));
      tblQuestions->setItem(r, c, cell);
    }
  }
  tblQuestions->resizeColumnsToContents();
}

void TStatisticsForm::btnExportStatisticsClick() {
  if (const TSeriesStatistics* s = Selected())
    SaveExport(this, QStringLiteral("Export statistics"),
               QString::fromStdString(s->SetFile).section('.', 0, 0) + QStringLiteral(" statistics.csv"),
               QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"), StatisticsCsv(*s, Options_));
}

void TStatisticsForm::btnSaveHistogramClick() {
  const TSeriesStatistics* s = Selected();
  if (!s) return;
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  Histogram->Render(QSize(800, 450)).save(&buffer, "PNG");
  SaveExport(this, QStringLiteral("Save chart"),
             QString::fromStdString(s->SetFile).section('.', 0, 0) + QStringLiteral(" scores.png"),
             QStringLiteral("PNG pictures (*.png)"), QStringLiteral("png"), png.toStdString());
}

}  // namespace proctorium
