// Untextured runs of perspective-correct primitives eight pixels at a time with AVX2: one colour
// or perspective-correct colour (RhwColourSteps, the reference's bytes), no fog or alpha test, an
// optional LESSEQUAL depth test with writes on D32 or D16, and opaque, additive, alpha or
// multiplying writes to an X8R8G8B8 or A8R8G8B8 target. A run it cannot take (depth leaving 0..1,
// a primitive not for single precision) is left to the caller's path.
#pragma once

#include <cstddef>
#include <cstdint>

#include "colour_math.h"
#include "interpolants.h"
#include "pixel_key.h"
#include "pixel_state.h"
#include "rhw_colour_steps.h"
#include "span_job.h"
#include "wide_vectors.h"

#if defined(D3D8SW_WIDE_VECTORS)

namespace d3d8sw {

// Whether runs of key (or block shape) `k` may go this way, when PixelState::wide, the primitive
// is perspective-correct, stage 0 selects the diffuse colour and the target is not R5G6B5.
constexpr bool WideSolidTakes(const PixelKey& k) {
  return k.filter == TextureFilter::kNone && k.colour == StageOp::kDiffuse && k.alpha == StageOp::kDiffuse &&
         !k.fog && k.alphaFunc == 0 && (k.depthFunc == 0 || (k.depthFunc == D3DCMP_LESSEQUAL && k.depthWrite)) &&
         (k.blend == BlendMode::kOpaque || k.blend == BlendMode::kAdd || k.blend == BlendMode::kAlpha ||
          k.blend == BlendMode::kModulate) &&
         k.target != TargetKind::kR5G6B5;
}

template <bool kDepth, bool kD16, BlendMode kBlend>
class WideSolidRuns {
 public:
  WideSolidRuns(const PixelState& s, const Interpolants& p) : p_(p) {
    targetAlpha_ = s.target == TargetKind::kX8R8G8B8 ? 0xFF000000u : 0u;
    // Set-up leaves the planes of what is not perspective-correct flat: then one colour serves
    // every run.
    perspective_ = (p.perspectiveMask & 1) != 0;
    if constexpr (kDepth) {
      const int64_t dz = p.z.gx;
      const int64_t lanes[6] = {0, dz, 2 * dz, 3 * dz, 4 * dz, 8 * dz};
      for (int i = 0; i < 6; ++i) zLanes_[i] = lanes[i];
    }
    if (!perspective_) {
      flat_ = PackArgb(ColourByte(p.a.base), ColourByte(p.r.base), ColourByte(p.g.base), ColourByte(p.b.base));
    }
  }

  // The runs to come lie in dx x0..x1, dy y0..y1 of the planes: where depth keeps inside 0..1
  // over that box (its extremes are at its corners), the runs need no checks of their own. False
  // when the runs are not for this path (RhwColourSteps::Bound).
  bool Bound(int x0, int x1, int y0, int y1) {
    if (perspective_ && !steps_.Bound(p_, x0, x1, y0, y1)) return false;
    depthInside_ = true;
    for (int64_t v : {p_.z.At(x0, y0), p_.z.At(x1, y0), p_.z.At(x0, y1), p_.z.At(x1, y1)}) {
      if (v < 0 || v >= kDepthOne) depthInside_ = false;
    }
    return true;
  }

  // Whether the runs' colours are perspective-correct: then each run needs Start first.
  bool Perspective() const { return perspective_; }
  [[gnu::target("avx2"), gnu::always_inline]] void Start(const Run& run, RhwStretch* stretch) const {
    steps_.Start(p_, run.dx, run.dy, stretch);
  }

