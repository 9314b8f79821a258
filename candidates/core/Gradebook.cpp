#include "candidates/core/Gradebook.h"

#include <charconv>
#include <cstring>
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

// The formula guard CsvText put before a text, taken off.
std::string_view TextValue(std::string_view field) {
  if (field.size() >= 2 && field[0] == '\'' &&
      (field[1] == '=' || field[1] == '+' || field[1] == '-' || field[1] == '@' || field[1] == '\''))
    field.remove_prefix(1);
  return field;
}

// Splits a line as TCsvReader does, into views of the line; a quoted field
// is unquoted in place when it holds no doubled quote, else into scratch,
// which was given room for the whole line so the views into it stay put.
// Returns the number of fields, at most max (more are not looked at).
std::size_t SplitLine(std::string_view line, std::string_view* fields, std::size_t max, std::string& scratch) {
  std::size_t count = 0, i = 0;
  const std::size_t n = line.size();
  for (;;) {
    std::string_view field;
    if (i < n && line[i] == '"') {
      const std::size_t begin = ++i;
      bool doubled = false;
      bool closed = false;
      while (i < n) {
        if (line[i] == '"') {
          if (i + 1 < n && line[i + 1] == '"') {
            doubled = true;
            i += 2;
            continue;
          }
          closed = true;
          break;
        }
        ++i;
      }
      const std::size_t quoteEnd = i;
      if (closed) ++i;
      // Anything between the closing quote and the comma is kept as written.
      const std::size_t afterBegin = i;
      while (i < n && line[i] != ',') ++i;
      if (!doubled && afterBegin == i) {
        field = line.substr(begin, quoteEnd - begin);
      } else {
        const std::size_t at = scratch.size();
        for (std::size_t k = begin; k < quoteEnd; ++k) {
          scratch += line[k];
          if (line[k] == '"') ++k;  // the second of a doubled quote
        }
        scratch.append(line.substr(afterBegin, i - afterBegin));
        field = std::string_view(scratch).substr(at);
      }
    } else {
      const std::size_t begin = i;
      const void* comma = i < n ? std::memchr(line.data() + i, ',', n - i) : nullptr;
      i = comma ? static_cast<std::size_t>(static_cast<const char*>(comma) - line.data()) : n;
      field = line.substr(begin, i - begin);
    }
    if (count < max) fields[count] = field;
    ++count;
    if (i >= n || count >= max) break;
    ++i;  // the comma
  }
  return count;
}

}  // namespace

TGradebookLine ParseGradebookLine(std::string_view line, TGradebookFields& e, std::string& scratch) {
  if (line.empty()) return TGradebookLine::Blank;
  scratch.clear();
  scratch.reserve(line.size());
  std::string_view f[FieldCount];
  const std::size_t count = SplitLine(line, f, FieldCount, scratch);
  if (f[0] == "Date and time") return TGradebookLine::Header;  // also one repeated by a copied file
  if (count < FieldCount) return TGradebookLine::Damaged;
  constexpr int Big = 1 << 30;
  e.DateTime = TextValue(f[0]);
  e.CandidateName = TextValue(f[1]);
  e.CandidateId = TextValue(f[2]);
  e.SetFile = TextValue(f[3]);
  e.Timer = f[10];
  e.Ended = f[11];
  e.Result = f[12];
  e.TestId = TextValue(f[13]);
  e.ScoreRule = f[14];
  e.Source = TextValue(f[16]);
  e.SecondsTaken = ParseGradebookTime(f[9]);
  if (f[15].empty())
    e.FocusLost = -1;
  else if (!ParseInt(f[15], 0, Big, e.FocusLost))
    return TGradebookLine::Damaged;
  const bool ok = !e.DateTime.empty() && ParseFingerprint(f[4], e.Fingerprint) &&
                  ParseInt(f[5], 0, Big, e.QuestionsSeen) && ParseInt(f[6], 0, Big, e.QuestionsInSet) &&
                  ParseInt(f[7], 0, Big, e.Correct) && ParseInt(f[8], 0, 100, e.Percent) && e.SecondsTaken >= 0 &&
                  OneOf(e.Timer, {TimerCountdown, TimerElapsed}) &&
                  OneOf(e.Result, {ResultPassed, ResultNotPassed, ""}) && !e.Ended.empty() && !e.TestId.empty() &&
                  OneOf(e.ScoreRule, {ScoreRuleSeen, ScoreRuleAll}) && !e.Source.empty();
  return ok ? TGradebookLine::Record : TGradebookLine::Damaged;
}

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
  TGradebookFields fields;
  std::string scratch;
  int lineNumber = 0;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    ++lineNumber;
    std::size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    // Read on its own, a line with an unmatched quote cannot take the
    // following records with it.
    switch (ParseGradebookLine(line, fields, scratch)) {
      case TGradebookLine::Record:
        file.Rows.push_back({lineNumber, GradebookEntryOf(fields)});
        break;
      case TGradebookLine::Damaged:
        file.SkippedLines.push_back(lineNumber);
        break;
      case TGradebookLine::Blank:
      case TGradebookLine::Header:
        break;
    }
  }
  return file;
}

TGradebookEntry GradebookEntryOf(const TGradebookFields& f) {
  TGradebookEntry e;
  e.DateTime = f.DateTime;
  e.CandidateName = f.CandidateName;
  e.CandidateId = f.CandidateId;
  e.SetFile = f.SetFile;
  e.Fingerprint = f.Fingerprint;
  e.QuestionsSeen = f.QuestionsSeen;
  e.QuestionsInSet = f.QuestionsInSet;
  e.Correct = f.Correct;
  e.Percent = f.Percent;
  e.SecondsTaken = f.SecondsTaken;
  e.Timer = f.Timer;
  e.Ended = f.Ended;
  e.Result = f.Result;
  e.TestId = f.TestId;
  e.ScoreRule = f.ScoreRule;
  e.FocusLost = f.FocusLost;
  e.Source = f.Source;
  return e;
}

}  // namespace proctorium
