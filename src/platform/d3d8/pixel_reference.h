// The plain reference path of the pixel stage, evaluating the raw states one pixel at a time:
// sampling, texture stage 0 (with the rule for a stage without a texture), fog, alpha test,
// depth test and write, blending and the format of the target. Every fast path must produce
// exactly its pixels; it also draws every state no fast path covers.
#pragma once

#include <cstdint>

#include "interpolants.h"
#include "pixel_state.h"
#include "span_job.h"

namespace d3d8sw {

class PixelReference {
 public:
  struct Input {
    int64_t r, g, b, a;  // colour, 16 fraction bits
    int64_t u, v;        // texels, 32 fraction bits
    int64_t z;           // 40 fraction bits
    int64_t fog;         // 16 fraction bits
  };

  // Shades the run described by `job`.
  static void ShadeSpan(const PixelState& s, const SpanJob& job);

  // Shades the runs of a primitive with planes `p`, in order (perspective-correct planes pixel by
  // pixel through ShadePerspectiveSpan).
  static void ShadeRuns(const PixelState& s, const Interpolants& p, const Run* runs, int count);

  // Shades pixels x0..x1 of row y of a primitive whose planes are perspective-correct.
  static void ShadePerspectiveSpan(const PixelState& s, const Interpolants& p, int y, int x0, int x1);

  static void ShadePixel(const PixelState& s, const Input& in, uint32_t* colour, void* depth);

  // The stage-0 texel at (u, v) with the primitive's filter and the stage's addressing.
  static uint32_t Sample(const PixelState& s, int64_t u, int64_t v);
};

}  // namespace d3d8sw
