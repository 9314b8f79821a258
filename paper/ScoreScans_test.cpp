// Scoring scanned sheets from the start window, with a stand-in reader: the
// menu item, the print job found beside the set or asked for, the scans
// chosen, the review opened on what was read (and nothing opened when a
// dialog is cancelled), and the converter's batch table, which leaves the
// logs alone.

#include <QMenu>
#include <QProgressDialog>
#include <QtTest>
#include <sstream>

#include "app/StartForm.h"
#include "base/FileDialogs.h"
#include "base/ProgramFolder.h"
#include "candidates/core/Gradebook.h"
#include "paper/ScoreBatch.h"
#include "paper/ScoreScans.h"
#include "paper/core/PaperJob.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/ScanGenerator.h"
#include "testkit/TempProgramFolder.h"
#include "testkit/core/PaperSample.h"

using namespace proctorium;
using namespace proctorium::testkit;

namespace {

// Reads "a.pdf" as candidate 100001's sheet and "b.pdf" as 100002's.
std::vector<TPageReading> StandInRead(const std::string& file, const std::vector<TPaperJob>& jobs) {
  const std::string id = file.find("a.pdf") != std::string::npos ? "100001" : "100002";
  return {FillSheet(jobs.at(0), 'A', 1, SampleKey(), id, file, 0, std::hash<std::string>()(file))};
}

struct TAsked {
  QStringList Captions;
  QStringList Answers;  // one per dialog, in order
};

}  // namespace

class ScoreScansTest : public QObject {
  Q_OBJECT
 private slots:
  void cleanup() { SetFileDialogHook(nullptr); }

  void theJobBesideTheSetIsFound() {
    TTempProgramFolder folder;
    for (const char* file :
         {"Tests/Quiz.1234ABCD.paper.json", "Tests/Two.00000001.paper.json", "Tests/Two.00000002.paper.json",
          "Tests/Odd.paper.json", "Tests/Odd.12.paper.json", "Tests/Quizzes.1234ABCD.paper.json"})
      folder.WriteFile(file, "{}");
    QCOMPARE(FindPaperJob(folder.Path("Tests/Quiz.qst")), folder.Path("Tests/Quiz.1234ABCD.paper.json"));
    QCOMPARE(FindPaperJob(folder.Path("Tests/Two.qst")), std::string());  // printed twice: asked
    QCOMPARE(FindPaperJob(folder.Path("Tests/Odd.qst")), std::string());
    QCOMPARE(FindPaperJob(folder.Path("Tests/None.qst")), std::string());
    QCOMPARE(FindPaperJob(""), std::string());
  }

  void chosenScansOpenTheReview_data() {
    QTest::addColumn<bool>("jobBesideSet");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("pages");  // in the review; -1: no review
    QTest::addColumn<QStringList>("captions");
    const QString job = QStringLiteral("Choose the print job of the scanned sheets");
    const QString scans = QStringLiteral("Choose the scanned sheets");
    QTest::newRow("job beside the set") << true << QStringList{QStringLiteral("a.pdf\nb.pdf")} << 2
                                        << QStringList{scans};
    QTest::newRow("job asked for") << false << QStringList{QStringLiteral("JOB"), QStringLiteral("b.pdf")} << 1
                                   << QStringList{job, scans};
    QTest::newRow("job dialog cancelled") << false << QStringList{QString()} << -1 << QStringList{job};
    QTest::newRow("scan dialog cancelled") << true << QStringList{QString()} << -1 << QStringList{scans};
  }
  void chosenScansOpenTheReview() {
    QFETCH(bool, jobBesideSet);
    QFETCH(QStringList, answers);
    QFETCH(int, pages);
    QFETCH(QStringList, captions);
    TTempProgramFolder folder;
    SetProgramFolder(folder.Folder());
    const std::string jobPath = folder.Path(jobBesideSet ? "Tests/Quiz.1234ABCD.paper.json" : "Elsewhere.paper.json");
    folder.WriteFile(jobBesideSet ? "Tests/Quiz.1234ABCD.paper.json" : "Elsewhere.paper.json",
                     PaperJobToJson(SamplePaperJob()));
    TAsked asked;
    SetFileDialogHook([&](bool, const QString& caption, const QString&) {
      asked.Captions << caption;
      QString answer = asked.Answers.isEmpty() ? QString() : asked.Answers.takeFirst();
      return answer == QLatin1String("JOB") ? QString::fromStdString(jobPath) : answer;
    });
    asked.Answers = answers;
    TModalScript modals;
    int shown = -1;
    if (pages >= 0)
      modals.Expect(QStringLiteral("scanReviewForm"), [&](QDialog* d) {
        auto* review = static_cast<TScanReviewForm*>(d);
        shown = static_cast<int>(review->Pages().size());
        return TModalScript::Click(d, "scanCancel");
      });
    TScoreScansSetup setup;
    setup.Read = StandInRead;
    setup.LoadPage = [](const std::string&, int) { return QImage(); };
    ScoreScannedSheets(nullptr, folder.Path("Tests/Quiz.qst"), setup);
    QCOMPARE(asked.Captions, captions);
    QCOMPARE(shown, pages);
    QVERIFY(modals.Verify().isEmpty());
  }

