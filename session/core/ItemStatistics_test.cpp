// Item statistics against figures worked out by hand for small classes.

#include "session/core/ItemStatistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

using namespace proctorium;

namespace {

constexpr double None = NAN;  // the figure is not defined

AnswerMask Mask(const std::string& letters) {
  AnswerMask m = 0;
  for (char c : letters) m |= static_cast<AnswerMask>(1u << (c - 'A'));
  return m;
}

// A taker's responses, one per question: letters ticked, "" for none, "-"
// for a question never seen.
using TTaker = std::vector<std::string>;

std::vector<TDetailTest> Tests(const std::vector<std::string>& correct, const std::string& offered,
                               const std::vector<TTaker>& takers, std::uint64_t fingerprint = 1) {
  std::vector<TDetailTest> tests;
  int day = 1;
  for (const TTaker& taker : takers) {
    TDetailTest t;
    t.DateTime = "2026-11-" + std::string(day < 10 ? "0" : "") + std::to_string(day) + " 10:00:00";
    t.TestId = std::to_string(day++);
    t.SetFile = "Quiz.qst";
    t.Fingerprint = fingerprint;
    t.QuestionsInSet = static_cast<int>(correct.size());
    for (std::size_t q = 0; q < taker.size(); ++q) {
      if (taker[q] == "-") continue;
      TQuestionOutcome o;
      o.Question = static_cast<std::int16_t>(q + 1);
      o.Offered = Mask(offered);
      o.Response = Mask(taker[q]);
      o.CorrectAnswer = Mask(correct[q]);
      o.Correct = o.Response == o.CorrectAnswer;
      t.Outcomes.push_back(o);
    }
    tests.push_back(t);
  }
  return tests;
}

void ExpectFigure(const std::optional<double>& actual, double expected, const std::string& what) {
  if (std::isnan(expected)) {
    EXPECT_FALSE(actual.has_value()) << what << " should not be defined, is " << actual.value_or(0);
  } else {
    ASSERT_TRUE(actual.has_value()) << what << " should be " << expected;
    EXPECT_NEAR(*actual, expected, 5e-4) << what;
  }
}

struct TItemExpect {
  int Attempts;
  double Facility, Discrimination, PointBiserial;
  std::string Chosen;  // count per offered letter, e.g. "3200"
  bool Negative;
  std::string Unchosen;
};

struct TCase {
  const char* Name;
  std::vector<std::string> Correct;
  std::string Offered;
  std::vector<TTaker> Takers;
  std::vector<TItemExpect> Items;
  double MeanPercent, SdPercent;
  std::array<int, 10> Histogram;
  double Kr20;
  TReliability Reliability;
  TStatisticsOptions Options;
};

TStatisticsOptions KrFrom(int takers) {
  TStatisticsOptions o;
  o.MinTakersForReliability = takers;
  return o;
}

const TCase Cases[] = {
    // Totals 3 2 2 1 0: group size 1, the best and the worst taker alone.
    // SD of totals sqrt(1.04); KR-20 = 3/2 (1 - 0.72 / 1.04).
    {"FiveTakersNoTies",
     {"A", "B", "C"},
     "ABCD",
     {{"A", "B", "C"}, {"A", "B", "D"}, {"A", "C", "C"}, {"B", "B", "D"}, {"B", "C", "A"}},
     {{5, 0.6, 1, 0.8807, "3200", false, "CD"},
      {5, 0.6, 1, 0.4804, "0320", false, "AD"},
      {5, 0.4, 1, 0.7206, "1022", false, "B"}},
     53.333,
     33.993,
     {1, 0, 0, 1, 0, 0, 2, 0, 0, 1},
     0.4615,
     TReliability::Shown,
     KrFrom(5)},
    // Totals 3 2 1 1 1: the three tied at the bottom share the one place of
    // the lower group, a third each. Question 4 is answered right only by
    // weak takers: negative on both indices, and KR-20 turns negative.
    {"TiesAtTheLowerEdge",
     {"A", "A", "A", "A"},
     "AB",
     {{"A", "A", "A", "B"}, {"A", "A", "B", "B"}, {"A", "B", "B", "B"}, {"B", "B", "B", "A"}, {"B", "B", "B", "A"}},
     {{5, 0.6, 0.6667, 0.6124, "32", false, ""},
      {5, 0.4, 1, 0.9186, "23", false, ""},
      {5, 0.2, 1, 0.875, "14", false, ""},
      {5, 0.4, -0.6667, -0.6124, "23", true, ""}},
     40,
     20,
     {0, 0, 3, 0, 0, 1, 0, 1, 0, 0},
     -0.5,
     TReliability::Shown,
     KrFrom(5)},
    // Totals 2 2 1 0 0: ties at both edges, each tied taker counts half.
    {"TiesAtBothEdges",
     {"A", "A", "A"},
     "AB",
     {{"A", "A", "B"}, {"B", "A", "A"}, {"A", "B", "B"}, {"B", "B", "B"}, {"B", "B", "B"}},
     {{5, 0.4, 0.5, 0.4564, "23", false, ""},
      {5, 0.4, 1, 0.9129, "23", false, ""},
      {5, 0.2, 0.5, 0.5590, "14", false, ""}},
     33.333,
     29.814,
     {2, 0, 0, 1, 0, 0, 2, 0, 0, 0},
     0.3,
     TReliability::Shown,
     KrFrom(5)},
    // One taker: no groups, no correlation, no spread, no flags.
    {"SingleTaker",
     {"A", "B", "C"},
     "ABCD",
     {{"A", "A", "C"}},
     {{1, 1, None, None, "1000", false, ""},
      {1, 0, None, None, "1000", false, ""},
      {1, 1, None, None, "0010", false, ""}},
     66.667,
     0,
     {0, 0, 0, 0, 0, 0, 1, 0, 0, 0},
     None,
     TReliability::TooFewTakers,
     {}},
    // Everyone right: nothing to correlate, both groups score alike, and the
    // answer nobody fell for is flagged.
    {"AllCorrect",
     {"A", "B"},
     "AB",
     {{"A", "B"}, {"A", "B"}, {"A", "B"}, {"A", "B"}, {"A", "B"}},
     {{5, 1, 0, None, "50", false, "B"}, {5, 1, 0, None, "05", false, "A"}},
     100,
     0,
     {0, 0, 0, 0, 0, 0, 0, 0, 0, 5},
     None,
     TReliability::NoSpread,
     KrFrom(5)},
    {"AllWrong",
     {"A", "AB"},
     "ABC",
     {{"B", ""}, {"C", "A"}, {"B", "ABC"}, {"C", ""}, {"", "B"}},
     {{5, 0, 0, None, "022", false, ""}, {5, 0, 0, None, "221", false, ""}},
     0,
     0,
     {5, 0, 0, 0, 0, 0, 0, 0, 0, 0},
     None,
     TReliability::NoSpread,
     KrFrom(5)},
    // The second taker ended after one question: it scores 100 per cent of
    // what it saw but only 1 in total, and counts for the first question
    // only; KR-20 waits for complete tests.
    {"TakerWhoEndedEarly",
     {"A", "A", "A"},
     "AB",
     {{"A", "A", "A"}, {"A", "-", "-"}, {"B", "B", "B"}},
     {{3, 0.6667, 1, 0.7559, "21", false, ""}, {2, 0.5, 1, 1, "11", false, ""}, {2, 0.5, 1, 1, "11", false, ""}},
     66.667,
     47.140,
     {1, 0, 0, 0, 0, 0, 0, 0, 0, 2},
     None,
     TReliability::TooFewTakers,
     KrFrom(3)},
};

class SeriesFigures : public testing::TestWithParam<TCase> {};

TEST_P(SeriesFigures, MatchHandComputedValues) {
  const TCase& c = GetParam();
  const std::vector<TDetailTest> tests = Tests(c.Correct, c.Offered, c.Takers);
  // The figures must not depend on the order in which the tests were saved.
  for (bool reversed : {false, true}) {
    std::vector<const TDetailTest*> members;
    members.reserve(tests.size());
    for (const TDetailTest& t : tests) members.push_back(&t);
    if (reversed) std::reverse(members.begin(), members.end());
    SCOPED_TRACE(reversed ? "saved in reverse order" : "saved in order");
    const TSeriesStatistics s = ComputeSeries(members, c.Options);
    EXPECT_EQ(s.Takers, static_cast<int>(c.Takers.size()));
    EXPECT_NEAR(s.MeanPercent, c.MeanPercent, 5e-3);
    EXPECT_NEAR(s.SdPercent, c.SdPercent, 5e-3);
    EXPECT_EQ(s.Histogram, c.Histogram);
    EXPECT_EQ(s.ReliabilityState, c.Reliability);
    ExpectFigure(s.Kr20, c.Kr20, "KR-20");
    ASSERT_EQ(s.Items.size(), c.Items.size());
    for (std::size_t i = 0; i < c.Items.size(); ++i) {
      const TItemExpect& e = c.Items[i];
      const TItemStatistics& item = s.Items[i];
      const std::string q = "question " + std::to_string(i + 1) + " ";
      EXPECT_EQ(item.Question, static_cast<int>(i + 1));
      EXPECT_EQ(item.Attempts, e.Attempts) << q;
      ExpectFigure(item.Facility, e.Facility, q + "facility");
      ExpectFigure(item.Discrimination, e.Discrimination, q + "discrimination");
      ExpectFigure(item.PointBiserial, e.PointBiserial, q + "point-biserial");
      std::string chosen;
      for (std::size_t a = 0; a < c.Offered.size(); ++a) chosen += std::to_string(item.Chosen[a]);
      EXPECT_EQ(chosen, e.Chosen) << q;
      EXPECT_EQ(item.NegativeDiscrimination, e.Negative) << q;
      EXPECT_EQ(MaskLetters(item.UnchosenDistractors), e.Unchosen) << q;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Classes, SeriesFigures, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<TCase>& info) { return std::string(info.param.Name); });

TEST(Series, AChangedSetStartsANewSeriesNewestFirst) {
  const TTaker right{"A", "A"}, wrong{"B", "B"};
  std::vector<TDetailTest> tests = Tests({"A", "A"}, "AB", {right, wrong, right}, 7);
  std::vector<TDetailTest> changed = Tests({"A", "A"}, "AB", {wrong}, 8);
  changed[0].DateTime = "2026-12-01 09:00:00";
  tests.insert(tests.begin() + 1, changed[0]);
  // The same questions under a name differing only in case are one series.
  tests[3].SetFile = "QUIZ.QST";
  const std::vector<TSeriesStatistics> series = ComputeStatistics(tests);
  ASSERT_EQ(series.size(), 2u);
  EXPECT_EQ(series[0].Fingerprint, 8u);
  EXPECT_EQ(series[0].Takers, 1);
  EXPECT_EQ(series[0].MeanPercent, 0);
  EXPECT_EQ(series[1].Fingerprint, 7u);
  EXPECT_EQ(series[1].Takers, 3);
  EXPECT_NEAR(series[1].MeanPercent, 66.667, 5e-3);
  EXPECT_EQ(series[1].FirstDate, "2026-11-01 10:00:00");
  EXPECT_EQ(series[1].LastDate, "2026-11-03 10:00:00");
}

TEST(Series, FlagsWaitForEnoughAttempts) {
  // Nobody picks C on question 1; the flag appears from the fifth attempt.
  const std::vector<TTaker> four{{"A", "A"}, {"B", "A"}, {"A", "B"}, {"B", "B"}};
  for (int extra : {0, 1}) {
    std::vector<TTaker> takers = four;
    if (extra) takers.push_back({"A", "B"});
    const std::vector<TDetailTest> tests = Tests({"A", "A"}, "ABC", takers);
    const TSeriesStatistics s = ComputeStatistics(tests)[0];
    EXPECT_EQ(s.Items[0].UnchosenDistractors, extra ? Mask("C") : 0) << extra;
    EXPECT_EQ(FlagText(s.Items[0]), extra ? "Nobody chose C" : "");
  }
}

TEST(Series, ReliabilityFromTenCompleteTests) {
  // Pairs of takers scoring 2 and 0 on two questions: KR-20 = 2 (1 - 0.5/1) = 1.
  std::vector<TTaker> takers;
  takers.reserve(9);
  for (int i = 0; i < 9; ++i) takers.push_back(i % 2 ? TTaker{"B", "B"} : TTaker{"A", "A"});
  TSeriesStatistics s = ComputeStatistics(Tests({"A", "A"}, "AB", takers))[0];
  EXPECT_FALSE(s.Kr20.has_value());
  EXPECT_EQ(ReliabilityNote(s), "needs 10 tests that saw every question, 9 so far");
  takers.push_back({"B", "B"});
  s = ComputeStatistics(Tests({"A", "A"}, "AB", takers))[0];
  ASSERT_TRUE(s.Kr20.has_value());
  EXPECT_NEAR(*s.Kr20, 1.0, 1e-9);
  EXPECT_EQ(ReliabilityNote(s), "");
}

}  // namespace
