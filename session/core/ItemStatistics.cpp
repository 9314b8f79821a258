#include "session/core/ItemStatistics.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <fstream>
#include <map>
#include <unordered_map>
#include <utility>

#include "base/core/Ascii.h"
#include "base/core/FileIO.h"

namespace proctorium {

namespace {

// Below this a difference of sums is rounding, not a figure.
constexpr double Tiny = 1e-9;

// What one question needs, counted by the total of the takers who saw it:
// every per-question figure, the 27% groups included, is a sum over totals.
struct TItemCounts {
  bool Seen = false;
  bool MultiTick = false;
  AnswerMask Offered = 0;
  AnswerMask CorrectAnswer = 0;
  int CompleteCorrect = 0;
  // The takers of one total side by side, so adding an answer touches one
  // place in memory.
  struct TCell {
    int Attempts = 0, Correct = 0, Blank = 0;
    std::array<int, AnswerCount> Chosen{};
  };
  std::vector<TCell> ByTotal;
  TCell& At(int total) {
    if (static_cast<int>(ByTotal.size()) <= total) ByTotal.resize(static_cast<std::size_t>(total) + 1);
    return ByTotal[static_cast<std::size_t>(total)];
  }
};

bool SeveralBits(unsigned mask) { return (mask & (mask - 1)) != 0; }

// Weight of each total in the group of the g highest (or lowest) totals: 1
// inside, the places left shared by the totals tied at the edge, 0 outside.
struct TGroupEdge {
  int Edge = 0;
  double EdgeWeight = 0;
  bool Upper = true;
  double Weight(int total) const {
    if (total == Edge) return EdgeWeight;
    return (Upper ? total > Edge : total < Edge) ? 1.0 : 0.0;
  }
};

TGroupEdge Edge(const std::vector<int>& byTotal, int g, bool upper) {
  TGroupEdge e;
  e.Upper = upper;
  const int size = static_cast<int>(byTotal.size());
  int inside = 0;
  for (int i = 0; i < size; ++i) {
    const int t = upper ? size - 1 - i : i;
    if (byTotal[t] == 0) continue;
    if (inside + byTotal[t] >= g) {
      e.Edge = t;
      e.EdgeWeight = static_cast<double>(g - inside) / byTotal[t];
      return e;
    }
    inside += byTotal[t];
  }
  return e;
}

std::string SeriesKey(const TDetailTest& t) { return LowerAscii(t.SetFile) + '\n' + FingerprintText(t.Fingerprint); }

bool InDates(const TDetailTest& t, const TStatisticsFilter& filter) {
  const std::string date = t.DateTime.substr(0, 10);
  return (filter.FromDate.empty() || date >= filter.FromDate) && (filter.ToDate.empty() || date <= filter.ToDate);
}

std::string TestKey(const TDetailTest& t) {
  return t.TestId + '\n' + FingerprintText(t.Fingerprint) + '\n' + t.SetFile;
}

std::string Trimmed(const std::string& s) {
  const std::size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

}  // namespace

struct TStatisticsBuilder::TCounts {
  std::string Key;
  std::string SetFile;
  std::uint64_t Fingerprint = 0;
  std::string FirstDate, LastDate;
  int K = 0;
  int Takers = 0;
  int Complete = 0;
  std::vector<int> ByTotal, CompleteByTotal;
  // Tests by (number correct, what the per cent is out of).
  std::map<std::pair<int, int>, int> Scores;
  std::vector<TItemCounts> Items;
};

TStatisticsBuilder::TStatisticsBuilder(const TStatisticsOptions& options) : Options_(options) {}
TStatisticsBuilder::~TStatisticsBuilder() = default;
TStatisticsBuilder::TStatisticsBuilder(TStatisticsBuilder&&) noexcept = default;
TStatisticsBuilder& TStatisticsBuilder::operator=(TStatisticsBuilder&&) noexcept = default;

void TStatisticsBuilder::Add(const TDetailTest& test) {
  // File names compare as Windows compares them, so a set renamed only in
  // case stays one series.
  std::string key = SeriesKey(test);
  if (Series_.empty() || key != Key_) {
    auto it = std::find_if(Series_.begin(), Series_.end(), [&](const TCounts& c) { return c.Key == key; });
    if (it == Series_.end()) {
      Series_.emplace_back().Key = key;
      it = Series_.end() - 1;
    }
    Last_ = static_cast<std::size_t>(it - Series_.begin());
    Key_ = std::move(key);
  }
  TCounts& s = Series_[Last_];
  if (s.Takers == 0 || test.DateTime >= s.LastDate) {
    s.LastDate = test.DateTime;
    s.SetFile = test.SetFile;
    s.Fingerprint = test.Fingerprint;
  }
  if (s.Takers == 0 || test.DateTime < s.FirstDate) s.FirstDate = test.DateTime;
  ++s.Takers;

  int k = test.QuestionsInSet;
  if (!test.Outcomes.empty()) k = std::max<int>(k, test.Outcomes.back().Question);
  if (k > s.K) {
    // Complete means every question of the largest set met so far: the
    // tests counted complete before saw fewer.
    s.K = k;
    s.Items.resize(static_cast<std::size_t>(k));
    s.Complete = 0;
    s.CompleteByTotal.clear();
    for (TItemCounts& item : s.Items) item.CompleteCorrect = 0;
  }
  int correct = 0;
  for (const TQuestionOutcome& o : test.Outcomes) correct += o.Correct;
  const int seen = static_cast<int>(test.Outcomes.size());
  const int outOf = test.ScoreRule == "all" ? std::max(seen, test.QuestionsInSet) : seen;
  ++s.Scores[{correct, outOf}];
  if (static_cast<int>(s.ByTotal.size()) <= correct) s.ByTotal.resize(static_cast<std::size_t>(correct) + 1);
  ++s.ByTotal[correct];
  const bool complete = seen == s.K;
  if (complete) {
    ++s.Complete;
    if (static_cast<int>(s.CompleteByTotal.size()) <= correct)
      s.CompleteByTotal.resize(static_cast<std::size_t>(correct) + 1);
    ++s.CompleteByTotal[correct];
  }
  for (const TQuestionOutcome& o : test.Outcomes) {
    TItemCounts& item = s.Items[static_cast<std::size_t>(o.Question - 1)];
    if (!item.Seen) {
      item.Seen = true;
      item.Offered = o.Offered;
      item.CorrectAnswer = o.CorrectAnswer;
    }
    TItemCounts::TCell& cell = item.At(correct);
    ++cell.Attempts;
    if (o.Correct) {
      ++cell.Correct;
      if (complete) ++item.CompleteCorrect;
    }
    if (o.Response == 0) ++cell.Blank;
    if (SeveralBits(o.Response)) item.MultiTick = true;
    for (unsigned r = o.Response; r; r &= r - 1) ++cell.Chosen[std::countr_zero(r)];
  }
}

namespace {

struct TItemSums {
  std::int64_t Attempts = 0, Correct = 0;
  std::int64_t Total = 0, TotalSquares = 0, CorrectTotal = 0;
  double Upper = 0, UpperCorrect = 0, Lower = 0, LowerCorrect = 0;
  std::array<double, AnswerCount> UpperChose{}, LowerChose{};
};

void ItemFigures(const TItemCounts& c, bool groups, const TGroupEdge& upper, const TGroupEdge& lower,
                 const TStatisticsOptions& options, TItemStatistics& item) {
  TItemSums m;
  for (int t = 0; t < static_cast<int>(c.ByTotal.size()); ++t) {
    const TItemCounts::TCell& cell = c.ByTotal[static_cast<std::size_t>(t)];
    const std::int64_t n = cell.Attempts, r = cell.Correct;
    if (n == 0) continue;
    m.Attempts += n;
    m.Correct += r;
    m.Total += n * t;
    m.TotalSquares += n * t * t;
    m.CorrectTotal += r * t;
    item.Blank += cell.Blank;
    for (int a = 0; a < AnswerCount; ++a) item.Chosen[a] += cell.Chosen[a];
    if (!groups) continue;
    const double wu = upper.Weight(t), wl = lower.Weight(t);
    m.Upper += wu * n;
    m.UpperCorrect += wu * r;
    m.Lower += wl * n;
    m.LowerCorrect += wl * r;
    for (int a = 0; a < AnswerCount; ++a) {
      m.UpperChose[a] += wu * cell.Chosen[a];
      m.LowerChose[a] += wl * cell.Chosen[a];
    }
  }
  item.Attempts = static_cast<int>(m.Attempts);
  item.CorrectCount = static_cast<int>(m.Correct);
  item.Offered = c.Offered;
  item.CorrectAnswer = c.CorrectAnswer;
  item.MultipleAnswer = c.MultiTick || SeveralBits(c.CorrectAnswer);
  const int offered = std::popcount(static_cast<unsigned>(c.Offered));
  if (offered > 0) item.ChanceLevel = item.MultipleAnswer ? 1.0 / ((1 << offered) - 1) : 1.0 / offered;
  if (m.Attempts == 0) return;
  const double p = static_cast<double>(m.Correct) / m.Attempts;
  item.Facility = p;
  if (groups && m.Upper > Tiny && m.Lower > Tiny)
    item.Discrimination = m.UpperCorrect / m.Upper - m.LowerCorrect / m.Lower;
  if (groups && m.Upper > Tiny) {
    item.UpperChose.emplace();
    for (int a = 0; a < AnswerCount; ++a) (*item.UpperChose)[a] = m.UpperChose[a] / m.Upper;
  }
  if (groups && m.Lower > Tiny) {
    item.LowerChose.emplace();
    for (int a = 0; a < AnswerCount; ++a) (*item.LowerChose)[a] = m.LowerChose[a] / m.Lower;
  }
  // Exact in integers: attempts squared times the variance of the totals.
  const std::int64_t spread = m.Attempts * m.TotalSquares - m.Total * m.Total;
  if (m.Correct > 0 && m.Correct < m.Attempts && spread > 0) {
    const double sd = std::sqrt(static_cast<double>(spread)) / m.Attempts;
    const double meanRight = static_cast<double>(m.CorrectTotal) / m.Correct;
    const double meanWrong = static_cast<double>(m.Total - m.CorrectTotal) / (m.Attempts - m.Correct);
    item.PointBiserial = (meanRight - meanWrong) / sd * std::sqrt(p * (1 - p));
  }
  // The rest of a taker's total is the total less this question (x): sums
  // of rest, rest squared and x times rest follow from those of the totals.
  {
    const std::int64_t n = m.Attempts, x = m.Correct;
    const std::int64_t rest = m.Total - x;
    const std::int64_t restSquares = m.TotalSquares - 2 * m.CorrectTotal + x;
    const std::int64_t xRest = m.CorrectTotal - x;
    const std::int64_t covariance = n * xRest - x * rest;
    const std::int64_t xSpread = n * x - x * x;
    const std::int64_t restSpread = n * restSquares - rest * rest;
    if (xSpread > 0 && restSpread > 0)
      item.ItemRest =
          static_cast<double>(covariance) / std::sqrt(static_cast<double>(xSpread) * static_cast<double>(restSpread));
  }
  if (m.Attempts < options.MinAttemptsForFlags) return;
  auto below = [](const std::optional<double>& v) { return v && *v < -Tiny; };
  item.NegativeDiscrimination = below(item.Discrimination) || below(item.PointBiserial) || below(item.ItemRest);
  AnswerMask chosen = 0;
  for (int a = 0; a < AnswerCount; ++a)
    if (item.Chosen[a] > 0) chosen |= static_cast<AnswerMask>(1u << a);
  item.UnchosenDistractors = item.Offered & ~item.CorrectAnswer & ~chosen;
  if (item.UpperChose) {
    const double keyShare = m.UpperCorrect / m.Upper;
    for (int a = 0; a < AnswerCount; ++a)
      if ((item.Offered & ~item.CorrectAnswer & (1u << a)) && (*item.UpperChose)[a] > keyShare + Tiny)
        item.StrongPrefer |= static_cast<AnswerMask>(1u << a);
  }
  if (item.ChanceLevel) {
    const double c = *item.ChanceLevel;
    item.WithinChance = p <= c + 2 * std::sqrt(c * (1 - c) / m.Attempts) + Tiny;
  }
}

}  // namespace

TSeriesStatistics TStatisticsBuilder::Figures(const TCounts& c, const TStatisticsOptions& options) {
  TSeriesStatistics s;
  s.SetFile = c.SetFile;
  s.Fingerprint = c.Fingerprint;
  s.FirstDate = c.FirstDate;
  s.LastDate = c.LastDate;
  s.QuestionsInSet = c.K;
  s.Takers = c.Takers;
  s.CompleteTakers = c.Complete;
  const int n = c.Takers;
  if (n == 0) return s;

  // The score distribution, of exact per cents.
  double sumPercent = 0, sumPercentSquares = 0;
  std::vector<std::pair<double, int>> percents;
  percents.reserve(c.Scores.size());
  for (const auto& [score, tests] : c.Scores) {
    const auto [correct, outOf] = score;
    const double percent = outOf ? 100.0 * correct / outOf : 0.0;
    percents.emplace_back(percent, tests);
    sumPercent += percent * tests;
    sumPercentSquares += percent * percent * tests;
    s.Histogram[std::min(9, outOf ? 100 * correct / outOf / 10 : 0)] += tests;
  }
  s.MeanPercent = sumPercent / n;
  s.SdPercent = std::sqrt(std::max(0.0, sumPercentSquares / n - s.MeanPercent * s.MeanPercent));
  std::sort(percents.begin(), percents.end());
  {
    // The middle score, or the mean of the two middle ones.
    auto at = [&](int index) {
      for (const auto& [percent, tests] : percents) {
        if (index < tests) return percent;
        index -= tests;
      }
      return percents.back().first;
    };
    s.MedianPercent = (at((n - 1) / 2) + at(n / 2)) / 2;
    double m2 = 0, m3 = 0, m4 = 0;
    for (const auto& [percent, tests] : percents) {
      const double d = percent - s.MeanPercent;
      m2 += d * d * tests;
      m3 += d * d * d * tests;
      m4 += d * d * d * d * tests;
    }
    m2 /= n;
    m3 /= n;
    m4 /= n;
    if (m2 > Tiny) {
      s.Skewness = m3 / std::pow(m2, 1.5);
      s.Kurtosis = m4 / (m2 * m2) - 3;
    }
  }
  std::int64_t sumTotal = 0, sumTotalSquares = 0;
  for (int t = 0; t < static_cast<int>(c.ByTotal.size()); ++t) {
    sumTotal += static_cast<std::int64_t>(c.ByTotal[t]) * t;
    sumTotalSquares += static_cast<std::int64_t>(c.ByTotal[t]) * t * t;
  }
  s.MeanTotal = static_cast<double>(sumTotal) / n;
  s.SdTotal = std::sqrt(std::max<double>(0.0, static_cast<double>(n * sumTotalSquares - sumTotal * sumTotal)) / n / n);

  // The upper and lower groups: 27% of the takers, rounded half up.
  const bool groups = n >= 2;
  TGroupEdge upper, lower;
  if (groups) {
    const int g = std::max(1, (27 * n + 50) / 100);
    upper = Edge(c.ByTotal, g, true);
    lower = Edge(c.ByTotal, g, false);
  }
  s.Items.resize(static_cast<std::size_t>(c.K));
  double sumPq = 0;
  for (int q = 1; q <= c.K; ++q) {
    const TItemCounts& counts = c.Items[static_cast<std::size_t>(q - 1)];
    TItemStatistics& item = s.Items[static_cast<std::size_t>(q - 1)];
    item.Question = q;
    if (c.Complete > 0) {
      const double p = static_cast<double>(counts.CompleteCorrect) / c.Complete;
      sumPq += p * (1 - p);
    }
    ItemFigures(counts, groups, upper, lower, options, item);
  }

  // KR-20 over the takers who saw the whole set.
  const std::int64_t complete = c.Complete;
  std::int64_t completeTotal = 0, completeSquares = 0;
  for (int t = 0; t < static_cast<int>(c.CompleteByTotal.size()); ++t) {
    completeTotal += static_cast<std::int64_t>(c.CompleteByTotal[t]) * t;
    completeSquares += static_cast<std::int64_t>(c.CompleteByTotal[t]) * t * t;
  }
  const int k = c.K;
  if (k < 2) {
    s.ReliabilityState = TReliability::TooFewQuestions;
  } else if (complete < std::max(2, options.MinTakersForReliability)) {
    s.ReliabilityState = TReliability::TooFewTakers;
  } else if (complete * completeSquares - completeTotal * completeTotal <= 0) {
    s.ReliabilityState = TReliability::NoSpread;
  } else {
    const double variance =
        static_cast<double>(complete * completeSquares - completeTotal * completeTotal) / complete / complete;
    s.ReliabilityState = TReliability::Shown;
    s.Kr20 = static_cast<double>(k) / (k - 1) * (1 - sumPq / variance);
    s.SemQuestions = std::sqrt(variance) * std::sqrt(std::max(0.0, 1 - *s.Kr20));
    s.SemPercent = *s.SemQuestions / k * 100;
  }
  return s;
}

std::vector<TSeriesStatistics> TStatisticsBuilder::Finish() const {
  std::vector<TSeriesStatistics> result;
  result.reserve(Series_.size());
  for (const TCounts& c : Series_) result.push_back(Figures(c, Options_));
  std::stable_sort(result.begin(), result.end(),
                   [](const TSeriesStatistics& a, const TSeriesStatistics& b) { return a.LastDate > b.LastDate; });
  return result;
}

TSeriesStatistics ComputeSeries(const std::vector<const TDetailTest*>& tests, const TStatisticsOptions& options) {
  TStatisticsBuilder builder(options);
  for (const TDetailTest* t : tests) builder.Add(*t);
  std::vector<TSeriesStatistics> series = builder.Finish();
  // Every test belongs to one series, though a name differing in case
  // may have made two.
  if (series.empty()) return {};
  return series.front();
}

std::vector<TSeriesStatistics> ComputeStatistics(const std::vector<TDetailTest>& tests,
                                                 const TStatisticsOptions& options) {
  TStatisticsBuilder builder(options);
  for (const TDetailTest& t : tests) builder.Add(t);
  return builder.Finish();
}

std::string CandidateKey(const TDetailTest& test) {
  const std::string id = Trimmed(test.CandidateId);
  if (!id.empty()) return "id:" + id;
  const std::string name = Trimmed(test.CandidateName);
  if (!name.empty()) return "name:" + LowerAscii(name);
  return {};
}

TStatisticsLoad LoadStatistics(const TChunkSource& read, const std::function<bool()>& reopen,
                               const TStatisticsFilter& filter, const TStatisticsOptions& options) {
  std::vector<char> buffer(1 << 20);
  auto scan = [&](TDetailLogReader& reader) {
    for (;;) {
      const std::size_t n = read(buffer.data(), buffer.size());
      if (n == 0) break;
      reader.Feed(std::string_view(buffer.data(), n));
    }
    reader.Finish();
  };
  // With LatestAttemptOnly a first reading finds each candidate's latest
  // test of each series: the latest date, and of equal dates the one
  // written last.
  std::unordered_map<std::string, std::pair<std::string, std::string>> latest;  // -> date, test
  if (filter.LatestAttemptOnly) {
    TDetailLogReader first([&](TDetailTest&& t, int) {
      if (!InDates(t, filter)) return;
      const std::string candidate = CandidateKey(t);
      if (candidate.empty()) return;
      auto& [date, test] = latest[SeriesKey(t) + '\n' + candidate];
      if (test.empty() || t.DateTime >= date) {
        date = t.DateTime;
        test = TestKey(t);
      }
    });
    scan(first);
    if (!reopen()) throw EFileError("Cannot read the detail log again");
  }
  TStatisticsBuilder builder(options);
  TDetailLogReader reader([&](TDetailTest&& t, int) {
    if (!InDates(t, filter)) return;
    if (filter.LatestAttemptOnly) {
      const std::string candidate = CandidateKey(t);
      if (!candidate.empty() && latest[SeriesKey(t) + '\n' + candidate].second != TestKey(t)) return;
    }
    builder.Add(t);
  });
  scan(reader);
  return {builder.Finish(), reader.Skipped()};
}

TStatisticsLoad LoadStatistics(std::string_view bytes, const TStatisticsFilter& filter,
                               const TStatisticsOptions& options) {
  std::size_t pos = 0;
  const TChunkSource read = [&](char* buffer, std::size_t size) {
    const std::size_t n = std::min(size, bytes.size() - pos);
    std::copy_n(bytes.data() + pos, n, buffer);
    pos += n;
    return n;
  };
  const std::function<bool()> rewind = [&] {
    pos = 0;
    return true;
  };
  return LoadStatistics(read, rewind, filter, options);
}

TStatisticsLoad LoadStatisticsFile(const std::string& path, const TStatisticsFilter& filter,
                                   const TStatisticsOptions& options) {
  if (!FileExists(path)) return {};
  std::ifstream in;
  auto open = [&] {
    in.close();
    in.clear();
    in.open(ToFsPath(path), std::ios::binary);
    return in.is_open();
  };
  if (!open()) throw EFileError("Cannot open file " + path);
  const TChunkSource read = [&](char* buffer, std::size_t size) -> std::size_t {
    in.read(buffer, static_cast<std::streamsize>(size));
    if (in.bad()) throw EFileError("Cannot read file " + path);
    return static_cast<std::size_t>(in.gcount());
  };
  return LoadStatistics(read, open, filter, options);
}

}  // namespace proctorium

namespace proctorium {

namespace {

std::string Letters(AnswerMask mask) {
  std::string s;
  for (int a = 0; a < AnswerCount; ++a)
    if (mask & (1u << a)) {
      if (!s.empty()) s += ", ";
      s += static_cast<char>('A' + a);
    }
  return s;
}

std::string Fixed(double v, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

}  // namespace

std::string FlagText(const TItemStatistics& item) {
  std::vector<std::string> flags;
  if (item.NegativeDiscrimination) flags.emplace_back("negative discrimination");
  if (item.StrongPrefer) flags.push_back("strong takers prefer " + Letters(item.StrongPrefer));
  if (item.WithinChance) flags.emplace_back("within chance");
  if (item.UnchosenDistractors) flags.push_back("nobody chose " + Letters(item.UnchosenDistractors));
  std::string s;
  for (const std::string& f : flags) s += (s.empty() ? "" : "; ") + f;
  if (!s.empty()) s[0] = static_cast<char>(s[0] - 'a' + 'A');
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

std::string SemSentence(const TSeriesStatistics& s) {
  if (!s.SemPercent) return {};
  const double sem = *s.SemPercent;
  return "A score is uncertain by about " + Fixed(sem, 1) + " percentage points either way (one standard error); a " +
         "pass mark less than " + Fixed(2 * sem, 1) +
         " points from a candidate's score does not tell reliably whether the candidate is above or below it.";
}

std::string FilterText(const TStatisticsFilter& filter) {
  std::string s;
  if (!filter.FromDate.empty() && !filter.ToDate.empty())
    s = "Tests from " + filter.FromDate + " to " + filter.ToDate;
  else if (!filter.FromDate.empty())
    s = "Tests from " + filter.FromDate + " on";
  else if (!filter.ToDate.empty())
    s = "Tests up to " + filter.ToDate;
  if (filter.LatestAttemptOnly)
    s += s.empty() ? "Latest attempt of each candidate" : "; latest attempt of each candidate";
  return s;
}

std::string SkippedText(const TSkippedLines& skipped) {
  if (skipped.Count == 0) return {};
  std::string s = std::to_string(skipped.Count) + (skipped.Count == 1 ? " damaged line was" : " damaged lines were") +
                  " skipped (line" + (skipped.First.size() == 1 ? " " : "s ");
  for (std::size_t i = 0; i < skipped.First.size(); ++i) s += (i ? ", " : "") + std::to_string(skipped.First[i]);
  if (static_cast<int>(skipped.First.size()) < skipped.Count) s += ", ...";
  return s + ")";
}

}  // namespace proctorium
