// Fast span loops specialised by state key, and the table of compiled keys.
#include "span_kernels.h"

#include <algorithm>
#include <array>
#include <utility>

#include "bilinear_rows.h"
#include "block_runs.h"
#include "colour_math.h"
#include "pixel_vectors.h"
#include "wide_solid_runs.h"

namespace d3d8sw {

namespace {

// Texel index with the stage's addressing: `mask` is size - 1 for WRAP on a power-of-two size
// (the AND wraps) and -1 for CLAMP (the AND keeps the index and the clamp settles it).
inline int AddressFast(int64_t index, int32_t mask, int size) {
  int64_t i = index & mask;
  i = i < 0 ? 0 : i;
  i = i > size - 1 ? size - 1 : i;
  return static_cast<int>(i);
}

template <StageOp kOp>
inline uint32_t StageResult(uint32_t texel, uint32_t diffuse) {
  if constexpr (kOp == StageOp::kDiffuse) {
    return diffuse;
  } else if constexpr (kOp == StageOp::kTexture) {
    return texel;
  } else if constexpr (kOp == StageOp::kModulate) {
    return ModulateArgb(texel, diffuse);
  } else if constexpr (kOp == StageOp::kTextureSquared) {
    return ModulateArgb(texel, texel);
  } else {
    return ModulateArgb(diffuse, diffuse);
  }
}

template <uint8_t kFunc>
inline bool CompareFixed(uint32_t a, uint32_t b) {
  if constexpr (kFunc == D3DCMP_NEVER) return false;
  else if constexpr (kFunc == D3DCMP_LESS) return a < b;
  else if constexpr (kFunc == D3DCMP_EQUAL) return a == b;
  else if constexpr (kFunc == D3DCMP_LESSEQUAL) return a <= b;
  else if constexpr (kFunc == D3DCMP_GREATER) return a > b;
  else if constexpr (kFunc == D3DCMP_NOTEQUAL) return a != b;
  else if constexpr (kFunc == D3DCMP_GREATEREQUAL) return a >= b;
  else return true;
}

// Round(x / 255) on the two 16-bit lanes of x (bits 0..15 and 16..31), each lane <= 65025.
inline uint32_t Div255Lanes(uint32_t x) {
  x += 0x00800080;
  return ((x + ((x >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
}

// Source over destination by source alpha, all four channels, as the reference rounds them.
inline uint32_t BlendAlpha(uint32_t src, uint32_t dst) {
  uint32_t a = src >> 24;
  uint32_t ia = 255 - a;
  uint32_t rb = Div255Lanes((src & 0x00FF00FF) * a + (dst & 0x00FF00FF) * ia);
  uint32_t ag = Div255Lanes(((src >> 8) & 0x00FF00FF) * a + ((dst >> 8) & 0x00FF00FF) * ia);
  return rb | (ag << 8);
}

// Saturating per-channel sum.
inline uint32_t AddSaturate(uint32_t a, uint32_t b) {
  uint32_t rb = (a & 0x00FF00FF) + (b & 0x00FF00FF);
  uint32_t ag = ((a >> 8) & 0x00FF00FF) + ((b >> 8) & 0x00FF00FF);
  rb |= 0x01000100 - ((rb >> 8) & 0x00010001);
  ag |= 0x01000100 - ((ag >> 8) & 0x00010001);
  return (rb & 0x00FF00FF) | ((ag & 0x00FF00FF) << 8);
}


// The end of the pixel pipeline for one pixel whose stage-0 (and fogged) colour is `src`: alpha
// test, depth test against `zq` (already quantised) and write, blending and the target's format.
template <uint32_t kKey>
inline void FinishPixel(const PixelState& s, uint32_t src, uint32_t zq, uint32_t* out, void* depth) {
  constexpr PixelKey k = PixelKey::Decode(kKey);
  constexpr uint32_t kTargetAlpha = k.target == TargetKind::kX8R8G8B8 ? 0xFF000000u : 0u;
  if constexpr (k.alphaFunc != 0) {
    if (!CompareFixed<k.alphaFunc>(src >> 24, s.alphaRef)) return;
  }
  if constexpr (k.depthFunc != 0) {
    if constexpr (k.depthD16) {
      uint16_t* d = static_cast<uint16_t*>(depth);
      if (!CompareFixed<k.depthFunc>(zq, *d)) return;
      if constexpr (k.depthWrite) *d = static_cast<uint16_t>(zq);
    } else {
      uint32_t* d = static_cast<uint32_t*>(depth);
      if (!CompareFixed<k.depthFunc>(zq, *d)) return;
      if constexpr (k.depthWrite) *d = zq;
    }
  }
  if constexpr (k.blend != BlendMode::kNoColour) {
    uint32_t result;
    if constexpr (k.blend == BlendMode::kOpaque) {
      result = src;
    } else if constexpr (k.blend == BlendMode::kAdd) {
      result = AddSaturate(src, *out);
    } else if constexpr (k.blend == BlendMode::kAlpha) {
      result = BlendAlpha(src, *out);
    } else {
      static_assert(k.blend == BlendMode::kModulate);
      result = ModulateArgb(*out, src);
    }
    if constexpr (k.target == TargetKind::kR5G6B5) {
      result = QuantiseToR5G6B5(result);
    } else {
      result |= kTargetAlpha;
    }
    *out = result;
  }
}

// Fog: f c + (1 - f) fog colour on the colour channels, f with 16 fraction bits.
inline uint32_t ApplyFog(uint32_t src, uint32_t f, uint32_t fogColour) {
  uint32_t fogged = src & 0xFF000000;
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t c = (src >> shift) & 0xFF;
    uint32_t q = (fogColour >> shift) & 0xFF;
    fogged |= ((c * f + q * (kFogOne - f) + 32768) >> kFogFractionBits) << shift;
  }
  return fogged;
}

// Single-pixel points without texture, one call per batch.
template <uint32_t kKey>
void PointBatch(const PixelState& s, const PointJob* points, int count) {
  constexpr PixelKey k = PixelKey::Decode(kKey);
  static_assert(k.filter == TextureFilter::kNone);
  uint8_t* depthBase = static_cast<uint8_t*>(s.depth);
  for (int i = 0; i < count; ++i) {
    const PointJob& p = points[i];
    uint32_t src = (StageResult<k.alpha>(0, p.colour) & 0xFF000000) | (StageResult<k.colour>(0, p.colour) & 0x00FFFFFF);
    if constexpr (k.fog) src = ApplyFog(src, p.fog, s.fogColour);
    void* depth = nullptr;
    if constexpr (k.depthFunc != 0) depth = depthBase + static_cast<size_t>(p.depthIndex) * (k.depthD16 ? 2 : 4);
    FinishPixel<kKey>(s, src, p.z, s.colour + p.colourIndex, depth);
  }
}

#if defined(__SSE2__)
// Point sampling along a run, four texels at a time. The vector is assembled in registers: four
// narrow stores read back as one wide load would stall. Texel coordinates step by additions; a
// run whose indices stay inside the texture skips the addressing.
// kInside: the run stays inside the texture; kWrap: both axes wrap on power-of-two sizes (a mask
// does it); otherwise each index goes through AddressFast.
template <bool kConstRow, bool kInside, bool kWrap = false>
class PointWalk {
 public:
  PointWalk(const PixelState& s, const SpanJob& j, const uint32_t* row)
      : s_(s), row_(row), u_(j.u), v_(j.v), du_(j.du), dv_(j.dv) {}

  [[gnu::always_inline]] inline __m128i Four(int count) {
    int t0 = Next();
    int t1 = count > 1 ? Next() : 0;
    int t2 = count > 2 ? Next() : 0;
    int t3 = count > 3 ? Next() : 0;
    __m128i low = _mm_unpacklo_epi32(_mm_cvtsi32_si128(t0), _mm_cvtsi32_si128(t1));
    __m128i high = _mm_unpacklo_epi32(_mm_cvtsi32_si128(t2), _mm_cvtsi32_si128(t3));
    return _mm_unpacklo_epi64(low, high);
  }

 private:
  [[gnu::always_inline]] inline int Next() {
    int64_t iu = u_ >> kTexelFractionBits;
    int64_t iv = v_ >> kTexelFractionBits;
    u_ += du_;
    v_ += dv_;
    const TextureLevelView& tex = s_.texture;
    int x = kInside ? static_cast<int>(iu)
                    : (kWrap ? static_cast<int>(iu & s_.uAnd) : AddressFast(iu, s_.uAnd, tex.width));
    if constexpr (kConstRow) {
      return static_cast<int>(row_[x]);
    } else {
      int y = kInside ? static_cast<int>(iv)
                      : (kWrap ? static_cast<int>(iv & s_.vAnd) : AddressFast(iv, s_.vAnd, tex.height));
      return static_cast<int>(tex.texels[static_cast<size_t>(y) * tex.pitch + x]);
    }
  }

  const PixelState& s_;
  const uint32_t* row_;
  int64_t u_, v_, du_, dv_;
};

// Point sampling at two pixels per texel along one texel row (a frame stretched to twice its size):
// from pixel kPairsFrom of the run on, pixel k reads texel first + ((k - kPairsFrom + phase) >> 1).
// The first pixels are left out of the pattern: a stretch whose scale is a little below two (320
// texels over 640.5 pixels) gives its first texel three pixels and every later one two.
constexpr int kPairsFrom = 4;
struct TexelPairs {
  int64_t first;
  int phase;  // 0 or 1
};

// Whether the run samples its row in pairs. Within each parity class of k, both the texel index
// floor(u + k du) and the index the pattern asks for are affine in k, so the pattern holds for the
// whole run when it holds at the first and last pixel of both classes.
inline bool FindTexelPairs(const SpanJob& j, TexelPairs* pairs) {
  const int n = j.count;
  if (n < kPairsFrom + 4) return false;
  auto texel = [&](int k) { return (j.u + j.du * k) >> kTexelFractionBits; };
  const int64_t first = texel(kPairsFrom);
  const int64_t phase = texel(kPairsFrom + 1) - first;
  if (phase != 0 && phase != 1) return false;
  auto expected = [&](int k) { return first + ((k - kPairsFrom + phase) >> 1); };
  if (texel(n - 2) != expected(n - 2) || texel(n - 1) != expected(n - 1)) return false;
  pairs->first = first;
  pairs->phase = static_cast<int>(phase);
  return true;
}

// The colours of an untextured Gouraud run, four pixels at a time: each pixel's channels in 32-bit
// lanes (b, g, r, a) stepped along the run; the packs saturate exactly as ColourByte clamps.
class GouraudColours {
 public:
  // Whether runs of key `k` take their colour as it comes.
  static constexpr bool Draws(const PixelKey& k) {
    return k.filter == TextureFilter::kNone && k.colour == StageOp::kDiffuse && k.alpha == StageOp::kDiffuse &&
           !k.fog;
  }

  // Whether the run's channels stay well inside 32 bits (an affine value lies between its ends).
  static bool Fits(const SpanJob& j) {
    auto fits = [&](int64_t first, int64_t step) {
      const int64_t last = first + step * (j.count - 1);
      constexpr int64_t kBound = int64_t{1} << 30;
      return first > -kBound && first < kBound && last > -kBound && last < kBound;
    };
    return fits(j.r, j.dr) && fits(j.g, j.dg) && fits(j.b, j.db) && fits(j.a, j.da);
  }

  explicit GouraudColours(const SpanJob& j)
      : lanes_(_mm_setr_epi32(static_cast<int32_t>(j.b), static_cast<int32_t>(j.g), static_cast<int32_t>(j.r),
                              static_cast<int32_t>(j.a))),
        steps_(_mm_setr_epi32(static_cast<int32_t>(j.db), static_cast<int32_t>(j.dg), static_cast<int32_t>(j.dr),
                              static_cast<int32_t>(j.da))) {}

  // Past the run's end the lanes go on (and may wrap); those pixels are never stored.
  [[gnu::always_inline]] inline __m128i Four(int) {
    const __m128i p0 = Next(), p1 = Next(), p2 = Next(), p3 = Next();
    return _mm_packus_epi16(_mm_packs_epi32(p0, p1), _mm_packs_epi32(p2, p3));
  }

 private:
  [[gnu::always_inline]] inline __m128i Next() {
    const __m128i byte = _mm_srai_epi32(_mm_add_epi32(lanes_, _mm_set1_epi32(1 << (kColourFractionBits - 1))),
                                        kColourFractionBits);
    lanes_ = _mm_add_epi32(lanes_, steps_);
    return byte;
  }

  __m128i lanes_, steps_;
};

// The texel source of untextured runs.
struct NoTexels {
  [[gnu::always_inline]] inline __m128i Four(int) { return _mm_setzero_si128(); }
};

// Bilinear sampling along a run: texel coordinates minus half a texel, stepped per pixel.
// kInside: both taps of every pixel lie inside the texture, so no addressing is needed.
// kFlatV: v does not change along the run (axis-aligned quads), so the two rows and the vertical
// weight are found once.
template <bool kInside, bool kFlatV>
class BilinearWalk {
 public:
  BilinearWalk(const PixelState& s, const SpanJob& j)
      : texels_(s.texture.texels), pitch_(s.texture.pitch), width_(s.texture.width), height_(s.texture.height),
        uAnd_(s.uAnd), vAnd_(s.vAnd), alphaOr_(s.texture.alphaOr), du_(j.du), dv_(j.dv),
        tu_(j.u - (int64_t{1} << (kTexelFractionBits - 1))), tv_(j.v - (int64_t{1} << (kTexelFractionBits - 1))) {
    if constexpr (kFlatV) Rows(tv_, &row0_, &row1_, &fv_);
  }

  // Whether both taps of every pixel of the run lie inside the texture.
  static bool Inside(const PixelState& s, const SpanJob& j) {
    auto inside = [&](int64_t first, int64_t step, int size) {
      int64_t a = first >> kTexelFractionBits;
      int64_t b = (first + step * (j.count - 1)) >> kTexelFractionBits;
      return a >= 0 && a < size - 1 && b >= 0 && b < size - 1;
    };
    const int64_t half = int64_t{1} << (kTexelFractionBits - 1);
    return inside(j.u - half, j.du, s.texture.width) && inside(j.v - half, j.dv, s.texture.height);
  }

  // The taps and weights of the next pixel.
  [[gnu::always_inline]] inline void Next(uint32_t* t00, uint32_t* t10, uint32_t* t01, uint32_t* t11, uint32_t* fu,
                                          uint32_t* fv) {
    int64_t iu = tu_ >> kTexelFractionBits;
    *fu = static_cast<uint32_t>((tu_ >> (kTexelFractionBits - 8)) & 0xFF);
    tu_ += du_;
    const uint32_t* row0;
    const uint32_t* row1;
    if constexpr (kFlatV) {
      row0 = row0_;
      row1 = row1_;
      *fv = fv_;
    } else {
      Rows(tv_, &row0, &row1, fv);
      tv_ += dv_;
    }
    int x0, x1;
    if constexpr (kInside) {
      x0 = static_cast<int>(iu);
      x1 = x0 + 1;
    } else {
      x0 = AddressFast(iu, uAnd_, width_);
      x1 = AddressFast(iu + 1, uAnd_, width_);
    }
    *t00 = row0[x0] | alphaOr_;
    *t10 = row0[x1] | alphaOr_;
    *t01 = row1[x0] | alphaOr_;
    *t11 = row1[x1] | alphaOr_;
  }

  // Two samples: the next pixel in the low 32 bits, the one after it above.
  [[gnu::always_inline]] inline __m128i Two() {
    uint32_t p[6], q[6];
    Next(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5]);
    Next(&q[0], &q[1], &q[2], &q[3], &q[4], &q[5]);
    return Bilerp2(p[0], p[1], p[2], p[3], p[4], p[5], q[0], q[1], q[2], q[3], q[4], q[5]);
  }

  // Four samples (a run's last `count` < 4 pad with zero).
  [[gnu::always_inline]] inline __m128i Four(int count) {
    if (count == 4) {
      __m128i low = Two();
      __m128i high = Two();
      return _mm_unpacklo_epi64(low, high);
    }
    alignas(16) uint32_t t[4] = {0, 0, 0, 0};
    for (int k = 0; k < count; ++k) {
      uint32_t a[6];
      Next(&a[0], &a[1], &a[2], &a[3], &a[4], &a[5]);
      t[k] = Bilerp1(a[0], a[1], a[2], a[3], a[4], a[5]);
    }
    return _mm_load_si128(reinterpret_cast<const __m128i*>(t));
  }

 private:
  [[gnu::always_inline]] inline void Rows(int64_t tv, const uint32_t** row0, const uint32_t** row1,
                                          uint32_t* fv) const {
    int64_t iv = tv >> kTexelFractionBits;
    *fv = static_cast<uint32_t>((tv >> (kTexelFractionBits - 8)) & 0xFF);
    int y0, y1;
    if constexpr (kInside) {
      y0 = static_cast<int>(iv);
      y1 = y0 + 1;
    } else {
      y0 = AddressFast(iv, vAnd_, height_);
      y1 = AddressFast(iv + 1, vAnd_, height_);
    }
    *row0 = texels_ + static_cast<size_t>(y0) * pitch_;
    *row1 = texels_ + static_cast<size_t>(y1) * pitch_;
  }

  const uint32_t* texels_;
  int pitch_, width_, height_;
  int32_t uAnd_, vAnd_;
  uint32_t alphaOr_;
  int64_t du_, dv_, tu_, tv_;
  const uint32_t* row0_ = nullptr;
  const uint32_t* row1_ = nullptr;
  uint32_t fv_ = 0;
};

// Bilinear sampling along a run at one v: the texel columns the run touches are blended down once
// (the first step of Bilerp), and each pixel then blends two of them across.
class BilinearColumns {
 public:
  // Columns a run may touch; runs touching more (strongly minified) sample per pixel.
  static constexpr int64_t kMaxColumns = 1024;

  // The first column the run touches and how many; false when they are too many.
  static bool Span(const SpanJob& j, int64_t* first, int64_t* count) {
    const int64_t half = int64_t{1} << (kTexelFractionBits - 1);
    int64_t a = (j.u - half) >> kTexelFractionBits;
    int64_t b = (j.u - half + j.du * (j.count - 1)) >> kTexelFractionBits;
    *first = a < b ? a : b;
    *count = (a < b ? b : a) - *first + 2;
    return *count <= kMaxColumns;
  }

  BilinearColumns(const PixelState& s, const SpanJob& j, uint32_t* columns, int64_t first, int64_t count)
      : columns_(columns), first_(first), du_(j.du), tu_(j.u - (int64_t{1} << (kTexelFractionBits - 1))) {
    const TextureLevelView& tex = s.texture;
    int64_t tv = j.v - (int64_t{1} << (kTexelFractionBits - 1));
    int64_t iv = tv >> kTexelFractionBits;
    uint32_t fv = static_cast<uint32_t>((tv >> (kTexelFractionBits - 8)) & 0xFF);
    const uint32_t* row0 = tex.texels + static_cast<size_t>(AddressFast(iv, s.vAnd, tex.height)) * tex.pitch;
    const uint32_t* row1 = tex.texels + static_cast<size_t>(AddressFast(iv + 1, s.vAnd, tex.height)) * tex.pitch;
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(tex.alphaOr));
    const __m128i weight = _mm_set1_epi16(static_cast<int16_t>(fv));
    const bool inside = first >= 0 && first + count <= tex.width;
    auto gather = [&](const uint32_t* row, int64_t at) {
      int x[4];
      for (int i = 0; i < 4; ++i) {
        // Columns past the run's last (padding up to four) read a valid texel and are never used.
        int64_t column = at + i < first + count ? at + i : first + count - 1;
        x[i] = inside ? static_cast<int>(column) : AddressFast(column, s.uAnd, tex.width);
      }
      __m128i low = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(row[x[0]])),
                                       _mm_cvtsi32_si128(static_cast<int>(row[x[1]])));
      __m128i high = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(row[x[2]])),
                                        _mm_cvtsi32_si128(static_cast<int>(row[x[3]])));
      return _mm_or_si128(_mm_unpacklo_epi64(low, high), alpha);
    };
    for (int64_t k = 0; k < count; k += 4) {
      __m128i top, bottom;
      if (inside && k + 4 <= count) {
        // Consecutive texels of both rows.
        top = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row0 + first + k)), alpha);
        bottom = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row1 + first + k)), alpha);
      } else {
        top = gather(row0, first + k);
        bottom = gather(row1, first + k);
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(columns + k), LerpDown4(top, bottom, weight));
    }
  }

  [[gnu::always_inline]] inline void Next(uint32_t* left, uint32_t* right, uint32_t* fu) {
    int64_t k = (tu_ >> kTexelFractionBits) - first_;
    *fu = static_cast<uint32_t>((tu_ >> (kTexelFractionBits - 8)) & 0xFF);
    tu_ += du_;
    *left = columns_[k];
    *right = columns_[k + 1];
  }

  [[gnu::always_inline]] inline __m128i Two() {
    uint32_t a, b, pu, c, d, qu;
    Next(&a, &b, &pu);
    Next(&c, &d, &qu);
    return LerpAcross2(a, b, pu, c, d, qu);
  }

  [[gnu::always_inline]] inline __m128i Four(int count) {
    if (count == 4) {
      __m128i low = Two();
      __m128i high = Two();
      return _mm_unpacklo_epi64(low, high);
    }
    alignas(16) uint32_t t[4] = {0, 0, 0, 0};
    for (int k = 0; k < count; ++k) {
      uint32_t a, b, f;
      Next(&a, &b, &f);
      t[k] = static_cast<uint32_t>(_mm_cvtsi128_si32(LerpAcross2(a, b, f, 0, 0, 0)));
    }
    return _mm_load_si128(reinterpret_cast<const __m128i*>(t));
  }

 private:
  const uint32_t* columns_;
  int64_t first_, du_, tu_;
};

