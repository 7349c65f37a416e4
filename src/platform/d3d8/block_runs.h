// The block path: runs whose interpolants change from pixel to pixel in ways the stepping walks
// do not follow (perspective-correct primitives, Gouraud colour along a run). A run goes a
// PixelBlock at a time: its interpolants are worked out first, then four pixels at a time are
// sampled, shaded by stage 0, fogged, tested, blended and written, with SSE2.
//
// One function serves many keys: the template holds what changes the loop (filter, fog, alpha and
// depth tests, blending); stage 0, the diffuse colour and the target format are read from the
// state once per primitive and cost no per-pixel decision.
#pragma once

#if defined(__SSE2__)

#include <cstdint>
#include <new>
#include <type_traits>

#include "colour_math.h"
#include "interpolants.h"
#include "pixel_block.h"
#include "pixel_key.h"
#include "pixel_state.h"
#include "pixel_vectors.h"
#include "wide_solid_runs.h"

namespace d3d8sw {

// The part of a key a block path is compiled for (the rest is read at run time).
constexpr uint32_t BlockShapeOf(uint32_t key) {
  PixelKey k = PixelKey::Decode(key);
  PixelKey shape;
  shape.filter = k.filter;
  shape.fog = k.fog;
  shape.alphaFunc = k.alphaFunc;
  shape.depthFunc = k.depthFunc;
  shape.depthWrite = k.depthWrite;
  shape.depthD16 = k.depthD16;
  shape.blend = k.blend;
  return shape.Encode();
}

template <uint32_t kShape>
class BlockRuns {
 public:
  static constexpr PixelKey k = PixelKey::Decode(kShape);
  static constexpr bool kTextured = k.filter != TextureFilter::kNone;
  static constexpr bool kDepth = k.depthFunc != 0;

  BlockRuns(const PixelState& s, const Interpolants& p) : s_(s), p_(p) {
    auto texture = [](StageOp op) { return op == StageOp::kTexture || op == StageOp::kModulate; };
    auto diffuse = [](StageOp op) { return op == StageOp::kDiffuse || op == StageOp::kModulate; };
    uint32_t fromTexture = 0, fromDiffuse = 0;
    if (kTextured) {
      fromTexture = (texture(s.colourStage) ? 0x00FFFFFFu : 0u) | (texture(s.alphaStage) ? 0xFF000000u : 0u);
    }
    fromDiffuse = (diffuse(s.colourStage) ? 0x00FFFFFFu : 0u) | (diffuse(s.alphaStage) ? 0xFF000000u : 0u);
    // Channels an operand does not give read 255: the product is then the other operand's value.
    notTexture_ = _mm_set1_epi32(static_cast<int>(~fromTexture | s.texture.alphaOr));
    notDiffuse_ = _mm_set1_epi32(static_cast<int>(~fromDiffuse));
    stage_ = fromDiffuse == 0 ? kTextureOnly : (fromTexture == 0 ? kDiffuseOnly : kProduct);
    // A product with a flat opaque white is the texel itself (Mul255(t, 255) = t).
    auto flat = [](const FixedPlane& c) { return c.gx == 0 && c.gy == 0; };
    if (stage_ == kProduct && flat(p.r) && flat(p.g) && flat(p.b) && flat(p.a) &&
        (PackArgb(ColourByte(p.a.base), ColourByte(p.r.base), ColourByte(p.g.base), ColourByte(p.b.base)) |
         ~fromDiffuse) == 0xFFFFFFFFu) {
      stage_ = kTextureOnly;
      fromDiffuse = 0;
    }
    needs_ = (fromDiffuse != 0 ? PixelBlock::kColour : 0u) | (fromTexture != 0 ? PixelBlock::kTexture : 0u) |
             (k.fog ? PixelBlock::kFog : 0u) | (kDepth ? PixelBlock::kDepth : 0u) |
             (k.depthD16 ? PixelBlock::kDepthD16 : 0u);
    block_.Prepare(p, needs_);
    quantise_ = s.target == TargetKind::kR5G6B5;
    targetAlpha_ = _mm_set1_epi32(s.target == TargetKind::kX8R8G8B8 ? static_cast<int>(0xFF000000u) : 0);
    ref_ = _mm_set1_epi32(static_cast<int>(s.alphaRef));
    const uint32_t fc = s.fogColour;
    fogColour_ = _mm_setr_epi16(static_cast<int16_t>(ChannelB(fc)), static_cast<int16_t>(ChannelG(fc)),
                                static_cast<int16_t>(ChannelR(fc)), 0, static_cast<int16_t>(ChannelB(fc)),
                                static_cast<int16_t>(ChannelG(fc)), static_cast<int16_t>(ChannelR(fc)), 0);
    fogBias_ = _mm_setr_epi32(static_cast<int>((ChannelB(fc) << 16) + 32768),
                              static_cast<int>((ChannelG(fc) << 16) + 32768),
                              static_cast<int>((ChannelR(fc) << 16) + 32768), 0);
  }

