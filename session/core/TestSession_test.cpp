#include <QtTest>
#include <algorithm>
#include <numeric>
#include <set>

#include "session/core/TestSession.h"
#include "session/core/TimeText.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;

namespace {

TQuestionSet MakeSet(int n, bool shuffle) {
  TQuestionSet set = testkit::MakeSet(n);
  set.Questions[0].CorrectMask = shuffle ? 1 : 0;
  return set;
}

std::vector<int> Order(const TTestSession& s) {
  return std::vector<int>(s.TakingOrder.begin() + 1, s.TakingOrder.begin() + 1 + s.PositionCount);
}

// Seen but left unanswered counts as wrong.
void Answer(TTestSession& s, int q, bool right) {
  s.QuestionStates[q].Seen = true;
  s.StoreResponse(q, right ? s.QuestionStates[q].DisplayCorrectMask : AnswerMask(0));
}

TRandomSource Pinned(std::uint64_t seed) {
  TRandomSource r;
  r.Pin(seed);
  return r;
}

}  // namespace

class TestSessionTest : public QObject {
  Q_OBJECT
 private slots:
  void formatTime_data() {
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("start") << 1 << ": 00:00:01";
    QTest::newRow("59:59") << 3599 << ": 00:59:59";
    QTest::newRow("mixed") << 3725 << ": 01:02:05";
    QTest::newRow("100 hours") << 360000 << ": 100:00:00";
    QTest::newRow("zero") << 0 << ": 00:00:00";
    QTest::newRow("overrun") << -1 << ": 00:00:00";
  }
  void formatTime() {
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(FormatTime(seconds)), text);
  }

  void timeTaken_data() {
    QTest::addColumn<bool>("elapsed");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("timer");
    QTest::addColumn<int>("taken");
    QTest::newRow("elapsed") << true << 60 << 95 << 95;
    QTest::newRow("countdown ended early") << false << 60 << (42 * 60 + 10) << (17 * 60 + 50);
    QTest::newRow("countdown ran out") << false << 1 << 0 << 60;
    QTest::newRow("zero limit overran") << false << 0 << -1 << 0;
  }
  void timeTaken() {
    QFETCH(bool, elapsed);
    QFETCH(int, minutes);
    QFETCH(int, timer);
    QFETCH(int, taken);
    QCOMPARE(TimeTaken(elapsed, minutes, timer), taken);
  }

  void unshuffledOrderIsTheSetOrder() {
    TTestSession s;
    s.Start(MakeSet(7, false));
    QCOMPARE(Order(s), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
  }

  void shuffledOrderFollowsTheSeedAndIsAPermutation() {
    TQuestionSet set = MakeSet(20, true);
    TRandomSource a = Pinned(7), b = Pinned(7);
    TTestSession s1(a), s2(b);
    s1.Start(set);
    s2.Start(set);
    QCOMPARE(Order(s1), Order(s2));
    std::vector<int> sorted = Order(s1), all(20);
    std::sort(sorted.begin(), sorted.end());
    std::iota(all.begin(), all.end(), 1);
    QCOMPARE(sorted, all);
    QVERIFY(Order(s1) != all);
    s1.Start(set);  // the next test draws afresh
    QVERIFY(Order(s1) != Order(s2));
  }

  void singleQuestionDrawsNothing() {
    TRandomSource r = Pinned(3), untouched = Pinned(3);
    TTestSession s(r);
    s.Start(MakeSet(1, true));
    QCOMPARE(Order(s), std::vector<int>{1});
    QCOMPARE(r.Draw(1000), untouched.Draw(1000));
  }

  void drawIsUniformOverItsWholeRange() {
    TRandomSource r = Pinned(11);
    std::array<int, 5> counts{};
    for (int i = 0; i < 5000; ++i) {
      const int v = r.Draw(5);
      QVERIFY(v >= 1 && v <= 5);
      ++counts[v - 1];
    }
    for (int c : counts) QVERIFY2(c > 850 && c < 1150, qPrintable(QString::number(c)));
  }

  void answerShuffleTouchesOnlyTheAnswersInUse() {
    TQuestion q;
    q.RandomizeAnswers = 1;
    q.Answers = {"A", "B", "", "D", "", "", "", ""};
    q.CorrectMask = 8;  // D
    TRandomSource r = Pinned(5);
    TTestSession s(r);
    std::set<std::pair<int, int>> firstTwo;
    for (int i = 0; i < 40; ++i) {
      s.BuildAnswerOrder(1, q, AnswersInUse(q));
      const auto& o = s.AnswerOrder[1];
      firstTwo.insert({o[1], o[2]});
      for (int k = 3; k <= 8; ++k) QCOMPARE(int(o[k]), k);
      QCOMPARE(int(s.QuestionStates[1].DisplayCorrectMask), 8);
    }
    QCOMPARE(firstTwo, (std::set<std::pair<int, int>>{{1, 2}, {2, 1}}));
  }

  void displayMaskFollowsTheSlots() {
    // A and C correct; shuffle until they stand in slots 2 and 4.
    TQuestion q;
    q.AnswerType = TAnswerType::Multiple;
    q.RandomizeAnswers = 1;
    q.Answers = {"A", "B", "C", "D", "", "", "", ""};
    q.CorrectMask = 1 | 4;
    TRandomSource r = Pinned(21);
    TTestSession s(r);
    bool found = false;
    for (int i = 0; i < 500 && !found; ++i) {
      s.BuildAnswerOrder(1, q, AnswersInUse(q));
      found = s.AnswerOrder[1][2] == 1 && s.AnswerOrder[1][4] == 3;
    }
    QVERIFY(found);
    QCOMPARE(int(s.QuestionStates[1].DisplayCorrectMask), 10);
    for (AnswerMask ticked : {2 | 8, 2 | 4 | 8, 2}) {
      s.StoreResponse(1, ticked);
      QCOMPARE(s.QuestionStates[1].Correct, ticked == (2 | 8));
    }
  }

  void scoreIsTruncatedOverTheSeenQuestions_data() {
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("wrong");
    QTest::addColumn<QString>("text");
    QTest::newRow("1 of 3") << 1 << 2 << "1 of 3 Correct [33%]";
    QTest::newRow("2 of 3") << 2 << 1 << "2 of 3 Correct [66%]";
    QTest::newRow("all") << 4 << 0 << "4 of 4 Correct [100%]";
    QTest::newRow("none") << 0 << 3 << "0 of 3 Correct [0%]";
  }
  void scoreIsTruncatedOverTheSeenQuestions() {
    QFETCH(int, right);
    QFETCH(int, wrong);
    QFETCH(QString, text);
    TQuestionSet set = MakeSet(40, false);
    TTestSession s;
    s.Start(set);
    for (int q = 1; q <= right + wrong; ++q) {
      s.EnsureAnswerOrder(q, set.Questions[q]);
      Answer(s, q, q <= right);
    }
    QCOMPARE(QString::fromStdString(ScoreText(s.UpdateScore(false))), text);
    QCOMPARE(s.HasIncorrect, wrong > 0);
  }

  void reviewListKeepsTakingOrderAndIncorrectListSetOrder() {
    TQuestionSet set = MakeSet(12, true);
    TTestSession s;
    s.Start(set);
    // A taking order in which 12 comes before 3.
    for (int i = 1; i <= 12; ++i) s.TakingOrder[i] = std::uint8_t(13 - i);
    for (int q = 1; q <= 12; ++q) {
      s.EnsureAnswerOrder(q, set.Questions[q]);
      Answer(s, q, q != 3 && q != 12);
    }
    s.UpdateScore(true);
    QCOMPARE(Order(s), (std::vector<int>{12, 3}));
    QCOMPARE(QString::fromStdString(s.IncorrectList()), QString("Incorrect; 3; 12"));
    s.CurrentPosition = 1;
    QCOMPARE(QString::fromStdString(s.Title(12, true)), QString("Question 12"));
  }

  void resultLines() {
    const auto lines =
        ResultLines("05/12/2026", "Networking.qst", 17 * 60 + 50, "7 of 9 Correct [77%]", "Incorrect; 3; 12");
    QCOMPARE(int(lines.size()), 3);
    QCOMPARE(QString::fromStdString(lines[0]), QString("05/12/2026  Networking.qst     Time taken: 00:17:50"));
    QCOMPARE(QString::fromStdString(lines[1]), QString("   7 of 9 Correct [77%]  Incorrect; 3; 12"));
    QCOMPARE(QString::fromStdString(lines[2]), QString());
  }
};

QTEST_APPLESS_MAIN(TestSessionTest)
#include "TestSession_test.moc"
