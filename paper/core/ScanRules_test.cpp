// The rules the scan reader applies without looking at a picture: the page
// geometry, the mark decision and the picture headers read before decoding.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>

#include "paper/core/Homography.h"
#include "paper/core/ImageHeader.h"
#include "paper/core/MarkDecision.h"

using namespace proctorium;

namespace {

// The corner-mark centres of an A4 sheet with marks 30 pt in from the edges.
const std::array<TPoint2, 4> kPage = {TPoint2{30, 30}, TPoint2{565, 30}, TPoint2{565, 812}, TPoint2{30, 812}};

std::array<TPoint2, 4> Apply(const std::function<TPoint2(TPoint2)>& f, const std::array<TPoint2, 4>& p) {
  return {f(p[0]), f(p[1]), f(p[2]), f(p[3])};
}

// A scanner's view of the page: turned by `degrees` about the origin, scaled,
// shifted, and with the bottom edge shrunk by `keystone` (a phone tilted).
std::function<TPoint2(TPoint2)> View(double degrees, double scale, double keystone = 0) {
  return [=](TPoint2 p) {
    const double a = degrees * std::numbers::pi / 180;
    const double shrink = 1 - keystone * p.Y / 842;
    const double x = (p.X - 297) * shrink + 297, y = p.Y;
    return TPoint2{1500 + scale * (x * std::cos(a) - y * std::sin(a)),
                   1500 + scale * (x * std::sin(a) + y * std::cos(a))};
  };
}

}  // namespace

TEST(Homography, MapsTheFourPointsItWasFittedTo) {
  struct Case {
    const char* name;
    double degrees, scale, keystone;
  };
  const Case cases[] = {
      {"upright 300 dpi", 0, 300.0 / 72, 0},
      {"quarter turn", 90, 200.0 / 72, 0},
      {"upside down", 180, 150.0 / 72, 0},
      {"three quarters", 270, 600.0 / 72, 0},
      {"skewed", -10, 2.9, 0},
      {"phone", 4, 2.5, 0.06},
  };
  for (const auto& c : cases) {
    const auto view = View(c.degrees, c.scale, c.keystone);
    const auto image = Apply(view, kPage);
    const auto h = THomography::FromPoints(kPage, image);
    ASSERT_TRUE(h) << c.name;
    for (int i = 0; i < 4; ++i) {
      const TPoint2 p = h->Map(kPage[i]);
      EXPECT_NEAR(p.X, image[i].X, 1e-6) << c.name;
      EXPECT_NEAR(p.Y, image[i].Y, 1e-6) << c.name;
    }
    if (c.keystone == 0) {  // a similarity is mapped exactly everywhere
      const TPoint2 inner = h->Map(200, 400), expected = view({200, 400});
      EXPECT_NEAR(inner.X, expected.X, 1e-6) << c.name;
      EXPECT_NEAR(inner.Y, expected.Y, 1e-6) << c.name;
    }
  }
}

TEST(Homography, RefusesDegeneratePoints) {
  const std::array<TPoint2, 4> line = {TPoint2{0, 0}, TPoint2{1, 1}, TPoint2{2, 2}, TPoint2{3, 3}};
  EXPECT_FALSE(THomography::FromPoints(kPage, line));
  const std::array<TPoint2, 4> same = {TPoint2{5, 5}, TPoint2{5, 5}, TPoint2{5, 5}, TPoint2{5, 5}};
  EXPECT_FALSE(THomography::FromPoints(kPage, same));
}

TEST(Homography, FitCheckTellsThePageFromOtherQuadrilaterals) {
  const double s = 300.0 / 72;
  const auto upright = Apply(View(0, s), kPage);
  struct Case {
    const char* name;
    std::array<TPoint2, 4> image;
    double expectedScale;
    bool fits;
  };
  auto moved = upright;
  moved[2].X -= 0.2 * 535 * s;  // a blot taken for the bottom-right mark
  auto crossed = upright;
  std::swap(crossed[1], crossed[2]);
  const std::array<TPoint2, 4> mirrored = {upright[1], upright[0], upright[3], upright[2]};
  auto small = Apply(View(0, s * 0.5), kPage);
  const Case cases[] = {
      {"upright", upright, s, true},
      {"skewed 10 degrees", Apply(View(10, s), kPage), s, true},
      {"upside down", Apply(View(180, s), kPage), s, true},
      {"phone, far edge 8 % shorter", Apply(View(3, s, 0.08), kPage), s, true},
      {"scale left free", small, 0, true},
      {"one mark far off", moved, s, false},
      {"crossed", crossed, s, false},
      {"mirrored", mirrored, s, false},
      {"half the expected size", small, s, false},
      {"strong keystone", Apply(View(0, s, 0.4), kPage), s, false},
  };
  for (const auto& c : cases) {
    const char* why = nullptr;
    EXPECT_EQ(CornersFitPage(kPage, c.image, c.expectedScale, &why), c.fits) << c.name;
    if (!c.fits) {
      EXPECT_NE(why, nullptr) << c.name;
    }
  }
}

