#pragma once
// The projective map from a sheet's page units onto a scan's pixels, fitted
// from the centres of the four corner marks. A flatbed scan only rotates,
// scales and shifts the page; a phone photo of a flat sheet adds a mild
// perspective, which four points determine exactly.

#include <array>
#include <optional>

namespace proctorium {

struct TPoint2 {
  double X = 0, Y = 0;
};

class THomography {
 public:
  THomography();  // the identity
  explicit THomography(const std::array<double, 9>& rowMajor) : M(rowMajor) {}

  // The map taking from[i] to to[i], or nothing when the points are
  // degenerate (three in a line, two the same).
  static std::optional<THomography> FromPoints(const std::array<TPoint2, 4>& from, const std::array<TPoint2, 4>& to);

  TPoint2 Map(TPoint2 p) const;
  TPoint2 Map(double x, double y) const { return Map(TPoint2{x, y}); }
  const std::array<double, 9>& Matrix() const { return M; }

 private:
  std::array<double, 9> M;
};

// Whether four corner marks found in a scan can be the corners of the page's
// rectangle (given in the same order, page units) as a scanner or a phone
// held over a flat sheet sees it. Rejects a crossed or concave quadrilateral,
// a corner far from square, sides whose scales disagree by more than a
// perspective explains, and a scale far from `expectedScale` (pixels per page
// unit; 0 to leave the scale free). `why` gets a short reason on rejection.
bool CornersFitPage(const std::array<TPoint2, 4>& page, const std::array<TPoint2, 4>& image, double expectedScale,
                    const char** why = nullptr);

}  // namespace proctorium
