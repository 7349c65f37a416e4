// Interpolants of a stretch of pixels, perspective-correct or affine, as the reference evaluates them.
#include "pixel_block.h"

#include <algorithm>

#if defined(__SSE2__)
#include <immintrin.h>
#endif
// x86 processors may have AVX2, chosen at run time; other SSE2 targets (WebAssembly's SIMD
// through Emscripten) take the two-wide path only.
#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#define MUSIDISK_WIDE_BLOCKS 1
#endif

namespace d3d8sw {

namespace {

constexpr double kColourScale = double(int64_t{1} << kColourFractionBits);
constexpr double kTexelScale = double(int64_t{1} << kTexelFractionBits);
constexpr double kFogScale = double(kFogOne);

uint32_t PackColour(int64_t r, int64_t g, int64_t b, int64_t a) {
  return (ColourByte(a) << 24) | (ColourByte(r) << 16) | (ColourByte(g) << 8) | ColourByte(b);
}

uint32_t Quantised(int64_t z, bool d16) { return d16 ? DepthD16(z) : DepthD32(z); }

#if defined(__SSE2__)
// A plane's values at two pixels of one row, as FloatPlane::At adds them: (at0 + dx x) + dy y.
inline __m128d PlanePair(const FloatPlane& plane, __m128d x, __m128d rowTerm) {
  return _mm_add_pd(_mm_add_pd(_mm_set1_pd(plane.at0), _mm_mul_pd(_mm_set1_pd(plane.dx), x)), rowTerm);
}

// RoundToFixed of two values bound for 8-bit colour or the fog factor, as two int32 lanes.
// Beyond +-2^30 both clamp to the same byte or factor as the int64 value would, so the values
// are clamped there and converted in 32 bits.
inline __m128i SmallPair(__m128d v) { return _mm_cvttpd_epi32(RoundedPair(v, 1073741824.0)); }

#if defined(MUSIDISK_WIDE_BLOCKS)
bool HaveAvx2() {
  static const bool have = __builtin_cpu_supports("avx2");
  return have;
}

// The four-wide forms of the above (AVX2; no FMA, so every product is rounded on its own as in
// the reference).
[[gnu::target("avx2")]] inline __m256d PlaneQuad(const FloatPlane& plane, __m256d x, __m256d rowTerm) {
  return _mm256_add_pd(_mm256_add_pd(_mm256_set1_pd(plane.at0), _mm256_mul_pd(_mm256_set1_pd(plane.dx), x)), rowTerm);
}
[[gnu::target("avx2")]] inline __m256d RoundedQuad(__m256d v, double limit) {
  v = _mm256_min_pd(_mm256_max_pd(v, _mm256_set1_pd(-limit)), _mm256_set1_pd(limit));
  const __m256d sign = _mm256_set1_pd(-0.0);
  return _mm256_add_pd(v, _mm256_or_pd(_mm256_and_pd(v, sign), _mm256_set1_pd(0.5)));
}
// The int64 values of four rounded values cut toward zero: below 2^51 in magnitude, adding
// 1.5 x 2^52 puts the integer in the low mantissa bits; beyond, one conversion at a time.
[[gnu::target("avx2")]] inline void StoreInt64Quad(__m256d rounded, int64_t* out) {
  const __m256d cut = _mm256_round_pd(rounded, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
  const __m256d magnitude = _mm256_andnot_pd(_mm256_set1_pd(-0.0), cut);
  if (_mm256_movemask_pd(_mm256_cmp_pd(magnitude, _mm256_set1_pd(2251799813685248.0), _CMP_LT_OQ)) == 15) {
    const __m256d magic = _mm256_set1_pd(6755399441055744.0);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                        _mm256_sub_epi64(_mm256_castpd_si256(_mm256_add_pd(cut, magic)), _mm256_castpd_si256(magic)));
    return;
  }
  alignas(32) double lanes[4];
  _mm256_store_pd(lanes, rounded);
  for (int l = 0; l < 4; ++l) out[l] = static_cast<int64_t>(lanes[l]);
}
// SmallPair's four-wide form, one operation shorter: only the upper bound is clamped (with the
// bound first, so that NaN passes through), and NaN and values below -2^31 convert to INT_MIN,
// which clamps to the same byte or factor as the reference's -kFixedLimit.
[[gnu::target("avx2")]] inline __m128i SmallQuad(__m256d v) {
  v = _mm256_min_pd(_mm256_set1_pd(1073741824.0), v);
  const __m256d sign = _mm256_set1_pd(-0.0);
  return _mm256_cvttpd_epi32(_mm256_add_pd(v, _mm256_or_pd(_mm256_and_pd(v, sign), _mm256_set1_pd(0.5))));
}
// A colour channel's 8-bit value before clamping, (c + 2^15) >> 16, at four pixels of row dy.
// `w16` is the reciprocal times 2^16: (a w) 2^16 = a (w 2^16) exactly, scaling by a power of two
// commuting with rounding (what would underflow or overflow either way rounds or clamps alike).
[[gnu::target("avx2")]] inline __m128i ChannelQuad(const FloatPlane& plane, __m256d x, __m256d w16, int dy) {
  const __m256d row = _mm256_set1_pd(plane.dy * dy);
  const __m128i c = SmallQuad(_mm256_mul_pd(PlaneQuad(plane, x, row), w16));
  return _mm_srai_epi32(_mm_add_epi32(c, _mm_set1_epi32(1 << (kColourFractionBits - 1))), kColourFractionBits);
}
#endif  // MUSIDISK_WIDE_BLOCKS
#endif

}  // namespace

void PixelBlock::Prepare(const Interpolants& p, uint32_t needs) {
  needs_ = needs;
  stepped_ = needs;
  if (!p.perspective) return;
  // Set-up leaves the planes of what is not perspective-correct flat.
  const uint32_t mask = p.perspectiveMask;
  if ((needs & kColour) && !(mask & 1)) {
    std::fill(diffuse, diffuse + kPadded, PackColour(p.r.base, p.g.base, p.b.base, p.a.base));
    stepped_ &= ~kColour;
  }
  if ((needs & kTexture) && !(mask & 2)) std::fill(u, u + kPadded, p.u.base);
  if ((needs & kTexture) && !(mask & 4)) std::fill(v, v + kPadded, p.v.base);
  if ((needs & kFog) && !(mask & 8)) {
    std::fill(fog, fog + kPadded, ClampFog(p.fog.base));
    stepped_ &= ~kFog;
  }
}

void PixelBlock::Fill(const Interpolants& p, int dx, int dy, int count, bool wide) {
  if (p.perspective) {
    FillPerspective(p, dx, dy, count, stepped_, wide);
  } else {
    FillAffine(p, dx, dy, count, stepped_);
  }
  Pad(count, stepped_);
}

void PixelBlock::Pad(int count, uint32_t needs) {
  for (int i = count; i < ((count + 3) & ~3); ++i) {
    if (needs & kTexture) {
      u[i] = u[count - 1];
      v[i] = v[count - 1];
    }
    if (needs & kColour) diffuse[i] = diffuse[count - 1];
    if (needs & kFog) fog[i] = fog[count - 1];
    if (needs & kDepth) z[i] = z[count - 1];
  }
}

void PixelBlock::FillAffine(const Interpolants& p, int dx, int dy, int count, uint32_t needs) {
  if (needs & kTexture) {
    int64_t uu = p.u.At(dx, dy), vv = p.v.At(dx, dy);
    for (int i = 0; i < count; ++i, uu += p.u.gx, vv += p.v.gx) {
      u[i] = uu;
      v[i] = vv;
    }
  }
  if (needs & kFog) {
    int64_t f = p.fog.At(dx, dy);
    for (int i = 0; i < count; ++i, f += p.fog.gx) fog[i] = ClampFog(f);
  }
  if (needs & kDepth) FillDepth(p.z, dx, dy, count, (needs & kDepthD16) != 0);
  if (!(needs & kColour)) return;
  int64_t r = p.r.At(dx, dy), g = p.g.At(dx, dy), b = p.b.At(dx, dy), a = p.a.At(dx, dy);
#if defined(__SSE2__)
  // Four channels in 32-bit lanes (b, g, r, a) when the stretch keeps them well inside 32 bits (an
  // affine value lies between its first and last); the packs saturate as ColourByte clamps.
  auto fits = [&](int64_t first, int64_t step) {
    const int64_t last = first + step * (count - 1);
    constexpr int64_t kBound = int64_t{1} << 30;
    return first > -kBound && first < kBound && last > -kBound && last < kBound;
  };
  if (fits(r, p.r.gx) && fits(g, p.g.gx) && fits(b, p.b.gx) && fits(a, p.a.gx)) {
    __m128i lanes = _mm_setr_epi32(static_cast<int32_t>(b), static_cast<int32_t>(g), static_cast<int32_t>(r),
                                   static_cast<int32_t>(a));
    const __m128i steps = _mm_setr_epi32(static_cast<int32_t>(p.b.gx), static_cast<int32_t>(p.g.gx),
                                         static_cast<int32_t>(p.r.gx), static_cast<int32_t>(p.a.gx));
    const __m128i half = _mm_set1_epi32(1 << (kColourFractionBits - 1));
    for (int i = 0; i < count; ++i) {
      __m128i t = _mm_srai_epi32(_mm_add_epi32(lanes, half), kColourFractionBits);
      t = _mm_packs_epi32(t, t);
      diffuse[i] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(t, t)));
      lanes = _mm_add_epi32(lanes, steps);
    }
    return;
  }