  void cancellingTheReadingOpensNothing() {
    TTempProgramFolder folder;
    SetProgramFolder(folder.Folder());
    folder.WriteFile("Tests/Quiz.1234ABCD.paper.json", PaperJobToJson(SamplePaperJob()));
    SetFileDialogHook([](bool, const QString&, const QString&) { return QStringLiteral("a.pdf\nb.pdf\nc.pdf"); });
    QStringList read;
    TScoreScansSetup setup;
    // The teacher cancels while the first file is being read.
    setup.Read = [&](const std::string& file, const std::vector<TPaperJob>& jobs) {
      read << QString::fromStdString(file);
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* progress = qobject_cast<QProgressDialog*>(w);
            progress && progress->objectName() == QLatin1String("scanProgress"))
          progress->cancel();
      return StandInRead(file, jobs);
    };
    TModalScript modals;  // expects no window at all
    ScoreScannedSheets(nullptr, folder.Path("Tests/Quiz.qst"), setup);
    QCOMPARE(read, QStringList{QStringLiteral("a.pdf")});
    QVERIFY(modals.Verify().isEmpty());
  }

  void aDamagedJobIsReported() {
    TTempProgramFolder folder;
    SetProgramFolder(folder.Folder());
    folder.WriteFile("Tests/Quiz.1234ABCD.paper.json", "not a job");
    TMessageScript messages;
    messages.Answer(mrOk);
    ScoreScannedSheets(nullptr, folder.Path("Tests/Quiz.qst"), {});
    QCOMPARE(messages.Shown().size(), std::size_t{1});
    QVERIFY(messages.Shown()[0].Text.startsWith(QStringLiteral("The print job could not be read.")));
  }

  void theStartWindowOffersIt() {
    TTempProgramFolder folder;
    folder.WriteSet("Quiz.qst", MakeSet(3));
    folder.CreateForms();
    QAction* item = StartForm->findChild<QAction*>(QStringLiteral("ScoreScans1"));
    QVERIFY(item);
    QCOMPARE(item->text().remove(QLatin1Char('&')), QStringLiteral("Score scanned sheets\u2026"));
    QVERIFY(StartForm->Print1->actions().contains(item));
    // No job beside the set: the job is asked for; cancelled, nothing opens.
    QStringList captions;
    SetFileDialogHook([&](bool, const QString& caption, const QString&) {
      captions << caption;
      return QString();
    });
    StartForm->FileListBox1->SetItemIndex(0);
    item->trigger();
    QCOMPARE(captions, QStringList{QStringLiteral("Choose the print job of the scanned sheets")});
  }

  void aScannedSheetGoesIntoTheLogs() {
    // A sheet drawn from its layout, filled, scanned as a PDF, read by the
    // real reader, reviewed and accepted.
    TTempProgramFolder folder;
    SetProgramFolder(folder.Folder());
    const TPaperJob job = SampleJob(0x5151, TPaperSize::A4, 10, 2, 6, 7);
    folder.WriteFile("Tests/Sample.00005151.paper.json", PaperJobToJson(job));
    TScanGenerator generator(3);
    TFillOptions fill;
    TScanDistortion distortion;
    distortion.Dpi = 200;
    distortion.SkewDegrees = 1.5;
    const TGeneratedScan scan = generator.Make(job, 'B', 1, fill, distortion);
    QCOMPARE(job.Versions[1].Sheets.size(), std::size_t{1});
    const std::string pdf = folder.Path("tray.pdf");
    QVERIFY(WriteScanPdf(pdf, {scan.Image}, TPaperSize::A4));
    SetFileDialogHook([&](bool, const QString&, const QString&) { return QString::fromStdString(pdf); });
    int right = 0;
    const TSheetLayout& layout = job.Versions[1].Sheets[0];
    for (std::size_t r = 0; r < layout.Rows.size(); ++r)
      right += MapPaperAnswer(job.Versions[1].Questions[static_cast<std::size_t>(layout.Rows[r].Position - 1)],
                              scan.Truth.Answers[r])
                       .Right
                   ? 1
                   : 0;
    TModalScript modals;
    TMessageScript messages;
    modals.Expect(QStringLiteral("scanReviewForm"), [&](QDialog* d) {
      auto* review = static_cast<TScanReviewForm*>(d);
      if (review->PageStatus(0) != QLatin1String("read")) return int(QDialog::Rejected);
      messages.Expect(QStringLiteral("Saved 1 candidate."), TMsgDlgType::Information, mbOK);
      review->scanAccept->click();
      return review->result();
    });
    ScoreScannedSheets(nullptr, folder.Path("Tests/Sample.set"), {});
    QVERIFY(modals.Verify().isEmpty());
    VERIFY_MESSAGES(messages);
    const TGradebookFile book = ReadGradebook(folder.ReadFile("Tests/gradebook.csv"));
    QCOMPARE(book.Rows.size(), std::size_t{1});
    QCOMPARE(book.Rows[0].Entry.CandidateId, scan.Truth.CandidateId);
    QCOMPARE(book.Rows[0].Entry.Correct, right);
    QCOMPARE(book.Rows[0].Entry.QuestionsSeen, 10);
    // The page was hashed from the scan as the review loaded it.
    const std::vector<TLedgerEntry> ledger = ParseLedger(folder.ReadFile("Tests/paper-scored.txt"));
    QCOMPARE(ledger.size(), std::size_t{1});
    QVERIFY(ledger[0].ImageHash != 0);
  }

  void theConverterWritesATableAndLeavesTheLogsAlone() {
    TTempProgramFolder folder;
    folder.WriteFile("Tests/Quiz.1234ABCD.paper.json", PaperJobToJson(SamplePaperJob()));
    folder.WriteFile("Tests/classlist.csv", "ID,Name\r\n100002,Bo Lee\r\n");
    const QString out = QString::fromStdString(folder.Path("scores.csv"));
    std::ostringstream err;
    QCOMPARE(RunScoreBatch({QString::fromStdString(folder.Path("Tests/Quiz.1234ABCD.paper.json")),
                            QStringLiteral("a.pdf"), QStringLiteral("b.pdf"), out},
                           err, StandInRead),
             0);
    const std::string table = folder.ReadFile("scores.csv");
    QVERIFY(table.find("100001,,A,5,5,100,scored,a.pdf page 1\r\n") != std::string::npos);
    QVERIFY(table.find("100002,Bo Lee,A,5,5,100,scored,b.pdf page 1\r\n") != std::string::npos);
    QCOMPARE(err.str(), std::string());
    for (const char* log :
         {"Tests/results.txt", "Tests/gradebook.csv", "Tests/results-detail.csv", "Tests/paper-scored.txt"})
      QVERIFY2(!FileExists(folder.Path(log)), log);
    struct {
      QStringList Args;
      int Code;
    } wrongUse[] = {{{QStringLiteral("job.json"), out}, 2},
                    {{QStringLiteral("job.json"), QStringLiteral("a.pdf"), QStringLiteral("out.txt")}, 2},
                    {{QString::fromStdString(folder.Path("missing.json")), QStringLiteral("a.pdf"), out}, 1}};
    for (const auto& w : wrongUse) {
      std::ostringstream e;
      QCOMPARE(RunScoreBatch(w.Args, e, StandInRead), w.Code);
      QVERIFY(!e.str().empty());
    }
  }
};

QTEST_MAIN(ScoreScansTest)
#include "ScoreScans_test.moc"
