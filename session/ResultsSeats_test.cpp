// Several seats saving into one results log at once, each a separate
// process going through the results window's own save.

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>
#include <map>
#include <memory>
#include <vector>

#include "base/core/FileIO.h"
#include "base/core/FileLock.h"
#include "candidates/core/Gradebook.h"
#include "candidates/core/SaveJournal.h"
#include "session/ResultsForm.h"
#include "session/core/DetailLog.h"
#include "testkit/MessageScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;

namespace {

struct TEntry {
  QString Tag;
  int Number;
};

// The log as whole entries; fails the test at the first byte that is not
// part of one, so a torn or interleaved save shows up.
std::vector<TEntry> Entries(const std::string& bytes) {
  static const QRegularExpression entry(QStringLiteral(
      "01/01/2026  (\\w+)_(\\d+)\\.qst     Time taken: 00:00:01\r\n   1 of 1 Correct \\[100%\\]  \r\n\r\n"));
  const QString text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  std::vector<TEntry> out;
  qsizetype at = 0;
  for (;;) {
    const auto m =
        entry.match(text, at, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
    if (!m.hasMatch()) break;
    out.push_back({m.captured(1), m.captured(2).toInt()});
    at = m.capturedEnd();
  }
  if (at != text.size()) QTest::qFail(qPrintable("damaged entry: " + text.mid(at, 60)), __FILE__, __LINE__);
  return out;
}

std::unique_ptr<QProcess> StartSeat(const testkit::TTempProgramFolder& folder, int saves, const QString& tag,
                                    bool candidates = false) {
  auto p = std::make_unique<QProcess>();
  p->setProcessChannelMode(QProcess::SeparateChannels);
  QStringList args = {QString::fromStdString(folder.Folder()), QString::number(saves), tag};
  if (candidates) args << QStringLiteral("candidates");
  p->start(QStringLiteral(RESULTS_SAVER), args);
  return p;
}

// The candidates the saver names, in turn, as they read back: control
// characters blanked, everything else as typed.
const char* const StoredNames[] = {
    "O'Neil, \"Bo\"", "=cmd|' /C calc'!A0", "\xd7\xa9\xd7\xa8\xd7\x94 \xd7\x9c\xd7\x95\xd7\x99",
    "Line  break ",   "+1; @SUM(A1)",       "Zo\xc3\xab M\xc3\xbcller"};

// The tests of the three logs, in order, as "<tag>_<number>"; fails the
// test where one log holds a test the others lack or a line is damaged.
QStringList LogsAgree(const testkit::TTempProgramFolder& folder) {
  QStringList results, details, grades;
  std::string bytes;
  ReadWholeFile(folder.Path("Tests/results.txt"), bytes);
  for (const TEntry& e : Entries(bytes)) results << QStringLiteral("%1_%2").arg(e.Tag).arg(e.Number);
  bytes.clear();
  ReadWholeFile(folder.Path("Tests/results-detail.csv"), bytes);
  int skipped = -1;
  for (const TDetailTest& t : ReadDetailLog(bytes, &skipped)) {
    details << QString::fromStdString(t.TestId);
    const int n = QString::fromStdString(t.TestId).section('_', -1).toInt();
    if (t.CandidateName != StoredNames[n % std::size(StoredNames)])
      QTest::qFail(qPrintable("detail log name " + QString::fromStdString(t.CandidateName)), __FILE__, __LINE__);
  }
  if (skipped != 0)
    QTest::qFail(qPrintable(QStringLiteral("%1 detail lines skipped").arg(skipped)), __FILE__, __LINE__);
  bytes.clear();
  ReadWholeFile(folder.Path("Tests/gradebook.csv"), bytes);
  const TGradebookFile gradebook = ReadGradebook(bytes);
  if (!gradebook.SkippedLines.empty()) QTest::qFail("damaged gradebook line", __FILE__, __LINE__);
  for (const TGradebookRow& row : gradebook.Rows) {
    grades << QString::fromStdString(row.Entry.TestId);
    const int n = QString::fromStdString(row.Entry.TestId).section('_', -1).toInt();
    if (row.Entry.CandidateName != StoredNames[n % std::size(StoredNames)] ||
        row.Entry.CandidateId != std::to_string(n))
      QTest::qFail(qPrintable("gradebook name " + QString::fromStdString(row.Entry.CandidateName)), __FILE__, __LINE__);
  }
  if (results != details || results != grades)
    QTest::qFail(qPrintable(QStringLiteral("the logs disagree: %1 results, %2 detail tests, %3 gradebook lines")
                                .arg(results.size())
                                .arg(details.size())
                                .arg(grades.size())),
                 __FILE__, __LINE__);
  return results;
}

std::string Log(const testkit::TTempProgramFolder& folder) {
  std::string bytes;
  ReadWholeFile(folder.Path("Tests/results.txt"), bytes);
  return bytes;
}

// Waits until the seat reports at least n saves; false if it ended first.
bool WaitForSaves(QProcess& p, int n, QByteArray& out) {
  while (out.count('\n') < n) {
    if (!p.waitForReadyRead(-1)) return false;
    out += p.readAllStandardOutput();
  }
  return true;
}

}  // namespace

class ResultsSeatsTest : public QObject {
  Q_OBJECT
 private slots:
  void seatsSavingAtOnceLoseAndTearNothing() {
    testkit::TTempProgramFolder folder;
    folder.WriteFile("Tests/results.txt", "01/01/2026  old_0.qst     Time taken: 00:00:01\r\n   1 of 1 Cor");
    const int seats = 8, saves = 100;
    std::vector<std::unique_ptr<QProcess>> running;
    for (int s = 0; s < seats; ++s) running.push_back(StartSeat(folder, saves, QStringLiteral("seat%1").arg(s)));
    for (auto& p : running) {
      QVERIFY(p->waitForFinished(-1));
      QCOMPARE(p->exitCode(), 0);
    }
    // The torn last line of the old log is ended, not joined to a new entry.
    const std::string bytes = Log(folder);
    const std::string torn = "01/01/2026  old_0.qst     Time taken: 00:00:01\r\n   1 of 1 Cor\r\n";
    QCOMPARE(bytes.substr(0, torn.size()), torn);
    std::map<QString, int> entries;  // each seat's own order kept
    for (const TEntry& e : Entries(bytes.substr(torn.size()))) QCOMPARE(e.Number, entries[e.Tag]++);
    QCOMPARE(int(entries.size()), seats);
    for (const auto& [tag, count] : entries) QCOMPARE(count, saves);
    // The detail records went in under the same lock: every test whole, one header.
    std::string detail;
    QVERIFY(ReadWholeFile(folder.Path("Tests/results-detail.csv"), detail));
    int skipped = -1;
    const std::vector<TDetailTest> tests = ReadDetailLog(detail, &skipped);
    QCOMPARE(skipped, 0);
    QCOMPARE(int(tests.size()), seats * saves);
    for (const TDetailTest& t : tests) QCOMPARE(int(t.Outcomes.size()), 20);
    QCOMPARE(detail.find(DetailLogHeader()), detail.rfind(DetailLogHeader()));
  }

