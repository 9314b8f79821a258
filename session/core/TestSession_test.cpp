#include "session/core/TestSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>
#include <tuple>
#include <vector>

#include "testkit/core/SampleSet.h"

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

TEST(TestSession, TakingOrder) {
  TTestSession plain;
  plain.Start(MakeSet(7, false));
  EXPECT_EQ(Order(plain), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
  // Shuffled: a permutation that follows the seed, drawn afresh for the next test.
  TQuestionSet set = MakeSet(20, true);
  TRandomSource a = Pinned(7), b = Pinned(7);
  TTestSession s1(a), s2(b);
  s1.Start(set);
  s2.Start(set);
  EXPECT_EQ(Order(s1), Order(s2));
  std::vector<int> all(20);
  std::iota(all.begin(), all.end(), 1);
  EXPECT_TRUE(std::is_permutation(all.begin(), all.end(), Order(s1).begin()));
  EXPECT_NE(Order(s1), all);
  s1.Start(set);
  EXPECT_NE(Order(s1), Order(s2));
}

// Only the answers before the first empty one move; the correct ones are
// marked in the slots they were moved to, and only those ticked score.
TEST(TestSession, AnswerShuffleMovesTheAnswersInUseAndTheirMarks) {
  TQuestion q;
  q.AnswerType = TAnswerType::Multiple;
  q.RandomizeAnswers = 1;
  q.Answers = {"A", "B", "C", "", "E", "", "", ""};
  q.CorrectMask = 1 | 4 | 16;  // A, C and E
  TRandomSource r = Pinned(5);
  TTestSession s(r);
  std::set<std::vector<int>> orders;
  for (int i = 0; i < 60; ++i) {
    s.BuildAnswerOrder(1, q, AnswersInUse(q));
    const auto& o = s.AnswerOrder[1];
    orders.insert({o[1], o[2], o[3]});
    unsigned shown = 0;
    for (int k = 1; k <= AnswerCount; ++k) {
      if (k > 3) {
        ASSERT_EQ(int(o[k]), k);
      }
      if (q.CorrectMask & (1u << (o[k] - 1))) shown |= 1u << (k - 1);
    }
    ASSERT_EQ(unsigned(s.QuestionStates[1].DisplayCorrectMask), shown);
  }
  EXPECT_EQ(orders.size(), 6u);
  const AnswerMask shown = s.QuestionStates[1].DisplayCorrectMask;
  for (const AnswerMask ticked : {shown, AnswerMask(shown | 0b111), AnswerMask(shown & (shown - 1))}) {
    s.StoreResponse(1, ticked);
    EXPECT_EQ(s.QuestionStates[1].Correct, ticked == shown) << int(ticked);
  }
}

TEST(TestSession, ScoreIsTruncatedOverTheSeenQuestions) {
  const std::tuple<int, int, const char*> cases[] = {{1, 2, "1 of 3 Correct [33%]"},
                                                     {2, 1, "2 of 3 Correct [66%]"},
                                                     {4, 0, "4 of 4 Correct [100%]"},
                                                     {0, 3, "0 of 3 Correct [0%]"}};
  for (const auto& [right, wrong, text] : cases) {
    TQuestionSet set = MakeSet(40, false);
    TTestSession s;
    s.Start(set);
    for (int q = 1; q <= right + wrong; ++q) {
      s.EnsureAnswerOrder(q, set.Questions[q]);
      Answer(s, q, q <= right);
    }
    EXPECT_EQ(ScoreText(s.UpdateScore(false)), text);
    EXPECT_EQ(s.HasIncorrect, wrong > 0) << text;
  }
}

TEST(TestSession, ReviewListKeepsTakingOrderAndIncorrectListSetOrder) {
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
  EXPECT_EQ(Order(s), (std::vector<int>{12, 3}));
  EXPECT_EQ(s.IncorrectList(), "Incorrect; 3; 12");
  s.CurrentPosition = 1;
  EXPECT_EQ(s.Title(12, true), "Question 12");
}

// Ended early under each rule: seen-only scores what was shown, the
// all-questions rule counts every unseen question of the test as wrong
// and lists it among the incorrect ones.
TEST(TestSession, ScoreRuleWhenEndedEarly) {
  struct Row {
    bool all;
    int draw;
    const char* score;
    const char* incorrect;
    int review;
  };
  const Row rows[] = {
      {false, 0, "1 of 1 Correct [100%]", "", 5},  // nothing wrong: no review list
      {true, 0, "1 of 5 Correct [20%]", "Incorrect; 2; 3; 4; 5", 4},
      {true, 3, "1 of 3 Correct [33%]", "", 2},
  };
  for (const Row& r : rows) {
    TQuestionSet set = MakeSet(5, false);
    TRandomSource random = Pinned(3);
    TTestSession s(random);
    s.ScoreAll = r.all;
    s.DrawCount = r.draw;
    s.Start(set);
    const int first = s.TakingOrder[1];
    s.EnsureAnswerOrder(first, set.Questions[first]);
    Answer(s, first, true);
    EXPECT_EQ(ScoreText(s.UpdateScore(true)), r.score);
    EXPECT_EQ(s.PositionCount, r.review) << r.score;
    const std::string incorrect = s.IncorrectList();
    if (r.draw == 0) {
      EXPECT_EQ(incorrect, r.incorrect);
    } else {
      EXPECT_EQ(std::count(incorrect.begin(), incorrect.end(), ';'), 2);  // the two drawn but unseen
    }
  }
}

TEST(TestSession, DrawPicksDistinctQuestionsPerCandidate) {
  for (const bool shuffle : {false, true}) {
    TQuestionSet set = MakeSet(30, shuffle);
    TRandomSource random = Pinned(11);
    TTestSession s(random);
    s.DrawCount = 8;
    std::set<std::vector<int>> draws;
    for (int candidate = 0; candidate < 5; ++candidate) {
      s.Start(set);
      const std::vector<int> order = Order(s);
      ASSERT_EQ(order.size(), 8u);
      EXPECT_EQ(std::set<int>(order.begin(), order.end()).size(), 8u);
      EXPECT_EQ(s.TestSize(), 8);
      EXPECT_EQ(std::is_sorted(order.begin(), order.end()), !shuffle);
      for (int q = 1; q <= 30; ++q)
        EXPECT_EQ(s.QuestionStates[q].InTest, std::count(order.begin(), order.end(), q) == 1);
      draws.insert(order);
    }
    EXPECT_GT(draws.size(), 1u);
  }
  // More than the set holds: the whole set.
  TTestSession s;
  s.DrawCount = 50;
  s.Start(MakeSet(6, false));
  EXPECT_EQ(Order(s), (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

TEST(TestSession, UnansweredAndMarkedCountTheWholeTest) {
  TQuestionSet set = MakeSet(4, false);
  TTestSession s;
  s.Start(set);
  EXPECT_EQ(s.Unanswered(), 4);
  s.EnsureAnswerOrder(1, set.Questions[1]);
  Answer(s, 1, false);
  s.StoreResponse(2, 1);
  s.QuestionStates[3].Marked = true;
  s.QuestionStates[2].Marked = true;
  EXPECT_EQ(s.Unanswered(), 3);  // a wrong tick is still an answer; 1 was left blank
  EXPECT_EQ(s.MarkedCount(), 2);
}

}  // namespace

// The question list says in words which questions are unanswered and which
// marked, in taking order, so a screen reader reads it too.
TEST(TestSession, GotoItemsSayUnansweredAndMarked) {
  const TQuestionSet set = MakeSet(4, false);
  TTestSession s;
  s.Start(set);
  for (int i = 1; i <= 4; ++i) s.TakingOrder[i] = std::uint8_t(5 - i);  // 4 3 2 1
  s.StoreResponse(4, 1);                                                // answered, not marked
  s.StoreResponse(3, 2);
  s.QuestionStates[3].Marked = true;  // answered and marked
  s.QuestionStates[2].Marked = true;  // marked, unanswered
  EXPECT_EQ(s.GotoItems(), (std::vector<std::string>{"Select question:", " 1 ", " 2 Marked", " 3 Unanswered, Marked",
                                                     " 4 Unanswered"}));
}
