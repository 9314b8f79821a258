#include "session/core/ChartText.h"

#include <cstdio>

namespace proctorium {

namespace {

std::string OneDecimal(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", v);
  return buffer;
}

std::string Tests(int n) { return std::to_string(n) + (n == 1 ? " test" : " tests"); }

}  // namespace

std::string ChartText(const TSeriesStatistics* series) {
  if (!series || series->Takers == 0) return "No tests saved yet";
  std::string text = "Scores of " + Tests(series->Takers) + ".";
  for (int i = 0; i < 10; ++i) {
    const int from = i * 10;
    const int to = i == 9 ? 100 : from + 9;
    text +=
        "\n" + std::to_string(from) + " to " + std::to_string(to) + " per cent: " + Tests(series->Histogram[i]) + ".";
  }
  text += "\nMean " + OneDecimal(series->MeanPercent) + " per cent, standard deviation " +
          OneDecimal(series->SdPercent) + ".";
  return text;
}

}  // namespace proctorium
