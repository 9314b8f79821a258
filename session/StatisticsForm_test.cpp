// The statistics window as a teacher meets it: the chart read back pixel by
// pixel, the table and chart growing with the window, the filters, and the
// damaged lines it reports.

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLayout>
#include <QScrollBar>
#include <QtTest>
#include <set>

#include "base/ModalSeam.h"
#include "session/Histogram.h"
#include "session/ResultsForm.h"
#include "session/StatisticsForm.h"
#include "session/core/DetailLog.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;

namespace {

// Tests of a two-question set (answers A B C offered, A right), one per
// entry: date, candidate and the two responses.
struct TTake {
  const char* Date;
  const char* Candidate;
  AnswerMask First, Second;
};

std::string Log(const std::vector<TTake>& takes) {
  std::string bytes;
  int n = 0;
  for (const TTake& take : takes) {
    TDetailTest t{take.Date, "t" + std::to_string(n), "Quiz.qst", 7, 2, {}};
    t.CandidateName = take.Candidate;
    t.Outcomes.push_back({1, 0b111, take.First, 1, take.First == 1});
    t.Outcomes.push_back({2, 0b111, take.Second, 1, take.Second == 1});
    bytes += DetailLogRecords(t, n++ == 0);
  }
  return bytes;
}

const std::vector<TTake> FiveTakes{{"2026-11-01 10:00:00", "Ann", 1, 1},
                                   {"2026-11-02 10:00:00", "Bob", 2, 1},
                                   {"2026-11-03 10:00:00", "Cy", 1, 2},
                                   {"2026-11-04 10:00:00", "Di", 2, 2},
                                   {"2026-11-05 10:00:00", "Ann", 1, 2}};

int Column(const QTableWidget* t, const QString& header) {
  for (int c = 0; c < t->columnCount(); ++c)
    if (t->horizontalHeaderItem(c)->text() == header) return c;
  return -1;
}

// The script of the window's own modal dialogs while check runs.
testkit::TModalScript* Modals = nullptr;

// Opens the window from the results window as a teacher does and runs
// check on it.
void WithStatistics(const std::function<void(TStatisticsForm*)>& check) {
  testkit::TModalScript modals;
  Modals = &modals;
  modals.Expect("StatisticsForm", [&](QDialog* d) {
    d->layout()->activate();
    QApplication::processEvents();
    check(static_cast<TStatisticsForm*>(d));
    d->reject();
    return d->result();
  });
  ResultsForm->btnStatisticsClick();
  VERIFY_MODALS(modals);
}

// Columns of x where a row of the picture holds a pixel that pick accepts,
// grouped into runs; a gap wider than gap pixels starts a new run.
std::vector<std::pair<int, int>> Runs(const QImage& image, int y0, int y1, int gap,
                                      const std::function<bool(QColor)>& pick) {
  std::vector<std::pair<int, int>> runs;
  for (int x = 0; x < image.width(); ++x) {
    bool hit = false;
    for (int y = y0; y <= y1 && !hit; ++y) hit = pick(image.pixelColor(x, y));
    if (!hit) continue;
    if (!runs.empty() && x - runs.back().second <= gap + 1)
      runs.back().second = x;
    else
      runs.emplace_back(x, x);
  }
  return runs;
}

}  // namespace