  void seatKilledDuringSavesLeavesOnlyWholeEntries() {
    testkit::TTempProgramFolder folder;
    int reported = 0;
    for (int round = 0; round < 6; ++round) {
      auto p = StartSeat(folder, 100000, QStringLiteral("round%1").arg(round));
      QByteArray out;
      QVERIFY(WaitForSaves(*p, 1, out));
      QTest::qWait(QRandomGenerator::global()->bounded(5, 60));
      p->kill();
      p->waitForFinished(-1);
      out += p->readAllStandardOutput();
      reported += int(out.count('\n'));
    }
    const std::vector<TEntry> entries = Entries(Log(folder));
    // A save reported done is on disk; at most the one cut off is missing.
    QVERIFY(int(entries.size()) >= reported);
    for (const QString& name : QDir(QString::fromStdString(folder.Path("Tests"))).entryList(QDir::Files | QDir::Hidden))
      QVERIFY2(!IsTemporaryFileName(name.toStdString()), qPrintable(name));
  }

  // Eight seats, fifty named candidates each: every test in all three logs,
  // in the same order, no line lost or torn, every name as typed.
  void seatsWithCandidatesKeepTheThreeLogsAgreeing() {
    testkit::TTempProgramFolder folder;
    const int seats = 8, saves = 50;
    std::vector<std::unique_ptr<QProcess>> running;
    for (int s = 0; s < seats; ++s) running.push_back(StartSeat(folder, saves, QStringLiteral("seat%1").arg(s), true));
    for (auto& p : running) {
      // However long a loaded machine takes: the seats never give up.
      while (!p->waitForFinished(60000) && p->state() != QProcess::NotRunning) {
      }
      QCOMPARE(p->exitCode(), 0);
    }
    const QStringList tests = LogsAgree(folder);
    QCOMPARE(int(tests.size()), seats * saves);
    std::map<QString, int> next;  // each seat's own order kept
    for (const QString& t : tests) QCOMPARE(t.section('_', -1).toInt(), next[t.section('_', 0, 0)]++);
    std::string grades;
    QVERIFY(ReadWholeFile(folder.Path("Tests/gradebook.csv"), grades));
    QCOMPARE(grades.find(GradebookHeader()), grades.rfind(GradebookHeader()));
    QCOMPARE(grades.find(",="), std::string::npos);  // no name a spreadsheet would run
    QVERIFY(!FileExists(folder.Path("Tests/results-save.journal")));
  }

