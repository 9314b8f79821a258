// Item statistics against figures worked out by hand for small classes.

#include "session/core/ItemStatistics.h"

#include <gtest/gtest.h>

#include "session/core/Csv.h"
#include "session/core/CsvExport.h"

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

std::string Shares(const std::optional<std::array<double, AnswerCount>>& shares, std::size_t offered) {
  std::string s;
  for (std::size_t a = 0; a < offered; ++a) s += (a ? "/" : "") + std::to_string(std::lround((*shares)[a] * 100));
  return s;
}

// The series on the first line, then one line per question: attempts,
// facility, discrimination, point-biserial, item-rest, chance level, takers
// per offered answer, per cent of the upper and of the lower group per
// offered answer, flags.
std::vector<std::string> Figures(const TSeriesStatistics& s, std::size_t offered) {
  static const char* const states[] = {"shown", "too few takers", "too few questions", "no spread"};
  std::string histogram;
  for (int n : s.Histogram) histogram += std::to_string(n);
  std::vector<std::string> lines{"takers " + std::to_string(s.Takers) + " mean " + Figure(s.MeanPercent) + " sd " +
                                 Figure(s.SdPercent) + " histogram " + histogram + " KR-20 " + Figure(s.Kr20) + " " +
                                 states[static_cast<int>(s.ReliabilityState)] + " median " + Figure(s.MedianPercent) +
                                 " skew " + Figure(s.Skewness) + " kurt " + Figure(s.Kurtosis) + " sem " +
                                 Figure(s.SemQuestions) + " " + Figure(s.SemPercent)};
  for (const TItemStatistics& i : s.Items) {
    std::string chosen;
    for (std::size_t a = 0; a < offered; ++a) chosen += std::to_string(i.Chosen[a]);
    std::string flags;
    auto flag = [&](bool on, const std::string& text) {
      if (on) flags += (flags.empty() ? " " : ", ") + text;
    };
    flag(i.NegativeDiscrimination, "negative");
    flag(i.StrongPrefer != 0, "prefer " + MaskLetters(i.StrongPrefer));
    flag(i.WithinChance, "chance");
    flag(i.UnchosenDistractors != 0, "unchosen " + MaskLetters(i.UnchosenDistractors));
    EXPECT_EQ(i.UpperChose.has_value(), i.LowerChose.has_value()) << "question " << i.Question;
    std::string shares;
    if (i.UpperChose) {
      shares += ' ';
      shares += Shares(i.UpperChose, offered);
      shares += ' ';
      shares += Shares(i.LowerChose, offered);
    }
    std::string line = std::to_string(i.Question) + ": " + std::to_string(i.Attempts) + " " + Figure(i.Facility) + " " +
                       Figure(i.Discrimination) + " " + Figure(i.PointBiserial) + " " + Figure(i.ItemRest) + " " +
                       Figure(i.ChanceLevel) + " ";
    line += chosen;
    line += shares;
    line += flags;
    lines.push_back(line);
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

// Flags are raised from 5 attempts on. "Within chance" means facility at
// most chance + 2 * sqrt(chance * (1 - chance) / attempts): with 5 attempts
// of a four-answer question up to 0.637, of a two-answer one up to 0.947.
const TCase Cases[] = {
    // Totals 3 2 2 1 0: group size 1, the best and the worst taker alone.
    // SD of totals sqrt(1.04); KR-20 = 3/2 (1 - 0.72 / 1.04); SEM =
    // sqrt(1.04) * sqrt(1 - 0.462) = 0.748 questions, 24.9% of 3.
    // Per cents 100 66.7 66.7 33.3 0: median 66.7, a longer tail below.
    // Item-rest of question 1: right 1 1 1 0 0 against rests 2 1 1 1 0,
    // covariance 1.0 / sqrt(1.2 * 2) = 0.645.
    {"FiveTakersNoTies",
     {"A", "B", "C"},
     "ABCD",
     {{"A", "B", "C"}, {"A", "B", "D"}, {"A", "C", "C"}, {"B", "B", "D"}, {"B", "C", "A"}},
     5,
     {"takers 5 mean 53.333 sd 33.993 histogram 1001002001 KR-20 0.462 shown median 66.667 skew -0.272 kurt -1.044 "
      "sem 0.748 24.944",
      "1: 5 0.6 1 0.881 0.645 0.25 3200 100/0/0/0 0/100/0/0 chance, unchosen CD",
      "2: 5 0.6 1 0.48 0 0.25 0320 0/100/0/0 0/0/100/0 chance, unchosen AD",
      "3: 5 0.4 1 0.721 0.327 0.25 1022 0/0/100/0 100/0/0/0 chance, unchosen B"}},
    // Totals 3 2 1 1 1: the three tied at the bottom share the one place of
    // the lower group, a third each (so a third of it chose A on question
    // 1). Question 4 is answered right only by weak takers: negative on all
    // three indices, the strong taker chose B, and KR-20 turns negative.
    {"TiesAtTheLowerEdge",
     {"A", "A", "A", "A"},
     "AB",
     {{"A", "A", "A", "B"}, {"A", "A", "B", "B"}, {"A", "B", "B", "B"}, {"B", "B", "B", "A"}, {"B", "B", "B", "A"}},
     5,
     {"takers 5 mean 40 sd 20 histogram 0030010100 KR-20 -0.5 shown median 25 skew 0.844 kurt -0.922 sem 0.98 24.495",
      "1: 5 0.6 0.667 0.612 0 0.5 32 100/0 33/67 chance", "2: 5 0.4 1 0.919 0.612 0.5 23 100/0 0/100 chance",
      "3: 5 0.2 1 0.875 0.612 0.5 14 100/0 0/100 chance",
      "4: 5 0.4 -0.667 -0.612 -0.84 0.5 23 0/100 67/33 negative, prefer B, chance"}},
    // The second taker ended after one question: it scores 100 per cent of
    // what it saw but only 1 in total, and counts for the first question
    // only; KR-20 and so the SEM wait for complete tests.
    {"TakerWhoEndedEarly",
     {"A", "A", "A"},
     "AB",
     {{"A", "A", "A"}, {"A", "-", "-"}, {"B", "B", "B"}},
     3,
     {"takers 3 mean 66.667 sd 47.14 histogram 1000000002 KR-20 - too few takers median 100 skew -0.707 kurt -1.5 "
      "sem - -",
      "1: 3 0.667 1 0.756 0.5 0.5 21 100/0 0/100", "2: 2 0.5 1 1 1 0.5 11 100/0 0/100",
      "3: 2 0.5 1 1 1 0.5 11 100/0 0/100"}},
    // No groups, no correlations, no moments of a single score.
    {"SingleTaker",
     {"A", "B", "C"},
     "ABCD",
     {{"A", "C", "C"}},
     1,
     {"takers 1 mean 66.667 sd 0 histogram 0000001000 KR-20 - too few takers median 66.667 skew - kurt - sem - -",
      "1: 1 1 - - - 0.25 1000", "2: 1 0 - - - 0.25 0010", "3: 1 1 - - - 0.25 0010"}},
    // Everybody equal: discrimination 0 (both groups all right), the
    // correlations and KR-20 undefined.
    {"AllRight",
     {"A", "B"},
     "ABC",
     {{"A", "B"}, {"A", "B"}, {"A", "B"}, {"A", "B"}, {"A", "B"}},
     2,
     {"takers 5 mean 100 sd 0 histogram 0000000005 KR-20 - no spread median 100 skew - kurt - sem - -",
      "1: 5 1 0 - - 0.333 500 100/0/0 100/0/0 unchosen BC", "2: 5 1 0 - - 0.333 050 0/100/0 0/100/0 unchosen AC"}},
    // Nobody right: every wrong answer chosen by the strong beats the key.
    {"AllWrong",
     {"A", "B"},
     "ABC",
     {{"B", "A"}, {"C", "A"}, {"B", "C"}, {"B", "A"}, {"C", "C"}},
     2,
     {"takers 5 mean 0 sd 0 histogram 5000000000 KR-20 - no spread median 0 skew - kurt - sem - -",
      "1: 5 0 0 - - 0.333 032 0/60/40 0/60/40 prefer BC, chance",
      "2: 5 0 0 - - 0.333 302 60/0/40 60/0/40 prefer AC, chance"}},
    // Question 1 right for everybody: no correlation, and it adds nothing
    // to KR-20 (p q = 0) while raising every total alike.
    {"ConstantQuestion",
     {"A", "A", "A"},
     "ABC",
     {{"A", "A", "A"}, {"A", "A", "B"}, {"A", "B", "B"}, {"A", "B", "C"}, {"A", "C", "C"}},
     5,
     {"takers 5 mean 53.333 sd 26.667 histogram 0003001001 KR-20 0.562 shown median 33.333 skew 0.844 kurt -0.922 "
      "sem 0.529 17.638",
      "1: 5 1 0 - - 0.333 500 100/0/0 100/0/0 unchosen BC", "2: 5 0.4 1 0.919 0.612 0.333 221 100/0/0 0/67/33 chance",
      "3: 5 0.2 1 0.875 0.612 0.333 122 100/0/0 0/33/67 chance"}},
    // Question 4 keyed A where B is right: the strong takers all chose B,
    // the weak ones A. Group size 2 of 7; totals 4 4 3 2 1 1 0 (per cents of
    // 4), so the two at 1 share the lower group's second place.
    {"WrongKeyStrongPreferB",
     {"A", "A", "A", "A"},
     "ABCD",
     {{"A", "A", "A", "B"},
      {"A", "A", "A", "B"},
      {"A", "A", "B", "B"},
      {"A", "B", "B", "C"},
      {"B", "B", "C", "A"},
      {"C", "B", "B", "A"},
      {"B", "C", "C", "A"}},
     7,
     // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one summary line, split to fit
     {"takers 7 mean 42.857 sd 22.016 histogram 0040010200 KR-20 -0.281 shown median 25 skew 0.589 kurt -1.453 sem "
      "0.997 24.915",
      "1: 7 0.571 0.75 0.702 0.194 0.25 4210 100/0/0/0 25/50/25/0 chance, unchosen D",
      "2: 7 0.429 1 0.937 0.73 0.25 3310 100/0/0/0 0/75/25/0 chance, unchosen D",
      "3: 7 0.286 1 0.923 0.73 0.25 2320 100/0/0/0 0/50/50/0 chance, unchosen D",
      "4: 7 0.429 -0.75 -0.702 -0.871 0.25 3310 0/100/0/0 75/0/25/0 negative, prefer B, chance, unchosen D"}},
    // Question 1 has two correct answers of three: a guesser picks one of
    // the 7 non-empty choices. Three takers tie at the top for the upper
    // group's 2 places (2/3 each).
    {"MultipleAnswerTiesAtTheTop",
     {"AB", "C"},
     "ABC",
     {{"AB", "C"}, {"AB", "C"}, {"AB", "C"}, {"AB", "A"}, {"ABC", "B"}, {"B", "B"}},
     6,
     {"takers 6 mean 58.333 sd 44.876 histogram 2000010003 KR-20 0.828 shown median 75 skew -0.333 kurt -1.677 sem "
      "0.373 18.634",
      "1: 6 0.667 1 0.919 0.707 0.143 561 100/100/0 50/100/50",
      "2: 6 0.5 1 0.928 0.707 0.333 123 0/0/100 0/100/0 chance"}},
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
  EXPECT_EQ(
      Figures(series[1], 2)[0],
      "takers 3 mean 66.667 sd 47.14 histogram 1000000002 KR-20 - too few takers median 100 skew -0.707 kurt -1.5 "
      "sem - -");
  EXPECT_EQ(series[1].FirstDate + " " + series[1].LastDate, "2026-11-01 10:00:00 2026-11-03 10:00:00");
}

// What the window and the export say, from the figures.
TEST(Series, TextsForFlagsMeasurementErrorAndSkippedLines) {
  TItemStatistics item;
  EXPECT_EQ(FlagText(item), "");
  item.UnchosenDistractors = Mask("CD");
  EXPECT_EQ(FlagText(item), "Nobody chose C, D");
  item.NegativeDiscrimination = true;
  item.StrongPrefer = Mask("B");
  item.WithinChance = true;
  EXPECT_EQ(FlagText(item), "Negative discrimination; strong takers prefer B; within chance; nobody chose C, D");
  item = {};
  item.StrongPrefer = Mask("BE");
  EXPECT_EQ(FlagText(item), "Strong takers prefer B, E");

  TSeriesStatistics s;
  EXPECT_EQ(SemSentence(s), "");
  s.SemQuestions = 1.5;
  s.SemPercent = 6.04;
  EXPECT_EQ(SemSentence(s),
            "A score is uncertain by about 6.0 percentage points either way (one standard error); a pass mark less "
            "than 12.1 points from a candidate's score does not tell reliably whether the candidate is above or "
            "below it.");

  const std::pair<TSkippedLines, std::string> skipped[] = {
      {{}, ""},
      {{1, {7}}, "1 damaged line was skipped (line 7)"},
      {{2, {3, 9}}, "2 damaged lines were skipped (lines 3, 9)"},
      {{9, {2, 3, 4, 5, 6}}, "9 damaged lines were skipped (lines 2, 3, 4, 5, 6, ...)"},
  };
  for (const auto& [lines, text] : skipped) EXPECT_EQ(SkippedText(lines), text);

  const std::pair<TStatisticsFilter, std::string> filters[] = {
      {{}, ""},
      {{"2026-11-01", "2026-11-30", false}, "Tests from 2026-11-01 to 2026-11-30"},
      {{"2026-11-01", "", true}, "Tests from 2026-11-01 on; latest attempt of each candidate"},
      {{"", "2026-11-30", false}, "Tests up to 2026-11-30"},
      {{"", "", true}, "Latest attempt of each candidate"},
  };
  for (const auto& [filter, text] : filters) EXPECT_EQ(FilterText(filter), text);
}

// Retakes and date ranges: which tests count. Each test is right on
// question 1 only when its taker is marked with a right answer, so the
// number of tests and of right answers tells which were counted.
TEST(Series, FilterByDateAndLatestAttempt) {
  struct TTake {
    const char* Date;
    const char* Name;
    const char* Id;
    const char* Response;
  };
  const TTake takes[] = {
      {"2026-11-01 09:00:00", "Ann", "", "B"},       // Ann's first attempt
      {"2026-11-03 09:00:00", "ann ", "", "A"},      // her retake: names compare without case and blanks
      {"2026-11-02 09:00:00", "Bob", "17", "B"},     // Bob by ID ...
      {"2026-11-02 09:00:00", "Robert", "17", "A"},  // ... same ID, same time: the later written counts
      {"2026-11-04 09:00:00", "", "", "A"},          // no candidate: each counts
      {"2026-11-04 09:00:00", "", "", "B"},
      {"2026-11-05 09:00:00", "Ann", "", "B"},  // Ann on a changed set is another series
  };
  std::string log;
  int n = 0;
  for (const TTake& take : takes) {
    TDetailTest t{take.Date, "t" + std::to_string(n), "Quiz.qst", n == 6 ? 2u : 1u, 1, {}};
    t.CandidateName = take.Name;
    t.CandidateId = take.Id;
    t.Outcomes.push_back({1, Mask("AB"), Mask(take.Response), Mask("A"), take.Response[0] == 'A'});
    log += DetailLogRecords(t, n++ == 0);
  }
  struct {
    TStatisticsFilter Filter;
    std::string Counted;  // tests and right answers of the first series' set
  } cases[] = {
      {{}, "6 tests 3 right"},
      {{"2026-11-02", "2026-11-03", false}, "3 tests 2 right"},
      {{"2026-11-04", "", false}, "2 tests 1 right"},
      {{"", "2026-11-01", false}, "1 tests 0 right"},
      {{"", "", true}, "4 tests 3 right"},
      // Ann's retake is outside the range: her first attempt is her latest.
      {{"2026-11-01", "2026-11-02", true}, "2 tests 1 right"},
  };
  for (const auto& c : cases) {
    const TStatisticsLoad load = LoadStatistics(log, c.Filter);
    std::string counted = "none";
    for (const TSeriesStatistics& s : load.Series)
      if (s.Fingerprint == 1)
        counted = std::to_string(s.Takers) + " tests " + std::to_string(s.Items[0].CorrectCount) + " right";
    EXPECT_EQ(counted, c.Counted) << FilterText(c.Filter);
    EXPECT_EQ(load.Skipped.Count, 0);
  }
  // The other series keeps Ann's one test whatever the attempt rule.
  EXPECT_EQ(LoadStatistics(log, {"", "", true}).Series.front().Takers, 1);
}

// Reading the log in pieces gives the same figures as reading it whole.
TEST(Series, StreamedLogMatchesTheTestsItHolds) {
  std::vector<TDetailTest> tests = Tests(
      {"A", "B", "C"}, "ABCD", {{"A", "B", "C"}, {"A", "B", "D"}, {"A", "C", "C"}, {"B", "-", "-"}, {"B", "C", "A"}});
  std::vector<TDetailTest> other = Tests({"A"}, "AB", {{"A"}, {"B"}}, 9);
  tests.insert(tests.end(), other.begin(), other.end());
  std::string log;
  for (const TDetailTest& t : tests) log += DetailLogRecords(t, log.empty());
  const std::vector<TSeriesStatistics> whole = ComputeStatistics(tests);
  for (std::size_t piece : {std::size_t(1), std::size_t(5), std::size_t(64), log.size()}) {
    std::size_t pos = 0;
    const TStatisticsLoad load = LoadStatistics(
        [&](char* buffer, std::size_t size) {
          const std::size_t n = std::min({size, piece, log.size() - pos});
          std::copy_n(log.data() + pos, n, buffer);
          pos += n;
          return n;
        },
        [] { return false; });
    ASSERT_EQ(load.Series.size(), whole.size());
    for (std::size_t i = 0; i < whole.size(); ++i)
      EXPECT_EQ(Figures(load.Series[i], 4), Figures(whole[i], 4)) << "pieces of " << piece;
  }
}

// The export carries every figure of the window: the new set figures, the
// chance level, item-rest, both groups' choices and the flags.
TEST(Series, ExportHasTheNewFiguresPerQuestion) {
  const std::vector<TDetailTest> tests = Tests({"A", "A", "A", "A"}, "ABCD",
                                               {{"A", "A", "A", "B"},
                                                {"A", "A", "A", "B"},
                                                {"A", "A", "B", "B"},
                                                {"A", "B", "B", "C"},
                                                {"B", "B", "C", "A"},
                                                {"C", "B", "B", "A"},
                                                {"B", "C", "C", "A"}});
  const std::vector<TSeriesStatistics> series = ComputeStatistics(tests);
  TStatisticsOptions options;
  options.MinTakersForReliability = 7;
  const std::string csv =
      StatisticsCsv(ComputeStatistics(tests, options).front(), options, {"2026-11-01", "2026-11-30", true});
  for (const char* expected : {
           "\r\nTests counted,Tests from 2026-11-01 to 2026-11-30; latest attempt of each candidate\r\n",
           "\r\nMedian score (per cent),25\r\n",
           "\r\nSkewness,0.589\r\n",
           "\r\nKurtosis (excess),-1.453\r\n",
           "\r\nReliability (KR-20),-0.281\r\n",
           "\r\nStandard error of measurement (questions),0.997\r\n",
           "\r\nStandard error of measurement (per cent),24.915\r\n",
           // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one header line, split to fit
           "\r\nQuestion,Attempts,Correct,Facility,Chance level,Discrimination,Point-biserial,Item-rest,Correct answer,"
           "Chose A,Chose B,Chose C,Chose D,Chose E,Chose F,Chose G,Chose H,No answer,Upper 27% chose A,",
           "Lower 27% chose H,Flags\r\n",
           // Letters not offered stay empty.
           "\r\n4,7,3,0.429,0.25,-0.75,-0.702,-0.871,A,3,3,1,0,,,,,0,0,1,0,0,,,,,0.75,0,0.25,0,,,,,"
           "Negative discrimination; strong takers prefer B; within chance; nobody chose D\r\n",
       })
    EXPECT_NE(csv.find(expected), std::string::npos) << expected;
  EXPECT_EQ(series.front().Takers, 7);
}

}  // namespace
