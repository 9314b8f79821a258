#include <QFileDialog>
#include <QImage>
#include <QtTest>

#include "app/core/FileIO.h"
#include "session/ResultsForm.h"
#include "session/StatisticsForm.h"
#include "session/core/DetailLog.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;

namespace {

// Five tests of a two-question set; nobody picks C on question 1.
std::string DetailLog(std::uint64_t fingerprint, const char* date) {
  std::string bytes;
  const AnswerMask answers[5][2] = {{1, 1}, {2, 1}, {1, 2}, {2, 2}, {1, 2}};
  for (int t = 0; t < 5; ++t) {
    TDetailTest test{date, std::to_string(fingerprint) + "-" + std::to_string(t), "Quiz.qst", fingerprint, 2, {}};
    for (int q = 0; q < 2; ++q)
      test.Outcomes.push_back({static_cast<std::int16_t>(q + 1), 0b111, answers[t][q], 1, answers[t][q] == 1});
    bytes += DetailLogRecords(test, t == 0);
  }
  return bytes;
}

// Picks path in the save dialog.
testkit::TModalScript::TStep Choose(const QString& path) {
  return [path](QDialog* d) {
    auto* dlg = static_cast<QFileDialog*>(d);
    dlg->selectFile(path);
    QMetaObject::invokeMethod(dlg, "accept");
    return dlg->result();
  };
}

std::string Read(const QString& path) {
  std::string bytes;
  ReadWholeFile(path.toStdString(), bytes);
  return bytes;
}

}  // namespace

class StatisticsFormTest : public QObject {
  Q_OBJECT
 private slots:
  void showsEachSeriesAndExportsIt() {
    testkit::TTempProgramFolder folder;
    std::string log = DetailLog(7, "2026-11-01 10:00:00");
    log += DetailLog(8, "2026-12-01 10:00:00").substr(3 + DetailLogHeader().size() + 2);  // changed questions
    folder.WriteFile("Tests/results-detail.csv", log);
    folder.WriteFile("Tests/results.txt",
                     "05/12/2026  Quiz.qst     Time taken: 00:01:02\r\n   1 of 2 Correct [50%]  Incorrect; 2\r\n\r\n");
    folder.CreateForms();
    const QString out = QString::fromStdString(folder.Folder());
    // As the dialog reports it: the real path, links resolved.
    const QString missing = QDir(out).canonicalPath() + "/no such folder/stats.csv";
    testkit::TModalScript modals;
    testkit::TMessageScript messages;
    modals.Expect("StatisticsForm", [&](QDialog* d) {
      auto* f = static_cast<TStatisticsForm*>(d);
      // Newest version first; the older one is named as such.
      [&] {
        QCOMPARE(f->cbSeries->count(), 2);
        QVERIFY(f->cbSeries->itemText(1).contains("earlier version"));
        QCOMPARE(f->tblQuestions->rowCount(), 2);
        // Attempts, facility, C chosen and the flag, each in its own column.
        const QString row = f->tblQuestions->item(0, 1)->text() + " " + f->tblQuestions->item(0, 2)->text() + " " +
                            f->tblQuestions->item(0, 8)->text() + " " + f->tblQuestions->item(0, 15)->text();
        QCOMPARE(row, QString("5 0.60 0 Nobody chose C"));
        QVERIFY(f->lbSummary->text().contains("Mean score: 50.0%") && f->lbSummary->text().contains("not shown"));
      }();
      // Cancelled or failed, an export writes nothing.
      modals.Expect("SaveFileDialog", [](QDialog* dlg) {
        dlg->reject();
        return dlg->result();
      });
      f->btnExportStatistics->click();
      modals.Expect("SaveFileDialog", Choose(missing));
      messages.Answer(mrOk);
      f->btnExportStatistics->click();
      modals.Expect("SaveFileDialog", Choose(out + "stats.csv"));
      f->btnExportStatistics->click();
      modals.Expect("SaveFileDialog", Choose(out + "chart.png"));
      f->btnSaveHistogram->click();
      f->cbSeries->setCurrentIndex(1);
      [&] { QCOMPARE(f->tblQuestions->rowCount(), 2); }();
      f->btnClose->click();
      return d->result();
    });
    ResultsForm->btnStatisticsClick();
    modals.Expect("SaveFileDialog", Choose(out + "results.csv"));
    ResultsForm->btnExportClick();
    VERIFY_MODALS(modals);
    // The dialog hands the path on in its own spelling; the reason is what counts.
    QCOMPARE(messages.Shown().size(), size_t(1));
    QVERIFY(messages.Shown()[0].Text.startsWith("Cannot create file "));
    QVERIFY(messages.Shown()[0].Text.contains("no such folder/stats.csv"));
    QVERIFY(!FileExists(missing.toStdString()));
    const std::string stats = Read(out + "stats.csv");
    QVERIFY(stats.find("Set fingerprint,0000000000000008\r\n") != std::string::npos);
    QVERIFY(stats.find("\r\n1,5,3,0.6,") != std::string::npos);
    QImage chart;
    QVERIFY(chart.loadFromData(QByteArray::fromStdString(Read(out + "chart.png")), "PNG"));
    QCOMPARE(chart.size(), QSize(800, 450));
    QVERIFY(Read(out + "results.csv").find("05/12/2026,Quiz.qst,00:01:02,1,2,50,2\r\n") != std::string::npos);
  }
};

QTEST_MAIN(StatisticsFormTest)
#include "StatisticsForm_test.moc"
