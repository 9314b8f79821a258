#include "session/core/CsvExport.h"

#include <charconv>

#include "base/core/Cp1252.h"
#include "session/core/Csv.h"

namespace proctorium {

namespace {

std::vector<std::string_view> Lines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

bool Take(std::string_view& s, std::string_view prefix) {
  if (s.substr(0, prefix.size()) != prefix) return false;
  s.remove_prefix(prefix.size());
  return true;
}

bool TakeInt(std::string_view& s, int& out) {
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  if (r.ec != std::errc() || out < 0) return false;
  s.remove_prefix(static_cast<std::size_t>(r.ptr - s.data()));
  return true;
}

// "<date>  <set file>     Time taken: hh:mm:ss"
bool ParseFirstLine(std::string_view line, TResultEntry& e) {
  static constexpr std::string_view Marker = "     Time taken: ";
  const std::size_t marker = line.rfind(Marker);
  const std::size_t gap = line.find("  ");
  if (marker == std::string_view::npos || gap == std::string_view::npos || gap == 0 || gap + 2 > marker) return false;
  e.Date = Cp1252ToUtf8(std::string(line.substr(0, gap)));
  e.SetFile = Cp1252ToUtf8(std::string(line.substr(gap + 2, marker - gap - 2)));
  e.TimeTaken = Cp1252ToUtf8(std::string(line.substr(marker + Marker.size())));
  return true;
}

// "   7 of 9 Correct [77%]  Incorrect; 3; 12"
bool ParseSecondLine(std::string_view line, TResultEntry& e) {
  if (!Take(line, "   ") || !TakeInt(line, e.Correct) || !Take(line, " of ") || !TakeInt(line, e.Seen) ||
      !Take(line, " Correct [") || !TakeInt(line, e.Percent) || !Take(line, "%]"))
    return false;
  Take(line, "  ");
  e.Incorrect.clear();
  if (Take(line, "Incorrect")) {
    Take(line, "; ");
    e.Incorrect = Cp1252ToUtf8(std::string(line));
  }
  return true;
}

std::string Number(const std::optional<double>& v) { return v ? CsvNumber(*v) : std::string(); }

}  // namespace

std::vector<TResultEntry> ParseResultsLog(std::string_view bytes, int* skipped) {
  std::vector<TResultEntry> entries;
  int bad = 0;
  const std::vector<std::string_view> lines = Lines(bytes);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    TResultEntry e;
    if (i + 1 < lines.size() && ParseFirstLine(lines[i], e) && ParseSecondLine(lines[i + 1], e)) {
      entries.push_back(std::move(e));
      ++i;
      if (i + 1 < lines.size() && lines[i + 1].empty()) ++i;
    } else if (!lines[i].empty()) {
      ++bad;
    }
  }
  if (skipped) *skipped = bad;
  return entries;
}

std::string ResultsLogCsv(const std::vector<TResultEntry>& entries) {
  std::string out(Utf8Bom);
  AppendCsvRecord(out, {"Date", "Set file", "Time taken", "Correct", "Seen", "Per cent", "Incorrect questions"});
  for (const TResultEntry& e : entries)
    AppendCsvRecord(out, {CsvText(e.Date), CsvText(e.SetFile), CsvText(e.TimeTaken), std::to_string(e.Correct),
                          std::to_string(e.Seen), std::to_string(e.Percent), CsvText(e.Incorrect)});
  return out;
}

std::string StatisticsCsv(const TSeriesStatistics& s, const TStatisticsOptions& options,
                          const TStatisticsFilter& filter) {
  std::string out(Utf8Bom);
  AppendCsvRecord(out, {"Set file", CsvText(s.SetFile)});
  AppendCsvRecord(out, {"Set fingerprint", FingerprintText(s.Fingerprint)});
  if (const std::string limit = FilterText(filter); !limit.empty())
    AppendCsvRecord(out, {"Tests counted", CsvText(limit)});
  AppendCsvRecord(out, {"Questions in set", std::to_string(s.QuestionsInSet)});
  AppendCsvRecord(out, {"Tests", std::to_string(s.Takers)});
  AppendCsvRecord(out, {"Tests that saw every question", std::to_string(s.CompleteTakers)});
  AppendCsvRecord(out, {"First test", CsvText(s.FirstDate)});
  AppendCsvRecord(out, {"Last test", CsvText(s.LastDate)});
  AppendCsvRecord(out, {"Mean score (per cent)", CsvNumber(s.MeanPercent, 1)});
  AppendCsvRecord(out, {"Standard deviation (per cent)", CsvNumber(s.SdPercent, 1)});
  AppendCsvRecord(out, {"Median score (per cent)", CsvNumber(s.MedianPercent, 1)});
  AppendCsvRecord(out, {"Skewness", Number(s.Skewness)});
  AppendCsvRecord(out, {"Kurtosis (excess)", Number(s.Kurtosis)});
  AppendCsvRecord(out, {"Mean number correct", CsvNumber(s.MeanTotal, 2)});
  AppendCsvRecord(out, {"Standard deviation (number correct)", CsvNumber(s.SdTotal, 2)});
  AppendCsvRecord(out, {"Reliability (KR-20)", s.Kr20 ? CsvNumber(*s.Kr20) : CsvText(ReliabilityNote(s, options))});
  AppendCsvRecord(out, {"Standard error of measurement (questions)", Number(s.SemQuestions)});
  AppendCsvRecord(out, {"Standard error of measurement (per cent)", Number(s.SemPercent)});
  out += "\r\n";
  AppendCsvRecord(out, {"Score (per cent)", "Tests"});
  for (int i = 0; i < 10; ++i)
    AppendCsvRecord(out, {std::to_string(i * 10) + " to " + std::to_string(i == 9 ? 100 : i * 10 + 9),
                          std::to_string(s.Histogram[i])});
  out += "\r\n";
  std::vector<std::string> header{"Question",       "Attempts",       "Correct",   "Facility",      "Chance level",
                                  "Discrimination", "Point-biserial", "Item-rest", "Correct answer"};
  for (int a = 0; a < AnswerCount; ++a) header.push_back(std::string("Chose ") + static_cast<char>('A' + a));
  header.emplace_back("No answer");
  for (const char* group : {"Upper 27% chose ", "Lower 27% chose "})
    for (int a = 0; a < AnswerCount; ++a) header.push_back(group + std::string(1, static_cast<char>('A' + a)));
  header.emplace_back("Flags");
  AppendCsvRecord(out, header);
  for (const TItemStatistics& item : s.Items) {
    std::vector<std::string> row{
        std::to_string(item.Question), std::to_string(item.Attempts), std::to_string(item.CorrectCount),
        Number(item.Facility),         Number(item.ChanceLevel),      Number(item.Discrimination),
        Number(item.PointBiserial),    Number(item.ItemRest),         MaskLetters(item.CorrectAnswer)};
    // Letters that were not offered stay empty rather than 0.
    auto shown = [&](int a) { return (item.Offered & (1u << a)) || item.Chosen[a]; };
    for (int a = 0; a < AnswerCount; ++a) row.push_back(shown(a) ? std::to_string(item.Chosen[a]) : std::string());
    row.push_back(item.Attempts ? std::to_string(item.Blank) : std::string());
    // Shares of each group, as fractions like facility.
    for (const auto* group : {&item.UpperChose, &item.LowerChose})
      for (int a = 0; a < AnswerCount; ++a) row.push_back(*group && shown(a) ? CsvNumber((**group)[a]) : std::string());
    row.push_back(CsvText(FlagText(item)));
    AppendCsvRecord(out, row);
  }
  return out;
}

}  // namespace proctorium
