#pragma once
// Text colours that stay readable on any background the user picks, by the
// WCAG measure: relative luminance and the contrast ratio between two
// colours (1:1 for equal colours up to 21:1 for black on white).

namespace proctorium {

struct TRgb {
  int R = 0;  // 0 .. 255 each
  int G = 0;
  int B = 0;
  friend bool operator==(const TRgb&, const TRgb&) = default;
};

// The ratio ordinary text needs against its background.
constexpr double MinTextContrast = 4.5;

// 0 for black, 1 for white.
double RelativeLuminance(const TRgb& c);
// (lighter + 0.05) / (darker + 0.05); the order of the arguments does not
// matter.
double ContrastRatio(const TRgb& a, const TRgb& b);
// preferred when it reaches MinTextContrast on background, otherwise black
// or white, whichever stands out more (one of them always reaches it).
TRgb ReadableText(const TRgb& background, const TRgb& preferred);
// accent itself when it reaches MinTextContrast on background; otherwise
// accent mixed towards black or white just far enough to reach it, so the
// text keeps as much of its hue as the background allows.
TRgb ReadableAccent(const TRgb& background, const TRgb& accent);

}  // namespace proctorium
