#include "session/StatisticsForm.h"

#include <QBuffer>
#include <QDir>
#include <QEvent>
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

// The count of ticks, and below it the whole per cents of the upper and
// the lower group who ticked the answer.
QString ChoiceCell(const TItemStatistics& item, int a) {
  QString text = QString::number(item.Chosen[a]);
  if (item.UpperChose && item.LowerChose)
    text += QStringLiteral("\n%1/%2")
                .arg(std::lround((*item.UpperChose)[a] * 100))
                .arg(std::lround((*item.LowerChose)[a] * 100));
  return text;
}

QString Optional(const std::optional<double>& v, int decimals) {
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
  return ExportFile(parent, caption, suggestedName, filter, suffix,
                    [&bytes](const std::string& path) { WriteOutputFile(path, bytes); });
}

TStatisticsForm::TStatisticsForm(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("StatisticsForm"));
  setWindowTitle(QStringLiteral("Question Statistics"));
  setSizeGripEnabled(true);
  cbSeries = new QComboBox(this);
  cbSeries->setObjectName(QStringLiteral("cbSeries"));
  cbSeries->setToolTip(QStringLiteral("Question set; a set whose questions were changed starts a new series"));
  chkDateRange = MakeCheck(this, "chkDateRange", QStringLiteral("Only tests &from"),
                           QStringLiteral("Count only the tests saved between these two dates (both included)"), {});
  dtFrom = new QDateEdit(this);
  dtFrom->setObjectName(QStringLiteral("dtFrom"));
  dtTo = new QDateEdit(this);
  dtTo->setObjectName(QStringLiteral("dtTo"));
  for (QDateEdit* d : {dtFrom, dtTo}) {
    d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    d->setCalendarPopup(true);
    d->setEnabled(false);
    d->setDate(QDate::currentDate());
  }
  auto* toLabel = new QLabel(QStringLiteral("to"), this);
  chkLatestAttempt =
      MakeCheck(this, "chkLatestAttempt", QStringLiteral("&Latest attempt of each candidate only"),
                QStringLiteral("A candidate who took the set again counts once, with the latest test (by candidate "
                               "ID, else by name); tests without a candidate each count"),
                {});
  lbSkipped = new QLabel(this);
  lbSkipped->setObjectName(QStringLiteral("lbSkipped"));
  lbSkipped->setWordWrap(true);
  lbSkipped->setStyleSheet(QStringLiteral("color: #a03000"));
  lbSkipped->hide();
  lbSummary = new QLabel(this);
  lbSummary->setObjectName(QStringLiteral("lbSummary"));
  lbSummary->setWordWrap(true);
  lbSummary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
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
  QStringList headers{"Question",       "Attempts",       "Facility",  "Chance",
                      "Discrimination", "Point-biserial", "Item-rest", "Answer"};
  for (char c = 'A'; c <= 'H'; ++c) headers << QString(QChar(c));
  headers << "None"
          << "Flags";
  tblQuestions->setColumnCount(headers.size());
  tblQuestions->setHorizontalHeaderLabels(headers);
  tblQuestions->horizontalHeader()->setStretchLastSection(true);
  tblQuestions->viewport()->installEventFilter(this);
  tblQuestions->setToolTip(
      QStringLiteral("Facility: share answered correctly; Chance: what blind guessing scores. Discrimination: share "
                     "correct in the best 27% of takers minus that in the weakest 27%. Item-rest: correlation with "
                     "the total of the other questions. A to H: how often each answer was ticked, and "
                     "below, the per cent of the best / the weakest 27% who ticked it."));
  btnExportStatistics = MakeButton(this, "btnExportStatistics", QStringLiteral("&Export CSV"),
                                   QStringLiteral("Save these statistics as a CSV file for a spreadsheet"), {});
  btnSaveHistogram = MakeButton(this, "btnSaveHistogram", QStringLiteral("Save C&hart"),
                                QStringLiteral("Save the score chart as a PNG picture"), {});
  btnClose = MakeButton(this, "btnClose", QStringLiteral("&Close"), QStringLiteral("Close this window"), {});

  auto* top = new QVBoxLayout(this);
  top->addWidget(cbSeries);
  auto* filter = new QHBoxLayout;
  filter->addWidget(chkDateRange);
  filter->addWidget(dtFrom);
  filter->addWidget(toLabel);
  filter->addWidget(dtTo);
  filter->addSpacing(16);
  filter->addWidget(chkLatestAttempt);
  filter->addStretch(1);
  top->addLayout(filter);
  top->addWidget(lbSkipped);
  auto* middle = new QHBoxLayout;
  middle->addWidget(Histogram, 3);
  middle->addWidget(lbSummary, 2);
  top->addLayout(middle, 2);
  top->addWidget(tblQuestions, 3);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnExportStatistics);
  buttons->addWidget(btnSaveHistogram);
  buttons->addStretch(1);
  buttons->addWidget(btnClose);
  top->addLayout(buttons);

  connect(chkDateRange, &QCheckBox::toggled, this, [this](bool on) {
    dtFrom->setEnabled(on);
    dtTo->setEnabled(on);
    LoadDetailLog();
  });
  connect(chkLatestAttempt, &QCheckBox::toggled, this, [this] { LoadDetailLog(); });
  for (QDateEdit* d : {dtFrom, dtTo})
    connect(d, &QDateEdit::dateChanged, this, [this] {
      if (chkDateRange->isChecked()) LoadDetailLog();
    });
  connect(cbSeries, &QComboBox::currentIndexChanged, this, [this](int i) { ShowSeries(i); });
  connect(btnExportStatistics, &QPushButton::clicked, this, [this] { btnExportStatisticsClick(); });
  connect(btnSaveHistogram, &QPushButton::clicked, this, [this] { btnSaveHistogramClick(); });
  connect(btnClose, &QPushButton::clicked, this, [this] { close(); });
  SetWindowHelpPage(this, "statistics.htm");
  resize(DefaultSize);
}