// Whether texel indices u >> 32 (and v >> 32) stay inside the texture over the whole run, so
// that no addressing is needed.
inline bool RunInsideTexture(const PixelState& s, const SpanJob& j, bool checkV) {
  auto inside = [](int64_t first, int64_t step, int n, int size) {
    int64_t a = first >> kTexelFractionBits;
    int64_t b = (first + step * (n - 1)) >> kTexelFractionBits;
    return a >= 0 && a < size && b >= 0 && b < size;
  };
  return inside(j.u, j.du, j.count, s.texture.width) && (!checkV || inside(j.v, j.dv, j.count, s.texture.height));
}

// Fog at one factor f (below 1) on four pixels, as ApplyFog rounds it: the colour channels
// become (c f + q (1 - f) + 2^15) >> 16, with `weighted` holding q (1 - f) + 2^15 per lane
// (b, g, r, a lanes; the alpha lane's value is restored afterwards).
inline __m128i FogFlat4(__m128i src, __m128i factor, __m128i weightedLo, __m128i weightedHi) {
  __m128i zero = _mm_setzero_si128();
  auto half = [&](__m128i c16, __m128i weighted) {
    // c x f as 32-bit lanes from the low and high 16-bit halves of the product.
    __m128i lo = _mm_mullo_epi16(c16, factor);
    __m128i hi = _mm_mulhi_epu16(c16, factor);
    __m128i p0 = _mm_add_epi32(_mm_unpacklo_epi16(lo, hi), weighted);
    __m128i p1 = _mm_add_epi32(_mm_unpackhi_epi16(lo, hi), weighted);
    return _mm_packs_epi32(_mm_srli_epi32(p0, 16), _mm_srli_epi32(p1, 16));
  };
  __m128i lo = half(_mm_unpacklo_epi8(src, zero), weightedLo);
  __m128i hi = half(_mm_unpackhi_epi8(src, zero), weightedHi);
  __m128i fogged = _mm_packus_epi16(lo, hi);
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  return _mm_or_si128(_mm_and_si128(src, alpha), _mm_andnot_si128(alpha, fogged));
}

