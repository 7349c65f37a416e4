// Perspective-correct diffuse colour along a stretch of one row in single precision, eight pixels
// at a time, giving the reference path's bytes exactly. With rhw q and a channel c (the planes hold
// c q), pixel i of the stretch has
//   c(i) = c(0) + i d / q(i),  d = (c q)'s step along x - c(0) x q's step along x,
// exactly (c(0) q(0) cancels). c(0) is worked out in double as the reference does it; the rest
// carry a float error that Start bounds for the stretch. A channel's byte is floor(c + 1/2): where
// c + 1/2 lies further than that bound (with room to spare) from an integer, the float value has
// the reference's byte; the few pixels that lie closer get the reference's double arithmetic.
#pragma once

#include <cstdint>

#include "interpolants.h"
#include "wide_vectors.h"

namespace d3d8sw {

#if defined(D3D8SW_WIDE_VECTORS)
// What one stretch starts from (RhwColourSteps::Start).
struct RhwStretch {
  // Channels b, g, r, a in 2^-16 of 8-bit units: (value + 1/2) at the first pixel, and d.
  alignas(16) float base[4];
  alignas(16) float step[4];
  float q0;  // rhw at the first pixel
};

struct RhwColourSteps {
  float dq = 0;  // rhw's step along x
  // How close (in 2^-16) to an integer c + 1/2 may come before a pixel takes the double
  // arithmetic: above twice the bound on the float error, and the reference's own rounding to 2^-16.
  int32_t margin = 0;
  // The channels' planes (b, g, r, a), lane by lane.
  alignas(32) double at0[4] = {}, gx[4] = {}, gy[4] = {};

  // Bounds the error for the stretches to come, which lie in dx x0..x1, dy y0..y1 of
  // perspective-correct planes `p` (colour among the perspective-correct attributes): rhw is
  // linear and each channel linear over rhw, so their extremes over the box are at its corners.
  // False when the box is not for single precision: rhw not positive at a corner (the eye plane
  // crosses it), or values or an rhw ratio so large that the bound comes near a colour step.
  [[gnu::target("avx2")]] bool Bound(const Interpolants& p, int x0, int x1, int y0, int y1);

  // Sets up the stretch from (refX + dx, refY + dy), inside the box of Bound: the channels at its
  // first pixel as the reference works them out, in double, and d (x 2^16, a power of two, which
  // scales the float arithmetic without changing its rounding). Its division is slow to finish:
  // callers start a few stretches ahead of shading them, so that others' pixels fill the wait.
  D3D8SW_WIDE void Start(const Interpolants& p, int dx, int dy, RhwStretch* out) const {
    const double q = p.q.At(dx, dy);
    const double w = 1.0 / q;
    out->q0 = static_cast<float>(q);
    const __m256d gradient = _mm256_load_pd(gx);
    // As FloatPlane::At adds: (at0 + dx x) + dy y.
    const __m256d at = _mm256_add_pd(_mm256_add_pd(_mm256_load_pd(at0), _mm256_mul_pd(gradient, _mm256_set1_pd(dx))),
                                     _mm256_mul_pd(_mm256_load_pd(gy), _mm256_set1_pd(dy)));
    const __m256d first = _mm256_mul_pd(at, _mm256_set1_pd(w));
    const __m256d scale = _mm256_set1_pd(65536.0);
    _mm_store_ps(out->base, _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_add_pd(first, _mm256_set1_pd(0.5)), scale)));
    _mm_store_ps(out->step, _mm256_cvtpd_ps(_mm256_mul_pd(
                           _mm256_sub_pd(gradient, _mm256_mul_pd(first, _mm256_set1_pd(p.q.dx))), scale)));
  }
};

// The A8R8G8B8 diffuse colour of pixel (refX + dx, refY + dy) exactly as PixelReference works it
// out (rhw positive there).
uint32_t ReferencePerspectiveColour(const Interpolants& p, int dx, int dy);

// One channel's (c + 1/2) x 2^16 truncated, of eight pixels (t = i / q(i) per lane).
D3D8SW_WIDE __m256i PerspectiveChannel8(float base, float step, __m256 t) {
  return _mm256_cvttps_epi32(_mm256_add_ps(_mm256_set1_ps(base), _mm256_mul_ps(_mm256_set1_ps(step), t)));
}

// The margin (RhwColourSteps::margin) as PerspectiveColours8 takes it: 16-bit lanes of the margin
// and of twice it less one (Bound keeps the margin at most 2^12).
struct NearLanes {
  __m256i margin, limit;
};
D3D8SW_WIDE NearLanes NearLanesOf(int32_t margin) {
  return {_mm256_set1_epi16(static_cast<int16_t>(margin)), _mm256_set1_epi16(static_cast<int16_t>(2 * margin - 1))};
}

// 16-bit lanes set where a fraction (2^-16) lies below the margin or above one less it: where
// (fraction + margin) mod 1 is below twice the margin.
D3D8SW_WIDE __m256i NearEdge16(__m256i fractions, const NearLanes& lanes) {
  const __m256i turned = _mm256_add_epi16(fractions, lanes.margin);
  return _mm256_cmpeq_epi16(_mm256_min_epu16(turned, lanes.limit), turned);
}

// Eight pixels' colours packed as A8R8G8B8 (each channel clamped to 0..255 as ColourByte clamps
// it; a negative value truncates towards zero, but to a byte of 0 all the same). *near gets four
// bits per pixel (pixel l's are bits 4l..4l+3), any set when a channel's fraction lies within the
// margin of a rounding edge.
D3D8SW_WIDE __m256i PerspectiveColours8(const RhwStretch& s, const NearLanes& lanes, __m256 t, uint32_t* near) {
  const __m256i b = PerspectiveChannel8(s.base[0], s.step[0], t);
  const __m256i g = PerspectiveChannel8(s.base[1], s.step[1], t);
  const __m256i r = PerspectiveChannel8(s.base[2], s.step[2], t);
  const __m256i a = PerspectiveChannel8(s.base[3], s.step[3], t);
  // Each pixel's channels two to a 32-bit lane, in 16-bit halves: whole parts (the arithmetic
  // shift by 16, which always fits) and fractions.
  const __m256i bgWhole = _mm256_blend_epi16(_mm256_srli_epi32(b, 16), g, 0xAA);
  const __m256i raWhole = _mm256_blend_epi16(_mm256_srli_epi32(r, 16), a, 0xAA);
  const __m256i bgFraction = _mm256_blend_epi16(b, _mm256_slli_epi32(g, 16), 0xAA);
  const __m256i raFraction = _mm256_blend_epi16(r, _mm256_slli_epi32(a, 16), 0xAA);
  *near = static_cast<uint32_t>(
      _mm256_movemask_epi8(_mm256_or_si256(NearEdge16(bgFraction, lanes), NearEdge16(raFraction, lanes))));
  // Per 128-bit half: bytes b0 g0 b1 g1 .. b3 g3 r0 a0 .. r3 a3 (saturated), then b g r a per pixel.
  const __m256i bytes = _mm256_packus_epi16(bgWhole, raWhole);
  const __m256i order = _mm256_setr_epi8(0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15,
                                         0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15);
  return _mm256_shuffle_epi8(bytes, order);
}
#endif

}  // namespace d3d8sw
