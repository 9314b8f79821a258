#include "session/core/ItemStatistics.h"
#include "base/core/Ascii.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace proctorium {

namespace {

// Below this a difference of sums is rounding, not a figure.
constexpr double Tiny = 1e-9;

struct TItemSums {
  int Attempts = 0;
  int Correct = 0;
  std::int64_t Total = 0;         // sum of the attempters' totals
  std::int64_t TotalSquares = 0;  // and of their squares
  std::int64_t CorrectTotal = 0;  // sum of totals of those who got it right
  double Upper = 0, UpperCorrect = 0;
  double Lower = 0, LowerCorrect = 0;
  int CompleteCorrect = 0;
};

// Weight of each total in the group of the g highest (or, with the totals
// sorted ascending, lowest) totals: 1 inside, the places left shared by the
// totals tied at the edge, 0 outside.
struct TGroupEdge {
  int Edge = 0;
  double EdgeWeight = 0;
  bool Upper = true;
  double Weight(int total) const {
    if (total == Edge) return EdgeWeight;
    return (Upper ? total > Edge : total < Edge) ? 1.0 : 0.0;
  }
};

// sorted runs from the group's best end (descending for the upper group,
// ascending for the lower one).
TGroupEdge Edge(const std::vector<int>& sorted, int g, bool upper) {
  TGroupEdge e;
  e.Upper = upper;
  e.Edge = sorted[g - 1];
  const auto first = std::find(sorted.begin(), sorted.end(), e.Edge);
  const int inside = static_cast<int>(first - sorted.begin());
  const int tied = static_cast<int>(std::count(first, sorted.end(), e.Edge));
  e.EdgeWeight = static_cast<double>(g - inside) / tied;
  return e;
}

}  // namespace

TSeriesStatistics ComputeSeries(const std::vector<const TDetailTest*>& tests, const TStatisticsOptions& options) {
  TSeriesStatistics s;
  const int n = static_cast<int>(tests.size());
  s.Takers = n;
  if (n == 0) return s;
  const TDetailTest* newest = tests.front();
  int k = 0;
  for (const TDetailTest* t : tests) {
    k = std::max(k, t->QuestionsInSet);
    if (!t->Outcomes.empty()) k = std::max<int>(k, t->Outcomes.back().Question);
    if (t->DateTime >= newest->DateTime) newest = t;
  }
  s.SetFile = newest->SetFile;
  s.Fingerprint = newest->Fingerprint;
  s.QuestionsInSet = k;
  s.FirstDate = tests.front()->DateTime;
  s.LastDate = newest->DateTime;

  // Totals and the score distribution.
  std::vector<int> totals(n);
  double sumPercent = 0, sumPercentSquares = 0;
  std::int64_t sumTotal = 0, sumTotalSquares = 0;
  for (int i = 0; i < n; ++i) {
    const TDetailTest& t = *tests[i];
    s.FirstDate = std::min(s.FirstDate, t.DateTime);
    int correct = 0;
    for (const TQuestionOutcome& o : t.Outcomes) correct += o.Correct;
    totals[i] = correct;
    const int seen = static_cast<int>(t.Outcomes.size());
    const double percent = seen ? 100.0 * correct / seen : 0.0;
    sumPercent += percent;
    sumPercentSquares += percent * percent;
    sumTotal += correct;
    sumTotalSquares += static_cast<std::int64_t>(correct) * correct;
    ++s.Histogram[std::min(9, seen ? 100 * correct / seen / 10 : 0)];
    if (seen == k) ++s.CompleteTakers;
  }
  s.MeanPercent = sumPercent / n;
  s.SdPercent = std::sqrt(std::max(0.0, sumPercentSquares / n - s.MeanPercent * s.MeanPercent));
  s.MeanTotal = static_cast<double>(sumTotal) / n;
  s.SdTotal = std::sqrt(std::max<double>(0.0, static_cast<double>(n * sumTotalSquares - sumTotal * sumTotal)) / n / n);

  // The upper and lower groups.
  const bool groups = n >= 2;
  TGroupEdge upper, lower;
  if (groups) {
    const int g = std::max(1, (27 * n + 50) / 100);
    std::vector<int> sorted = totals;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    upper = Edge(sorted, g, true);
    std::reverse(sorted.begin(), sorted.end());
    lower = Edge(sorted, g, false);
  }

  // One pass over every answer given.
  std::vector<TItemSums> sums(k + 1);
  s.Items.resize(k);
  for (int q = 1; q <= k; ++q) s.Items[q - 1].Question = q;
  std::int64_t completeTotal = 0, completeSquares = 0;
  for (int i = 0; i < n; ++i) {
    const TDetailTest& t = *tests[i];
    const std::int64_t total = totals[i];
    const bool complete = static_cast<int>(t.Outcomes.size()) == k;
    if (complete) {
      completeTotal += total;
      completeSquares += total * total;
    }
    const double wu = groups ? upper.Weight(totals[i]) : 0;
    const double wl = groups ? lower.Weight(totals[i]) : 0;
    for (const TQuestionOutcome& o : t.Outcomes) {
      TItemSums& m = sums[o.Question];
      TItemStatistics& item = s.Items[o.Question - 1];
      if (m.Attempts++ == 0) {
        item.Offered = o.Offered;
        item.CorrectAnswer = o.CorrectAnswer;
      }
      m.Total += total;
      m.TotalSquares += total * total;
      m.Upper += wu;
      m.Lower += wl;
      if (o.Correct) {
        ++m.Correct;
        m.CorrectTotal += total;
        m.UpperCorrect += wu;
        m.LowerCorrect += wl;
        if (complete) ++m.CompleteCorrect;
      }
      if (o.Response == 0) ++item.Blank;
      for (int a = 0; a < AnswerCount; ++a)
        if (o.Response & (1u << a)) ++item.Chosen[a];
    }
  }

  double sumPq = 0;
  for (int q = 1; q <= k; ++q) {
    const TItemSums& m = sums[q];
    TItemStatistics& item = s.Items[q - 1];
    item.Attempts = m.Attempts;
    item.CorrectCount = m.Correct;
    if (s.CompleteTakers > 0) {
      const double p = static_cast<double>(m.CompleteCorrect) / s.CompleteTakers;
      sumPq += p * (1 - p);
    }
    if (m.Attempts == 0) continue;
    const double p = static_cast<double>(m.Correct) / m.Attempts;
    item.Facility = p;
    if (groups && m.Upper > Tiny && m.Lower > Tiny)
      item.Discrimination = m.UpperCorrect / m.Upper - m.LowerCorrect / m.Lower;
    // Exact in integers: attempts squared times the variance of the totals.
    const std::int64_t spread = m.Attempts * m.TotalSquares - m.Total * m.Total;
    if (m.Correct > 0 && m.Correct < m.Attempts && spread > 0) {
      const double sd = std::sqrt(static_cast<double>(spread)) / m.Attempts;
      const double meanRight = static_cast<double>(m.CorrectTotal) / m.Correct;
      const double meanWrong = static_cast<double>(m.Total - m.CorrectTotal) / (m.Attempts - m.Correct);
      item.PointBiserial = (meanRight - meanWrong) / sd * std::sqrt(p * (1 - p));
    }
    if (m.Attempts >= options.MinAttemptsForFlags) {
      item.NegativeDiscrimination =
          (item.Discrimination && *item.Discrimination < -Tiny) || (item.PointBiserial && *item.PointBiserial < -Tiny);
      AnswerMask chosen = 0;
      for (int a = 0; a < AnswerCount; ++a)
        if (item.Chosen[a] > 0) chosen |= static_cast<AnswerMask>(1u << a);
      item.UnchosenDistractors = item.Offered & ~item.CorrectAnswer & ~chosen;
    }
  }

  // KR-20 over the takers who saw the whole set.
  const int c = s.CompleteTakers;
  if (k < 2) {
    s.ReliabilityState = TReliability::TooFewQuestions;
  } else if (c < std::max(2, options.MinTakersForReliability)) {
    s.ReliabilityState = TReliability::TooFewTakers;
  } else {
    const double variance = static_cast<double>(c * completeSquares - completeTotal * completeTotal) / c / c;
    if (c * completeSquares - completeTotal * completeTotal <= 0) {
      s.ReliabilityState = TReliability::NoSpread;
    } else {
      s.ReliabilityState = TReliability::Shown;
      s.Kr20 = static_cast<double>(k) / (k - 1) * (1 - sumPq / variance);
    }
  }
  return s;
}

