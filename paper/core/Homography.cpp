#include "paper/core/Homography.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace proctorium {

THomography::THomography() : M{1, 0, 0, 0, 1, 0, 0, 0, 1} {}

std::optional<THomography> THomography::FromPoints(const std::array<TPoint2, 4>& from,
                                                   const std::array<TPoint2, 4>& to) {
  // Eight equations in the eight unknowns h0..h7 (h8 = 1), solved by Gaussian
  // elimination with partial pivoting. The points are centred and scaled
  // first so that pixel and point magnitudes do not spoil the pivots.
  auto normaliser = [](const std::array<TPoint2, 4>& p) {
    double cx = 0, cy = 0;
    for (const auto& q : p) cx += q.X / 4, cy += q.Y / 4;
    double d = 0;
    for (const auto& q : p) d += std::hypot(q.X - cx, q.Y - cy) / 4;
    double s = d > 0 ? std::sqrt(2.0) / d : 1;
    return std::array<double, 3>{s, cx, cy};
  };
  const auto nf = normaliser(from), nt = normaliser(to);
  double a[8][9];
  for (std::size_t i = 0; i < 4; ++i) {
    const double x = (from[i].X - nf[1]) * nf[0], y = (from[i].Y - nf[2]) * nf[0];
    const double u = (to[i].X - nt[1]) * nt[0], v = (to[i].Y - nt[2]) * nt[0];
    double r0[9] = {x, y, 1, 0, 0, 0, -u * x, -u * y, u};
    double r1[9] = {0, 0, 0, x, y, 1, -v * x, -v * y, v};
    for (std::size_t j = 0; j < 9; ++j) a[2 * i][j] = r0[j], a[2 * i + 1][j] = r1[j];
  }
  for (int c = 0; c < 8; ++c) {
    int best = c;
    for (int r = c + 1; r < 8; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[best][c])) best = r;
    if (std::fabs(a[best][c]) < 1e-9) return std::nullopt;
    if (best != c) std::swap(a[best], a[c]);
    for (int r = 0; r < 8; ++r) {
      if (r == c) continue;
      const double f = a[r][c] / a[c][c];
      for (int j = c; j < 9; ++j) a[r][j] -= f * a[c][j];
    }
  }
  double h[9];
  for (int i = 0; i < 8; ++i) h[i] = a[i][8] / a[i][i];
  h[8] = 1;
  // Undo the normalisation: H = Tto^-1 * Hn * Tfrom.
  const double sf = nf[0], fx = nf[1], fy = nf[2], st = nt[0], tx = nt[1], ty = nt[2];
  const double tf[9] = {sf, 0, -sf * fx, 0, sf, -sf * fy, 0, 0, 1};
  const double ti[9] = {1 / st, 0, tx, 0, 1 / st, ty, 0, 0, 1};
  double tmp[9], out[9];
  auto mul = [](const double* p, const double* q, double* r) {
    for (std::size_t i = 0; i < 3; ++i)
      for (std::size_t j = 0; j < 3; ++j)
        r[3 * i + j] = p[3 * i] * q[j] + p[3 * i + 1] * q[3 + j] + p[3 * i + 2] * q[6 + j];
  };
  mul(h, tf, tmp);
  mul(ti, tmp, out);
  if (std::fabs(out[8]) < 1e-12) return std::nullopt;
  std::array<double, 9> m;
  for (int i = 0; i < 9; ++i) m[i] = out[i] / out[8];
  return THomography(m);
}

TPoint2 THomography::Map(TPoint2 p) const {
  const double w = M[6] * p.X + M[7] * p.Y + M[8];
  return {(M[0] * p.X + M[1] * p.Y + M[2]) / w, (M[3] * p.X + M[4] * p.Y + M[5]) / w};
}

bool CornersFitPage(const std::array<TPoint2, 4>& page, const std::array<TPoint2, 4>& image, double expectedScale,
                    const char** why) {
  auto fail = [why](const char* reason) {
    if (why) *why = reason;
    return false;
  };
  // Convex and turning the same way as the page: a mirrored or crossed
  // quadrilateral is four marks that are not the page's.
  auto turn = [](const std::array<TPoint2, 4>& q, int i) {
    const TPoint2 &a = q[i], &b = q[(i + 1) % 4], &c = q[(i + 2) % 4];
    return (b.X - a.X) * (c.Y - b.Y) - (b.Y - a.Y) * (c.X - b.X);
  };
  const bool pageClockwise = turn(page, 0) > 0;
  for (int i = 0; i < 4; ++i)
    if ((turn(image, i) > 0) != pageClockwise || turn(image, i) == 0) return fail("the marks do not form a rectangle");
  double scales[4];
  double mean = 0;
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) % 4;
    const double lp = std::hypot(page[j].X - page[i].X, page[j].Y - page[i].Y);
    const double li = std::hypot(image[j].X - image[i].X, image[j].Y - image[i].Y);
    if (lp <= 0) return fail("the page has no size");
    scales[i] = li / lp;
    mean += scales[i] / 4;
  }
  // A phone held a little off square shortens the far side by some percent;
  // more than that is a mark in the wrong place.
  for (double s : scales)
    if (s < mean * 0.85 || s > mean * 1.15) return fail("the sides of the marks' quadrilateral disagree");
  for (int i = 0; i < 4; ++i) {
    const TPoint2 &a = image[(i + 3) % 4], &b = image[i], &c = image[(i + 1) % 4];
    const double ux = a.X - b.X, uy = a.Y - b.Y, vx = c.X - b.X, vy = c.Y - b.Y;
    const double cosine = (ux * vx + uy * vy) / (std::hypot(ux, uy) * std::hypot(vx, vy));
    const TPoint2 &pa = page[(i + 3) % 4], &pb = page[i], &pc = page[(i + 1) % 4];
    const double px = pa.X - pb.X, py = pa.Y - pb.Y, qx = pc.X - pb.X, qy = pc.Y - pb.Y;
    const double pageCosine = (px * qx + py * qy) / (std::hypot(px, py) * std::hypot(qx, qy));
    if (std::fabs(cosine - pageCosine) > 0.2) return fail("a corner of the marks' quadrilateral is far from square");
  }
  if (expectedScale > 0 && (mean < expectedScale * 0.8 || mean > expectedScale * 1.25))
    return fail("the marks are not where the page's corners would be");
  return true;
}

}  // namespace proctorium
