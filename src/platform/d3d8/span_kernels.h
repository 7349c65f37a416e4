// The fast pixel paths: one span loop compiled per state key for the keys the show draws with
// (and their 16-bit target and depth variants), and the block paths (block_runs.h) for
// perspective-correct primitives and Gouraud runs. Each must give exactly the reference path's
// pixels; tests run every one against it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "interpolants.h"
#include "pixel_state.h"
#include "span_job.h"

namespace d3d8sw {

// Shades the runs of one primitive with planes `planes`, in order.
using RunsFunction = void (*)(const PixelState& state, const Interpolants& planes, const Run* runs, int count);
// Shades one span job (the same path as a primitive of one run).
using SpanFunction = void (*)(const PixelState& state, const SpanJob& job);

// A single-pixel point: where it lands, its 8-bit diffuse colour, its quantised depth and its
// fog factor (16 fraction bits), all as the span paths would compute them.
struct PointJob {
  uint32_t colourIndex;  // y x colour pitch + x
  uint32_t depthIndex;   // y x depth pitch + x
  uint32_t colour;       // A8R8G8B8
  uint32_t z;            // D16 or D32 value
  uint32_t fog;
};
using PointFunction = void (*)(const PixelState& state, const PointJob* points, int count);

class SpanKernels {
 public:
  // The fast path compiled for `key` (PixelKey::Encode), or null.
  static RunsFunction FindRuns(uint32_t key);
  // The same path for a single span job, or null.
  static SpanFunction Find(uint32_t key);
  // The batch path for untextured single-pixel points in `key`'s state, or null.
  static PointFunction FindPoints(uint32_t key);
  // All keys with a fast path, in ascending order.
  static const uint32_t* Keys(size_t* count);
};

}  // namespace d3d8sw