  void Shade(const Run& run) {
    for (int done = 0; done < run.count; done += PixelBlock::kPixels) {
      const int n = run.count - done < PixelBlock::kPixels ? run.count - done : PixelBlock::kPixels;
      block_.Fill(p_, run.dx + done, run.dy, n, s_.wide);
      void* depth = nullptr;
      if constexpr (kDepth) depth = static_cast<uint8_t*>(run.depth) + done * (k.depthD16 ? 2 : 4);
      ShadeBlock(n, run.colour + done, depth);
    }
  }

 private:
  enum Stage { kTextureOnly, kDiffuseOnly, kProduct };

  // How texel indices become addresses: unchanged (every tap inside the texture), masked (both
  // axes wrap on power-of-two sizes), or masked and clamped (see PixelState::uAnd).
  enum Addressing { kInside, kWrap, kAddressed };

  void ShadeBlock(int n, uint32_t* out, void* depth) {
    if constexpr (kTextured) {
      if (needs_ & PixelBlock::kTexture) {
        // Wrapping costs a mask, less than finding whether it could be left out.
        if (s_.uAnd >= 0 && s_.vAnd >= 0) {
          Groups<kWrap>(n, out, depth);
        } else if (Inside(n)) {
          Groups<kInside>(n, out, depth);
        } else {
          Groups<kAddressed>(n, out, depth);
        }
        return;
      }
    }
    Groups<kAddressed>(n, out, depth);
  }

  // Whether every tap of the block's pixels lies inside the texture (no addressing needed). The
  // extremes are searched for: perspective values are monotonic only up to rounding.
  bool Inside(int n) const {
    const int padded = (n + 3) & ~3;
    int64_t uLow = block_.u[0], uHigh = uLow, vLow = block_.v[0], vHigh = vLow;
    for (int i = 1; i < padded; ++i) {
      uLow = block_.u[i] < uLow ? block_.u[i] : uLow;
      uHigh = block_.u[i] > uHigh ? block_.u[i] : uHigh;
      vLow = block_.v[i] < vLow ? block_.v[i] : vLow;
      vHigh = block_.v[i] > vHigh ? block_.v[i] : vHigh;
    }
    // Bilinear taps reach from floor(t - 1/2) to floor(t - 1/2) + 1.
    constexpr int64_t kHalf = k.filter == TextureFilter::kLinear ? int64_t{1} << (kTexelFractionBits - 1) : 0;
    constexpr int kReach = k.filter == TextureFilter::kLinear ? 1 : 0;
    auto inside = [](int64_t low, int64_t high, int size) {
      return ((low - kHalf) >> kTexelFractionBits) >= 0 && ((high - kHalf) >> kTexelFractionBits) + kReach < size;
    };
    return inside(uLow, uHigh, s_.texture.width) && inside(vLow, vHigh, s_.texture.height);
  }

  // The texel index with the stage's addressing (see PixelState::uAnd).
  template <Addressing kHow>
  [[gnu::always_inline]] static int Address(int64_t index, int32_t mask, int size) {
    if constexpr (kHow == kInside) return static_cast<int>(index);
    int64_t i = index & mask;
    if constexpr (kHow == kWrap) return static_cast<int>(i);
    i = i < 0 ? 0 : i;
    i = i > size - 1 ? size - 1 : i;
    return static_cast<int>(i);
  }

  // What sampling reads, held in locals for the group loop (stores to the target could otherwise
  // alias the state and make the compiler read it again for every group).
  struct Texels {
    const uint32_t* texels;
    int pitch, width, height;
    int32_t uAnd, vAnd;
    const int64_t* u;
    const int64_t* v;
  };

  template <Addressing kHow>
  [[gnu::always_inline]] static uint32_t PointTexel(const Texels& t, int i) {
    const int64_t iu = t.u[i] >> kTexelFractionBits, iv = t.v[i] >> kTexelFractionBits;
    const int x = Address<kHow>(iu, t.uAnd, t.width);
    const int y = Address<kHow>(iv, t.vAnd, t.height);
    return t.texels[static_cast<size_t>(y) * t.pitch + x];
  }