#endif
  for (int i = 0; i < count; ++i) {
    diffuse[i] = PackColour(r, g, b, a);
    r += p.r.gx;
    g += p.g.gx;
    b += p.b.gx;
    a += p.a.gx;
  }
}

void PixelBlock::PerspectivePixel(const Interpolants& p, int dx, int dy, int i, uint32_t needs) {
  const int x = dx + i;
  int64_t r = p.r.At(x, dy), g = p.g.At(x, dy), b = p.b.At(x, dy), a = p.a.At(x, dy);
  int64_t uu = p.u.At(x, dy), vv = p.v.At(x, dy), f = p.fog.At(x, dy);
  const double q = p.q.At(x, dy);
  if (q > 0.0) {
    const double w = 1.0 / q;
    if (p.perspectiveMask & 1) {
      r = RoundToFixed(p.qr.At(x, dy) * w * kColourScale);
      g = RoundToFixed(p.qg.At(x, dy) * w * kColourScale);
      b = RoundToFixed(p.qb.At(x, dy) * w * kColourScale);
      a = RoundToFixed(p.qa.At(x, dy) * w * kColourScale);
    }
    if (p.perspectiveMask & 2) uu = RoundToFixed(p.qu.At(x, dy) * w * p.uScale * kTexelScale);
    if (p.perspectiveMask & 4) vv = RoundToFixed(p.qv.At(x, dy) * w * p.vScale * kTexelScale);
    if (p.perspectiveMask & 8) f = RoundToFixed(p.qfog.At(x, dy) * w * kFogScale);
  }
  if (needs & kColour) diffuse[i] = PackColour(r, g, b, a);
  if (needs & kTexture) {
    u[i] = uu;
    v[i] = vv;
  }
  if (needs & kFog) fog[i] = ClampFog(f);
}

