#include "session/core/ClassTable.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string_view>
#include <utility>

#include "base/core/Ascii.h"
#include "session/core/Csv.h"
#include "session/core/DetailLog.h"

namespace proctorium {

namespace {

bool IsNumberColumn(int column) {
  switch (column) {
    case ClassSeen:
    case ClassInSet:
    case ClassCorrect:
    case ClassPercent:
    case ClassTime:
    case ClassFocusLost:
    case ClassLatest:
      return true;
    default:
      return false;
  }
}

// The largest file the offsets of a row can point into; a gradebook this
// size holds some ten million tests, and only its end is shown past it.
constexpr std::size_t MaxBytes = 0x7fffffffu;
constexpr std::uint32_t ExtraBit = 0x80000000u;

void AppendLower(std::string& out, std::string_view s) {
  for (const char c : s) out.push_back(AsciiLower(c));
}

std::uint64_t Hash(std::uint64_t h, std::string_view s) {
  for (const char c : s) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

}  // namespace

std::string_view TClassTable::View(TSpan s) const {
  if (s.Size == 0) return {};
  if (s.At & ExtraBit) return std::string_view(Extra_).substr(s.At & ~ExtraBit, s.Size);
  return std::string_view(Bytes_).substr(s.At, s.Size);
}

std::string_view TClassTable::SetKey(std::size_t entry) const {
  const TSpan s = Rows_[entry].SetKey;
  return std::string_view(Keys_).substr(s.At, s.Size);
}

std::string_view TClassTable::CandidateKey(std::size_t entry) const {
  const TSpan s = Rows_[entry].CandidateKey;
  return std::string_view(Keys_).substr(s.At, s.Size);
}

void TClassTable::Load(std::string bytes) {
  Bytes_ = std::move(bytes);
  if (Bytes_.size() > MaxBytes) {
    const std::size_t cut = Bytes_.find('\n', Bytes_.size() - MaxBytes);
    Bytes_.erase(0, cut == std::string::npos ? Bytes_.size() : cut + 1);
  }
  Extra_.clear();
  Keys_.clear();
  Rows_.clear();
  Skipped_ = 0;
  const std::string_view all(Bytes_);
  std::size_t pos = all.substr(0, Utf8Bom.size()) == Utf8Bom ? Utf8Bom.size() : 0;
  // A record is some 150 bytes; a guess too small only costs a regrowth.
  Rows_.reserve(all.size() / 128 + 1);
  Keys_.reserve(all.size() / 4);
  const auto span = [&](std::string_view v) {
    if (v.empty()) return TSpan{};
    if (v.data() >= all.data() && v.data() + v.size() <= all.data() + all.size())
      return TSpan{static_cast<std::uint32_t>(v.data() - all.data()), static_cast<std::uint32_t>(v.size())};
    const auto at = static_cast<std::uint32_t>(Extra_.size());
    Extra_.append(v);
    return TSpan{at | ExtraBit, static_cast<std::uint32_t>(v.size())};
  };
  const auto key = [&](std::initializer_list<std::string_view> parts) {
    const auto at = static_cast<std::uint32_t>(Keys_.size());
    bool first = true;
    for (const std::string_view p : parts) {
      if (!first) Keys_.push_back('\n');
      first = false;
      AppendLower(Keys_, p);
    }
    return TSpan{at, static_cast<std::uint32_t>(Keys_.size() - at)};
  };
  TGradebookFields f;
  std::string scratch;
  while (pos < all.size()) {
    const void* nl = std::memchr(all.data() + pos, '\n', all.size() - pos);
    const std::size_t end = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - all.data()) : all.size();
    std::string_view line = all.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const TGradebookLine kind = ParseGradebookLine(line, f, scratch);
    if (kind == TGradebookLine::Damaged) ++Skipped_;
    if (kind != TGradebookLine::Record) continue;
    TRow& r = Rows_.emplace_back();
    r.Text[TxDate] = span(f.DateTime);
    r.Text[TxName] = span(f.CandidateName);
    r.Text[TxId] = span(f.CandidateId);
    r.Text[TxSet] = span(f.SetFile);
    r.Text[TxTimer] = span(f.Timer);
    r.Text[TxEnded] = span(f.Ended);
    r.Text[TxResult] = span(f.Result);
    r.Text[TxTest] = span(f.TestId);
    r.Text[TxScoreRule] = span(f.ScoreRule);
    r.Text[TxSource] = span(f.Source);
    r.SetKey = key({f.SetFile});
    r.CandidateKey = key({f.CandidateName, f.CandidateId});
    r.Fingerprint = f.Fingerprint;
    r.Seen = f.QuestionsSeen;
    r.InSet = f.QuestionsInSet;
    r.Correct = f.Correct;
    r.Percent = f.Percent;
    r.Seconds = f.SecondsTaken;
    r.FocusLost = f.FocusLost;
  }
  MarkLatest();
  Order_.resize(Rows_.size());
  std::iota(Order_.begin(), Order_.end(), 0u);
  Refilter(false);
}

void TClassTable::Assign(const std::vector<TGradebookEntry>& entries) {
  std::string bytes;
  for (const TGradebookEntry& e : entries) bytes += GradebookRecord(e, bytes.empty());
  Load(std::move(bytes));
}

void TClassTable::MarkLatest() {
  // The candidate as the class list knows them: by ID where there is one,
  // else by name; case does not make another candidate. Each attempt is
  // hashed by candidate and set, the hashes sorted, and in each run of one
  // hash the last attempt of each candidate and set is the latest; texts
  // are compared only within a run, so a hash shared by chance marks no
  // wrong row.
  const std::size_t n = Rows_.size();
  Latest_.assign(n, 0);
  const auto who = [&](std::size_t i) -> std::string_view {
    const std::string_view key = CandidateKey(i);
    const std::size_t nameSize = Rows_[i].Text[TxName].Size;
    // key is "name\nid" in lower case; the ID decides where there is one.
    if (Rows_[i].Text[TxId].Size) return key.substr(nameSize + 1);
    if (nameSize) return key.substr(0, nameSize);
    return {};
  };
  const auto byId = [&](std::size_t i) { return Rows_[i].Text[TxId].Size != 0; };
  std::vector<std::pair<std::uint64_t, std::uint32_t>> attempts;
  attempts.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::string_view w = who(i);
    if (w.empty()) continue;
    std::uint64_t h = Hash(14695981039346656037ull, byId(i) ? "#" : "@");
    h = Hash(Hash(h, w), "\n");
    attempts.emplace_back(Hash(h, SetKey(i)), static_cast<std::uint32_t>(i));
  }
  std::sort(attempts.begin(), attempts.end());
  std::vector<std::uint32_t> marked;
  for (std::size_t end = attempts.size(); end > 0;) {
    std::size_t begin = end - 1;
    while (begin > 0 && attempts[begin - 1].first == attempts[end - 1].first) --begin;
    marked.clear();
    for (std::size_t k = end; k-- > begin;) {
      const std::uint32_t i = attempts[k].second;
      const bool seen = std::any_of(marked.begin(), marked.end(), [&](std::uint32_t m) {
        return byId(m) == byId(i) && who(m) == who(i) && SetKey(m) == SetKey(i);
      });
      if (!seen) {
        Latest_[i] = 1;
        marked.push_back(i);
      }
    }
    end = begin;
  }
}