// Four pixels at a time for a diffuse colour constant along each run with stage 0 selecting or
// modulating, point or bilinear sampling, fog at one factor, any alpha test, a D32 depth test, and
// any blend but the general one. One object serves the runs of a primitive: what its colour and
// fog factor make of the state is worked out when they change, not for every run.
template <uint32_t kKey>
class VectorRuns {
 public:
  static constexpr PixelKey k = PixelKey::Decode(kKey);
  static constexpr bool kDepth = k.depthFunc != 0;
  static constexpr uint32_t kTargetAlpha = k.target == TargetKind::kX8R8G8B8 ? 0xFF000000u : 0u;

  // Whether stage 0 reads the diffuse colour at all.
  static constexpr bool kUsesDiffuse = k.colour == StageOp::kDiffuse || k.colour == StageOp::kModulate ||
                                       k.alpha == StageOp::kDiffuse || k.alpha == StageOp::kModulate;

  VectorRuns(const PixelState& s, const Interpolants& p)
      : s_(s),
        texelAlpha_(_mm_set1_epi32(static_cast<int>(s.texture.alphaOr))),
        ref_(_mm_set1_epi32(static_cast<int>(s.alphaRef))) {
    // What is the same over the whole primitive is worked out once: its colour (constant planes
    // are their base everywhere), or nothing when stage 0 reads no colour.
    if constexpr (!kUsesDiffuse) {
      TakeDiffuse(0xFFFFFFFF);
    } else if constexpr (k.constColour) {
      TakeDiffuse(PackArgb(ColourByte(p.a.base), ColourByte(p.r.base), ColourByte(p.g.base), ColourByte(p.b.base)));
    }
  }

  // Shades one run; false (nothing drawn) when its colour or fog is not flat or its depth leaves
  // 0..1.
  bool Shade(const SpanJob& j);

 private:
  // Stage 0 as a multiplier and replacements from the diffuse colour; what blending by its alpha
  // comes to.
  void TakeDiffuse(uint32_t diffuse) {
    diffuse_ = diffuse;
    diffuseKnown_ = true;
    uint32_t multiply = 0xFFFFFFFF;
    if constexpr (k.colour == StageOp::kModulate) multiply = (multiply & 0xFF000000) | (diffuse & 0x00FFFFFF);
    if constexpr (k.alpha == StageOp::kModulate) multiply = (multiply & 0x00FFFFFF) | (diffuse & 0xFF000000);
    modulate_ = multiply != 0xFFFFFFFF;
    multiplier_ = MultiplierLanes(multiply);
    uint32_t keepMask = 0xFFFFFFFF;
    if constexpr (k.colour == StageOp::kDiffuse) keepMask &= 0xFF000000;
    if constexpr (k.alpha == StageOp::kDiffuse) keepMask &= 0x00FFFFFF;
    keep_ = _mm_set1_epi32(static_cast<int>(keepMask));
    put_ = _mm_set1_epi32(static_cast<int>(diffuse & ~keepMask));
    flatStage_.alphaOr = s_.texture.alphaOr;
    flatStage_.modulate = modulate_;
    flatStage_.multiply = multiply;
    flatStage_.keep = keepMask;
    flatStage_.put = diffuse & ~keepMask;
    // Alpha from the diffuse colour is one value over the run: blending by it is a copy at 255,
    // and at 0 changes nothing (unless tests decide depth writes).
    blendCopies_ = false;
    drawsNothing_ = false;
    if constexpr (k.blend == BlendMode::kAlpha && k.alpha == StageOp::kDiffuse) {
      drawsNothing_ = (diffuse >> 24) == 0 && k.alphaFunc == 0 && !kDepth;
      blendCopies_ = (diffuse >> 24) == 0xFF;
      alphaWeights_ = _mm_set1_epi16(static_cast<int16_t>(diffuse >> 24));
      inverseWeights_ = _mm_set1_epi16(static_cast<int16_t>(255 - (diffuse >> 24)));
    }
  }

