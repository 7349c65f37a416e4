// Four-pixel SSE2 forms of the 8-bit colour arithmetic in colour_math.h, with the same rounding,
// for the fast span paths. Every x86-64 processor has SSE2; elsewhere the scalar loops serve.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

#include "d3d8types.h"

namespace d3d8sw {

constexpr bool kHaveVectors = true;

// round(x / 255) on 16-bit lanes holding x <= 65025 (x + 128 + ((x + 128) >> 8)) >> 8.
inline __m128i Div255Epi16(__m128i x) {
  x = _mm_add_epi16(x, _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}

// Per-channel Mul255 of four packed pixels by a constant colour given as 16-bit lanes
// (b, g, r, a, b, g, r, a).
inline __m128i ModulateConst4(__m128i pixels, __m128i multiplier) {
  __m128i zero = _mm_setzero_si128();
  __m128i lo = Div255Epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(pixels, zero), multiplier));
  __m128i hi = Div255Epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(pixels, zero), multiplier));
  return _mm_packus_epi16(lo, hi);
}

// Source over destination by source alpha, as BlendAlpha does it, for four pixels.
inline __m128i BlendAlpha4(__m128i src, __m128i dst) {
  __m128i zero = _mm_setzero_si128();
  __m128i full = _mm_set1_epi16(255);
  auto half = [&](__m128i s, __m128i d) {
    __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    __m128i sum = _mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, _mm_sub_epi16(full, a)));
    return Div255Epi16(sum);
  };
  __m128i lo = half(_mm_unpacklo_epi8(src, zero), _mm_unpacklo_epi8(dst, zero));
  __m128i hi = half(_mm_unpackhi_epi8(src, zero), _mm_unpackhi_epi8(dst, zero));
  return _mm_packus_epi16(lo, hi);
}

// BlendAlpha4 when every source pixel has the same alpha a: `alpha` holds a and `inverse` 255 - a
// in every 16-bit lane.
inline __m128i BlendConstantAlpha4(__m128i src, __m128i dst, __m128i alpha, __m128i inverse) {
  __m128i zero = _mm_setzero_si128();
  __m128i lo = Div255Epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(src, zero), alpha),
                                         _mm_mullo_epi16(_mm_unpacklo_epi8(dst, zero), inverse)));
  __m128i hi = Div255Epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(src, zero), alpha),
                                         _mm_mullo_epi16(_mm_unpackhi_epi8(dst, zero), inverse)));
  return _mm_packus_epi16(lo, hi);
}

// (a (256 - w) + b w + 128) >> 8 on 16-bit lanes: LerpChannel.
[[gnu::always_inline]] inline __m128i Lerp16(__m128i a, __m128i b, __m128i w) {
  const __m128i full = _mm_set1_epi16(256);
  return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(a, _mm_sub_epi16(full, w)), _mm_mullo_epi16(b, w)),
                                      _mm_set1_epi16(128)),
                        8);
}

// Two texels widened to 16-bit lanes (a in the low four, b in the high four).
[[gnu::always_inline]] inline __m128i Widen2(uint32_t a, uint32_t b) {
  return _mm_unpacklo_epi8(
      _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(a)), _mm_cvtsi32_si128(static_cast<int>(b))),
      _mm_setzero_si128());
}

// Lanes holding weight a four times, then weight b four times.
[[gnu::always_inline]] inline __m128i Weights2(uint32_t a, uint32_t b) {
  return _mm_unpacklo_epi64(_mm_set1_epi16(static_cast<int16_t>(a)), _mm_set1_epi16(static_cast<int16_t>(b)));
}

// Bilerp of one pixel.
inline uint32_t Bilerp1(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11, uint32_t fu, uint32_t fv) {
  // Columns first: (left, right) blended down by fv, then across by fu.
  __m128i columns = Lerp16(Widen2(t00, t10), Widen2(t01, t11), _mm_set1_epi16(static_cast<int16_t>(fv)));
  __m128i mixed = Lerp16(columns, _mm_unpackhi_epi64(columns, columns), _mm_set1_epi16(static_cast<int16_t>(fu)));
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(mixed, mixed)));
}