  // The taps of pixel i's bilinear sample as two pairs of neighbouring texels, (t00, t10) and
  // (t01, t11) in the low 64 bits of `top` and `bottom`, and its weights. Neighbours in a row
  // come with one load unless addressing parts them (at a wrapped or clamped edge).
  template <Addressing kHow>
  [[gnu::always_inline]] static void Taps(const Texels& t, int i, __m128i* top, __m128i* bottom, uint32_t* fu,
                                          uint32_t* fv) {
    const int64_t tu = t.u[i] - (int64_t{1} << (kTexelFractionBits - 1));
    const int64_t tv = t.v[i] - (int64_t{1} << (kTexelFractionBits - 1));
    const int64_t iu = tu >> kTexelFractionBits, iv = tv >> kTexelFractionBits;
    *fu = static_cast<uint32_t>((tu >> (kTexelFractionBits - 8)) & 0xFF);
    *fv = static_cast<uint32_t>((tv >> (kTexelFractionBits - 8)) & 0xFF);
    const int x0 = Address<kHow>(iu, t.uAnd, t.width), x1 = Address<kHow>(iu + 1, t.uAnd, t.width);
    const int y0 = Address<kHow>(iv, t.vAnd, t.height), y1 = Address<kHow>(iv + 1, t.vAnd, t.height);
    const uint32_t* row0 = t.texels + static_cast<size_t>(y0) * t.pitch;
    const uint32_t* row1 = t.texels + static_cast<size_t>(y1) * t.pitch;
    // The format's alpha is put in after blending (notTexture_): blending four alphas of 255
    // gives 255, and the colour channels do not depend on alpha.
    if (kHow == kInside || x1 == x0 + 1) {
      *top = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row0 + x0));
      *bottom = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row1 + x0));
    } else {
      *top = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(row0[x0])),
                                _mm_cvtsi32_si128(static_cast<int>(row0[x1])));
      *bottom = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(row1[x0])),
                                   _mm_cvtsi32_si128(static_cast<int>(row1[x1])));
    }
  }

  // Bilerp of pixels i and i + 1 (pixel i in the low 32 bits), rounding as Bilerp does: each
  // column blended down by fv, then across by fu.
  template <Addressing kHow>
  [[gnu::always_inline]] static __m128i BilinearPair(const Texels& t, int i) {
    __m128i pTop, pBottom, qTop, qBottom;
    uint32_t pu, pv, qu, qv;
    Taps<kHow>(t, i, &pTop, &pBottom, &pu, &pv);
    Taps<kHow>(t, i + 1, &qTop, &qBottom, &qu, &qv);
    const __m128i zero = _mm_setzero_si128();
    const __m128i top = _mm_unpacklo_epi64(pTop, qTop), bottom = _mm_unpacklo_epi64(pBottom, qBottom);
    const __m128i p = Lerp16(_mm_unpacklo_epi8(top, zero), _mm_unpacklo_epi8(bottom, zero),
                             _mm_set1_epi16(static_cast<int16_t>(pv)));
    const __m128i q = Lerp16(_mm_unpackhi_epi8(top, zero), _mm_unpackhi_epi8(bottom, zero),
                             _mm_set1_epi16(static_cast<int16_t>(qv)));
    const __m128i across = Lerp16(_mm_unpacklo_epi64(p, q), _mm_unpackhi_epi64(p, q), Weights2(pu, qu));
    return _mm_packus_epi16(across, across);
  }

  // The texels of pixels i..i+3.
  template <Addressing kHow>
  [[gnu::always_inline]] static __m128i Sample(const Texels& t, int i) {
    if constexpr (k.filter == TextureFilter::kPoint) {
      const __m128i low = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(PointTexel<kHow>(t, i))),
                                             _mm_cvtsi32_si128(static_cast<int>(PointTexel<kHow>(t, i + 1))));
      const __m128i high = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(PointTexel<kHow>(t, i + 2))),
                                              _mm_cvtsi32_si128(static_cast<int>(PointTexel<kHow>(t, i + 3))));
      return _mm_unpacklo_epi64(low, high);
    } else {
      const __m128i low = BilinearPair<kHow>(t, i);
      const __m128i high = BilinearPair<kHow>(t, i + 2);
      return _mm_unpacklo_epi64(low, high);
    }
  }

  // Per-channel Mul255 of four pixels by four pixels.
  static __m128i Modulate4(__m128i a, __m128i b) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = Div255Epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero)));
    const __m128i hi = Div255Epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero)));
    return _mm_packus_epi16(lo, hi);
  }

  // Fog of four pixels at their own factors f (0..65536), as ApplyFog rounds it:
  // (c f + q (65536 - f) + 2^15) >> 16 = (c f - q f + (q << 16) + 2^15) >> 16 on the colour
  // channels. A factor of 65536 gives what 65535 gives (the difference never reaches the
  // rounding), so factors fit 16-bit lanes.
  [[gnu::always_inline]] __m128i Fog4(__m128i src, int i) const {
    __m128i f = _mm_load_si128(reinterpret_cast<const __m128i*>(&block_.fog[i]));
    // Groups short of the fog start (a factor of one) are left as they are.
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(f, _mm_set1_epi32(kFogOne))) == 0xFFFF) return src;
    f = _mm_sub_epi32(f, _mm_srli_epi32(f, 16));
    // Each pixel's factor in its four channel lanes: pixels 0 and 1, then 2 and 3.
    const __m128i f02 = _mm_shuffle_epi32(f, _MM_SHUFFLE(3, 1, 2, 0));
    const __m128i f23 = _mm_shuffle_epi32(f, _MM_SHUFFLE(3, 3, 3, 2));
    const __m128i factorsLow = _mm_shufflehi_epi16(_mm_shufflelo_epi16(f02, 0), 0);
    const __m128i factorsHigh = _mm_shufflehi_epi16(_mm_shufflelo_epi16(f23, 0), 0);
    const __m128i zero = _mm_setzero_si128();
    auto half = [&](__m128i c16, __m128i factors) {
      const __m128i cLo = _mm_mullo_epi16(c16, factors), cHi = _mm_mulhi_epu16(c16, factors);
      const __m128i qLo = _mm_mullo_epi16(fogColour_, factors), qHi = _mm_mulhi_epu16(fogColour_, factors);
      auto channel = [&](__m128i c32, __m128i q32) {
        return _mm_srli_epi32(_mm_add_epi32(_mm_sub_epi32(c32, q32), fogBias_), 16);
      };
      const __m128i first = channel(_mm_unpacklo_epi16(cLo, cHi), _mm_unpacklo_epi16(qLo, qHi));
      const __m128i second = channel(_mm_unpackhi_epi16(cLo, cHi), _mm_unpackhi_epi16(qLo, qHi));
      return _mm_packs_epi32(first, second);
    };
    const __m128i fogged = _mm_packus_epi16(half(_mm_unpacklo_epi8(src, zero), factorsLow),
                                            half(_mm_unpackhi_epi8(src, zero), factorsHigh));
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    return _mm_or_si128(_mm_and_si128(src, alpha), _mm_andnot_si128(alpha, fogged));
  }

  // Four D16 values widened to 32-bit lanes, and their store where `mask` is set.
  static __m128i LoadDepth16(const uint16_t* d, int count) {
    return _mm_setr_epi32(d[0], count > 1 ? d[1] : 0, count > 2 ? d[2] : 0, count > 3 ? d[3] : 0);
  }
  static void StoreDepth16(uint16_t* d, __m128i values, __m128i mask, int count) {
    alignas(16) uint32_t v[4], m[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(v), values);
    _mm_store_si128(reinterpret_cast<__m128i*>(m), mask);
    for (int l = 0; l < count; ++l) {
      if (m[l] != 0) d[l] = static_cast<uint16_t>(v[l]);
    }
  }

  template <Addressing kHow>
  void Groups(int n, uint32_t* out, void* depth) {
    const TextureLevelView& level = s_.texture;
    const Texels texels{level.texels, level.pitch, level.width, level.height, s_.uAnd, s_.vAnd, block_.u, block_.v};
    const bool sampled = (needs_ & PixelBlock::kTexture) != 0;
    const Stage stage = stage_;
    const __m128i notTexture = notTexture_, notDiffuse = notDiffuse_;
    for (int i = 0; i < n; i += 4) {
      const int count = n - i < 4 ? n - i : 4;
      // Stage 0.
      __m128i src;
      if constexpr (kTextured) {
        const __m128i a = _mm_or_si128(sampled ? Sample<kHow>(texels, i) : _mm_setzero_si128(), notTexture);
        if (stage == kTextureOnly) {
          src = a;
        } else {
          const __m128i b = _mm_or_si128(_mm_load_si128(reinterpret_cast<const __m128i*>(&block_.diffuse[i])), notDiffuse);
          src = stage == kDiffuseOnly ? b : Modulate4(a, b);
        }
      } else {
        src = _mm_load_si128(reinterpret_cast<const __m128i*>(&block_.diffuse[i]));
      }
      if constexpr (k.fog) src = Fog4(src, i);
      Finish(src, i, count, out + i, depth);
    }
  }

  // Alpha test, depth test and write, blending and the target's format for pixels i..i+count-1.
  [[gnu::always_inline]] void Finish(__m128i src, int i, int count, uint32_t* target, void* depth) {
    __m128i pass = _mm_set1_epi32(-1);
    if constexpr (k.alphaFunc != 0) pass = CompareMask<k.alphaFunc>(_mm_srli_epi32(src, 24), ref_);
    if constexpr (kDepth) {
      const __m128i zq = _mm_load_si128(reinterpret_cast<const __m128i*>(&block_.z[i]));
      if constexpr (k.depthD16) {
        uint16_t* d = static_cast<uint16_t*>(depth) + i;
        pass = _mm_and_si128(pass, CompareMask<k.depthFunc>(zq, LoadDepth16(d, count)));
        if (_mm_movemask_epi8(pass) == 0) return;
        if constexpr (k.depthWrite) StoreDepth16(d, zq, pass, count);
      } else {
        uint32_t* d = static_cast<uint32_t*>(depth) + i;
        const __m128i stored = LoadLanes(d, count);
        pass = _mm_and_si128(pass, CompareMask<k.depthFunc>(zq, stored));
        if (_mm_movemask_epi8(pass) == 0) return;
        if constexpr (k.depthWrite) {
          StoreLanes(d, _mm_or_si128(_mm_and_si128(pass, zq), _mm_andnot_si128(pass, stored)), count);
        }
      }
    } else if constexpr (k.alphaFunc != 0) {
      if (_mm_movemask_epi8(pass) == 0) return;
    }
    if constexpr (k.blend == BlendMode::kNoColour) {
      return;
    } else {
      constexpr bool kReadsTarget = k.blend != BlendMode::kOpaque || k.alphaFunc != 0 || kDepth;
      const __m128i dst = kReadsTarget ? LoadLanes(target, count) : _mm_setzero_si128();
      __m128i result;
      if constexpr (k.blend == BlendMode::kAdd) {
        result = _mm_adds_epu8(src, dst);
      } else if constexpr (k.blend == BlendMode::kAlpha) {
        result = BlendAlpha4(src, dst);
      } else if constexpr (k.blend == BlendMode::kModulate) {
        result = Modulate4(dst, src);
      } else {
        result = src;
      }
      if (quantise_) {
        alignas(16) uint32_t lanes[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), result);
        for (uint32_t& lane : lanes) lane = QuantiseToR5G6B5(lane);
        result = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes));
      } else {
        result = _mm_or_si128(result, targetAlpha_);
      }
      if constexpr (k.alphaFunc != 0 || kDepth) {
        result = _mm_or_si128(_mm_and_si128(pass, result), _mm_andnot_si128(pass, dst));
      }
      StoreLanes(target, result, count);
    }
  }

  const PixelState& s_;
  const Interpolants& p_;
  PixelBlock block_;
  uint32_t needs_ = 0;
  Stage stage_ = kProduct;
  bool quantise_ = false;
  __m128i notTexture_, notDiffuse_, targetAlpha_, ref_, fogColour_, fogBias_;
};