void PixelBlock::FillDepth(const FixedPlane& plane, int dx, int dy, int count, bool d16) {
  int64_t zz = plane.At(dx, dy);
  const int64_t last = zz + plane.gx * (count - 1);
  if (zz >= 0 && zz <= kDepthOne && last >= 0 && last <= kDepthOne) {
    // Inside 0..1 at both ends, so at every pixel between: no clamping.
    if (d16) {
      for (int i = 0; i < count; ++i, zz += plane.gx) {
        z[i] = static_cast<uint32_t>((zz * 65535 + (kDepthOne >> 1)) >> kDepthFractionBits);
      }
    } else if (zz < kDepthOne && last < kDepthOne) {
#if defined(__SSE2__)
      // Below one the stored value is the interpolant shifted down, two pixels at a time (one
      // past the last may be worked out, and is overwritten).
      __m128i pair = _mm_set_epi64x(zz + plane.gx, zz);
      const __m128i step = _mm_set1_epi64x(2 * plane.gx);
      for (int i = 0; i < count; i += 2) {
        const __m128i shifted = _mm_srli_epi64(pair, kDepthFractionBits - 32);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(&z[i]), _mm_shuffle_epi32(shifted, _MM_SHUFFLE(3, 1, 2, 0)));
        pair = _mm_add_epi64(pair, step);
      }
#else
      for (int i = 0; i < count; ++i, zz += plane.gx) z[i] = static_cast<uint32_t>(zz >> (kDepthFractionBits - 32));
#endif
    } else {
      for (int i = 0; i < count; ++i, zz += plane.gx) {
        const int64_t q = zz >> (kDepthFractionBits - 32);
        z[i] = q > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<uint32_t>(q);
      }
    }
    return;
  }
  for (int i = 0; i < count; ++i, zz += plane.gx) z[i] = Quantised(zz, d16);
}