void TStatisticsForm::FormShow() {
  SetFontSize(Settings().FontSize());
  SetShowHint(Settings().ShowHints());
  LoadDetailLog();
  // The window grows with the font, so the chart, the summary and several
  // rows of the table stay readable.
  OpenGrownForFont(this, DefaultSize.expandedTo(minimumSizeHint()));
}

bool TStatisticsForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tblQuestions->viewport() && event->type() == QEvent::Resize) FitFlagsColumn();
  return TForm::eventFilter(watched, event);
}

void TStatisticsForm::FitFlagsColumn() {
  QHeaderView* header = tblQuestions->horizontalHeader();
  const int flags = tblQuestions->columnCount() - 1;
  int others = 0;
  for (int c = 0; c < flags; ++c) others += header->sectionSize(c);
  // The flags wrap between words, so the column needs the longest flag on
  // a line of its own.
  const QFontMetrics fm(tblQuestions->font());
  int needed = header->sectionSizeHint(flags);
  for (int r = 0; r < tblQuestions->rowCount(); ++r)
    if (const QTableWidgetItem* item = tblQuestions->item(r, flags))
      for (const QString& flag : item->text().split(QStringLiteral("; ")))
        needed = std::max(needed, fm.horizontalAdvance(flag + QStringLiteral(";")) + 2 * fm.averageCharWidth());
  const int room = tblQuestions->viewport()->width() - others;
  const int before = header->sectionSize(flags);
  header->setStretchLastSection(room >= needed);
  header->resizeSection(flags, std::max(room, needed));
  if (header->sectionSize(flags) != before) tblQuestions->resizeRowsToContents();
}

TStatisticsFilter TStatisticsForm::Filter() const {
  TStatisticsFilter f;
  if (chkDateRange->isChecked()) {
    f.FromDate = dtFrom->date().toString(Qt::ISODate).toStdString();
    f.ToDate = dtTo->date().toString(Qt::ISODate).toStdString();
  }
  f.LatestAttemptOnly = chkLatestAttempt->isChecked();
  return f;
}