  // Fog at one factor; a factor of one leaves the colour as it is.
  void TakeFog(uint32_t factor) {
    fogFactor_ = factor;
    fogKnown_ = true;
    fogging_ = factor < static_cast<uint32_t>(kFogOne);
    fogLanes_ = _mm_set1_epi16(static_cast<int16_t>(factor & 0xFFFF));
    uint32_t q = kFogOne - factor;
    fogWeighted_ = _mm_setr_epi32(static_cast<int>(ChannelB(s_.fogColour) * q + 32768),
                                  static_cast<int>(ChannelG(s_.fogColour) * q + 32768),
                                  static_cast<int>(ChannelR(s_.fogColour) * q + 32768), 0);
  }

  const PixelState& s_;
  const __m128i texelAlpha_;
  const __m128i ref_;
  bool diffuseKnown_ = false;
  uint32_t diffuse_ = 0;
  bool modulate_ = false, blendCopies_ = false, drawsNothing_ = false;
  __m128i multiplier_ = _mm_setzero_si128(), keep_ = _mm_setzero_si128(), put_ = _mm_setzero_si128();
  // The same as scalars, for the AVX2 bilinear rows.
  FlatStage flatStage_;
  // Blending by the diffuse alpha a: a and 255 - a in every 16-bit lane.
  __m128i alphaWeights_ = _mm_setzero_si128(), inverseWeights_ = _mm_setzero_si128();
  // The last run's texel walk along a row at one v: inside the texture, and paired.
  bool walkKnown_ = false;
  int64_t walkU_ = 0, walkDu_ = 0;
  int walkCount_ = 0;
  bool walkInside_ = false, walkPaired_ = false;
  TexelPairs walkPairs_{0, 0};
  bool fogKnown_ = false;
  uint32_t fogFactor_ = 0;
  bool fogging_ = false;
  __m128i fogLanes_ = _mm_setzero_si128(), fogWeighted_ = _mm_setzero_si128();
};

template <uint32_t kKey>
bool VectorRuns<kKey>::Shade(const SpanJob& j) {
  const PixelState& s = s_;
  if (k.fog && j.dfog != 0) return false;
  // Depth that changes along the run is stepped in 64-bit lanes; inside 0..1 (below 2^40) the D32
  // value is the interpolant shifted down by 8, with no clamping.
  [[maybe_unused]] const bool zVaries = kDepth && j.dz != 0;
  if (zVaries) {
    const int64_t zLast = j.z + j.dz * (j.count - 1);
    if (j.z < 0 || j.z >= kDepthOne || zLast < 0 || zLast >= kDepthOne) return false;
  }
  // Untextured Gouraud runs whose colour changes along them: the colour is the source itself.
  [[maybe_unused]] bool gouraud = false;
  if constexpr (kUsesDiffuse && !k.constColour) {
    if ((j.dr | j.dg | j.db | j.da) != 0) {
      if constexpr (!GouraudColours::Draws(k)) {
        return false;
      } else {
        if (!GouraudColours::Fits(j)) return false;
        gouraud = true;
      }
    } else {
      // Gouraud primitives whose colour changes only from row to row (bars) are flat along each run.
      const uint32_t diffuse = PackArgb(ColourByte(j.a), ColourByte(j.r), ColourByte(j.g), ColourByte(j.b));
      if (!diffuseKnown_ || diffuse != diffuse_) TakeDiffuse(diffuse);
    }
  }
  if (drawsNothing_ && !gouraud) return true;
  const bool modulate = modulate_;
  [[maybe_unused]] const bool blendCopies = blendCopies_;
  [[maybe_unused]] const __m128i alphaWeights = alphaWeights_;
  [[maybe_unused]] const __m128i inverseWeights = inverseWeights_;
  const __m128i multiplier = multiplier_;
  [[maybe_unused]] const __m128i keep = keep_;
  [[maybe_unused]] const __m128i put = put_;
  const __m128i texelAlpha = texelAlpha_;
  const __m128i targetAlpha = _mm_set1_epi32(static_cast<int>(kTargetAlpha));

  [[maybe_unused]] bool fogging = false;
  [[maybe_unused]] __m128i fogLanes = _mm_setzero_si128(), fogWeighted = _mm_setzero_si128();
  if constexpr (k.fog) {
    const uint32_t factor = ClampFog(j.fog);
    if (!fogKnown_ || factor != fogFactor_) TakeFog(factor);
    fogging = fogging_;
    fogLanes = fogLanes_;
    fogWeighted = fogWeighted_;
  }

  [[maybe_unused]] __m128i zLanes = _mm_setzero_si128();
  // Varying depth: the interpolants of the next four pixels, two in each vector.
  [[maybe_unused]] __m128i zLow = zLanes, zHigh = zLanes, zStep = zLanes;
  if constexpr (kDepth) {
    if (zVaries) {
      zLow = _mm_set_epi64x(j.z + j.dz, j.z);
      zHigh = _mm_set_epi64x(j.z + 3 * j.dz, j.z + 2 * j.dz);
      zStep = _mm_set1_epi64x(4 * j.dz);
    } else {
      zLanes = _mm_set1_epi32(static_cast<int>(DepthD32(j.z)));
    }
  }
  [[maybe_unused]] const __m128i ref = ref_;

  const uint32_t* row = nullptr;
  if constexpr (k.vConstRow) {
    row = s.texture.texels +
          static_cast<size_t>(AddressFast(j.v >> kTexelFractionBits, s.vAnd, s.texture.height)) * s.texture.pitch;
  }
  uint32_t* out = j.colour;
  [[maybe_unused]] uint32_t* depth = static_cast<uint32_t*>(j.depth);
  const int n = j.count;

  // Shades up to four pixels at `at`; `count` < 4 at the end of the run goes through a buffer.
  // Stage 0 and fog on four texels (the same for every pixel that samples them).
  auto source = [&](__m128i texels) __attribute__((always_inline)) {
    if constexpr (GouraudColours::Draws(k)) {
      if (gouraud) return texels;
    }
    __m128i src = _mm_or_si128(texels, texelAlpha);
    if (modulate) src = ModulateConst4(src, multiplier);
    if constexpr (k.colour == StageOp::kDiffuse || k.alpha == StageOp::kDiffuse) {
      src = _mm_or_si128(_mm_and_si128(src, keep), put);
    }
    if constexpr (k.fog) {
      if (fogging) src = FogFlat4(src, fogLanes, fogWeighted, fogWeighted);
    }
    return src;
  };
  // The rest of the pipeline for up to four pixels of colour `src` at `target`; `count` < 4 at the
  // end of the run leaves what follows it alone.
  auto finish = [&](__m128i src, int count, uint32_t* target, uint32_t* depths) __attribute__((always_inline)) {
    __m128i pass = _mm_set1_epi32(-1);
    if constexpr (k.alphaFunc != 0) pass = CompareMask<k.alphaFunc>(_mm_srli_epi32(src, 24), ref);
    [[maybe_unused]] __m128i d = _mm_setzero_si128();
    [[maybe_unused]] __m128i zq = zLanes;
    if constexpr (kDepth) {
      if (zVaries) {
        zq = _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(_mm_srli_epi64(zLow, kDepthFractionBits - 32)),
                                             _mm_castsi128_ps(_mm_srli_epi64(zHigh, kDepthFractionBits - 32)),
                                             _MM_SHUFFLE(2, 0, 2, 0)));
        // On to the pixel after the group (a short group may be followed by more pixels).
        const __m128i step = count == 4 ? zStep : _mm_set1_epi64x(count * j.dz);
        zLow = _mm_add_epi64(zLow, step);
        zHigh = _mm_add_epi64(zHigh, step);
      }
      d = LoadLanes(depths, count);
      pass = _mm_and_si128(pass, CompareMask<k.depthFunc>(zq, d));
    }
    // Groups that fail a depth test mostly come in long stretches: leave them at once. A mask that
    // only writes depth (alpha test, depth ALWAYS) writes its group whatever passes, which costs
    // less than branching on the texture's pattern.
    constexpr bool kMaskOnly = k.blend == BlendMode::kNoColour && k.depthFunc == D3DCMP_ALWAYS && k.depthWrite;
    // One colour through a depth mask (EQUAL; the panel's stripes through the letters) passes in
    // the letters' pattern, which no branch predicts: every group is written, the failing pixels
    // with what they hold.
    constexpr bool kThroughMask = k.constColour && k.filter == TextureFilter::kNone &&
                                  k.depthFunc == D3DCMP_EQUAL && k.alphaFunc == 0 && k.blend == BlendMode::kOpaque;
    if constexpr ((k.alphaFunc != 0 || kDepth) && !kMaskOnly && !kThroughMask) {
      if (_mm_movemask_epi8(pass) == 0) return;
    }
    // Under EQUAL a passing pixel's depth already holds the value written: nothing to store.
    if constexpr (kDepth && k.depthWrite && k.depthFunc != D3DCMP_EQUAL) {
      StoreLanes(depths, _mm_or_si128(_mm_and_si128(pass, zq), _mm_andnot_si128(pass, d)), count);
    }
    if constexpr (k.blend == BlendMode::kNoColour) return;
    // An opaque group whose every pixel passes replaces the target unread.
    if constexpr (k.blend == BlendMode::kOpaque && (k.alphaFunc != 0 || kDepth) && !kThroughMask) {
      if (_mm_movemask_epi8(pass) == 0xFFFF) {
        StoreLanes(target, _mm_or_si128(src, targetAlpha), count);
        return;
      }
    }
    // A group of texels all of alpha 255 with nothing to test replaces the target unread.
    if constexpr (k.blend == BlendMode::kAlpha && k.alpha != StageOp::kDiffuse && k.alphaFunc == 0 && !kDepth) {
      const __m128i alphaBits = _mm_set1_epi32(static_cast<int>(0xFF000000u));
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(src, alphaBits), alphaBits)) == 0xFFFF) {
        StoreLanes(target, _mm_or_si128(src, targetAlpha), count);
        return;
      }
    }
    constexpr bool kReadsTarget = k.blend != BlendMode::kOpaque || k.alphaFunc != 0 || kDepth;
    __m128i dst = kReadsTarget ? LoadLanes(target, count) : _mm_setzero_si128();
    __m128i result;
    if constexpr (k.blend == BlendMode::kAdd) {
      result = _mm_adds_epu8(src, dst);
    } else if constexpr (k.blend == BlendMode::kAlpha) {
      if constexpr (k.alpha == StageOp::kDiffuse) {
        result = blendCopies ? src : BlendConstantAlpha4(src, dst, alphaWeights, inverseWeights);
      } else {
        // Texels of alpha 255 replace the target and texels of alpha 0 keep it, exactly as
        // blending computes; a group of only such texels (cut-out pictures) needs no arithmetic.
        const __m128i alphaBits = _mm_set1_epi32(static_cast<int>(0xFF000000u));
        const __m128i alpha = _mm_and_si128(src, alphaBits);
        const __m128i opaque = _mm_cmpeq_epi32(alpha, alphaBits);
        const __m128i clear = _mm_cmpeq_epi32(alpha, _mm_setzero_si128());
        const int clearMask = _mm_movemask_epi8(clear);
        if (clearMask == 0xFFFF && k.alphaFunc == 0 && !kDepth) return;
        if ((_mm_movemask_epi8(opaque) | clearMask) == 0xFFFF) {
          result = _mm_or_si128(_mm_and_si128(opaque, src), _mm_andnot_si128(opaque, dst));
        } else {
          result = BlendAlpha4(src, dst);
        }
      }
    } else if constexpr (k.blend == BlendMode::kModulate) {
      // Destination times source colour: the source's channels as multiplier lanes.
      __m128i zero = _mm_setzero_si128();
      __m128i lo = Div255Epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(dst, zero), _mm_unpacklo_epi8(src, zero)));
      __m128i hi = Div255Epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(dst, zero), _mm_unpackhi_epi8(src, zero)));
      result = _mm_packus_epi16(lo, hi);
    } else {
      result = src;
    }
    result = _mm_or_si128(result, targetAlpha);
    if constexpr (k.alphaFunc != 0 || kDepth) {
      result = _mm_or_si128(_mm_and_si128(pass, result), _mm_andnot_si128(pass, dst));
    }
    StoreLanes(target, result, count);
  };
  auto four = [&](auto& texels, int count, uint32_t* target, uint32_t* depths) __attribute__((always_inline)) {
    finish(source(texels.Four(count)), count, target, depths);
  };

  auto run = [&](auto& texels) __attribute__((always_inline)) {
    int i = 0;
    for (; i + 4 <= n; i += 4) four(texels, 4, out + i, kDepth ? depth + i : nullptr);
    // The last one to three pixels: the padding lanes shade garbage that is never stored.
    if (i < n) four(texels, n - i, out + i, kDepth ? depth + i : nullptr);
  };
  if constexpr (k.filter == TextureFilter::kPoint) {
    // Whether the run's indices stay inside decides the addressing once for the whole run. Along
    // rows at one v that is a matter of u alone: the rows of a rectangle mostly share the answer.
    bool inside, paired = false;
    TexelPairs pairs;
    if constexpr (k.vConstRow) {
      if (!walkKnown_ || j.u != walkU_ || j.du != walkDu_ || j.count != walkCount_) {
        walkKnown_ = true;
        walkU_ = j.u;
        walkDu_ = j.du;
        walkCount_ = j.count;
        walkInside_ = RunInsideTexture(s, j, false);
        walkPaired_ = walkInside_ && FindTexelPairs(j, &walkPairs_);
      }
      inside = walkInside_;
      paired = walkPaired_;
      pairs = walkPairs_;
    } else {
      inside = RunInsideTexture(s, j, true);
    }
    if (inside) {
      if constexpr (k.vConstRow) {
        if (paired) {
          // The lead pixels one group at a time (a fifth alone when the phase is 1); from there
          // pixel i reads texel (i - lead) >> 1 of `from`, and stage 0 runs once for the four
          // texels of eight pixels.
          const int lead = kPairsFrom + pairs.phase;
          PointWalk<true, true> leading(s, j, row);
          four(leading, 4, out, kDepth ? depth : nullptr);
          if (pairs.phase == 1) four(leading, 1, out + 4, kDepth ? depth + 4 : nullptr);
          const uint32_t* from = row + pairs.first + pairs.phase;
          int i = lead;
          for (; i + 8 <= n; i += 8, from += 4) {
            const __m128i src = source(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
            finish(_mm_unpacklo_epi32(src, src), 4, out + i, kDepth ? depth + i : nullptr);
            finish(_mm_unpackhi_epi32(src, src), 4, out + i + 4, kDepth ? depth + i + 4 : nullptr);
          }
          for (; i < n; i += 4, from += 2) {
            const int count = n - i < 4 ? n - i : 4;
            const __m128i two = count > 2 ? _mm_loadl_epi64(reinterpret_cast<const __m128i*>(from))
                                          : _mm_cvtsi32_si128(static_cast<int>(from[0]));
            const __m128i src = source(two);
            finish(_mm_unpacklo_epi32(src, src), count, out + i, kDepth ? depth + i : nullptr);
          }
          return true;
        }
      }
      PointWalk<k.vConstRow, true> texels(s, j, row);
      run(texels);
    } else if (s.uAnd >= 0 && s.vAnd >= 0) {
      PointWalk<k.vConstRow, false, true> texels(s, j, row);
      run(texels);
    } else {
      PointWalk<k.vConstRow, false> texels(s, j, row);
      run(texels);
    }
  } else if constexpr (k.filter == TextureFilter::kLinear) {
    // Runs at one v with nothing to test and no fog: eight pixels at a time with AVX2.
    constexpr bool kWideRows = !k.fog && k.alphaFunc == 0 && !kDepth &&
                               (k.blend == BlendMode::kOpaque || k.blend == BlendMode::kAdd);
    if (kWideRows && s.wide && BilinearRows::Takes(j)) {
      BilinearRows::Shade(s, j, flatStage_, k.blend, kTargetAlpha);
      return true;
    }
    int64_t firstColumn = 0, columnCount = 0;
    if (j.dv == 0 && BilinearColumns::Span(j, &firstColumn, &columnCount)) {
      alignas(16) uint32_t columns[BilinearColumns::kMaxColumns + 4];
      BilinearColumns texels(s, j, columns, firstColumn, columnCount);
      run(texels);
      return true;
    }
    bool inside = BilinearWalk<true, false>::Inside(s, j);
    if (j.dv == 0) {
      if (inside) {
        BilinearWalk<true, true> texels(s, j);
        run(texels);
      } else {
        BilinearWalk<false, true> texels(s, j);
        run(texels);
      }
    } else if (inside) {
      BilinearWalk<true, false> texels(s, j);
      run(texels);
    } else {
      BilinearWalk<false, false> texels(s, j);
      run(texels);
    }
  } else if (GouraudColours::Draws(k) && gouraud) {
    GouraudColours colours(j);
    run(colours);
  } else {
    NoTexels texels;
    run(texels);
  }
  return true;
}