// Bilerp of two pixels p and q: their four taps each, and weights. The result holds p in the
// low 32 bits and q in the next 32.
[[gnu::always_inline]] inline __m128i Bilerp2(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, uint32_t pu,
                                              uint32_t pv, uint32_t q00, uint32_t q10, uint32_t q01, uint32_t q11,
                                              uint32_t qu, uint32_t qv) {
  __m128i wv = Weights2(pv, qv);
  __m128i left = Lerp16(Widen2(p00, q00), Widen2(p01, q01), wv);
  __m128i right = Lerp16(Widen2(p10, q10), Widen2(p11, q11), wv);
  __m128i mixed = Lerp16(left, right, Weights2(pu, qu));
  return _mm_packus_epi16(mixed, mixed);
}

// Blends pixels p and q across from their column values (already blended down): a to b by pu,
// c to d by qu. Holds p in the low 32 bits and q in the next 32.
[[gnu::always_inline]] inline __m128i LerpAcross2(uint32_t a, uint32_t b, uint32_t pu, uint32_t c, uint32_t d,
                                                  uint32_t qu) {
  __m128i mixed = Lerp16(Widen2(a, c), Widen2(b, d), Weights2(pu, qu));
  return _mm_packus_epi16(mixed, mixed);
}

// Four columns blended down by one weight: the rows' texels a (top) and b (bottom).
[[gnu::always_inline]] inline __m128i LerpDown4(__m128i a, __m128i b, __m128i w) {
  __m128i zero = _mm_setzero_si128();
  __m128i lo = Lerp16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), w);
  __m128i hi = Lerp16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), w);
  return _mm_packus_epi16(lo, hi);
}

// Multiplier lanes for ModulateConst4 from an A8R8G8B8 colour.
inline __m128i MultiplierLanes(uint32_t colour) {
  __m128i c = _mm_cvtsi32_si128(static_cast<int>(colour));
  c = _mm_unpacklo_epi8(c, _mm_setzero_si128());
  return _mm_unpacklo_epi64(c, c);
}

// The first `count` (1..4) values at p in the low lanes (zero above), and their store back: a run's
// last pixels, read and written without touching what follows them. (Narrow stores read back as
// one wide load would stall, so the lanes are assembled in registers.)
[[gnu::always_inline]] inline __m128i LoadLanes(const uint32_t* p, int count) {
  if (count == 4) return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  if (count == 1) return _mm_cvtsi32_si128(static_cast<int>(p[0]));
  __m128i low = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
  return count == 2 ? low : _mm_unpacklo_epi64(low, _mm_cvtsi32_si128(static_cast<int>(p[2])));
}
[[gnu::always_inline]] inline void StoreLanes(uint32_t* p, __m128i v, int count) {
  if (count == 4) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
  } else if (count == 1) {
    p[0] = static_cast<uint32_t>(_mm_cvtsi128_si32(v));
  } else {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
    if (count == 3) p[2] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(v, 8)));
  }
}

// Unsigned 32-bit comparison masks (all ones where `a func b` holds).
template <uint8_t kFunc>
inline __m128i CompareMask(__m128i a, __m128i b) {
  const __m128i bias = _mm_set1_epi32(static_cast<int>(0x80000000u));
  __m128i sa = _mm_xor_si128(a, bias);
  __m128i sb = _mm_xor_si128(b, bias);
  const __m128i ones = _mm_set1_epi32(-1);
  if constexpr (kFunc == D3DCMP_NEVER) return _mm_setzero_si128();
  else if constexpr (kFunc == D3DCMP_LESS) return _mm_cmplt_epi32(sa, sb);
  else if constexpr (kFunc == D3DCMP_EQUAL) return _mm_cmpeq_epi32(a, b);
  else if constexpr (kFunc == D3DCMP_LESSEQUAL) return _mm_xor_si128(_mm_cmpgt_epi32(sa, sb), ones);
  else if constexpr (kFunc == D3DCMP_GREATER) return _mm_cmpgt_epi32(sa, sb);
  else if constexpr (kFunc == D3DCMP_NOTEQUAL) return _mm_xor_si128(_mm_cmpeq_epi32(a, b), ones);
  else if constexpr (kFunc == D3DCMP_GREATEREQUAL) return _mm_xor_si128(_mm_cmplt_epi32(sa, sb), ones);
  else return ones;
}

}  // namespace d3d8sw

#else

namespace d3d8sw {
constexpr bool kHaveVectors = false;
}  // namespace d3d8sw

#endif