void PixelBlock::FillPerspective(const Interpolants& p, int dx, int dy, int count, uint32_t needs, bool wide) {
  if (needs & kDepth) FillDepth(p.z, dx, dy, count, (needs & kDepthD16) != 0);
  const uint32_t mask = p.perspectiveMask;
  // What is not perspective-correct is the same at every pixel (set-up leaves such planes flat).
  const bool colourVaries = (needs & kColour) && (mask & 1);
  const bool uVaries = (needs & kTexture) && (mask & 2), vVaries = (needs & kTexture) && (mask & 4);
  const bool fogVaries = (needs & kFog) && (mask & 8);
#if defined(__SSE2__)
#if defined(MUSIDISK_WIDE_BLOCKS)
  if (wide && HaveAvx2()) {
    FillPerspectiveWide(p, dx, dy, count, needs);
    return;
  }
#else
  (void)wide;  // no four-wide form on this target
#endif
  const __m128d rowQ = _mm_set1_pd(p.q.dy * dy);
  const __m128d rowR = _mm_set1_pd(p.qr.dy * dy), rowG = _mm_set1_pd(p.qg.dy * dy);
  const __m128d rowB = _mm_set1_pd(p.qb.dy * dy), rowA = _mm_set1_pd(p.qa.dy * dy);
  const __m128d rowU = _mm_set1_pd(p.qu.dy * dy), rowV = _mm_set1_pd(p.qv.dy * dy);
  const __m128d rowFog = _mm_set1_pd(p.qfog.dy * dy);
  const __m128d colourScale = _mm_set1_pd(kColourScale), texelScale = _mm_set1_pd(kTexelScale);
  const __m128d uScale = _mm_set1_pd(p.uScale), vScale = _mm_set1_pd(p.vScale), fogScale = _mm_set1_pd(kFogScale);
  const __m128i half = _mm_set1_epi32(1 << (kColourFractionBits - 1));
  // Two pixels at a time; a pixel after the last one may be worked out too, and is overwritten.
  for (int i = 0; i < count; i += 2) {
    const __m128d x = _mm_set_pd(static_cast<double>(dx + i + 1), static_cast<double>(dx + i));
    const __m128d q = PlanePair(p.q, x, rowQ);
    if (_mm_movemask_pd(_mm_cmpgt_pd(q, _mm_setzero_pd())) != 3) {
      // Behind the eye plane (only ever rounding at a primitive's edge): as the reference does it.
      PerspectivePixel(p, dx, dy, i, needs);
      if (i + 1 < count) PerspectivePixel(p, dx, dy, i + 1, needs);
      continue;
    }
    const __m128d w = _mm_div_pd(_mm_set1_pd(1.0), q);
    if (colourVaries) {
      auto channel = [&](const FloatPlane& plane, __m128d row) {
        __m128i c = SmallPair(_mm_mul_pd(_mm_mul_pd(PlanePair(plane, x, row), w), colourScale));
        return _mm_srai_epi32(_mm_add_epi32(c, half), kColourFractionBits);
      };
      // Lanes b0 b1 g0 g1 | r0 r1 a0 a1, saturated to bytes, then interleaved to b g r a per pixel.
      const __m128i bg = _mm_unpacklo_epi64(channel(p.qb, rowB), channel(p.qg, rowG));
      const __m128i ra = _mm_unpacklo_epi64(channel(p.qr, rowR), channel(p.qa, rowA));
      const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(bg, ra), _mm_setzero_si128());
      const __m128i pairs = _mm_unpacklo_epi8(bytes, _mm_srli_si128(bytes, 4));
      const __m128i pixels = _mm_unpacklo_epi8(pairs, _mm_srli_si128(pairs, 4));
      diffuse[i] = static_cast<uint32_t>(_mm_cvtsi128_si32(pixels));
      diffuse[i + 1] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(pixels, 4)));
    }
    if (uVaries) {
      StoreInt64Pair(RoundedPair(_mm_mul_pd(_mm_mul_pd(_mm_mul_pd(PlanePair(p.qu, x, rowU), w), uScale), texelScale),
                                 kFixedLimit),
                     &u[i]);
    }
    if (vVaries) {
      StoreInt64Pair(RoundedPair(_mm_mul_pd(_mm_mul_pd(_mm_mul_pd(PlanePair(p.qv, x, rowV), w), vScale), texelScale),
                                 kFixedLimit),
                     &v[i]);
    }
    if (fogVaries) {
      __m128i f = SmallPair(_mm_mul_pd(_mm_mul_pd(PlanePair(p.qfog, x, rowFog), w), fogScale));
      // ClampFog: 0..65536.
      f = _mm_andnot_si128(_mm_srai_epi32(f, 31), f);
      const __m128i one = _mm_set1_epi32(kFogOne);
      const __m128i over = _mm_cmpgt_epi32(f, one);
      f = _mm_or_si128(_mm_and_si128(over, one), _mm_andnot_si128(over, f));
      fog[i] = static_cast<uint32_t>(_mm_cvtsi128_si32(f));
      fog[i + 1] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(f, 4)));
    }
  }