long long TClassTable::Number(std::size_t entry, int column) const {
  const TRow& r = Rows_[entry];
  switch (column) {
    case ClassSeen:
      return r.Seen;
    case ClassInSet:
      return r.InSet;
    case ClassCorrect:
      return r.Correct;
    case ClassPercent:
      return r.Percent;
    case ClassTime:
      return r.Seconds;
    case ClassFocusLost:
      return r.FocusLost;
    case ClassLatest:
      return Latest_[entry];
    default:
      return 0;
  }
}

TGradebookEntry TClassTable::Entry(std::size_t entry) const {
  const TRow& r = Rows_[entry];
  TGradebookEntry e;
  e.DateTime = Text(entry, TxDate);
  e.CandidateName = Text(entry, TxName);
  e.CandidateId = Text(entry, TxId);
  e.SetFile = Text(entry, TxSet);
  e.Fingerprint = r.Fingerprint;
  e.QuestionsSeen = r.Seen;
  e.QuestionsInSet = r.InSet;
  e.Correct = r.Correct;
  e.Percent = r.Percent;
  e.SecondsTaken = r.Seconds;
  e.Timer = Text(entry, TxTimer);
  e.Ended = Text(entry, TxEnded);
  e.Result = Text(entry, TxResult);
  e.TestId = Text(entry, TxTest);
  e.ScoreRule = Text(entry, TxScoreRule);
  e.FocusLost = r.FocusLost;
  e.Source = Text(entry, TxSource);
  return e;
}

std::string TClassTable::ColumnTitle(int column) {
  static const char* const titles[ClassColumnCount] = {
      "Latest",         "Date and time",    "Candidate name", "Candidate ID", "Set file",   "Set fingerprint",
      "Questions seen", "Questions in set", "Correct",        "Per cent",     "Time taken", "Timer",
      "Ended",          "Result",           "Test",           "Score rule",   "Focus lost", "Source"};
  return column >= 0 && column < ClassColumnCount ? titles[column] : std::string();
}

