#include "candidates/core/Gradebook.h"

#include <charconv>
#include <filesystem>

#include "base/core/FileIO.h"
#include "session/core/Csv.h"
#include "session/core/DetailLog.h"
#include "session/core/ResultsLog.h"

namespace proctorium {

namespace {

constexpr std::size_t FieldCount = 17;

bool ParseInt(std::string_view s, int lo, int hi, int& out) {
  if (s.empty()) return false;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size() && out >= lo && out <= hi;
}

bool ParseFingerprint(std::string_view s, std::uint64_t& out) {
  if (s.size() != 16) return false;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out, 16);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool OneOf(std::string_view s, std::initializer_list<std::string_view> choices) {
  for (std::string_view c : choices)
    if (s == c) return true;
  return false;
}

bool ParseRecord(const std::vector<std::string_view>& f, TGradebookEntry& e) {
  if (f.size() < FieldCount) return false;
  constexpr int Big = 1 << 30;
  e.DateTime = CsvTextValue(f[0]);
  e.CandidateName = CsvTextValue(f[1]);
  e.CandidateId = CsvTextValue(f[2]);
  e.SetFile = CsvTextValue(f[3]);
  e.Timer = std::string(f[10]);
  e.Ended = std::string(f[11]);
  e.Result = std::string(f[12]);
  e.TestId = CsvTextValue(f[13]);
  e.ScoreRule = std::string(f[14]);
  e.Source = CsvTextValue(f[16]);
  e.SecondsTaken = ParseGradebookTime(f[9]);
  if (f[15].empty())
    e.FocusLost = -1;
  else if (!ParseInt(f[15], 0, Big, e.FocusLost))
    return false;
  return !e.DateTime.empty() && ParseFingerprint(f[4], e.Fingerprint) && ParseInt(f[5], 0, Big, e.QuestionsSeen) &&
         ParseInt(f[6], 0, Big, e.QuestionsInSet) && ParseInt(f[7], 0, Big, e.Correct) &&
         ParseInt(f[8], 0, 100, e.Percent) && e.SecondsTaken >= 0 && OneOf(e.Timer, {TimerCountdown, TimerElapsed}) &&
         OneOf(e.Result, {ResultPassed, ResultNotPassed, ""}) && !e.Ended.empty() && !e.TestId.empty() &&
         OneOf(e.ScoreRule, {ScoreRuleSeen, ScoreRuleAll}) && !e.Source.empty();
}

}  // namespace

std::string_view GradebookHeader() {
  return "Date and time,Candidate name,Candidate ID,Set file,Set fingerprint,Questions seen,Questions in set,"
         "Correct,Per cent,Time taken,Timer,Ended,Result,Test,Score rule,Focus lost,Source";
}

std::string PassResult(int percent, int passMark) {
  if (passMark <= 0) return {};
  return percent >= passMark ? ResultPassed : ResultNotPassed;
}

std::string GradebookFileStart() {
  std::string out(Utf8Bom);
  out += GradebookHeader();
  out += "\r\n";
  return out;
}

std::string GradebookTime(int seconds) {
  if (seconds < 0) seconds = 0;
  const int h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
  std::string out = std::to_string(h) + ':';
  out += static_cast<char>('0' + m / 10);
  out += static_cast<char>('0' + m % 10);
  out += ':';
  out += static_cast<char>('0' + s / 10);
  out += static_cast<char>('0' + s % 10);
  return out;
}

int ParseGradebookTime(std::string_view text) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos || text.size() != colon + 6 || text[colon + 3] != ':') return -1;
  int h = 0, m = 0, s = 0;
  if (!ParseInt(text.substr(0, colon), 0, 596523, h) || !ParseInt(text.substr(colon + 1, 2), 0, 59, m) ||
      !ParseInt(text.substr(colon + 4, 2), 0, 59, s))
    return -1;
  return h * 3600 + m * 60 + s;
}

std::string GradebookRecord(const TGradebookEntry& e, bool fileIsEmpty) {
  std::string out = fileIsEmpty ? GradebookFileStart() : std::string();
  AppendCsvRecord(
      out, {CsvText(e.DateTime), CsvText(e.CandidateName), CsvText(e.CandidateId), CsvText(e.SetFile),
            FingerprintText(e.Fingerprint), std::to_string(e.QuestionsSeen), std::to_string(e.QuestionsInSet),
            std::to_string(e.Correct), std::to_string(e.Percent), GradebookTime(e.SecondsTaken), CsvText(e.Timer),
            CsvText(e.Ended), CsvText(e.Result), CsvText(e.TestId), CsvText(e.ScoreRule),
            e.FocusLost < 0 ? "" : std::to_string(e.FocusLost), CsvText(e.Source)});
  return out;
}

void AppendGradebook(const std::string& path, const TGradebookEntry& entry) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(ToFsPath(path), ec);
  AppendToLog(path, GradebookRecord(entry, ec || size == 0));
}

TGradebookFile ReadGradebook(std::string_view bytes) {
  TGradebookFile file;
  if (bytes.substr(0, Utf8Bom.size()) == Utf8Bom) bytes.remove_prefix(Utf8Bom.size());
  std::vector<std::string_view> fields;
  int lineNumber = 0;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    ++lineNumber;
    std::size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    // Read on its own, a line with an unmatched quote cannot take the
    // following records with it.
    TCsvReader reader(line);
    TGradebookEntry entry;
    if (!reader.Next(fields)) continue;
    if (fields[0] == "Date and time") continue;  // a header, also one repeated by a copied file
    if (ParseRecord(fields, entry))
      file.Rows.push_back({lineNumber, std::move(entry)});
    else
      file.SkippedLines.push_back(lineNumber);
  }
  return file;
}

}  // namespace proctorium
