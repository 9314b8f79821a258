#include "editor/core/PictureFit.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace proctorium;

namespace {

TEST(PictureFit, FitsIntoTheSquare) {
  const struct {
    const char* name;
    int w, h, p;
    bool stretch;
    int left, top, width, height;
  } cases[] = {
      {"picker 640x480", 640, 480, 300, true, 1, 38, 300, 225},
      {"picker 300x301", 300, 301, 300, true, 1, 1, 299, 300},
      {"picker tall 100x400", 100, 400, 300, true, 113, 1, 75, 300},
      {"one pixel line", 1000, 1, 300, true, 1, 151, 300, 0},
      {"huge bitmap", 60000, 50000, 300, true, 1, 26, 300, 250},
      {"zero width", 0, 100, 300, false, 1, 1, 300, 300},
  };
  for (const auto& c : cases) {
    const TPictureFit f = FitPictureBox(c.w, c.h, c.p);
    EXPECT_EQ(std::tuple(f.Stretch, f.Left, f.Top, f.Width, f.Height),
              std::tuple(c.stretch, c.left, c.top, c.width, c.height))
        << c.name;
  }
}

}  // namespace
