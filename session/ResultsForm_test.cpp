#include <QDir>
#include <QFileDialog>
#include <QtTest>

#include "base/FileDialogs.h"
#include "base/ModalSeam.h"
#include "base/core/FileIO.h"
#include "session/ResultsForm.h"
#include "session/StatisticsForm.h"
#include "session/core/DetailLog.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;
using testkit::TMessageScript;

namespace {

std::string Read(const testkit::TTempProgramFolder& folder) {
  std::string bytes;
  ReadWholeFile(folder.Path("Tests/results.txt"), bytes);
  return bytes;
}

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

}  // namespace

class ResultsFormTest : public QObject {
  Q_OBJECT
 private slots:
  // What another seat wrote after start-up is shown when the window opens;
  // saves append after a torn last line and cannot forge lines of their own.
  void showsTheLogAsOnDiskAndSavesAppend() {
    testkit::TTempProgramFolder folder;
    folder.CreateForms();
    folder.WriteFile("Tests/results.txt", "Caf\xe9\r\n\r\n   tw");  // written by another seat, torn
    SetModalHook([](QDialog* d) { return d->result(); });
    ExecModal(ResultsForm);
    SetModalHook({});
    QCOMPARE(ResultsForm->Lines(), QStringList({QString::fromUtf8("Caf\xc3\xa9"), "", "   tw"}));
    ResultsForm->AddLines({QString::fromUtf8("na\xc3\xafve"), "Evil\r\n   9 of 9"});
    QCOMPARE(Read(folder), std::string("Caf\xe9\r\n\r\n   tw\r\nna\xefve\r\nEvil??   9 of 9\r\n"));
  }

  void unsavedLinesAreReportedKeptAndSavedFirstNextTime() {
    testkit::TTempProgramFolder folder;
    QDir(QString::fromStdString(folder.Path("Tests"))).mkdir("results.txt");  // a folder in the file's place
    folder.CreateForms();
    {
      TMessageScript messages;
      messages.Answer(mrOk);
      ResultsForm->AddLines({"kept", ""});
      QCOMPARE(messages.Shown().size(), size_t(1));
      QVERIFY(messages.Shown()[0].Text.startsWith("The results could not be saved to " +
                                                  QString::fromStdString(ResultsForm->ResultsFileName)));
    }
    TMessageScript messages;
    messages.Answer(mrOk);
    ResultsForm->LoadLog();  // the folder in the log's place is reported, the kept lines shown
    QCOMPARE(ResultsForm->Lines(), QStringList({"kept", ""}));
    QDir(QString::fromStdString(folder.Path("Tests"))).rmdir("results.txt");
    ResultsForm->AddLines({"next", ""});
    QCOMPARE(Read(folder), std::string("kept\r\n\r\nnext\r\n\r\n"));
  }

  // No keeps the lines, Yes empties the memo and the file.
  void clearAsksFirst() {
    testkit::TTempProgramFolder folder;
    folder.CreateForms();
    ResultsForm->AddLines({"x"});
    ResultsForm->LoadLog();  // as opening the window does
    for (const int answer : {int(mrNo), int(mrYes)}) {
      TMessageScript messages;
      messages.Expect("Are you sure you want to delete this summary ?", TMsgDlgType::Confirmation, mbYes | mbNo,
                      answer);
      ResultsForm->btnClearClick();
      VERIFY_MESSAGES(messages);
      QCOMPARE(ResultsForm->Lines().join('|') + " " + QString::fromStdString(Read(folder)),
               answer == mrNo ? "x x\r\n" : " ");
    }
  }