  // Shades `run` (with its stretch from Start when Perspective); false (nothing drawn) when it is
  // not for this path.
  [[gnu::target("avx2"), gnu::always_inline]] bool Shade(const Run& run, const RhwStretch& stretch) {
    const int n = run.count;
    const int dx = run.dx, dy = run.dy;
    // Depth inside 0..1 at both ends, so at every pixel: no clamping (see span_job.h's formats).
    int64_t z = 0, dz = 0;
    if constexpr (kDepth) {
      z = p_.z.At(dx, dy);
      dz = p_.z.gx;
      const int64_t last = z + dz * (n - 1);
      if (!depthInside_ && (z < 0 || z >= kDepthOne || last < 0 || last >= kDepthOne)) return false;
    }
    if constexpr (!kDepth) {
      // One colour and nothing to test (tints, flat backdrops): whole groups load and store
      // unmasked.
      if (!perspective_) {
        const __m256i src = _mm256_set1_epi32(static_cast<int>(flat_));
        const __m256i alpha = _mm256_set1_epi32(static_cast<int>(targetAlpha_));
        uint32_t* out = run.colour;
        int i = 0;
        for (; i + 8 <= n; i += 8) {
          __m256i result = src;
          if constexpr (kBlend != BlendMode::kOpaque) {
            result = Blended(src, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out + i)));
          }
          _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_or_si256(result, alpha));
        }
        if (i < n) Write(out + i, src, LaneMask8(n - i));
        return true;
      }
    }
    const __m256i flatColour = _mm256_set1_epi32(static_cast<int>(flat_));
    const NearLanes near = NearLanesOf(steps_.margin);

    // Depth interpolants of pixels 0..3 and 4..7 of the group, in 64-bit lanes.
    __m256i zLow = _mm256_setzero_si256(), zHigh = zLow, zStep = zLow;
    if constexpr (kDepth) {
      zLow = _mm256_add_epi64(_mm256_set1_epi64x(z), _mm256_load_si256(reinterpret_cast<const __m256i*>(zLanes_)));
      zHigh = _mm256_add_epi64(zLow, _mm256_set1_epi64x(zLanes_[4]));
      zStep = _mm256_set1_epi64x(zLanes_[5]);
    }
    uint32_t* out = run.colour;
    __m256 x = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    for (int i = 0; i < n; i += 8) {
      const int valid = n - i < 8 ? n - i : 8;
      __m256i src = flatColour;
      if (perspective_) {
        const __m256 q = _mm256_add_ps(_mm256_set1_ps(stretch.q0), _mm256_mul_ps(_mm256_set1_ps(steps_.dq), x));
        uint32_t nearBits;
        src = PerspectiveColours8(stretch, near, _mm256_div_ps(x, q), &nearBits);
        x = _mm256_add_ps(x, _mm256_set1_ps(8.0f));
        const uint32_t close = nearBits & (valid == 8 ? ~0u : (1u << (4 * valid)) - 1);
        if (close != 0) src = Exact(src, close, dx + i, dy);
      }
      __m256i pass = LaneMask8(valid);
      if constexpr (kDepth) {
        const __m256i zq = Quantised(zLow, zHigh);
        zLow = _mm256_add_epi64(zLow, zStep);
        zHigh = _mm256_add_epi64(zHigh, zStep);
        if constexpr (kD16) {
          uint16_t* d = static_cast<uint16_t*>(run.depth) + i;
          const __m256i stored = LoadDepth16(d, valid);
          pass = _mm256_and_si256(pass, _mm256_cmpeq_epi32(_mm256_max_epu32(zq, stored), stored));
          if (_mm256_testz_si256(pass, pass)) continue;
          StoreDepth16(d, _mm256_blendv_epi8(stored, zq, pass), valid);
        } else {
          uint32_t* d = static_cast<uint32_t*>(run.depth) + i;
          // Masked loads and stores whatever the group's size: no branch on it.
          const __m256i stored = _mm256_maskload_epi32(reinterpret_cast<const int*>(d), pass);
          pass = _mm256_and_si256(pass, _mm256_cmpeq_epi32(_mm256_max_epu32(zq, stored), stored));
          if (_mm256_testz_si256(pass, pass)) continue;
          _mm256_maskstore_epi32(reinterpret_cast<int*>(d), pass, zq);
        }
      }
      Write(out + i, src, pass);
    }
    return true;
  }

 private:
  // The group's colours with the lanes of `close` (four bits a lane, as PerspectiveColours8 gives
  // them; pixels dx .. dx + 7 of row dy) worked out as the reference does.
  [[gnu::target("avx2")]] __m256i Exact(__m256i src, uint32_t close, int dx, int dy) const {
    alignas(32) uint32_t colours[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(colours), src);
    for (int l = 0; l < 8; ++l) {
      if ((close >> (4 * l)) & 0xF) colours[l] = ReferencePerspectiveColour(p_, dx + l, dy);
    }
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(colours));
  }

  // The stored values of eight depth interpolants inside 0..1 (D16 rounds, D32 truncates).
  [[gnu::target("avx2"), gnu::always_inline]] static __m256i Quantised(__m256i low, __m256i high) {
    if constexpr (kD16) {
      // (z x 65535 + 2^39) >> 40, with z x 65535 = (z << 16) - z below 2^56.
      const __m256i round = _mm256_set1_epi64x(int64_t{1} << (kDepthFractionBits - 1));
      low = _mm256_srli_epi64(_mm256_add_epi64(_mm256_sub_epi64(_mm256_slli_epi64(low, 16), low), round),
                              kDepthFractionBits);
      high = _mm256_srli_epi64(_mm256_add_epi64(_mm256_sub_epi64(_mm256_slli_epi64(high, 16), high), round),
                               kDepthFractionBits);
    } else {
      low = _mm256_srli_epi64(low, kDepthFractionBits - 32);
      high = _mm256_srli_epi64(high, kDepthFractionBits - 32);
    }
    const __m256 mixed =
        _mm256_shuffle_ps(_mm256_castsi256_ps(low), _mm256_castsi256_ps(high), _MM_SHUFFLE(2, 0, 2, 0));
    return _mm256_permute4x64_epi64(_mm256_castps_si256(mixed), _MM_SHUFFLE(3, 1, 2, 0));
  }

  [[gnu::target("avx2"), gnu::always_inline]] static __m256i LoadDepth16(const uint16_t* d, int valid) {
    if (valid == 8) return _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d)));
    alignas(16) uint16_t lanes[8] = {};
    for (int l = 0; l < valid; ++l) lanes[l] = d[l];
    return _mm256_cvtepu16_epi32(_mm_load_si128(reinterpret_cast<const __m128i*>(lanes)));
  }
  [[gnu::target("avx2"), gnu::always_inline]] static void StoreDepth16(uint16_t* d, __m256i values, int valid) {
    const __m128i packed = _mm_packus_epi32(_mm256_castsi256_si128(values), _mm256_extracti128_si256(values, 1));
    if (valid == 8) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d), packed);
      return;
    }
    alignas(16) uint16_t lanes[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), packed);
    for (int l = 0; l < valid; ++l) d[l] = lanes[l];
  }

  // Blends and writes the pixels of `pass` (a subset of the first `valid`).
  [[gnu::target("avx2"), gnu::always_inline]] void Write(uint32_t* out, __m256i src, __m256i pass) {
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(targetAlpha_));
    __m256i result = src;
    if constexpr (kBlend != BlendMode::kOpaque) {
      result = Blended(src, _mm256_maskload_epi32(reinterpret_cast<const int*>(out), pass));
    }
    _mm256_maskstore_epi32(reinterpret_cast<int*>(out), pass, _mm256_or_si256(result, alpha));
  }

  // Source src over destination dst by the blend (not kOpaque).
  [[gnu::target("avx2"), gnu::always_inline]] static __m256i Blended(__m256i src, __m256i dst) {
    if constexpr (kBlend == BlendMode::kAdd) {
      return _mm256_adds_epu8(src, dst);
    } else if constexpr (kBlend == BlendMode::kAlpha) {
      return BlendAlpha8(src, dst);
    } else {
      return Modulate8(dst, src);
    }
  }

  const Interpolants& p_;
  RhwColourSteps steps_;
  uint32_t flat_ = 0;  // the colour when it is not perspective-correct, A8R8G8B8, else 0
  uint32_t targetAlpha_ = 0;
  // Depth steps along a row: 0, 1, 2 and 3 pixels (a group's first lanes), then 4 and 8.
  alignas(32) int64_t zLanes_[6];  // set with depth only
  bool perspective_ = false;
  bool depthInside_ = false;  // see Bound
};

