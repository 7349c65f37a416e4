// Bilinear sampling of a run along one texel row pair (v constant along it, as on axis-aligned
// quads) at up to one texel per pixel step, eight pixels at a time with AVX2: the texel columns the
// run touches are blended down once, then each group of eight pixels takes its two columns by a
// lane permutation and blends them across. Stage 0 at one diffuse colour, then opaque or additive
// writes. The values are the span paths' (and so the reference path's), exactly.
#pragma once

#include <cstdint>

#include "pixel_key.h"
#include "pixel_state.h"
#include "span_job.h"

namespace d3d8sw {

// Stage 0 at one diffuse colour, as the span paths apply it to a texel t: t | alphaOr, then the
// per-channel Mul255 by `multiply` when `modulate`, then (c & keep) | put (the channels taken
// from the diffuse colour).
struct FlatStage {
  uint32_t alphaOr = 0;
  bool modulate = false;
  uint32_t multiply = 0xFFFFFFFF;
  uint32_t keep = 0xFFFFFFFF;
  uint32_t put = 0;
};

class BilinearRows {
 public:
  // Texel columns a run may touch (a run at one texel per pixel touches its length and two).
  static constexpr int kMaxColumns = 1024;

  // Whether run `j` can go this way: v constant along it, at most one texel per pixel step.
  static bool Takes(const SpanJob& j) {
    constexpr int64_t kTexel = int64_t{1} << kTexelFractionBits;
    return j.dv == 0 && j.du <= kTexel && j.du >= -kTexel && j.count <= kMaxColumns - 2;
  }

  // Shades run `j` (Takes(j)) with the state's texture, stage 0 as `stage` and blending `blend`
  // (kOpaque or kAdd), or'ing `targetAlpha` into every pixel written. Only where the processor
  // has AVX2 (PixelState::wide).
  static void Shade(const PixelState& s, const SpanJob& j, const FlatStage& stage, BlendMode blend,
                    uint32_t targetAlpha);
};

}  // namespace d3d8sw
