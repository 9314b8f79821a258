// Two teachers' seats, separate processes, saving the same set at the same
// moment, round after round.

#include <QProcess>
#include <QtTest>
#include <array>
#include <memory>

#include "questions/core/QuestionSet.h"
#include "testkit/TempProgramFolder.h"
#include "testkit/core/SampleSet.h"

using namespace proctorium;

namespace {

std::unique_ptr<QProcess> StartSeat(const testkit::TTempProgramFolder& folder, const QString& tag) {
  auto p = std::make_unique<QProcess>();
  p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p->start(QStringLiteral(EDITOR_SEAT), {QString::fromStdString(folder.Folder()), QStringLiteral("set.qst"), tag});
  return p;
}

void Ask(QProcess& p, const QByteArray& command) { p.write(command + "\n"); }
// The seat's next answer line; empty when the seat ended or stayed silent
// for far longer than any answer takes.
QByteArray Answer(QProcess& p) {
  while (!p.canReadLine())
    if (!p.waitForReadyRead(60000)) return QByteArray();
  return p.readLine().trimmed();
}

bool HasQuestion(const TQuestionSet& set, const std::string& text) {
  for (int i = 0; i <= set.LastIndex; ++i)
    if (set.Questions[i].Text == text) return true;
  return false;
}

}  // namespace

class EditorSeatsTest : public QObject {
  Q_OBJECT
 private slots:
  // Both seats open the same file, then both save. The one that gets there
  // second must be told and keep its question in the editor; a save that
  // reports success must be in the file. Whoever wins, the outcome is the
  // same, so the test does not depend on timing.
  void secondOfTwoSavesIsToldAndKeepsItsWork() {
    testkit::TTempProgramFolder folder;
    folder.WriteSet("set.qst", testkit::MakeSet(3));
    const std::array<QString, 2> tags = {QStringLiteral("first"), QStringLiteral("second")};
    std::array<std::unique_ptr<QProcess>, 2> seats = {StartSeat(folder, tags[0]), StartSeat(folder, tags[1])};
    for (auto& s : seats) QVERIFY(s->waitForStarted(30000));
    const int rounds = 25;
    std::array<int, 2> wins{};
    for (int round = 1; round <= rounds; ++round) {
      for (auto& s : seats) Ask(*s, "open");
      for (auto& s : seats) QCOMPARE(Answer(*s), QByteArray("loaded"));
      // Both wait for one signal, so their saves start together.
      const QByteArray go = QByteArray::fromStdString(folder.Path("go" + std::to_string(round)));
      for (auto& s : seats) Ask(*s, "save " + go);
      for (auto& s : seats) QCOMPARE(Answer(*s), QByteArray("ready"));
      folder.WriteFile("go" + std::to_string(round), "");
      std::array<QByteArray, 2> outcome;
      for (int i = 0; i < 2; ++i) outcome[i] = Answer(*seats[i]);
      TQuestionSet set;
      QVERIFY(set.LoadFromFile(folder.Path("Tests/set.qst")));
      int saved = 0;
      for (int i = 0; i < 2; ++i) {
        const std::string question = tags[i].toStdString() + " " + std::to_string(round);
        const QString where = QStringLiteral("round %1, seat %2").arg(round).arg(tags[i]);
        if (outcome[i] == "saved") {
          ++saved;
          ++wins[i];
          QVERIFY2(HasQuestion(set, question), qPrintable(where + ": saved, but not in the file"));
        } else {
          QVERIFY2(outcome[i] == "told kept", qPrintable(where + ": " + outcome[i]));
          QVERIFY2(!HasQuestion(set, question), qPrintable(where));
          Ask(*seats[i], "discard");
          QCOMPARE(Answer(*seats[i]), QByteArray("closed"));
        }
      }
      // Both opened the same file: exactly one of them may replace it.
      QCOMPARE(saved, 1);
    }
    QCOMPARE(wins[0] + wins[1], rounds);
    for (auto& s : seats) {
      s->closeWriteChannel();
      QVERIFY(s->waitForFinished(60000));
      QCOMPARE(s->exitCode(), 0);
    }
  }
};

QTEST_MAIN(EditorSeatsTest)
#include "EditorSeats_test.moc"
