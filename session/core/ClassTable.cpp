#include "session/core/ClassTable.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "base/core/Ascii.h"
#include "session/core/Csv.h"
#include "session/core/DetailLog.h"

namespace proctorium {

namespace {

// The candidate as the class list knows them: by ID where there is one,
// else by name; case does not make another candidate.
std::string CandidateOf(const TGradebookEntry& e) {
  if (!e.CandidateId.empty()) return "#" + LowerAscii(e.CandidateId);
  if (!e.CandidateName.empty()) return "@" + LowerAscii(e.CandidateName);
  return {};
}

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

long long NumberOf(const TGradebookEntry& e, bool latest, int column) {
  switch (column) {
    case ClassSeen:
      return e.QuestionsSeen;
    case ClassInSet:
      return e.QuestionsInSet;
    case ClassCorrect:
      return e.Correct;
    case ClassPercent:
      return e.Percent;
    case ClassTime:
      return e.SecondsTaken;
    case ClassFocusLost:
      return e.FocusLost;
    case ClassLatest:
      return latest ? 1 : 0;
    default:
      return 0;
  }
}

// The text columns as stored, compared without copying.
std::string_view Text(const TGradebookEntry& e, int column) {
  switch (column) {
    case ClassDateTime:
      return e.DateTime;
    case ClassId:
      return e.CandidateId;
    case ClassTimer:
      return e.Timer;
    case ClassEnded:
      return e.Ended;
    case ClassResult:
      return e.Result;
    case ClassTest:
      return e.TestId;
    case ClassScoreRule:
      return e.ScoreRule;
    case ClassSource:
      return e.Source;
    default:
      return {};
  }
}

}  // namespace

void TClassTable::Assign(std::vector<TGradebookEntry> entries) {
  Entries_ = std::move(entries);
  const std::size_t n = Entries_.size();
  Latest_.assign(n, 0);
  SetKey_.resize(n);
  CandidateKey_.resize(n);
  std::unordered_map<std::string, std::size_t> last;
  for (std::size_t i = 0; i < n; ++i) {
    const TGradebookEntry& e = Entries_[i];
    SetKey_[i] = LowerAscii(e.SetFile);
    CandidateKey_[i] = LowerAscii(e.CandidateName) + '\n' + LowerAscii(e.CandidateId);
    const std::string who = CandidateOf(e);
    if (!who.empty()) last[who + '\n' + SetKey_[i]] = i;
  }
  for (const auto& [key, i] : last) Latest_[i] = 1;
  Order_.resize(n);
  std::iota(Order_.begin(), Order_.end(), 0u);
  Refilter();
}

std::string TClassTable::ColumnTitle(int column) {
  static const char* const titles[ClassColumnCount] = {
      "Latest",         "Date and time",    "Candidate name", "Candidate ID", "Set file",   "Set fingerprint",
      "Questions seen", "Questions in set", "Correct",        "Per cent",     "Time taken", "Timer",
      "Ended",          "Result",           "Test",           "Score rule",   "Focus lost", "Source"};
  return column >= 0 && column < ClassColumnCount ? titles[column] : std::string();
}

std::string TClassTable::Cell(std::size_t entry, int column) const {
  const TGradebookEntry& e = Entries_[entry];
  switch (column) {
    case ClassLatest:
      return Latest_[entry] ? LatestMark : "";
    case ClassDateTime:
      return e.DateTime;
    case ClassName:
      return e.CandidateName;
    case ClassId:
      return e.CandidateId;
    case ClassSet:
      return e.SetFile;
    case ClassFingerprint:
      return FingerprintText(e.Fingerprint);
    case ClassSeen:
      return std::to_string(e.QuestionsSeen);
    case ClassInSet:
      return std::to_string(e.QuestionsInSet);
    case ClassCorrect:
      return std::to_string(e.Correct);
    case ClassPercent:
      return std::to_string(e.Percent);
    case ClassTime:
      return GradebookTime(e.SecondsTaken);
    case ClassTimer:
      return e.Timer;
    case ClassEnded:
      return e.Ended;
    case ClassResult:
      return e.Result;
    case ClassTest:
      return e.TestId;
    case ClassScoreRule:
      return e.ScoreRule;
    case ClassFocusLost:
      return e.FocusLost < 0 ? std::string() : std::to_string(e.FocusLost);
    case ClassSource:
      return e.Source;
    default:
      return {};
  }
}

void TClassTable::SetFilter(const std::string& set, const std::string& candidate) {
  SetFilter_ = LowerAscii(set);
  CandidateFilter_ = LowerAscii(candidate);
  Refilter();
}

void TClassTable::Refilter() {
  Shown_.clear();
  if (SetFilter_.empty() && CandidateFilter_.empty()) {
    Shown_ = Order_;
    return;
  }
  for (const std::uint32_t i : Order_) {
    if (!SetFilter_.empty() && SetKey_[i].find(SetFilter_) == std::string::npos) continue;
    if (!CandidateFilter_.empty() && CandidateKey_[i].find(CandidateFilter_) == std::string::npos) continue;
    Shown_.push_back(i);
  }
}

void TClassTable::Sort(int column, bool ascending) {
  std::iota(Order_.begin(), Order_.end(), 0u);
  if (column >= 0 && column < ClassColumnCount) {
    const auto less = [&](std::uint32_t a, std::uint32_t b) {
      if (IsNumberColumn(column))
        return NumberOf(Entries_[a], Latest_[a], column) < NumberOf(Entries_[b], Latest_[b], column);
      if (column == ClassName) return CandidateKey_[a] < CandidateKey_[b];
      if (column == ClassSet) return SetKey_[a] < SetKey_[b];
      if (column == ClassFingerprint) return Entries_[a].Fingerprint < Entries_[b].Fingerprint;
      return Text(Entries_[a], column) < Text(Entries_[b], column);
    };
    if (ascending)
      std::stable_sort(Order_.begin(), Order_.end(), less);
    else
      std::stable_sort(Order_.begin(), Order_.end(), [&](std::uint32_t a, std::uint32_t b) { return less(b, a); });
  }
  Refilter();
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
