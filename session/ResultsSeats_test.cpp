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

std::unique_ptr<QProcess> StartSeat(const testkit::TTempProgramFolder& folder, int saves, const QString& tag) {
  auto p = std::make_unique<QProcess>();
  p->setProcessChannelMode(QProcess::SeparateChannels);
  p->start(QStringLiteral(RESULTS_SAVER), {QString::fromStdString(folder.Folder()), QString::number(saves), tag});
  return p;
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

  void clearWhileAnotherSeatSavesKeepsWhatCameAfter() {
    testkit::TTempProgramFolder folder;
    folder.CreateForms();
    const int saves = 300;
    auto p = StartSeat(folder, saves, QStringLiteral("busy"));
    QByteArray out;
    QVERIFY(WaitForSaves(*p, 40, out));
    // An idle machine can let the seat make its last save before the clear
    // gets the lock; then an empty log is the right outcome.
    {
      testkit::TMessageScript messages;
      messages.Expect("Are you sure you want to delete this summary ?", TMsgDlgType::Confirmation, mbYes | mbNo, mrYes);
      ResultsForm->LockWaitMs = -1;
      ResultsForm->btnClearClick();
      VERIFY_MESSAGES(messages);
    }
    QVERIFY(p->waitForFinished(-1));
    QCOMPARE(p->exitCode(), 0);
    const std::vector<TEntry> entries = Entries(Log(folder));
    if (entries.empty()) return;
    QVERIFY(entries.front().Number > 0);  // the clear did remove the earlier ones
    for (size_t i = 0; i < entries.size(); ++i) QCOMPARE(entries[i].Number, entries.front().Number + int(i));
    QCOMPARE(entries.back().Number, saves - 1);
  }
};

QTEST_MAIN(ResultsSeatsTest)
#include "ResultsSeats_test.moc"
