// Eight-pixel AVX2 forms of the colour arithmetic in pixel_vectors.h, with the same rounding, for
// the paths that run where the processor has AVX2. Every function here is compiled for AVX2 on its
// own (gnu::target), so the rest of the device stays baseline x86-64; callers check
// PixelState::wide (HaveAvx2 and the tests' switch) before they call one.
#pragma once

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#define D3D8SW_WIDE_VECTORS 1
#include <immintrin.h>

#include <cstdint>

namespace d3d8sw {

// Whether the processor runs AVX2 (asked once).
inline bool HaveAvx2() {
  static const bool have = __builtin_cpu_supports("avx2");
  return have;
}

#define D3D8SW_WIDE [[gnu::target("avx2"), gnu::always_inline]] inline

// round(x / 255) on 16-bit lanes holding x <= 65025, as Div255Epi16.
D3D8SW_WIDE __m256i Div255x16(__m256i x) {
  x = _mm256_add_epi16(x, _mm256_set1_epi16(128));
  return _mm256_srli_epi16(_mm256_add_epi16(x, _mm256_srli_epi16(x, 8)), 8);
}

// (a (256 - w) + b w + 128) >> 8 on 16-bit lanes (LerpChannel). The sum is at most 65408, so the
// wrapping 16-bit products and sums are exact.
D3D8SW_WIDE __m256i Lerp16x16(__m256i a, __m256i b, __m256i w) {
  const __m256i inverse = _mm256_sub_epi16(_mm256_set1_epi16(256), w);
  return _mm256_srli_epi16(
      _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(a, inverse), _mm256_mullo_epi16(b, w)),
                       _mm256_set1_epi16(128)),
      8);
}

// Per-channel Mul255 of eight pixels by eight pixels.
D3D8SW_WIDE __m256i Modulate8(__m256i a, __m256i b) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i lo = Div255x16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(a, zero), _mm256_unpacklo_epi8(b, zero)));
  const __m256i hi = Div255x16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(a, zero), _mm256_unpackhi_epi8(b, zero)));
  return _mm256_packus_epi16(lo, hi);
}

// Per-channel Mul255 of eight pixels by one colour given as 16-bit lanes (b, g, r, a repeated).
D3D8SW_WIDE __m256i ModulateConst8(__m256i pixels, __m256i multiplier) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i lo = Div255x16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(pixels, zero), multiplier));
  const __m256i hi = Div255x16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(pixels, zero), multiplier));
  return _mm256_packus_epi16(lo, hi);
}

// Multiplier lanes for ModulateConst8 from an A8R8G8B8 colour.
D3D8SW_WIDE __m256i MultiplierLanes8(uint32_t colour) {
  return _mm256_cvtepu8_epi16(_mm_set1_epi32(static_cast<int>(colour)));
}

// Source over destination by source alpha on pixels widened to 16-bit lanes (two per 128 bits).
D3D8SW_WIDE __m256i BlendAlphaWidened(__m256i s, __m256i d) {
  // Each pixel's alpha in its four 16-bit lanes.
  const __m256i spread = _mm256_setr_epi8(6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15,
                                          6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15);
  const __m256i a = _mm256_shuffle_epi8(s, spread);
  const __m256i inverse = _mm256_sub_epi16(_mm256_set1_epi16(255), a);
  return Div255x16(_mm256_add_epi16(_mm256_mullo_epi16(s, a), _mm256_mullo_epi16(d, inverse)));
}

// Source over destination by source alpha, as BlendAlpha does it, for eight pixels.
D3D8SW_WIDE __m256i BlendAlpha8(__m256i src, __m256i dst) {
  const __m256i zero = _mm256_setzero_si256();
  return _mm256_packus_epi16(BlendAlphaWidened(_mm256_unpacklo_epi8(src, zero), _mm256_unpacklo_epi8(dst, zero)),
                             BlendAlphaWidened(_mm256_unpackhi_epi8(src, zero), _mm256_unpackhi_epi8(dst, zero)));
}

// The first `count` (0..8) 32-bit lanes set, the rest clear: the lanes of a run's last pixels.
D3D8SW_WIDE __m256i LaneMask8(int count) {
  return _mm256_cmpgt_epi32(_mm256_set1_epi32(count), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

// Eight values at p, or the first `count` of them (zero above) without touching what follows.
D3D8SW_WIDE __m256i Load8(const uint32_t* p, int count) {
  if (count >= 8) return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), LaneMask8(count));
}
D3D8SW_WIDE void Store8(uint32_t* p, __m256i v, int count) {
  if (count >= 8) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
  } else {
    _mm256_maskstore_epi32(reinterpret_cast<int*>(p), LaneMask8(count), v);
  }
}

}  // namespace d3d8sw

#endif
