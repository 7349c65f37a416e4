// Single-precision perspective-correct colour along a stretch of one row, with its error bound.
#include "perspective_steps.h"

#include <algorithm>
#include <cmath>

#include "span_job.h"

namespace d3d8sw {

namespace {

constexpr double kColourScale = double(int64_t{1} << kColourFractionBits);
// One float rounding, relative (2^-24), and the double one (2^-53) with room for the few
// operations of a plane's value.
constexpr double kFloatUlp = 1.0 / 16777216.0;
constexpr double kPlaneUlp = 1.0 / 1125899906842624.0;  // 2^-50
// Beyond this margin too many pixels would take the double arithmetic: the stretch is not for
// single precision.
constexpr double kMaxMargin = 1.0 / 16.0;

// PixelReference's rounding: half away from zero, clamped to +-1e18 (NaN to -1e18).
int64_t RoundToFixed(double v) {
  constexpr double kLimit = 1.0e18;
  if (!(v > -kLimit)) return static_cast<int64_t>(-kLimit);
  if (v > kLimit) return static_cast<int64_t>(kLimit);
  return static_cast<int64_t>(v >= 0 ? v + 0.5 : v - 0.5);
}

}  // namespace

bool PerspectiveSteps::Bound(const Interpolants& p, int x0, int x1, int y0, int y1) {
  const int xs[4] = {x0, x1, x0, x1}, ys[4] = {y0, y0, y1, y1};
  const FloatPlane* planes[4] = {&p.qr, &p.qg, &p.qb, &p.qa};
  double qMin = 0, qMax = 0, low[4] = {}, high[4] = {};
  for (int corner = 0; corner < 4; ++corner) {
    const double q = p.q.At(xs[corner], ys[corner]);
    if (!(q > 0.0)) return false;
    const double w = 1.0 / q;
    qMin = corner == 0 ? q : std::min(qMin, q);
    qMax = corner == 0 ? q : std::max(qMax, q);
    for (int c = 0; c < 4; ++c) {
      const double value = planes[c]->At(xs[corner], ys[corner]) * w;
      if (!std::isfinite(value)) return false;
      low[c] = corner == 0 ? value : std::min(low[c], value);
      high[c] = corner == 0 ? value : std::max(high[c], value);
    }
  }
  // A plane's rounding in double in the box, relative to its values' size.
  const double reachX = std::max(std::abs(x0), std::abs(x1)), reachY = std::max(std::abs(y0), std::abs(y1));
  auto slack = [&](const FloatPlane& plane) {
    return (std::fabs(plane.at0) + std::fabs(plane.dx) * reachX + std::fabs(plane.dy) * reachY) * kPlaneUlp;
  };
  // q(i) = q0 + dq i in float: relative error (q's cast, the product's cast and rounding, the sum).
  const double relQ = ((4 * qMax - 2 * qMin) * kFloatUlp + slack(p.q)) / qMin;
  if (!(relQ < 1.0 / 1024.0)) return false;
  double change = 0, size = 0, planeError = 0;
  for (int c = 0; c < 4; ++c) {
    change = std::max(change, high[c] - low[c]);
    size = std::max(size, std::max(std::fabs(low[c]), std::fabs(high[c])));
    planeError = std::max(planeError, slack(*planes[c]) / qMin);
  }
  if (!(size < 4096.0)) return false;
  // i d / q(i): d's cast, the division and the product on top of q's error; c(0)'s cast, the sum
  // and the half added; the planes' own rounding.
  const double error = change * (relQ + 4 * kFloatUlp) + (size + 1) * 4 * kFloatUlp + planeError + size * relQ;
  const double edge = 2 * error + 2 / kColourScale;
  if (!(edge < kMaxMargin)) return false;
  margin = static_cast<int32_t>(edge * kColourScale) + 1;
  const FloatPlane* lanes[4] = {&p.qb, &p.qg, &p.qr, &p.qa};
  for (int c = 0; c < 4; ++c) {
    at0[c] = lanes[c]->at0;
    gx[c] = lanes[c]->dx;
    gy[c] = lanes[c]->dy;
  }
  return true;
}

uint32_t ReferencePerspectiveColour(const Interpolants& p, int dx, int dy) {
  const double w = 1.0 / p.q.At(dx, dy);
  auto byte = [&](const FloatPlane& plane) { return ColourByte(RoundToFixed(plane.At(dx, dy) * w * kColourScale)); };
  return (byte(p.qa) << 24) | (byte(p.qr) << 16) | (byte(p.qg) << 8) | byte(p.qb);
}

}  // namespace d3d8sw