// The post pass's stretch: one texel row copied (point sampling, v constant along the run) when
// the run's texel indices stay inside the texture. False when they do not.
template <uint32_t kKey>
bool CopyTexelRow(const PixelState& s, const SpanJob& j) {
  constexpr PixelKey k = PixelKey::Decode(kKey);
  constexpr uint32_t kTargetAlpha = k.target == TargetKind::kX8R8G8B8 ? 0xFF000000u : 0u;
  const int n = j.count;
  const int width = s.texture.width;
  int64_t u = j.u;
  const int64_t du = j.du;
  int64_t first = u >> kTexelFractionBits;
  int64_t last = (u + du * (n - 1)) >> kTexelFractionBits;
  if (first < 0 || first >= width || last < 0 || last >= width) return false;
  const uint32_t* row =
      s.texture.texels +
      static_cast<size_t>(AddressFast(j.v >> kTexelFractionBits, s.vAnd, s.texture.height)) * s.texture.pitch;
  const uint32_t orMask = s.texture.alphaOr | kTargetAlpha;
  uint32_t* out = j.colour;
  int i = 0;
  const __m128i orVector = _mm_set1_epi32(static_cast<int>(orMask));
  TexelPairs pairs;
  if (FindTexelPairs(j, &pairs)) {
    // The lead pixels one by one; then, from pixel `start` on, pixel i reads texel (i - start) >> 1
    // of `from`: four texels make eight pixels.
    for (; i < kPairsFrom; ++i) out[i] = row[(u + du * i) >> kTexelFractionBits] | orMask;
    const int start = kPairsFrom + pairs.phase;
    const uint32_t* from = row + pairs.first + pairs.phase;
    if (pairs.phase == 1) out[i++] = row[pairs.first] | orMask;
    for (; i + 8 <= n; i += 8) {
      __m128i t = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + ((i - start) >> 1))), orVector);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi32(t, t));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 4), _mm_unpackhi_epi32(t, t));
    }
    for (; i < n; ++i) out[i] = from[(i - start) >> 1] | orMask;
    return true;
  }
  for (; i + 4 <= n; i += 4) {
    int t0 = static_cast<int>(row[u >> kTexelFractionBits]);
    int t1 = static_cast<int>(row[(u + du) >> kTexelFractionBits]);
    int t2 = static_cast<int>(row[(u + 2 * du) >> kTexelFractionBits]);
    int t3 = static_cast<int>(row[(u + 3 * du) >> kTexelFractionBits]);
    u += 4 * du;
    __m128i low = _mm_unpacklo_epi32(_mm_cvtsi32_si128(t0), _mm_cvtsi32_si128(t1));
    __m128i high = _mm_unpacklo_epi32(_mm_cvtsi32_si128(t2), _mm_cvtsi32_si128(t3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_or_si128(_mm_unpacklo_epi64(low, high), orVector));
  }
  for (; i < n; ++i) {
    out[i] = row[u >> kTexelFractionBits] | orMask;
    u += du;
  }
  return true;
}
#endif