std::vector<TSeriesStatistics> ComputeStatistics(const std::vector<TDetailTest>& tests,
                                                 const TStatisticsOptions& options) {
  // File names compare as Windows compares them, so a set renamed only in
  // case stays one series.
  std::map<std::pair<std::string, std::uint64_t>, std::vector<const TDetailTest*>> series;
  for (const TDetailTest& t : tests) series[{LowerAscii(t.SetFile), t.Fingerprint}].push_back(&t);
  std::vector<TSeriesStatistics> result;
  result.reserve(series.size());
  for (const auto& [key, members] : series) result.push_back(ComputeSeries(members, options));
  std::stable_sort(result.begin(), result.end(),
                   [](const TSeriesStatistics& a, const TSeriesStatistics& b) { return a.LastDate > b.LastDate; });
  return result;
}

}  // namespace proctorium

namespace proctorium {

std::string FlagText(const TItemStatistics& item) {
  std::string s;
  if (item.NegativeDiscrimination) s = "Negative discrimination";
  if (item.UnchosenDistractors) {
    if (!s.empty()) s += "; ";
    s += s.empty() ? "Nobody chose " : "nobody chose ";
    bool first = true;
    for (int a = 0; a < AnswerCount; ++a)
      if (item.UnchosenDistractors & (1u << a)) {
        if (!first) s += ", ";
        s += static_cast<char>('A' + a);
        first = false;
      }
  }
  return s;
}

std::string ReliabilityNote(const TSeriesStatistics& s, const TStatisticsOptions& options) {
  switch (s.ReliabilityState) {
    case TReliability::Shown:
      return {};
    case TReliability::TooFewQuestions:
      return "needs a set of at least 2 questions";
    case TReliability::NoSpread:
      return "all complete tests have the same score";
    case TReliability::TooFewTakers:
      break;
  }
  return "needs " + std::to_string(std::max(2, options.MinTakersForReliability)) + " tests that saw every question, " +
         std::to_string(s.CompleteTakers) + " so far";
}

}  // namespace proctorium
