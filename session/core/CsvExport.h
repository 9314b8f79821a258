#pragma once
// The results log and the statistics as CSV files for a spreadsheet.

#include <string>
#include <string_view>
#include <vector>

#include "session/core/ItemStatistics.h"

namespace proctorium {

// One entry of the results log, texts in UTF-8.
struct TResultEntry {
  std::string Date;
  std::string SetFile;
  std::string TimeTaken;  // "00:17:50"
  int Correct = 0;
  int Seen = 0;
  int Percent = 0;
  std::string Incorrect;  // "3; 12"

  bool operator==(const TResultEntry&) const = default;
};

// Reads the entries of a results log (Windows-1252, three lines each).
// Lines that do not make up an entry are passed over and counted.
std::vector<TResultEntry> ParseResultsLog(std::string_view bytes, int* skipped = nullptr);

// One row per entry under a header; UTF-8 with a byte order mark.
std::string ResultsLogCsv(const std::vector<TResultEntry>& entries);

// The set's figures, the score distribution and one row per question; the
// filter the figures were made with is named when there was one.
std::string StatisticsCsv(const TSeriesStatistics& s, const TStatisticsOptions& options = {},
                          const TStatisticsFilter& filter = {});

}  // namespace proctorium
