#include "base/core/Contrast.h"

#include <gtest/gtest.h>

using namespace proctorium;

// Screen colours a user can pick, with the mid-greys where black and white
// come closest to each other. The colour the design asks for stays wherever
// it is readable; elsewhere the text turns to one that is.
TEST(Contrast, EveryScreenColourGetsReadableTextAndAccent) {
  const TRgb black{0, 0, 0}, white{255, 255, 255};
  for (const TRgb background : {white, black, TRgb{0, 0, 128}, TRgb{0, 0, 255}, TRgb{118, 118, 118},
                                TRgb{117, 117, 117}, TRgb{128, 128, 128}, TRgb{255, 255, 0}}) {
    SCOPED_TRACE(testing::Message() << background.R << " " << background.G << " " << background.B);
    for (const TRgb preferred : {black, white}) {
      const TRgb text = ReadableText(background, preferred);
      EXPECT_GE(ContrastRatio(text, background), MinTextContrast);
      EXPECT_TRUE(text == preferred || ContrastRatio(preferred, background) < MinTextContrast);
    }
    EXPECT_GE(ContrastRatio(ReadableAccent(background, {255, 0, 0}), background), MinTextContrast);
  }
}