  // Seats killed at whatever moment: once the next seat (or the results
  // window) has completed the save cut short, every test is in all three
  // logs or in none, and every save a seat reported is there.
  void killedSeatsLeaveEachTestInAllLogsOrNone() {
    testkit::TTempProgramFolder folder;
    int reported = 0;
    for (int round = 0; round < 8; ++round) {
      auto p = StartSeat(folder, 100000, QStringLiteral("round%1").arg(round), true);
      QByteArray out;
      QVERIFY(WaitForSaves(*p, 1 + QRandomGenerator::global()->bounded(3), out));
      // Any moment will do: the outcome must hold whichever it is.
      QTest::qWait(QRandomGenerator::global()->bounded(0, 40));
      p->kill();
      p->waitForFinished(-1);
      out += p->readAllStandardOutput();
      reported += int(out.count('\n'));
      {
        TFileLock lock(folder.Path("Tests/results.txt"), -1);
        CompleteInterruptedSave(folder.Path("Tests/results-save.journal"));
      }
      const QStringList tests = LogsAgree(folder);
      QVERIFY2(int(tests.size()) >= reported, qPrintable(QStringLiteral("%1 of %2").arg(tests.size()).arg(reported)));
    }
    for (const QString& name : QDir(QString::fromStdString(folder.Path("Tests"))).entryList(QDir::Files | QDir::Hidden))
      QVERIFY2(!IsTemporaryFileName(name.toStdString()), qPrintable(name));
  }

  // The clear empties the three logs as one unit under the lock: what the
  // other seat saved after it is in all three, and nothing before it in any.
  void clearWhileAnotherSeatSavesKeepsWhatCameAfter() {
    testkit::TTempProgramFolder folder;
    folder.CreateForms();
    const int saves = 300;
    auto p = StartSeat(folder, saves, QStringLiteral("busy"), true);
    QByteArray out;
    QVERIFY(WaitForSaves(*p, 40, out));
    // An idle machine can let the seat make its last save before the clear
    // gets the lock; then an empty log is the right outcome.
    {
      testkit::TMessageScript messages;
      messages.Answer(mrYes);
      ResultsForm->LockWaitMs = -1;
      ResultsForm->btnClearClick();
      QCOMPARE(messages.Shown().size(), size_t(1));
      QVERIFY(messages.Shown()[0].Text.startsWith("Are you sure you want to delete this summary ?"));
    }
    QVERIFY(p->waitForFinished(-1));
    QCOMPARE(p->exitCode(), 0);
    LogsAgree(folder);
    const std::vector<TEntry> entries = Entries(Log(folder));
    if (entries.empty()) return;
    QVERIFY(entries.front().Number > 0);  // the clear did remove the earlier ones
    for (size_t i = 0; i < entries.size(); ++i) QCOMPARE(entries[i].Number, entries.front().Number + int(i));
    QCOMPARE(entries.back().Number, saves - 1);
  }
};

QTEST_MAIN(ResultsSeatsTest)
#include "ResultsSeats_test.moc"