void TStatisticsForm::LoadDetailLog() {
  const std::string path = ProgramPath(DetailLogRelative);
  // The series shown stays chosen when the filter changes.
  const QString shown = Selected() ? QString::fromStdString(Selected()->SetFile).toLower() : QString();
  const std::uint64_t shownPrint = Selected() ? Selected()->Fingerprint : 0;
  TStatisticsLoad load;
  try {
    load = LoadStatisticsFile(path, Filter(), Options_);
  } catch (const std::exception& e) {
    MessageDlg(QString::fromStdString(e.what()), TMsgDlgType::Warning, mbOK);
  }
  Series_ = std::move(load.Series);
  Skipped_ = load.Skipped;
  lbSkipped->setText(QString::fromStdString(SkippedText(Skipped_)) +
                     (Skipped_.Count ? QStringLiteral(" in %1.").arg(QString::fromStdString(path)) : QString()));
  lbSkipped->setVisible(Skipped_.Count > 0);
  if (!DatesSet_ && !Series_.empty() && !chkDateRange->isChecked()) {
    // The range offered first covers every test in the log.
    std::string first = Series_.front().FirstDate, last = Series_.front().LastDate;
    for (const TSeriesStatistics& s : Series_) {
      first = std::min(first, s.FirstDate);
      last = std::max(last, s.LastDate);
    }
    const QDate from = QDate::fromString(QString::fromStdString(first.substr(0, 10)), Qt::ISODate);
    const QDate to = QDate::fromString(QString::fromStdString(last.substr(0, 10)), Qt::ISODate);
    if (from.isValid() && to.isValid()) {
      const QSignalBlocker b1(dtFrom), b2(dtTo);
      dtFrom->setDate(from);
      dtTo->setDate(to);
      DatesSet_ = true;
    }
  }
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
  int again = 0;
  for (int i = 0; i < static_cast<int>(Series_.size()); ++i)
    if (Series_[i].Fingerprint == shownPrint && QString::fromStdString(Series_[i].SetFile).toLower() == shown)
      again = i;
  ShowSeries(Series_.empty() ? -1 : again);
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
  QString summary = QStringLiteral(
                        "Tests: %1 (%2 saw every question)\nQuestions in the set: %3\n"
                        "Mean score: %4%, median %5%\nStandard deviation: %6\n"
                        "Skewness: %7, kurtosis: %8\nReliability (KR-20): %9")
                        .arg(s->Takers)
                        .arg(s->CompleteTakers)
                        .arg(s->QuestionsInSet)
                        .arg(s->MeanPercent, 0, 'f', 1)
                        .arg(s->MedianPercent, 0, 'f', 1)
                        .arg(s->SdPercent, 0, 'f', 1)
                        .arg(Optional(s->Skewness, 2), Optional(s->Kurtosis, 2), kr);
  if (s->SemQuestions)
    summary += QStringLiteral("\nStandard error of measurement: %1 questions (%2%)\n%3")
                   .arg(*s->SemQuestions, 0, 'f', 2)
                   .arg(*s->SemPercent, 0, 'f', 1)
                   .arg(QString::fromStdString(SemSentence(*s)));
  if (const std::string limit = FilterText(Filter()); !limit.empty())
    summary += QStringLiteral("\n") + QString::fromStdString(limit) + QStringLiteral(".");
  lbSummary->setText(summary);
  tblQuestions->setRowCount(static_cast<int>(s->Items.size()));
  for (int r = 0; r < static_cast<int>(s->Items.size()); ++r) {
    const TItemStatistics& item = s->Items[r];
    QStringList cells{QString::number(item.Question), QString::number(item.Attempts),
                      Figure(item.Facility),          Figure(item.ChanceLevel),
                      Figure(item.Discrimination),    Figure(item.PointBiserial),
                      Figure(item.ItemRest),          QString::fromStdString(MaskLetters(item.CorrectAnswer))};
    for (int a = 0; a < AnswerCount; ++a)
      cells << ((item.Offered & (1u << a)) || item.Chosen[a] ? ChoiceCell(item, a) : QString());
    cells << (item.Attempts ? QString::number(item.Blank) : QString()) << QString::fromStdString(FlagText(item));
    const bool flagged = !FlagText(item).empty();
    for (int c = 0; c < cells.size(); ++c) {
      auto* cell = new QTableWidgetItem(cells[c]);
      if (c < cells.size() - 1) cell->setTextAlignment(Qt::AlignCenter);
      if (flagged) cell->setBackground(QColor(255, 225, 215));
      tblQuestions->setItem(r, c, cell);
    }
  }
  tblQuestions->resizeColumnsToContents();
  tblQuestions->resizeRowsToContents();
  FitFlagsColumn();
}

void TStatisticsForm::btnExportStatisticsClick() {
  if (const TSeriesStatistics* s = Selected())
    SaveExport(this, QStringLiteral("Export statistics"),
               QString::fromStdString(s->SetFile).section('.', 0, 0) + QStringLiteral(" statistics.csv"),
               QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"), StatisticsCsv(*s, Options_, Filter()));
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