class StatisticsFormTest : public QObject {
  Q_OBJECT
 private slots:
  // The bars, the labels, the mean line and the SD band share one per-cent
  // axis: a mean of 83.3% lies a third into the 80-90 bar, and the "80"
  // stands at that bar's left edge, not in its middle.
  void chartMeanBandAndLabelsOnTheBarsScale() {
    TSeriesStatistics s;
    s.Takers = 4;
    s.Histogram[2] = 1;
    s.Histogram[8] = 3;
    s.MeanPercent = 83.3;
    s.SdPercent = 2;
    THistogram chart;
    chart.SetSeries(&s);
    const QImage image = chart.Render(QSize(800, 450));
    const QColor bar(70, 120, 190);
    int bottom = -1;  // the lowest row of the bars
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, y) == bar) bottom = y;
    QVERIFY(bottom > 0);
    const auto bars = Runs(image, bottom, bottom, 0, [&](QColor c) { return c.blue() > c.red() + 40; });
    // Bar 2, then bar 8 with the band and the line drawn over it.
    QVERIFY2(bars.size() >= 2, qPrintable(QString::number(bars.size())));
    const double x20 = bars.front().first - 1, x80 = bars[1].first - 1, x90 = bars.back().second + 1;
    const double perCent = (x90 - x20) / 70;
    QVERIFY(std::abs((x80 - x20) / 60 - perCent) < 0.1);
    auto at = [&](double percent) { return x20 + (percent - 20) * perCent; };

    const auto mean = Runs(image, bottom - 5, bottom - 5, 0,
                           [](QColor c) { return c.red() > 150 && c.green() < 100 && c.blue() < 80; });
    QCOMPARE(int(mean.size()), 1);
    QVERIFY2(std::abs((mean[0].first + mean[0].second) / 2.0 - at(83.3)) <= 2,
             qPrintable(QString("mean at %1, expected %2").arg(mean[0].first).arg(at(83.3))));
    // The band: bar pixels tinted by it, from mean - SD to mean + SD.
    const auto band = Runs(image, bottom - 5, bottom - 5, 3,
                           [&](QColor c) { return c != bar && c.blue() > c.red() + 20 && c.red() > 85; });
    QVERIFY(!band.empty());
    QVERIFY2(std::abs(band.front().first - at(81.3)) <= 2 && std::abs(band.back().second - at(85.3)) <= 2,
             qPrintable(QString("band %1..%2, expected %3..%4")
                            .arg(band.front().first)
                            .arg(band.back().second)
                            .arg(at(81.3))
                            .arg(at(85.3))));
    // The labels 0, 10, ... 100, each centred on its class limit.
    const int text = QFontMetrics(chart.font()).height();
    // Below the axis's own "0", above the axis caption.
    const auto labels =
        Runs(image, bottom + text / 2 + 3, bottom + text, 4, [](QColor c) { return c.lightness() < 110; });
    QCOMPARE(int(labels.size()), 11);
    for (int i = 0; i <= 10; ++i)
      QVERIFY2(std::abs((labels[i].first + labels[i].second) / 2.0 - at(i * 10)) <= 3,
               qPrintable(QString("label %1 at %2, limit at %3").arg(i * 10).arg(labels[i].first).arg(at(i * 10))));
  }

  // At the default size the Flags column shows its whole text; a larger
  // window gives the chart and the Flags column more room.
  void chartAndFlagsGrowWithTheWindow() {
    testkit::TTempProgramFolder folder;
    folder.WriteFile("Tests/results-detail.csv", Log(FiveTakes));
    folder.CreateForms();
    WithStatistics([](TStatisticsForm* f) {
      QTableWidget* t = f->tblQuestions;
      const int flags = Column(t, "Flags");
      QCOMPARE(t->item(0, flags)->text(), QString("Negative discrimination; within chance; nobody chose C"));
      const QFontMetrics fm(t->font());
      const int width = t->columnWidth(flags), chart = f->Histogram->width(), chartHeight = f->Histogram->height();
      // The whole text shows, wrapped between words, with no scrolling.
      const QString text = t->item(0, flags)->text();
      QVERIFY2(fm.boundingRect(QRect(0, 0, width - 8, 1000), Qt::TextWordWrap, text).height() <= t->rowHeight(0),
               qPrintable(QString("%1 wide, %2 high").arg(width).arg(t->rowHeight(0))));
      QVERIFY(fm.horizontalAdvance("Negative discrimination;") < width - 8);
      QVERIFY(!t->horizontalScrollBar()->isVisible());
      f->resize(f->size() + QSize(300, 200));
      f->layout()->activate();
      QApplication::processEvents();
      QVERIFY2(t->columnWidth(flags) >= width + 200, qPrintable(QString::number(t->columnWidth(flags))));
      QVERIFY(f->Histogram->width() > chart + 100);
      QVERIFY(f->Histogram->height() > chartHeight + 50);
    });
  }

  // Attempts and facility per question, the counts and group shares per
  // answer, in the columns their headers name.
  void tableShowsTheNewFigures() {
    testkit::TTempProgramFolder folder;
    folder.WriteFile("Tests/results-detail.csv", Log(FiveTakes));
    folder.CreateForms();
    WithStatistics([](TStatisticsForm* f) {
      QTableWidget* t = f->tblQuestions;
      QStringList row;
      for (const char* h : {"Attempts", "Facility", "Chance", "Item-rest", "A", "B", "C"})
        row << t->item(0, Column(t, h))->text();
      // Totals 2 1 1 0 1: the upper group is the first test, the lower the
      // fourth. Question 1 right for 3 of 5, against the rest of the total
      // 1 1 0 0 0: covariance -0.2 / sqrt(1.2 * 1.2).
      QCOMPARE(row.join('|'), QString("5|0.60|0.33|-0.17|3\n100/0|2\n0/100|0\n0/0"));
      QVERIFY(f->lbSummary->text().contains("median 50.0%"));
      QVERIFY(!f->lbSkipped->isVisible());
    });
  }

  // Damaged lines are named with their line numbers; the records after a
  // torn line still count.
  void damagedLinesAreReported() {
    testkit::TTempProgramFolder folder;
    const std::string good = Log(FiveTakes);
    const std::size_t third = good.find("\r\n", good.find("\r\n", good.find("\r\n") + 2) + 2) + 2;
    folder.WriteFile("Tests/results-detail.csv",
                     good.substr(0, third) + "2026-11-09 10:00:00,\"Qu\r\nrubbish\r\n" + good.substr(third));
    folder.CreateForms();
    WithStatistics([&](TStatisticsForm* f) {
      QCOMPARE(f->Series().front().Takers, 5);
      QVERIFY(f->lbSkipped->isVisible());
      QCOMPARE(f->lbSkipped->text(), QString("2 damaged lines were skipped (lines 4, 5) in %1.")
                                         .arg(QString::fromStdString(folder.Path("Tests/results-detail.csv"))));
    });
  }

  // Both buttons save what the window shows: the chart as an 800 x 450
  // picture, the figures with the filter that made them.
  void saveChartAndExportWriteTheirFiles() {
    testkit::TTempProgramFolder folder;
    folder.WriteFile("Tests/results-detail.csv", Log(FiveTakes));
    folder.CreateForms();
    const std::string png = folder.Path("chart.png"), csv = folder.Path("figures.csv");
    WithStatistics([&](TStatisticsForm* f) {
      f->chkLatestAttempt->click();
      for (const auto& [button, path] : {std::pair{f->btnSaveHistogram, png}, std::pair{f->btnExportStatistics, csv}}) {
        Modals->Expect("SaveFileDialog", [&](QDialog* dlg) {
          static_cast<QFileDialog*>(dlg)->selectFile(QString::fromStdString(path));
          QMetaObject::invokeMethod(dlg, "accept");
          return dlg->result();
        });
        button->click();
      }
    });
    QCOMPARE(QImage(QString::fromStdString(png)).size(), QSize(800, 450));
    const std::string figures = folder.ReadFile("figures.csv");
    QVERIFY(figures.find("\r\nTests counted,Latest attempt of each candidate\r\nQuestions in set,2\r\nTests,4\r\n") !=
            std::string::npos);
  }

  // Both filters are off at first; each one, switched on, narrows the tests
  // counted, and switched off again brings them all back.
  void filtersNarrowTheTestsCounted() {
    testkit::TTempProgramFolder folder;
    folder.WriteFile("Tests/results-detail.csv", Log(FiveTakes));
    folder.CreateForms();
    WithStatistics([](TStatisticsForm* f) {
      auto takers = [&] { return f->Series().empty() ? 0 : f->Series().front().Takers; };
      QVERIFY(!f->chkDateRange->isChecked() && !f->chkLatestAttempt->isChecked());
      QCOMPARE(takers(), 5);
      // The range offered covers the whole log.
      QCOMPARE(f->dtFrom->date(), QDate(2026, 11, 1));
      QCOMPARE(f->dtTo->date(), QDate(2026, 11, 5));
      QVERIFY(!f->dtFrom->isEnabled());
      f->chkLatestAttempt->click();  // Ann's first test goes
      QCOMPARE(takers(), 4);
      QVERIFY(f->lbSummary->text().contains("Latest attempt of each candidate."));
      f->chkLatestAttempt->click();
      f->chkDateRange->click();
      QVERIFY(f->dtFrom->isEnabled());
      f->dtFrom->setDate(QDate(2026, 11, 2));
      f->dtTo->setDate(QDate(2026, 11, 3));
      QCOMPARE(takers(), 2);
      QVERIFY(f->lbSummary->text().contains("Tests from 2026-11-02 to 2026-11-03."));
      f->dtTo->setDate(QDate(2026, 11, 1));  // nothing in range
      QVERIFY(f->Series().empty());
      QVERIFY(!f->btnExportStatistics->isEnabled());
      f->chkDateRange->click();
      QCOMPARE(takers(), 5);
    });
  }
};

QTEST_MAIN(StatisticsFormTest)
#include "StatisticsForm_test.moc"