std::string TClassTable::Cell(std::size_t entry, int column) const {
  const TRow& r = Rows_[entry];
  const auto text = [&](TText t) { return std::string(Text(entry, t)); };
  switch (column) {
    case ClassLatest:
      return Latest_[entry] ? LatestMark : "";
    case ClassDateTime:
      return text(TxDate);
    case ClassName:
      return text(TxName);
    case ClassId:
      return text(TxId);
    case ClassSet:
      return text(TxSet);
    case ClassFingerprint:
      return FingerprintText(r.Fingerprint);
    case ClassSeen:
    case ClassInSet:
    case ClassCorrect:
    case ClassPercent:
      return std::to_string(Number(entry, column));
    case ClassTime:
      return GradebookTime(r.Seconds);
    case ClassTimer:
      return text(TxTimer);
    case ClassEnded:
      return text(TxEnded);
    case ClassResult:
      return text(TxResult);
    case ClassTest:
      return text(TxTest);
    case ClassScoreRule:
      return text(TxScoreRule);
    case ClassFocusLost:
      return r.FocusLost < 0 ? std::string() : std::to_string(r.FocusLost);
    case ClassSource:
      return text(TxSource);
    default:
      return {};
  }
}

void TClassTable::SetFilter(const std::string& set, const std::string& candidate) {
  std::string setFilter = LowerAscii(set), candidateFilter = LowerAscii(candidate);
  // Typing on narrows what is shown already: only those rows are looked at.
  const bool narrowing =
      setFilter.find(SetFilter_) != std::string::npos && candidateFilter.find(CandidateFilter_) != std::string::npos;
  SetFilter_ = std::move(setFilter);
  CandidateFilter_ = std::move(candidateFilter);
  Refilter(narrowing);
}

void TClassTable::Refilter(bool narrowing) {
  if (SetFilter_.empty() && CandidateFilter_.empty()) {
    Shown_ = Order_;
    return;
  }
  std::vector<std::uint32_t> shown;
  shown.reserve(narrowing ? Shown_.size() : Order_.size());
  for (const std::uint32_t i : narrowing ? Shown_ : Order_) {
    if (!SetFilter_.empty() && SetKey(i).find(SetFilter_) == std::string_view::npos) continue;
    if (!CandidateFilter_.empty() && CandidateKey(i).find(CandidateFilter_) == std::string_view::npos) continue;
    shown.push_back(i);
  }
  Shown_ = std::move(shown);
}

void TClassTable::Sort(int column, bool ascending) {
  std::iota(Order_.begin(), Order_.end(), 0u);
  if (column >= 0 && column < ClassColumnCount) {
    const auto less = [&](std::uint32_t a, std::uint32_t b) {
      if (IsNumberColumn(column)) return Number(a, column) < Number(b, column);
      switch (column) {
        case ClassName:
          return CandidateKey(a) < CandidateKey(b);
        case ClassSet:
          return SetKey(a) < SetKey(b);
        case ClassFingerprint:
          return Rows_[a].Fingerprint < Rows_[b].Fingerprint;
        case ClassDateTime:
          return Text(a, TxDate) < Text(b, TxDate);
        case ClassId:
          return Text(a, TxId) < Text(b, TxId);
        case ClassTimer:
          return Text(a, TxTimer) < Text(b, TxTimer);
        case ClassEnded:
          return Text(a, TxEnded) < Text(b, TxEnded);
        case ClassResult:
          return Text(a, TxResult) < Text(b, TxResult);
        case ClassTest:
          return Text(a, TxTest) < Text(b, TxTest);
        case ClassScoreRule:
          return Text(a, TxScoreRule) < Text(b, TxScoreRule);
        case ClassSource:
          return Text(a, TxSource) < Text(b, TxSource);
        default:
          return false;
      }
    };
    if (ascending)
      std::stable_sort(Order_.begin(), Order_.end(), less);
    else
      std::stable_sort(Order_.begin(), Order_.end(), [&](std::uint32_t a, std::uint32_t b) { return less(b, a); });
  } else if (!ascending) {
    std::reverse(Order_.begin(), Order_.end());  // the newest first
  }
  Refilter(false);
}
std::string TClassTable::Csv() const {
  std::string out(Utf8Bom);
  std::vector<std::string> fields(ClassColumnCount);
  for (int c = 0; c < ClassColumnCount; ++c) fields[c] = CsvText(ColumnTitle(c));
  AppendCsvRecord(out, fields);
  for (const std::uint32_t i : Shown_) {
    for (int c = 0; c < ClassColumnCount; ++c) {
      const std::string cell = Cell(i, c);
      fields[c] = IsNumberColumn(c) && c != ClassLatest && c != ClassTime ? cell : CsvText(cell);
    }
    AppendCsvRecord(out, fields);
  }
  return out;
}

}  // namespace proctorium