// What a key's runs go through first: the plain copy of the post pass's stretch, the vector loops.
template <uint32_t kKey>
struct Paths {
  static constexpr PixelKey k = PixelKey::Decode(kKey);
  static constexpr bool kDepth = k.depthFunc != 0;
#if defined(__SSE2__)
  // The stretch of the post pass: a plain copy of one texel row, when the run stays inside it.
  static constexpr bool kCopy = k.vConstRow && k.colour == StageOp::kTexture && k.alpha == StageOp::kTexture &&
                                !k.fog && k.alphaFunc == 0 && !kDepth && k.blend == BlendMode::kOpaque &&
                                k.target != TargetKind::kR5G6B5;
  static constexpr bool kSimpleStage = [](StageOp op) {
    return op == StageOp::kDiffuse || op == StageOp::kTexture || op == StageOp::kModulate;
  }(k.colour) && [](StageOp op) {
    return op == StageOp::kDiffuse || op == StageOp::kTexture || op == StageOp::kModulate;
  }(k.alpha);
  static constexpr bool kVector = kSimpleStage && k.target != TargetKind::kR5G6B5 &&
                                  k.blend != BlendMode::kGeneral && !(kDepth && k.depthD16);
#else
  static constexpr bool kCopy = false;
  static constexpr bool kVector = false;
#endif
};

// One pixel at a time: every key, every run.
template <uint32_t kKey>
[[gnu::noinline]] void ScalarSpan(const PixelState& s, const SpanJob& j) {
  constexpr PixelKey k = PixelKey::Decode(kKey);
  constexpr bool kDepth = k.depthFunc != 0;

  uint32_t* out = j.colour;
  const int n = j.count;
  int64_t r = j.r, g = j.g, b = j.b, a = j.a;
  int64_t u = j.u, v = j.v, z = j.z, fog = j.fog;

  const uint32_t* texels = s.texture.texels;
  const int pitch = s.texture.pitch;
  const int width = s.texture.width;
  const int height = s.texture.height;
  const int32_t uAnd = s.uAnd;
  const int32_t vAnd = s.vAnd;
  const uint32_t alphaOr = s.texture.alphaOr;
  const uint32_t* row = nullptr;
  if constexpr (k.vConstRow) {
    row = texels + static_cast<size_t>(AddressFast(v >> kTexelFractionBits, vAnd, height)) * pitch;
  }
  const uint32_t constDiffuse =
      k.constColour ? PackArgb(ColourByte(a), ColourByte(r), ColourByte(g), ColourByte(b)) : 0u;
  // Runs whose texel indices stay inside the texture need no addressing.
  [[maybe_unused]] bool pointInRange = false;
  if constexpr (k.filter == TextureFilter::kPoint) {
    auto inside = [](int64_t first, int64_t step, int count, int size) {
      int64_t p0 = first >> kTexelFractionBits;
      int64_t p1 = (first + step * (count - 1)) >> kTexelFractionBits;
      return p0 >= 0 && p0 < size && p1 >= 0 && p1 < size;
    };
    pointInRange = inside(u, j.du, n, width) && (k.vConstRow || inside(v, j.dv, n, height));
  }

  [[maybe_unused]] uint16_t* depth16 = static_cast<uint16_t*>(j.depth);
  [[maybe_unused]] uint32_t* depth32 = static_cast<uint32_t*>(j.depth);
  // Runs at one fog factor (sprites, points) weigh the fog colour once.
  [[maybe_unused]] const bool flatFog = j.dfog == 0;
  [[maybe_unused]] const uint32_t flatF = ClampFog(fog);
  [[maybe_unused]] const uint32_t fogR = ChannelR(s.fogColour) * (kFogOne - flatF) + 32768;
  [[maybe_unused]] const uint32_t fogG = ChannelG(s.fogColour) * (kFogOne - flatF) + 32768;
  [[maybe_unused]] const uint32_t fogB = ChannelB(s.fogColour) * (kFogOne - flatF) + 32768;
  // Runs at one depth (flat primitives, sprites, points) quantise it once.
  [[maybe_unused]] const bool flatZ = j.dz == 0;
  [[maybe_unused]] const uint32_t flatZq = k.depthD16 ? DepthD16(z) : DepthD32(z);
#if defined(__SSE2__)
  // Gouraud colour in four 32-bit lanes (b, g, r, a); packing saturates exactly as ColourByte
  // clamps. Within a run the values fit 32 bits; wrapping after its last pixel is harmless.
  [[maybe_unused]] __m128i lanes = _mm_setr_epi32(static_cast<int32_t>(b), static_cast<int32_t>(g),
                                                  static_cast<int32_t>(r), static_cast<int32_t>(a));
  [[maybe_unused]] const __m128i laneSteps = _mm_setr_epi32(static_cast<int32_t>(j.db), static_cast<int32_t>(j.dg),
                                                            static_cast<int32_t>(j.dr), static_cast<int32_t>(j.da));
  [[maybe_unused]] const __m128i laneHalf = _mm_set1_epi32(1 << (kColourFractionBits - 1));
#endif

  for (int i = 0; i < n; ++i) {
    uint32_t texel = 0;
    if constexpr (k.filter == TextureFilter::kPoint) {
      int iu = pointInRange ? static_cast<int>(u >> kTexelFractionBits)
                            : AddressFast(u >> kTexelFractionBits, uAnd, width);
      if constexpr (k.vConstRow) {
        texel = row[iu] | alphaOr;
      } else {
        int iv = pointInRange ? static_cast<int>(v >> kTexelFractionBits)
                              : AddressFast(v >> kTexelFractionBits, vAnd, height);
        texel = texels[static_cast<size_t>(iv) * pitch + iu] | alphaOr;
      }
    } else if constexpr (k.filter == TextureFilter::kLinear) {
      int64_t tu = u - (int64_t{1} << (kTexelFractionBits - 1));
      int64_t tv = v - (int64_t{1} << (kTexelFractionBits - 1));
      int64_t iu = tu >> kTexelFractionBits;
      int64_t iv = tv >> kTexelFractionBits;
      uint32_t fu = static_cast<uint32_t>((tu >> (kTexelFractionBits - 8)) & 0xFF);
      uint32_t fv = static_cast<uint32_t>((tv >> (kTexelFractionBits - 8)) & 0xFF);
      int x0 = AddressFast(iu, uAnd, width);
      int x1 = AddressFast(iu + 1, uAnd, width);
      const uint32_t* row0 = texels + static_cast<size_t>(AddressFast(iv, vAnd, height)) * pitch;
      const uint32_t* row1 = texels + static_cast<size_t>(AddressFast(iv + 1, vAnd, height)) * pitch;
#if defined(__SSE2__)
      texel = Bilerp1(row0[x0] | alphaOr, row0[x1] | alphaOr, row1[x0] | alphaOr, row1[x1] | alphaOr, fu, fv);
#else
      texel = Bilerp(row0[x0] | alphaOr, row0[x1] | alphaOr, row1[x0] | alphaOr, row1[x1] | alphaOr, fu, fv);
#endif
    }
    uint32_t diffuse;
    if constexpr (k.constColour) {
      diffuse = constDiffuse;
    } else {
#if defined(__SSE2__)
      __m128i t = _mm_srai_epi32(_mm_add_epi32(lanes, laneHalf), kColourFractionBits);
      t = _mm_packs_epi32(t, t);
      diffuse = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(t, t)));
      lanes = _mm_add_epi32(lanes, laneSteps);
#else
      diffuse = PackArgb(ColourByte(a), ColourByte(r), ColourByte(g), ColourByte(b));
#endif
    }
    uint32_t src = (StageResult<k.alpha>(texel, diffuse) & 0xFF000000) |
                   (StageResult<k.colour>(texel, diffuse) & 0x00FFFFFF);
    if constexpr (k.fog) {
      uint32_t fogged = src & 0xFF000000;
      if (flatFog) {
        fogged |= ((ChannelR(src) * flatF + fogR) >> kFogFractionBits) << 16;
        fogged |= ((ChannelG(src) * flatF + fogG) >> kFogFractionBits) << 8;
        fogged |= (ChannelB(src) * flatF + fogB) >> kFogFractionBits;
      } else {
        fogged = ApplyFog(src, ClampFog(fog), s.fogColour);
      }
      src = fogged;
    }
    if constexpr (kDepth) {
      uint32_t zq = flatZ ? flatZq : (k.depthD16 ? DepthD16(z) : DepthD32(z));
      FinishPixel<kKey>(s, src, zq, out + i, k.depthD16 ? static_cast<void*>(depth16 + i) : depth32 + i);
    } else {
      FinishPixel<kKey>(s, src, 0, out + i, nullptr);
    }
