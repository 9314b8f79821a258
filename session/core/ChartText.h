#pragma once
// The score chart in words, for those who cannot see it: a screen reader
// reads it as the chart's description.

#include <string>

#include "session/core/ItemStatistics.h"

namespace proctorium {

// Every bar of the chart with its count, then the mean and the spread.
// One sentence per line; empty bars are named too, so the shape is clear.
std::string ChartText(const TSeriesStatistics* series);

}  // namespace proctorium
