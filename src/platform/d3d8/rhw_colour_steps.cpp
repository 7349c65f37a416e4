// Single-precision perspective-correct colour along a stretch of one row, with its error bound.
#include "rhw_colour_steps.h"

#include <algorithm>
#include <cmath>

#include "span_job.h"

#if defined(D3D8SW_WIDE_VECTORS)

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

}  // namespace

namespace {

// The largest and smallest of four lanes.
D3D8SW_WIDE double Largest(__m256d v) {
  v = _mm256_max_pd(v, _mm256_permute2f128_pd(v, v, 1));
  return _mm_cvtsd_f64(_mm256_castpd256_pd128(_mm256_max_pd(v, _mm256_permute_pd(v, 5))));
}
D3D8SW_WIDE double Smallest(__m256d v) {
  v = _mm256_min_pd(v, _mm256_permute2f128_pd(v, v, 1));
  return _mm_cvtsd_f64(_mm256_castpd256_pd128(_mm256_min_pd(v, _mm256_permute_pd(v, 5))));
}
// A plane's values at four pixels, as FloatPlane::At adds them: (at0 + dx x) + dy y.
D3D8SW_WIDE __m256d PlaneAt(const FloatPlane& plane, __m256d xs, __m256d ys) {
  return _mm256_add_pd(_mm256_add_pd(_mm256_set1_pd(plane.at0), _mm256_mul_pd(_mm256_set1_pd(plane.dx), xs)),
                       _mm256_mul_pd(_mm256_set1_pd(plane.dy), ys));
}
D3D8SW_WIDE bool AllFinite(__m256d v) {
  // x - x is 0 but for infinities and NaN.
  return _mm256_movemask_pd(_mm256_cmp_pd(_mm256_sub_pd(v, v), _mm256_setzero_pd(), _CMP_EQ_OQ)) == 15;
}

}  // namespace

[[gnu::target("avx2")]] bool RhwColourSteps::Bound(const Interpolants& p, int x0, int x1, int y0, int y1) {
  // The box's corners, one a lane.
  const __m256d xs = _mm256_setr_pd(x0, x1, x0, x1), ys = _mm256_setr_pd(y0, y0, y1, y1);
  const __m256d q = PlaneAt(p.q, xs, ys);
  if (_mm256_movemask_pd(_mm256_cmp_pd(q, _mm256_setzero_pd(), _CMP_GT_OQ)) != 15) return false;
  const __m256d w = _mm256_div_pd(_mm256_set1_pd(1.0), q);
  const FloatPlane* lanes[4] = {&p.qb, &p.qg, &p.qr, &p.qa};
  __m256d corners[4];
  for (int c = 0; c < 4; ++c) {
    corners[c] = _mm256_mul_pd(PlaneAt(*lanes[c], xs, ys), w);
    if (!AllFinite(corners[c])) return false;
  }
  // Transposed: lane c of byCorner[k] is channel c at corner k.
  const __m256d bg0 = _mm256_unpacklo_pd(corners[0], corners[1]), bg1 = _mm256_unpackhi_pd(corners[0], corners[1]);
  const __m256d ra0 = _mm256_unpacklo_pd(corners[2], corners[3]), ra1 = _mm256_unpackhi_pd(corners[2], corners[3]);
  const __m256d byCorner[4] = {_mm256_permute2f128_pd(bg0, ra0, 0x20), _mm256_permute2f128_pd(bg1, ra1, 0x20),
                               _mm256_permute2f128_pd(bg0, ra0, 0x31), _mm256_permute2f128_pd(bg1, ra1, 0x31)};
  const __m256d low = _mm256_min_pd(_mm256_min_pd(byCorner[0], byCorner[1]), _mm256_min_pd(byCorner[2], byCorner[3]));
  const __m256d high = _mm256_max_pd(_mm256_max_pd(byCorner[0], byCorner[1]), _mm256_max_pd(byCorner[2], byCorner[3]));
  const __m256d sign = _mm256_set1_pd(-0.0);
  // The largest change of a channel over the box, and the largest size of a value.
  const double change = Largest(_mm256_sub_pd(high, low));
  const double size = Largest(_mm256_max_pd(_mm256_andnot_pd(sign, low), _mm256_andnot_pd(sign, high)));
  if (!(size < 4096.0)) return false;
  const double qMin = Smallest(q), qMax = Largest(q);

  for (int c = 0; c < 4; ++c) {
    at0[c] = lanes[c]->at0;
    gx[c] = lanes[c]->dx;
    gy[c] = lanes[c]->dy;
  }
  // A plane's rounding in double in the box, relative to its values' size.
  const double reachX = std::max(std::abs(x0), std::abs(x1)), reachY = std::max(std::abs(y0), std::abs(y1));
  const double qSlack = (std::fabs(p.q.at0) + std::fabs(p.q.dx) * reachX + std::fabs(p.q.dy) * reachY) * kPlaneUlp;
  const double planeSlack =
      Largest(_mm256_mul_pd(_mm256_add_pd(_mm256_add_pd(_mm256_andnot_pd(sign, _mm256_load_pd(at0)),
                                                        _mm256_mul_pd(_mm256_andnot_pd(sign, _mm256_load_pd(gx)),
                                                                      _mm256_set1_pd(reachX))),
                                          _mm256_mul_pd(_mm256_andnot_pd(sign, _mm256_load_pd(gy)),
                                                        _mm256_set1_pd(reachY))),
                            _mm256_set1_pd(kPlaneUlp)));
  // q(i) = q0 + dq i in float: relative error (q's cast, the product's cast and rounding, the sum).
  const double relQ = ((4 * qMax - 2 * qMin) * kFloatUlp + qSlack) / qMin;
  if (!(relQ < 1.0 / 1024.0)) return false;
  const double planeError = planeSlack / qMin;
  // i d / q(i): d's cast, the division and the product on top of q's error; c(0)'s cast, the sum
  // and the half added; the planes' own rounding.
  const double error = change * (relQ + 4 * kFloatUlp) + (size + 1) * 4 * kFloatUlp + planeError + size * relQ;
  const double edge = 2 * error + 2 / kColourScale;
  if (!(edge < kMaxMargin)) return false;
  margin = static_cast<int32_t>(edge * kColourScale) + 1;
  dq = static_cast<float>(p.q.dx);
  return true;
}

uint32_t ReferencePerspectiveColour(const Interpolants& p, int dx, int dy) {
  const double w = 1.0 / p.q.At(dx, dy);
  auto byte = [&](const FloatPlane& plane) { return ColourByte(RoundToFixed(plane.At(dx, dy) * w * kColourScale)); };
  return (byte(p.qa) << 24) | (byte(p.qr) << 16) | (byte(p.qg) << 8) | byte(p.qb);
}

}  // namespace d3d8sw

#endif
