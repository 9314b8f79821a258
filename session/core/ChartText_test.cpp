// The chart's figures in words must agree with the bars and the mean drawn.

#include "session/core/ChartText.h"

#include <gtest/gtest.h>

using namespace proctorium;

TEST(ChartText, EmptySeriesSaysSo) {
  EXPECT_EQ(ChartText(nullptr), "No tests saved yet");
  TSeriesStatistics none;
  EXPECT_EQ(ChartText(&none), "No tests saved yet");
}

TEST(ChartText, EveryBarIsNamedWithItsCountThenMeanAndSpread) {
  TSeriesStatistics s;
  s.Takers = 3;
  s.Histogram[0] = 1;
  s.Histogram[9] = 2;
  s.MeanPercent = 66.666;
  s.SdPercent = 47.14;
  EXPECT_EQ(ChartText(&s),
            "Scores of 3 tests.\n"
            "0 to 9 per cent: 1 test.\n"
            "10 to 19 per cent: 0 tests.\n"
            "20 to 29 per cent: 0 tests.\n"
            "30 to 39 per cent: 0 tests.\n"
            "40 to 49 per cent: 0 tests.\n"
            "50 to 59 per cent: 0 tests.\n"
            "60 to 69 per cent: 0 tests.\n"
            "70 to 79 per cent: 0 tests.\n"
            "80 to 89 per cent: 0 tests.\n"
            "90 to 100 per cent: 2 tests.\n"
            "Mean 66.7 per cent, standard deviation 47.1.");
}
