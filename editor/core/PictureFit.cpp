#include "editor/core/PictureFit.h"

#include <cstdint>

namespace proctorium {

TPictureFit FitPictureBox(int width, int height, int p) {
  TPictureFit fit;
  if (width <= 0 || height <= 0) {
    fit.Width = p;
    fit.Height = p;
    return fit;
  }
  fit.Stretch = width > p || height > p;
  // 64-bit products: a huge bitmap times the panel side overflows int.
  if (width > height) {
    fit.Width = p;
    fit.Height = static_cast<int>(static_cast<std::int64_t>(height) * p / width);
  } else {
    fit.Width = static_cast<int>(static_cast<std::int64_t>(width) * p / height);
    fit.Height = p;
  }
  // Trunc(x * 0.5) of a non-negative integer is x / 2.
  fit.Top = (p - fit.Height) / 2 + 1;
  fit.Left = (p - fit.Width) / 2 + 1;
  return fit;
}

}  // namespace proctorium