  void statisticsShowEachSeriesAndExport() {
    testkit::TTempProgramFolder folder;
    folder.WriteFile("Tests/results-detail.csv", DetailLog(7, "2026-11-01 10:00:00"));
    folder.CreateForms();
    const std::string out = folder.Path("stats.csv");
    testkit::TModalScript modals;
    modals.Expect("StatisticsForm", [&](QDialog* d) {
      auto* f = static_cast<TStatisticsForm*>(d);
      // Attempts, facility, C chosen and the flag, each in its own column.
      [&] {
        const QString row = f->tblQuestions->item(0, 1)->text() + " " + f->tblQuestions->item(0, 2)->text() + " " +
                            f->tblQuestions->item(0, 10)->text() + " " + f->tblQuestions->item(0, 17)->text();
        QCOMPARE(row, QString("5 0.60 0\n0/0 Negative discrimination; within chance; nobody chose C"));
      }();
      modals.Expect("SaveFileDialog", [&](QDialog* dlg) {
        static_cast<QFileDialog*>(dlg)->selectFile(QString::fromStdString(out));
        QMetaObject::invokeMethod(dlg, "accept");
        return dlg->result();
      });
      f->btnExportStatistics->click();
      f->btnClose->click();
      return d->result();
    });
    ResultsForm->btnStatisticsClick();
    VERIFY_MODALS(modals);
    std::string stats;
    QVERIFY(ReadWholeFile(out, stats));
    QVERIFY(stats.find("Set fingerprint,0000000000000007\r\n") != std::string::npos);
    QVERIFY(stats.find("\r\n1,5,3,0.6,") != std::string::npos);
  }
  // Export writes the log as it is on disk, one row per entry, the columns
  // in a fixed order for spreadsheets set up on earlier exports.
  void exportWritesOneRowPerEntry() {
    testkit::TTempProgramFolder folder;
    folder.WriteFile(
        "Tests/results.txt",
        "01/02/2026  Quiz.qst     Time taken: 00:01:05\r\n   7 of 9 Correct [77%]  Incorrect; 3; 12\r\n\r\n"
        "02/02/2026  Caf\xe9 set.qst     Time taken: 00:00:09\r\n   2 of 2 Correct [100%]  \r\n\r\n");
    folder.CreateForms();
    const std::string out = folder.Path("r.csv");
    QString suggested;
    SetFileDialogHook([&](bool, const QString&, const QString& path) {
      suggested = path;
      return QString::fromStdString(out);
    });
    ResultsForm->btnExport->click();
    SetFileDialogHook(nullptr);
    QVERIFY(suggested.endsWith("/results.csv"));
    std::string csv;
    QVERIFY(ReadWholeFile(out, csv));
    QCOMPARE(csv, std::string("\xEF\xBB\xBF"
                              "Date,Set file,Time taken,Correct,Seen,Per cent,Incorrect questions\r\n"
                              "01/02/2026,Quiz.qst,00:01:05,7,9,77,3; 12\r\n"
                              "02/02/2026,Caf\xC3\xA9 set.qst,00:00:09,2,2,100,\r\n"));
  }

  // Save Chart writes the chart as a PNG picture of its own size, the bars
  // drawn, named after the set.
  void saveChartWritesThePicture() {
    testkit::TTempProgramFolder folder;
    folder.WriteFile("Tests/results-detail.csv", DetailLog(7, "2026-11-01 10:00:00"));
    folder.CreateForms();
    const std::string out = folder.Path("chart.png");
    QString suggested;
    SetFileDialogHook([&](bool, const QString&, const QString& path) {
      suggested = path;
      return QString::fromStdString(out);
    });
    testkit::TModalScript modals;
    modals.Expect("StatisticsForm", [&](QDialog* d) {
      static_cast<TStatisticsForm*>(d)->btnSaveHistogram->click();
      return testkit::TModalScript::Click(d, "btnClose");
    });
    ResultsForm->btnStatisticsClick();
    SetFileDialogHook(nullptr);
    VERIFY_MODALS(modals);
    QVERIFY(suggested.endsWith("/Quiz scores.png"));
    QImage png;
    QVERIFY(png.load(QString::fromStdString(out), "PNG"));
    QCOMPARE(png.size(), QSize(800, 450));
    // Three bars: one test at 0 %, three at 50 %, one at 100 %.
    int bar = 0, white = 0;
    for (int y = 0; y < png.height(); ++y)
      for (int x = 0; x < png.width(); ++x) {
        const QRgb c = png.pixel(x, y) & 0xFFFFFF;
        bar += c == 0x4678BE;
        white += c == 0xFFFFFF;
      }
    QVERIFY2(bar > 800 * 450 / 20 && white > 800 * 450 / 4, qPrintable(QString("%1 %2").arg(bar).arg(white)));
  }
};

QTEST_MAIN(ResultsFormTest)
#include "ResultsForm_test.moc"
