#include "base/core/Contrast.h"

#include <algorithm>
#include <cmath>

namespace proctorium {

namespace {

double Linear(int channel) {
  const double c = std::clamp(channel, 0, 255) / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

const TRgb Black{0, 0, 0};
const TRgb White{255, 255, 255};

TRgb Mix(const TRgb& from, const TRgb& to, int step, int steps) {
  auto m = [&](int a, int b) { return a + (b - a) * step / steps; };
  return {m(from.R, to.R), m(from.G, to.G), m(from.B, to.B)};
}

}  // namespace

double RelativeLuminance(const TRgb& c) { return 0.2126 * Linear(c.R) + 0.7152 * Linear(c.G) + 0.0722 * Linear(c.B); }

double ContrastRatio(const TRgb& a, const TRgb& b) {
  const double la = RelativeLuminance(a);
  const double lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TRgb ReadableText(const TRgb& background, const TRgb& preferred) {
  if (ContrastRatio(preferred, background) >= MinTextContrast) return preferred;
  return ContrastRatio(Black, background) >= ContrastRatio(White, background) ? Black : White;
}

TRgb ReadableAccent(const TRgb& background, const TRgb& accent) {
  if (ContrastRatio(accent, background) >= MinTextContrast) return accent;
  const TRgb towards = ReadableText(background, Black);
  constexpr int Steps = 32;
  for (int step = 1; step < Steps; ++step) {
    const TRgb c = Mix(accent, towards, step, Steps);
    if (ContrastRatio(c, background) >= MinTextContrast) return c;
  }
  return towards;
}

}  // namespace proctorium
