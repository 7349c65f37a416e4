// Point-sampled runs along one texel row inside the texture, eight pixels at a time with AVX2: the
// overlays' glyphs, banner and ticker (stage 0 passing the texel through, no fog), added, blended
// by texel alpha, or (an alpha test, depth ALWAYS) writing only depth.
#pragma once

#include "wide_vectors.h"

#if defined(D3D8SW_WIDE_VECTORS)

#include "d3d8types.h"
#include "pixel_key.h"
#include "span_job.h"

namespace d3d8sw {

class WidePointRows {
 public:
  // Whether runs of `k` can come here: point sampling at one v per run, stage 0 the texel alone,
  // no fog, a D32 or no depth buffer, an X8R8G8B8 or A8R8G8B8 target, and one of the three
  // blends with nothing else tested (or depth only written under an alpha test).
  static constexpr bool Takes(const PixelKey& k) {
    if (k.filter != TextureFilter::kPoint || !k.vConstRow || k.colour != StageOp::kTexture ||
        k.alpha != StageOp::kTexture || k.fog || k.depthD16 || k.target == TargetKind::kR5G6B5) {
      return false;
    }
    if (k.blend == BlendMode::kAdd || k.blend == BlendMode::kAlpha) return k.alphaFunc == 0 && k.depthFunc == 0;
    return k.blend == BlendMode::kNoColour && k.depthFunc == D3DCMP_ALWAYS && k.depthWrite;
  }

  // Shades the first `groups` x 8 pixels of run `j` (its texel indices all inside `row`) exactly
  // as the four-wide loops do, group of four by group of four: a group they leave alone (all
  // added texels black, all blended texels clear) stays as it was. `depth` is the D32 value
  // written by the depth-only key (the run's depth does not change along it).
  template <uint32_t kKey>
  [[gnu::target("avx2")]] static void Shade(const SpanJob& j, const uint32_t* row, int groups, uint32_t alphaOr,
                                            uint32_t alphaRef, uint32_t depth) {
    constexpr PixelKey k = PixelKey::Decode(kKey);
    static_assert(Takes(k));
    constexpr uint32_t kTargetAlpha = k.target == TargetKind::kX8R8G8B8 ? 0xFF000000u : 0u;
    const __m256i targetAlpha = _mm256_set1_epi32(static_cast<int>(kTargetAlpha));
    const __m256i texelAlpha = _mm256_set1_epi32(static_cast<int>(alphaOr));
    const __m256i alphaBits = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    // Texel positions in 64-bit lanes: pixels 0..3 and 4..7 of the group. Inside the texture
    // they are not negative, and the high half of each is the texel's index.
    __m256i low = _mm256_setr_epi64x(j.u, j.u + j.du, j.u + 2 * j.du, j.u + 3 * j.du);
    __m256i high = _mm256_add_epi64(low, _mm256_set1_epi64x(4 * j.du));
    const __m256i step = _mm256_set1_epi64x(8 * j.du);
    uint32_t* out = j.colour;
    uint32_t* depths = static_cast<uint32_t*>(j.depth);
    for (int g = 0; g < groups; ++g, out += 8, depths += 8) {
      // The odd 32-bit halves, in pixel order.
      const __m256i index = _mm256_permute4x64_epi64(
          _mm256_castps_si256(_mm256_shuffle_ps(_mm256_castsi256_ps(low), _mm256_castsi256_ps(high),
                                                _MM_SHUFFLE(3, 1, 3, 1))),
          _MM_SHUFFLE(3, 1, 2, 0));
      low = _mm256_add_epi64(low, step);
      high = _mm256_add_epi64(high, step);
      const __m256i src =
          _mm256_or_si256(_mm256_i32gather_epi32(reinterpret_cast<const int*>(row), index, 4), texelAlpha);
      if constexpr (k.blend == BlendMode::kNoColour) {
        const __m256i pass = Compare8<k.alphaFunc>(_mm256_srli_epi32(src, 24), _mm256_set1_epi32(static_cast<int>(alphaRef)));
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(depths));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(depths),
                            _mm256_blendv_epi8(d, _mm256_set1_epi32(static_cast<int>(depth)), pass));
        continue;
      }
      __m256i* target = reinterpret_cast<__m256i*>(out);
      // A group of four is left alone where `still`'s 16 bits for it are all set.
      uint32_t still;
      __m256i result;
      if constexpr (k.blend == BlendMode::kAdd) {
        const __m256i addBits = _mm256_set1_epi32(k.target == TargetKind::kX8R8G8B8 ? 0x00FFFFFF : -1);
        still = static_cast<uint32_t>(
            _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(src, addBits), _mm256_setzero_si256())));
        if (still == 0xFFFFFFFFu) continue;
        result = _mm256_or_si256(_mm256_adds_epu8(src, _mm256_loadu_si256(target)), targetAlpha);
      } else {
        const __m256i alpha = _mm256_and_si256(src, alphaBits);
        const __m256i opaque = _mm256_cmpeq_epi32(alpha, alphaBits);
        const uint32_t opaqueBits = static_cast<uint32_t>(_mm256_movemask_epi8(opaque));
        if (opaqueBits == 0xFFFFFFFFu) {
          _mm256_storeu_si256(target, _mm256_or_si256(src, targetAlpha));
          continue;
        }
        still = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi32(alpha, _mm256_setzero_si256())));
        if (still == 0xFFFFFFFFu) continue;
        const __m256i dst = _mm256_loadu_si256(target);
        // Alpha 255 replaces the target and alpha 0 keeps it, exactly as blending computes.
        result = (opaqueBits | still) == 0xFFFFFFFFu ? _mm256_blendv_epi8(dst, src, opaque) : BlendAlpha8(src, dst);
        result = _mm256_or_si256(result, targetAlpha);
      }
      if ((still & 0xFFFFu) == 0xFFFFu) {
        result = _mm256_blend_epi32(result, _mm256_loadu_si256(target), 0x0F);
      } else if ((still >> 16) == 0xFFFFu) {
        result = _mm256_blend_epi32(result, _mm256_loadu_si256(target), 0xF0);
      }
      _mm256_storeu_si256(target, result);
    }
  }

 private:
  // CompareMask's eight-wide form.
  template <uint8_t kFunc>
  [[gnu::target("avx2"), gnu::always_inline]] static inline __m256i Compare8(__m256i a, __m256i b) {
    const __m256i bias = _mm256_set1_epi32(static_cast<int>(0x80000000u));
    const __m256i sa = _mm256_xor_si256(a, bias);
    const __m256i sb = _mm256_xor_si256(b, bias);
    const __m256i ones = _mm256_set1_epi32(-1);
    if constexpr (kFunc == D3DCMP_NEVER) return _mm256_setzero_si256();
    else if constexpr (kFunc == D3DCMP_LESS) return _mm256_cmpgt_epi32(sb, sa);
    else if constexpr (kFunc == D3DCMP_EQUAL) return _mm256_cmpeq_epi32(a, b);
    else if constexpr (kFunc == D3DCMP_LESSEQUAL) return _mm256_xor_si256(_mm256_cmpgt_epi32(sa, sb), ones);
    else if constexpr (kFunc == D3DCMP_GREATER) return _mm256_cmpgt_epi32(sa, sb);
    else if constexpr (kFunc == D3DCMP_NOTEQUAL) return _mm256_xor_si256(_mm256_cmpeq_epi32(a, b), ones);
    else if constexpr (kFunc == D3DCMP_GREATEREQUAL) return _mm256_xor_si256(_mm256_cmpgt_epi32(sb, sa), ones);
    else return ones;
  }
};

}  // namespace d3d8sw

#endif