#if !defined(__SSE2__)
    if constexpr (!k.constColour) {
      r += j.dr;
      g += j.dg;
      b += j.db;
      a += j.da;
    }
#endif
    u += j.du;
    v += j.dv;
    z += j.dz;
    fog += j.dfog;
  }
}

#if defined(__SSE2__)
// Runs are rows apart in memory, so the caches cannot see the next one coming: its target and depth
// are asked for a few runs ahead (each run's first and last cache line; the lines between follow).
constexpr int kPrefetchAhead = 8;
template <uint32_t kKey>
[[gnu::always_inline]] inline void PrefetchRun(const Run& run) {
  constexpr PixelKey k = PixelKey::Decode(kKey);
  auto fetch = [](const void* p) { _mm_prefetch(static_cast<const char*>(p), _MM_HINT_T0); };
  if constexpr (k.blend != BlendMode::kNoColour) {
    fetch(run.colour);
    fetch(run.colour + run.count - 1);
  }
  if constexpr (k.depthFunc != 0) {
    const size_t bytes = k.depthD16 ? 2 : 4;
    fetch(run.depth);
    fetch(static_cast<const char*>(run.depth) + (run.count - 1) * bytes);
  }
}
#endif

// The span job of a run with the interpolants `kKey`'s paths read; the others are zero.
template <uint32_t kKey>
[[gnu::always_inline]] inline void JobOfRun(const Interpolants& p, const Run& run, SpanJob* job) {
  constexpr PixelKey k = PixelKey::Decode(kKey);
  constexpr bool kColour = k.colour == StageOp::kDiffuse || k.colour == StageOp::kModulate ||
                           k.colour == StageOp::kDiffuseSquared || k.alpha == StageOp::kDiffuse ||
                           k.alpha == StageOp::kModulate || k.alpha == StageOp::kDiffuseSquared;
  const int dx = run.dx, dy = run.dy;
  // Field by field: zeroing the whole job first compiles to a slow string store.
  job->colour = run.colour;
  job->depth = run.depth;
  job->count = run.count;
  if constexpr (kColour && k.constColour) {
    // Constant planes have no gradients: their value is the base at every pixel.
    job->r = p.r.base;
    job->g = p.g.base;
    job->b = p.b.base;
    job->a = p.a.base;
    job->dr = p.r.gx;
    job->dg = p.g.gx;
    job->db = p.b.gx;
    job->da = p.a.gx;
  } else if constexpr (kColour) {
    job->r = p.r.At(dx, dy);
    job->g = p.g.At(dx, dy);
    job->b = p.b.At(dx, dy);
    job->a = p.a.At(dx, dy);
    job->dr = p.r.gx;
    job->dg = p.g.gx;
    job->db = p.b.gx;
    job->da = p.a.gx;
  } else {
    job->r = job->g = job->b = job->a = job->dr = job->dg = job->db = job->da = 0;
  }
  if constexpr (k.filter != TextureFilter::kNone) {
    job->u = p.u.At(dx, dy);
    job->v = p.v.At(dx, dy);
    job->du = p.u.gx;
    job->dv = p.v.gx;
  } else {
    job->u = job->v = job->du = job->dv = 0;
  }
  if constexpr (k.depthFunc != 0) {
    job->z = p.z.At(dx, dy);
    job->dz = p.z.gx;
  } else {
    job->z = job->dz = 0;
  }
  if constexpr (k.fog) {
    job->fog = p.fog.At(dx, dy);
    job->dfog = p.fog.gx;
  } else {
    job->fog = job->dfog = 0;
  }
}

// The runs of one primitive.
template <uint32_t kKey>
void ShadeRuns(const PixelState& s, const Interpolants& p, const Run* runs, int count) {
  using P = Paths<kKey>;
#if defined(D3D8SW_WIDE_VECTORS)
  // One colour over the whole primitive (solids, tints): eight pixels at a time, and the few runs
  // whose depth leaves 0..1 the four-pixel way.
  if constexpr (P::kVector && P::k.constColour && WideSolidTakes(P::k)) {
    if (s.wide) {
      VectorRuns<kKey> vector(s, p);
      ShadeWideSolid<kKey>(s, p, runs, count, [&](const Run& run) {
        SpanJob job;
        JobOfRun<kKey>(p, run, &job);
        if (!vector.Shade(job)) ScalarSpan<kKey>(s, job);
      });
      return;
    }
  }
#endif
#if defined(__SSE2__)
  if constexpr (P::kCopy || P::kVector) {
    [[maybe_unused]] VectorRuns<kKey> vector(s, p);
    for (int i = 0; i < count && i < kPrefetchAhead; ++i) PrefetchRun<kKey>(runs[i]);
    for (int i = 0; i < count; ++i) {
      if (i + kPrefetchAhead < count) PrefetchRun<kKey>(runs[i + kPrefetchAhead]);
      SpanJob job;
      JobOfRun<kKey>(p, runs[i], &job);
      if constexpr (P::kCopy) {
        if (CopyTexelRow<kKey>(s, job)) continue;
      }
      if constexpr (P::kVector) {
        if (vector.Shade(job)) continue;
      }
      ScalarSpan<kKey>(s, job);
    }
    return;
  }
#endif
  for (int i = 0; i < count; ++i) {
    SpanJob job;
    JobOfRun<kKey>(p, runs[i], &job);
    ScalarSpan<kKey>(s, job);
  }
}

// A single span job as a primitive of one run.
template <uint32_t kKey>
void ShadeJob(const PixelState& s, const SpanJob& job) {
  Run run;
  const Interpolants planes = Interpolants::OfJob(job, &run);
  ShadeRuns<kKey>(s, planes, &run, 1);
}

// ---- The compiled keys ----

struct Shape {
  TextureFilter filter;
  StageOp colour;
  StageOp alpha;
  bool constColour;
  bool fog;
  uint8_t alphaFunc;
  uint8_t depthFunc;
  bool depthWrite;
  BlendMode blend;
  bool vConstRow;
};

constexpr TextureFilter kNoTex = TextureFilter::kNone;
constexpr TextureFilter kPoint = TextureFilter::kPoint;
constexpr TextureFilter kLinear = TextureFilter::kLinear;
constexpr StageOp kDif = StageOp::kDiffuse;
constexpr StageOp kTex = StageOp::kTexture;
constexpr StageOp kMod = StageOp::kModulate;
constexpr uint8_t kLE = D3DCMP_LESSEQUAL;

// The state combinations the show draws with (target and depth format vary separately).
constexpr Shape kShapes[] = {
    // Untextured: Gouraud bars and backdrop; constant colour in every blend; tint multiply.
    {kNoTex, kDif, kDif, false, false, 0, 0, false, BlendMode::kOpaque, false},
    {kNoTex, kDif, kDif, true, false, 0, 0, false, BlendMode::kOpaque, false},
    {kNoTex, kDif, kDif, true, false, 0, 0, false, BlendMode::kAdd, false},
    {kNoTex, kDif, kDif, true, false, 0, 0, false, BlendMode::kAlpha, false},
    {kNoTex, kDif, kDif, true, false, 0, 0, false, BlendMode::kModulate, false},
    // Depth-tested solids, points and lit models; fogged points; masked stripes.
    {kNoTex, kDif, kDif, true, false, 0, kLE, true, BlendMode::kOpaque, false},
    {kNoTex, kDif, kDif, true, false, 0, kLE, true, BlendMode::kAlpha, false},
    {kNoTex, kDif, kDif, true, true, 0, kLE, true, BlendMode::kOpaque, false},
    {kNoTex, kDif, kDif, false, false, 0, kLE, true, BlendMode::kOpaque, false},
    {kNoTex, kDif, kDif, true, false, 0, D3DCMP_EQUAL, true, BlendMode::kOpaque, false},
    // Point-sampled texture: stretches, rotozoom, rings, tiles, transitions.
    {kPoint, kTex, kTex, true, false, 0, 0, false, BlendMode::kOpaque, true},
    {kPoint, kTex, kTex, true, false, 0, 0, false, BlendMode::kOpaque, false},
    {kPoint, kTex, kTex, true, false, 0, 0, false, BlendMode::kAdd, false},
    {kPoint, kTex, kTex, true, false, 0, 0, false, BlendMode::kAdd, true},
    {kPoint, kTex, kTex, true, false, 0, 0, false, BlendMode::kAlpha, false},
    {kPoint, kTex, kTex, true, false, 0, 0, false, BlendMode::kAlpha, true},
    {kPoint, kMod, kTex, true, false, 0, 0, false, BlendMode::kOpaque, true},
    {kPoint, kMod, kTex, true, false, 0, 0, false, BlendMode::kOpaque, false},
    {kPoint, kMod, kTex, true, false, 0, 0, false, BlendMode::kAdd, false},
    {kPoint, kMod, kTex, true, false, 0, 0, false, BlendMode::kAdd, true},
    {kPoint, kTex, kMod, true, false, 0, 0, false, BlendMode::kAlpha, false},
    {kPoint, kTex, kMod, true, false, 0, 0, false, BlendMode::kAlpha, true},
    {kPoint, kTex, kDif, true, false, 0, 0, false, BlendMode::kAlpha, false},
    {kPoint, kTex, kDif, true, false, 0, 0, false, BlendMode::kAlpha, true},
    {kPoint, kMod, kDif, true, false, 0, 0, false, BlendMode::kAlpha, false},
    {kPoint, kMod, kDif, true, false, 0, 0, false, BlendMode::kAlpha, true},
    // Depth-tested textured solids; fogged, alpha-tested sprites; the glyph depth mask.
    {kPoint, kTex, kTex, true, false, 0, kLE, true, BlendMode::kOpaque, false},
    {kPoint, kTex, kTex, true, false, 0, kLE, true, BlendMode::kOpaque, true},
    {kPoint, kMod, kTex, true, false, 0, kLE, true, BlendMode::kOpaque, false},
    {kPoint, kTex, kTex, true, true, D3DCMP_NOTEQUAL, kLE, true, BlendMode::kOpaque, false},
    {kPoint, kTex, kTex, true, true, D3DCMP_NOTEQUAL, kLE, true, BlendMode::kOpaque, true},
    {kPoint, kTex, kTex, true, false, D3DCMP_NOTEQUAL, kLE, true, BlendMode::kOpaque, false},
    {kPoint, kTex, kTex, true, false, D3DCMP_NOTEQUAL, kLE, true, BlendMode::kOpaque, true},
    {kPoint, kTex, kTex, true, false, D3DCMP_EQUAL, D3DCMP_ALWAYS, true, BlendMode::kNoColour, false},
    {kPoint, kTex, kTex, true, false, D3DCMP_EQUAL, D3DCMP_ALWAYS, true, BlendMode::kNoColour, true},
    // Bilinear ring plates.
    {kLinear, kMod, kTex, true, false, 0, 0, false, BlendMode::kOpaque, false},
    {kLinear, kMod, kTex, true, false, 0, 0, false, BlendMode::kAdd, false},
    {kLinear, kTex, kTex, true, false, 0, 0, false, BlendMode::kOpaque, false},
    {kLinear, kTex, kTex, true, false, 0, 0, false, BlendMode::kAdd, false},
};

