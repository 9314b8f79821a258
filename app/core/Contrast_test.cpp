#include "app/core/Contrast.h"

#include <gtest/gtest.h>

using namespace proctorium;

namespace {

struct TColourCase {
  const char* Name;
  TRgb Background;
};

// Screen colours a user can pick, the mid-greys where black and white come
// closest to each other among them.
const TColourCase Screens[] = {
    {"white", {255, 255, 255}},    {"black", {0, 0, 0}},
    {"navy", {0, 0, 128}},         {"red", {255, 0, 0}},
    {"pure blue", {0, 0, 255}},    {"green", {0, 128, 0}},
    {"yellow", {255, 255, 0}},     {"grey 118", {118, 118, 118}},
    {"grey 117", {117, 117, 117}}, {"grey 128", {128, 128, 128}},
    {"teal", {0, 128, 128}},       {"purple", {128, 0, 128}},
    {"dark red", {128, 0, 0}},     {"button face", {240, 240, 240}},
    {"magenta", {255, 0, 255}},
};

}  // namespace

TEST(Contrast, KnownRatios) {
  EXPECT_NEAR(ContrastRatio({255, 255, 255}, {0, 0, 0}), 21.0, 1e-9);
  // Red on navy looks loud but falls short of the text measure.
  EXPECT_LT(ContrastRatio({255, 0, 0}, {0, 0, 128}), MinTextContrast);
  EXPECT_NEAR(RelativeLuminance({128, 128, 128}), 0.2159, 1e-3);
}

TEST(Contrast, EveryScreenColourGetsReadableTextAndAccent) {
  for (const TColourCase& c : Screens) {
    SCOPED_TRACE(c.Name);
    const TRgb text = ReadableText(c.Background, {0, 0, 0});
    EXPECT_GE(ContrastRatio(text, c.Background), MinTextContrast);
    const TRgb accent = ReadableAccent(c.Background, {255, 0, 0});
    EXPECT_GE(ContrastRatio(accent, c.Background), MinTextContrast);
  }
}

TEST(Contrast, PreferredColourKeptWhereItIsReadable) {
  const struct {
    TRgb Background, Preferred, Expected;
  } cases[] = {
      {{255, 255, 255}, {0, 0, 0}, {0, 0, 0}},        // the design's black on white
      {{0, 0, 128}, {0, 0, 0}, {255, 255, 255}},      // black on navy gives way
      {{128, 128, 128}, {255, 255, 255}, {0, 0, 0}},  // white on mid-grey too
      {{118, 118, 118}, {0, 0, 0}, {0, 0, 0}},        // black still reaches it here
      {{255, 255, 255}, {255, 0, 0}, {0, 0, 0}},      // red text on white is too faint
  };
  for (const auto& c : cases) EXPECT_EQ(ReadableText(c.Background, c.Preferred), c.Expected);
}

TEST(Contrast, AccentKeepsItsHueWhereItCan) {
  // Dark red on white reads as it is.
  EXPECT_EQ(ReadableAccent({255, 255, 255}, {192, 0, 0}), (TRgb{192, 0, 0}));
  // On navy the red lightens but stays reddish, not plain white.
  const TRgb onNavy = ReadableAccent({0, 0, 128}, {255, 0, 0});
  EXPECT_EQ(onNavy.R, 255);
  EXPECT_LT(onNavy.G, 255);
  EXPECT_GT(onNavy.R, onNavy.B);
}