// The runs of one primitive of key kKey (WideSolidTakes) through WideSolidRuns, those it does not
// take through `narrow`, one at a time (in one AVX2 function: no call or register spills per run).
template <uint32_t kKey, typename Narrow>
[[gnu::target("avx2")]] void ShadeWideSolid(const PixelState& s, const Interpolants& p, const Run* runs, int count,
                                            Narrow&& narrow) {
  constexpr PixelKey k = PixelKey::Decode(kKey);
  static_assert(WideSolidTakes(k));
  WideSolidRuns<k.depthFunc != 0, k.depthD16, k.blend> wide(s, p);
  // The runs' box: lanes (dx, dy) of the first pixels' least and (dx + count - 1, dy) of the last
  // pixels' greatest, a run a step.
  static_assert(offsetof(Run, dy) == offsetof(Run, dx) + 4 && offsetof(Run, count) == offsetof(Run, dx) + 8);
  // (-1, 0, 0, 0): the mask of the dx lane, and the -1 that takes dx + count to the last pixel.
  const __m128i xLane = _mm_setr_epi32(-1, 0, 0, 0);
  __m128i least = _mm_set1_epi32(INT32_MAX), greatest = _mm_set1_epi32(INT32_MIN);
  for (int i = 0; i < count; ++i) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&runs[i].dx));
    least = _mm_min_epi32(least, v);
    const __m128i length = _mm_and_si128(_mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 2, 2)), xLane);
    greatest = _mm_max_epi32(greatest, _mm_add_epi32(_mm_add_epi32(v, length), xLane));
  }
  const int x0 = _mm_cvtsi128_si32(least), y0 = _mm_extract_epi32(least, 1);
  const int x1 = _mm_cvtsi128_si32(greatest), y1 = _mm_extract_epi32(greatest, 1);
  if (!wide.Bound(x0, x1, y0, y1)) {
    for (int i = 0; i < count; ++i) narrow(runs[i]);
    return;
  }
  if (!wide.Perspective()) {
    const RhwStretch unused{};
    for (int i = 0; i < count; ++i) {
      if (!wide.Shade(runs[i], unused)) narrow(runs[i]);
    }
    return;
  }
  // Stretches are started a chunk ahead of their pixels (RhwColourSteps::Start).
  constexpr int kAhead = 16;
  RhwStretch stretches[kAhead];
  for (int first = 0; first < count; first += kAhead) {
    const int n = count - first < kAhead ? count - first : kAhead;
    for (int i = 0; i < n; ++i) wide.Start(runs[first + i], &stretches[i]);
    for (int i = 0; i < n; ++i) {
      if (!wide.Shade(runs[first + i], stretches[i])) narrow(runs[first + i]);
    }
  }
}

}  // namespace d3d8sw

#endif