#else
  for (int i = 0; i < count; ++i) PerspectivePixel(p, dx, dy, i, needs);
#endif
}

#if defined(MUSIDISK_WIDE_BLOCKS)
[[gnu::target("avx2")]] void PixelBlock::FillPerspectiveWide(const Interpolants& p, int dx, int dy, int count,
                                                             uint32_t needs) {
  const uint32_t mask = p.perspectiveMask;
  const bool colourVaries = (needs & kColour) && (mask & 1);
  const bool uVaries = (needs & kTexture) && (mask & 2), vVaries = (needs & kTexture) && (mask & 4);
  const bool fogVaries = (needs & kFog) && (mask & 8);
  const __m256d rowQ = _mm256_set1_pd(p.q.dy * dy);
  // (a w s) 2^32 = (a w) (s 2^32) exactly, as for the colour scale (see ChannelQuad).
  const __m256d uTexels = _mm256_set1_pd(p.uScale * kTexelScale), vTexels = _mm256_set1_pd(p.vScale * kTexelScale);
  // Four pixels at a time; up to three after the last one may be worked out too, and are overwritten.
  // Pixel offsets are whole numbers: stepping them by four is exact.
  __m256d x = _mm256_add_pd(_mm256_set1_pd(static_cast<double>(dx)), _mm256_setr_pd(0, 1, 2, 3));
  for (int i = 0; i < count; i += 4, x = _mm256_add_pd(x, _mm256_set1_pd(4.0))) {
    const __m256d q = PlaneQuad(p.q, x, rowQ);
    if (_mm256_movemask_pd(_mm256_cmp_pd(q, _mm256_setzero_pd(), _CMP_GT_OQ)) != 15) {
      for (int k = i; k < i + 4 && k < count; ++k) PerspectivePixel(p, dx, dy, k, needs);
      continue;
    }
    const __m256d w = _mm256_div_pd(_mm256_set1_pd(1.0), q);
    // The colour and fog scales are 2^16, folded into the reciprocal (see ChannelQuad).
    const __m256d w16 = _mm256_mul_pd(w, _mm256_set1_pd(kColourScale));
    if (colourVaries) {
      // Bytes b0..b3 g0..g3 r0..r3 a0..a3 (saturated as ColourByte clamps), then b g r a per pixel.
      const __m128i bytes =
          _mm_packus_epi16(_mm_packs_epi32(ChannelQuad(p.qb, x, w16, dy), ChannelQuad(p.qg, x, w16, dy)),
                           _mm_packs_epi32(ChannelQuad(p.qr, x, w16, dy), ChannelQuad(p.qa, x, w16, dy)));
      const __m128i bg = _mm_unpacklo_epi8(bytes, _mm_srli_si128(bytes, 4));
      const __m128i ra = _mm_unpacklo_epi8(_mm_srli_si128(bytes, 8), _mm_srli_si128(bytes, 12));
      _mm_store_si128(reinterpret_cast<__m128i*>(&diffuse[i]), _mm_unpacklo_epi16(bg, ra));
    }
    if (uVaries) {
      const __m256d row = _mm256_set1_pd(p.qu.dy * dy);
      StoreInt64Quad(
          RoundedQuad(_mm256_mul_pd(_mm256_mul_pd(PlaneQuad(p.qu, x, row), w), uTexels), kFixedLimit), &u[i]);
    }
    if (vVaries) {
      const __m256d row = _mm256_set1_pd(p.qv.dy * dy);
      StoreInt64Quad(
          RoundedQuad(_mm256_mul_pd(_mm256_mul_pd(PlaneQuad(p.qv, x, row), w), vTexels), kFixedLimit), &v[i]);
    }
    if (fogVaries) {
      const __m256d row = _mm256_set1_pd(p.qfog.dy * dy);
      const __m128i f = SmallQuad(_mm256_mul_pd(PlaneQuad(p.qfog, x, row), w16));
      _mm_store_si128(reinterpret_cast<__m128i*>(&fog[i]),
                      _mm_min_epi32(_mm_max_epi32(f, _mm_setzero_si128()), _mm_set1_epi32(kFogOne)));
    }
  }
}
#endif

}  // namespace d3d8sw