namespace {

constexpr int kN = 10;

std::vector<double> Grid(const std::function<double(int r, int c)>& at) {
  std::vector<double> g;
  for (int r = 0; r < kN; ++r)
    for (int c = 0; c < kN; ++c) g.push_back(at(r, c));
  return g;
}

// A line of the given darkness and width (in samples) through the grid.
double Line(int r, int c, double x0, double y0, double x1, double y1, double width) {
  const double dx = x1 - x0, dy = y1 - y0;
  const double t = std::clamp(((c - x0) * dx + (r - y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  return std::hypot(c - (x0 + t * dx), r - (y0 + t * dy)) <= width / 2 ? 1 : 0;
}

}  // namespace

TEST(MarkDecision, ReadsEachWayOfMarkingAndFlagsTheUnclear) {
  struct Case {
    const char* name;
    std::vector<double> grid;
    TBoxMark expected;
  };
  auto tick = [](double ink) {
    return Grid(
        [=](int r, int c) { return ink * std::max(Line(r, c, 1, 5, 4, 8.5, 1.2), Line(r, c, 4, 8.5, 9, 0.5, 1.2)); });
  };
  auto cross = [](double ink) {
    return Grid([=](int r, int c) { return ink * std::max(Line(r, c, 0, 0, 9, 9, 1.2), Line(r, c, 9, 0, 0, 9, 1.2)); });
  };
  const Case cases[] = {
      {"blank", Grid([](int, int) { return 0.0; }), TBoxMark::Empty},
      {"paper grain", Grid([](int r, int c) { return ((r * 7 + c * 3) % 5) * 0.02; }), TBoxMark::Empty},
      {"a speck", Grid([](int r, int c) { return r == 3 && c == 3 ? 0.9 : 0.0; }), TBoxMark::Doubtful},
      {"solid pen", Grid([](int, int) { return 0.95; }), TBoxMark::Marked},
      {"light pencil fill", Grid([](int r, int c) { return 0.28 + ((r + c) % 3) * 0.03; }), TBoxMark::Marked},
      {"pen tick", tick(0.9), TBoxMark::Marked},
      {"pencil tick", tick(0.35), TBoxMark::Marked},
      {"pen cross", cross(0.9), TBoxMark::Marked},
      {"pencil cross", cross(0.3), TBoxMark::Marked},
      {"fill scribbled over", Grid([](int r, int c) { return (r + c) % 4 == 0 ? 1.0 : 0.7; }), TBoxMark::Marked},
      {"cleanly erased", Grid([](int r, int c) { return 0.08 + ((r * c) % 3) * 0.02; }), TBoxMark::Empty},
      {"half erased", Grid([](int r, int c) { return r < 3 && c < 3 ? 0.3 : 0.1; }), TBoxMark::Doubtful},
      {"stray line across a corner", Grid([](int r, int c) { return 0.9 * Line(r, c, 0, 2, 2, 0, 1.2); }),
       TBoxMark::Doubtful},
      {"eraser residue", Grid([](int, int) { return 0.14; }), TBoxMark::Empty},
      {"very faint fill", Grid([](int, int) { return 0.18; }), TBoxMark::Doubtful},
  };
  for (const auto& c : cases) EXPECT_EQ(DecideMark(MeasureBox(c.grid, kN)), c.expected) << c.name;
}

TEST(MarkDecision, DarknessIsRelativeToThePagesOwnTones) {
  const TPageContrast bright{250, 20}, grey{180, 60}, flat{140, 110};
  EXPECT_DOUBLE_EQ(bright.Darkness(250), 0);
  EXPECT_DOUBLE_EQ(bright.Darkness(20), 1);
  EXPECT_DOUBLE_EQ(bright.Darkness(255), 0);  // brighter than the paper
  EXPECT_DOUBLE_EQ(bright.Darkness(0), 1);    // darker than the print
  // The same pencil stroke on a dull scan is as dark, relatively, as on a bright one.
  EXPECT_NEAR(grey.Darkness(150), bright.Darkness(250 - 30 * 230.0 / 120), 1e-9);
  EXPECT_TRUE(bright.Usable());
  EXPECT_TRUE(grey.Usable());
  EXPECT_FALSE(flat.Usable());
}

TEST(MarkDecision, MeasureCountsCoverCentreAndStrokes) {
  const auto bars = Grid([](int, int c) { return c == 2 || c == 7 ? 0.9 : 0.0; });
  const TBoxMeasure m = MeasureBox(bars, kN);
  EXPECT_DOUBLE_EQ(m.Cover, 0.2);
  EXPECT_DOUBLE_EQ(m.Strong, 0.2);
  EXPECT_DOUBLE_EQ(m.Centre, 0);
  EXPECT_EQ(m.Strokes, 2);
  EXPECT_DOUBLE_EQ(MeasureBox({}, kN).Cover, 0);
  EXPECT_DOUBLE_EQ(MeasureBox(bars, 0).Cover, 0);
}

namespace {

std::string Be(unsigned v, int n) {
  std::string s;
  for (int i = n - 1; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}
std::string Le(unsigned v, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

std::string Png(unsigned w, unsigned h) {
  return std::string("\x89PNG\r\n\x1a\n", 8) + Be(13, 4) + "IHDR" + Be(w, 4) + Be(h, 4) +
         std::string("\x08\x00\x00\x00\x00", 5);
}

std::string Jpeg(unsigned w, unsigned h) {
  std::string app0 = std::string("\xFF\xE0", 2) + Be(16, 2) + std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14);
  std::string sof =
      std::string("\xFF\xC2", 2) + Be(11, 2) + "\x08" + Be(h, 2) + Be(w, 2) + std::string("\x01\x01\x11\x00", 4);
  return std::string("\xFF\xD8", 2) + app0 + sof;
}

// Two pictures, the directories after the data as libtiff writes them.
std::string Tiff(bool bigEndian, unsigned w1, unsigned h1, unsigned w2, unsigned h2) {
  auto n = [&](unsigned v, int k) { return bigEndian ? Be(v, k) : Le(v, k); };
  std::string s = bigEndian ? std::string("MM\0*", 4) : std::string("II*\0", 4);
  s += n(16, 4) + std::string(8, '\0');  // picture data stands in here
  auto ifd = [&](unsigned w, unsigned h, unsigned next) {
    return n(2, 2) + n(256, 2) + n(3, 2) + n(1, 4) + n(w, 2) + n(0, 2) + n(257, 2) + n(4, 2) + n(1, 4) + n(h, 4) +
           n(next, 4);
  };
  s += ifd(w1, h1, 16 + 30);
  s += ifd(w2, h2, 0);
  return s;
}

}  // namespace

TEST(ImageHeader, ReadsTheSizeWithoutThePicture) {
  struct Case {
    const char* name;
    std::string bytes;
    TImageFormat format;
    long long width, height;
    int pages;
  };
  const Case cases[] = {
      {"png", Png(2480, 3508), TImageFormat::Png, 2480, 3508, 1},
      {"huge png", Png(20000, 20000), TImageFormat::Png, 20000, 20000, 1},
      {"progressive jpeg", Jpeg(1654, 2339), TImageFormat::Jpeg, 1654, 2339, 1},
      {"tiff, little-endian, two pages", Tiff(false, 1700, 2200, 3000, 4000), TImageFormat::Tiff, 3000, 4000, 2},
      {"tiff, big-endian, two pages", Tiff(true, 1700, 2200, 800, 900), TImageFormat::Tiff, 1700, 2200, 2},
      {"pdf", "%PDF-1.7\n%\xE2\xE3\n1 0 obj", TImageFormat::Pdf, 0, 0, 1},
      {"text", "Name;Score\r\n", TImageFormat::Unknown, 0, 0, 1},
      {"png cut short", Png(100, 100).substr(0, 18), TImageFormat::Unknown, 0, 0, 1},
      {"jpeg without a frame", std::string("\xFF\xD8\xFF\xE0\x00\x10", 6), TImageFormat::Jpeg, 0, 0, 1},
      {"empty", "", TImageFormat::Unknown, 0, 0, 1},
  };
  for (const auto& c : cases) {
    const TImageHeader h = ReadImageHeader(c.bytes);
    EXPECT_EQ(h.Format, c.format) << c.name;
    EXPECT_EQ(h.Width, c.width) << c.name;
    EXPECT_EQ(h.Height, c.height) << c.name;
    EXPECT_EQ(h.Pages, c.pages) << c.name;
  }
  EXPECT_GT(20000LL * 20000, kMaxScanPixels);
  EXPECT_LT(4960LL * 7016, kMaxScanPixels);  // an A4 page at 600 dpi is read
}