// The runs of one primitive through the block path compiled for `kShape` (a BlockShapeOf).
template <uint32_t kShape>
void BlockShadeRuns(const PixelState& s, const Interpolants& p, const Run* runs, int count) {
#if defined(D3D8SW_WIDE_VECTORS)
  // Untextured shapes come with stage 0 selecting the diffuse colour; the target is the state's.
  // (Affine Gouraud runs are quicker through the block path's four-pixel steps.)
  if constexpr (WideSolidTakes(PixelKey::Decode(kShape))) {
    if (s.wide && p.perspective && s.target != TargetKind::kR5G6B5 && s.colourStage == StageOp::kDiffuse &&
        s.alphaStage == StageOp::kDiffuse) {
      // The block path for the runs the wide one leaves, made when one does (its set-up is most of
      // a block's cost). Not in a std::optional, which clears all its kilobytes up front.
      static_assert(std::is_trivially_destructible_v<BlockRuns<kShape>>);
      alignas(BlockRuns<kShape>) unsigned char storage[sizeof(BlockRuns<kShape>)];
      BlockRuns<kShape>* block = nullptr;
      ShadeWideSolid<kShape>(s, p, runs, count, [&](const Run& run) {
        if (block == nullptr) block = new (storage) BlockRuns<kShape>(s, p);
        block->Shade(run);
      });
      return;
    }
  }
#endif
  BlockRuns<kShape> block(s, p);
  for (int i = 0; i < count; ++i) block.Shade(runs[i]);
}

}  // namespace d3d8sw

#endif
