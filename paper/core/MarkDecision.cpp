#include "paper/core/MarkDecision.h"

#include <algorithm>

namespace proctorium {

double TPageContrast::Darkness(double grey) const {
  if (Paper <= Ink) return 0;
  return std::clamp((Paper - grey) / (Paper - Ink), 0.0, 1.0);
}

TBoxMeasure MeasureBox(const std::vector<double>& darkness, int cols) {
  TBoxMeasure m;
  if (cols <= 0 || darkness.empty()) return m;
  const int rows = static_cast<int>(darkness.size()) / cols;
  if (rows <= 0) return m;
  const int n = rows * cols;
  int cover = 0, strong = 0, centre = 0, centreN = 0;
  double sum = 0;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      const double d = darkness[r * cols + c];
      sum += d;
      cover += d >= kInkLevel;
      strong += d >= kStrongLevel;
      if (3 * r >= rows && 3 * r < 2 * rows && 3 * c >= cols && 3 * c < 2 * cols) {
        ++centreN;
        centre += d >= kInkLevel;
      }
    }
  m.Cover = double(cover) / n;
  m.Strong = double(strong) / n;
  m.Mean = sum / n;
  m.Centre = centreN ? double(centre) / centreN : 0;
  auto runs = [&](auto at, int len) {
    int count = 0;
    bool in = false;
    for (int i = 0; i < len; ++i) {
      const bool ink = at(i) >= kInkLevel;
      if (ink && !in) ++count;
      in = ink;
    }
    return count;
  };
  m.Strokes = std::max(runs([&](int i) { return darkness[(rows / 2) * cols + i]; }, cols),
                       runs([&](int i) { return darkness[i * cols + cols / 2]; }, rows));
  return m;
}

TBoxMark DecideMark(const TBoxMeasure& m) {
  if (m.Cover >= 0.125) return TBoxMark::Marked;
  if (m.Cover <= 0.02 && m.Strong == 0 && m.Mean <= 0.15) return TBoxMark::Empty;
  return TBoxMark::Doubtful;
}

}  // namespace proctorium
