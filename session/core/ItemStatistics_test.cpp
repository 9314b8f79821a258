// Item statistics against figures worked out by hand for small classes.

#include "session/core/ItemStatistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

using namespace proctorium;

namespace {

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
    TDetailTest t{"2026-11-" + std::string(day < 10 ? "0" : "") + std::to_string(day) + " 10:00:00",
                  std::to_string(day),
                  "Quiz.qst",
                  fingerprint,
                  static_cast<int>(correct.size()),
                  {}};
    ++day;
    for (std::size_t q = 0; q < taker.size(); ++q)
      if (taker[q] != "-")
        t.Outcomes.push_back({static_cast<std::int16_t>(q + 1), Mask(offered), Mask(taker[q]), Mask(correct[q]),
                              Mask(taker[q]) == Mask(correct[q])});
    tests.push_back(t);
  }
  return tests;
}

// A figure to three places, "-" where it is not defined.
std::string Figure(const std::optional<double>& v) {
  if (!v) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", std::abs(*v) < 5e-4 ? 0.0 : *v);
  std::string s = text;
  s.erase(s.find_last_not_of('0') + 1);
  if (s.back() == '.') s.pop_back();
  return s;
}

// The series on the first line, then one line per question: attempts,
// facility, discrimination, point-biserial, takers per offered answer, flags.
std::vector<std::string> Figures(const TSeriesStatistics& s, std::size_t offered) {
  static const char* const states[] = {"shown", "too few takers", "too few questions", "no spread"};
  std::string histogram;
  for (int n : s.Histogram) histogram += std::to_string(n);
  std::vector<std::string> lines{"takers " + std::to_string(s.Takers) + " mean " + Figure(s.MeanPercent) + " sd " +
                                 Figure(s.SdPercent) + " histogram " + histogram + " KR-20 " + Figure(s.Kr20) + " " +
                                 states[static_cast<int>(s.ReliabilityState)]};
  for (const TItemStatistics& i : s.Items) {
    std::string chosen;
    for (std::size_t a = 0; a < offered; ++a) chosen += std::to_string(i.Chosen[a]);
    lines.push_back(std::to_string(i.Question) + ": " + std::to_string(i.Attempts) + " " + Figure(i.Facility) + " " +
                    Figure(i.Discrimination) + " " + Figure(i.PointBiserial) + " " + chosen +
                    (i.NegativeDiscrimination ? " negative" : "") +
                    (i.UnchosenDistractors ? " unchosen " + MaskLetters(i.UnchosenDistractors) : ""));
  }
  return lines;
}

struct TCase {
  const char* Name;
  std::vector<std::string> Correct;
  std::string Offered;
  std::vector<TTaker> Takers;
  int MinTakersForReliability;
  std::vector<std::string> Figures;
};

const TCase Cases[] = {
    // Totals 3 2 2 1 0: group size 1, the best and the worst taker alone.
    // SD of totals sqrt(1.04); KR-20 = 3/2 (1 - 0.72 / 1.04).
    {"FiveTakersNoTies",
     {"A", "B", "C"},
     "ABCD",
     {{"A", "B", "C"}, {"A", "B", "D"}, {"A", "C", "C"}, {"B", "B", "D"}, {"B", "C", "A"}},
     5,
     {"takers 5 mean 53.333 sd 33.993 histogram 1001002001 KR-20 0.462 shown", "1: 5 0.6 1 0.881 3200 unchosen CD",
      "2: 5 0.6 1 0.48 0320 unchosen AD", "3: 5 0.4 1 0.721 1022 unchosen B"}},
    // Totals 3 2 1 1 1: the three tied at the bottom share the one place of
    // the lower group, a third each. Question 4 is answered right only by
    // weak takers: negative on both indices, and KR-20 turns negative.
    {"TiesAtTheLowerEdge",
     {"A", "A", "A", "A"},
     "AB",
     {{"A", "A", "A", "B"}, {"A", "A", "B", "B"}, {"A", "B", "B", "B"}, {"B", "B", "B", "A"}, {"B", "B", "B", "A"}},
     5,
     {"takers 5 mean 40 sd 20 histogram 0030010100 KR-20 -0.5 shown", "1: 5 0.6 0.667 0.612 32", "2: 5 0.4 1 0.919 23",
      "3: 5 0.2 1 0.875 14", "4: 5 0.4 -0.667 -0.612 23 negative"}},
    // The second taker ended after one question: it scores 100 per cent of
    // what it saw but only 1 in total, and counts for the first question
    // only; KR-20 waits for complete tests.
    {"TakerWhoEndedEarly",
     {"A", "A", "A"},
     "AB",
     {{"A", "A", "A"}, {"A", "-", "-"}, {"B", "B", "B"}},
     3,
     {"takers 3 mean 66.667 sd 47.14 histogram 1000000002 KR-20 - too few takers", "1: 3 0.667 1 0.756 21",
      "2: 2 0.5 1 1 11", "3: 2 0.5 1 1 11"}},
};

class SeriesFigures : public testing::TestWithParam<TCase> {};

TEST_P(SeriesFigures, MatchHandComputedValues) {
  const TCase& c = GetParam();
  const std::vector<TDetailTest> tests = Tests(c.Correct, c.Offered, c.Takers);
  TStatisticsOptions options;
  options.MinTakersForReliability = c.MinTakersForReliability;
  // The figures must not depend on the order in which the tests were saved.
  std::vector<const TDetailTest*> members;
  members.reserve(tests.size());
  for (const TDetailTest& t : tests) members.push_back(&t);
  EXPECT_EQ(Figures(ComputeSeries(members, options), c.Offered.size()), c.Figures);
  std::reverse(members.begin(), members.end());
  EXPECT_EQ(Figures(ComputeSeries(members, options), c.Offered.size()), c.Figures) << "saved in reverse order";
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
  EXPECT_EQ(Figures(series[1], 2)[0], "takers 3 mean 66.667 sd 47.14 histogram 1000000002 KR-20 - too few takers");
  EXPECT_EQ(series[1].FirstDate + " " + series[1].LastDate, "2026-11-01 10:00:00 2026-11-03 10:00:00");
}

}  // namespace