constexpr size_t kShapeCount = sizeof(kShapes) / sizeof(kShapes[0]);
constexpr TargetKind kTargets[] = {TargetKind::kX8R8G8B8, TargetKind::kA8R8G8B8, TargetKind::kR5G6B5};
// Shapes with a depth test come in D32 and D16 forms.
constexpr size_t kVariantsPerShape = 3 * 2;

constexpr uint32_t KeyOf(size_t index) {
  const Shape& sh = kShapes[index / kVariantsPerShape];
  size_t variant = index % kVariantsPerShape;
  PixelKey k;
  k.filter = sh.filter;
  k.colour = sh.colour;
  k.alpha = sh.alpha;
  k.constColour = sh.constColour;
  k.fog = sh.fog;
  k.alphaFunc = sh.alphaFunc;
  k.depthFunc = sh.depthFunc;
  k.depthWrite = sh.depthWrite;
  k.depthD16 = sh.depthFunc != 0 && (variant / 3) == 1;
  k.blend = sh.blend;
  k.target = kTargets[variant % 3];
  k.vConstRow = sh.vConstRow;
  return k.Encode();
}

constexpr size_t kEntryCount = kShapeCount * kVariantsPerShape;

struct Entry {
  uint32_t key;
  RunsFunction runs;
  SpanFunction job;
  PointFunction points;
};

// ---- The keys of the block paths ----

// Perspective-correct primitives, with a constant or a Gouraud colour, and affine Gouraud ones, in
// every combination of filter, stage 0, fog, depth test (LESSEQUAL with writes, or none) and
// blend below, in every target and depth format. Calls visit(key) for each.
template <typename Visit>
constexpr void ForEachBlockKey(Visit&& visit) {
  constexpr StageOp kStages[][2] = {{kDif, kDif}, {kTex, kTex}, {kTex, kMod}, {kTex, kDif}, {kMod, kTex},
                                    {kMod, kMod}, {kMod, kDif}, {kDif, kTex}, {kDif, kMod}};
  constexpr BlendMode kBlends[] = {BlendMode::kOpaque, BlendMode::kAdd, BlendMode::kAlpha, BlendMode::kModulate};
  for (bool perspective : {true, false}) {
    for (TextureFilter filter : {kNoTex, kPoint, kLinear}) {
      for (const auto& stage : kStages) {
        // Stage 0 reads the texture exactly when there is a filter.
        const bool textured = stage[0] != kDif || stage[1] != kDif;
        if (textured != (filter != kNoTex)) continue;
        for (bool constColour : {false, true}) {
          if (constColour && !perspective) continue;  // the span paths draw those
          for (bool fog : {false, true}) {
            for (bool depth : {false, true}) {
              for (BlendMode blend : kBlends) {
                for (TargetKind target : kTargets) {
                  for (bool d16 : {false, true}) {
                    if (d16 && !depth) continue;
                    PixelKey k;
                    k.filter = filter;
                    k.colour = stage[0];
                    k.alpha = stage[1];
                    k.constColour = constColour;
                    k.fog = fog;
                    k.depthFunc = depth ? kLE : 0;
                    k.depthWrite = depth;
                    k.depthD16 = d16;
                    k.blend = blend;
                    k.target = target;
                    k.perspective = perspective;
                    visit(k.Encode());
                  }
                }
              }
            }
          }
        }
      }
    }
  }
}

constexpr size_t CountBlockKeys() {
  size_t n = 0;
  ForEachBlockKey([&](uint32_t) { ++n; });
  return n;
}
constexpr size_t kBlockKeyCount = CountBlockKeys();

constexpr std::array<uint32_t, kBlockKeyCount> ListBlockKeys() {
  std::array<uint32_t, kBlockKeyCount> keys{};
  size_t n = 0;
  ForEachBlockKey([&](uint32_t key) { keys[n++] = key; });
  return keys;
}
constexpr std::array<uint32_t, kBlockKeyCount> kBlockKeys = ListBlockKeys();

#if defined(__SSE2__)
// A single span job as a primitive of one run, through a block path.
template <uint32_t kShape>
void BlockShadeJob(const PixelState& s, const SpanJob& job) {
  Run run;
  const Interpolants planes = Interpolants::OfJob(job, &run);
  BlockShadeRuns<kShape>(s, planes, &run, 1);
}

template <size_t... I>
constexpr std::array<Entry, kBlockKeyCount> MakeBlockEntries(std::index_sequence<I...>) {
  return {Entry{kBlockKeys[I], &BlockShadeRuns<BlockShapeOf(kBlockKeys[I])>,
                &BlockShadeJob<BlockShapeOf(kBlockKeys[I])>, nullptr}...};
}
constexpr size_t kBlockEntryCount = kBlockKeyCount;
#else
constexpr size_t kBlockEntryCount = 0;
#endif

template <uint32_t kKey>
constexpr PointFunction PointsOf() {
  if constexpr (PixelKey::Decode(kKey).filter == TextureFilter::kNone) {
    return &PointBatch<kKey>;
  } else {
    return nullptr;
  }
}

template <size_t... I>
constexpr std::array<Entry, kEntryCount> MakeEntries(std::index_sequence<I...>) {
  return {Entry{KeyOf(I), &ShadeRuns<KeyOf(I)>, &ShadeJob<KeyOf(I)>, PointsOf<KeyOf(I)>()}...};
}
constexpr std::array<Entry, kEntryCount> kSpanEntries = MakeEntries(std::make_index_sequence<kEntryCount>());
#if defined(__SSE2__)
constexpr std::array<Entry, kBlockKeyCount> kBlockEntries = MakeBlockEntries(std::make_index_sequence<kBlockKeyCount>());
#endif

// Sorted by key with duplicates (depth-less shapes have no D16 form; the span paths' Gouraud keys
// come again among the block keys, and the span paths keep them) removed.
struct Table {
  static constexpr size_t kCapacity = kEntryCount + kBlockEntryCount;
  std::array<Entry, kCapacity> entries;
  std::array<uint32_t, kCapacity> keys;
  size_t count = 0;
  Table() {
    // The entries are made at compile time; only their order is settled here, in place.
    std::copy(kSpanEntries.begin(), kSpanEntries.end(), entries.begin());
#if defined(__SSE2__)
    std::copy(kBlockEntries.begin(), kBlockEntries.end(), entries.begin() + kEntryCount);
#endif
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& x, const Entry& y) { return x.key < y.key; });
    for (size_t i = 0; i < kCapacity; ++i) {
      if (count > 0 && entries[count - 1].key == entries[i].key) continue;
      entries[count] = entries[i];
      keys[count] = entries[i].key;
      ++count;
    }
  }
};

const Table& TheTable() {
  static const Table table;
  return table;
}

}  // namespace

namespace {

const Entry* FindEntry(uint32_t key) {
  const Table& t = TheTable();
  const Entry* begin = t.entries.data();
  const Entry* end = begin + t.count;
  const Entry* it = std::lower_bound(begin, end, key, [](const Entry& e, uint32_t k) { return e.key < k; });
  return (it != end && it->key == key) ? it : nullptr;
}

}  // namespace

RunsFunction SpanKernels::FindRuns(uint32_t key) {
  const Entry* e = FindEntry(key);
  return e != nullptr ? e->runs : nullptr;
}

SpanFunction SpanKernels::Find(uint32_t key) {
  const Entry* e = FindEntry(key);
  return e != nullptr ? e->job : nullptr;
}

PointFunction SpanKernels::FindPoints(uint32_t key) {
  const Entry* e = FindEntry(key);
  return e != nullptr ? e->points : nullptr;
}

const uint32_t* SpanKernels::Keys(size_t* count) {
  const Table& t = TheTable();
  *count = t.count;
  return t.keys.data();
}

}  // namespace d3d8sw
