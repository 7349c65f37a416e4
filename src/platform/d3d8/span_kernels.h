// The fast pixel paths: one span loop compiled per state key for the keys the show draws with
// (and their 16-bit target and depth variants). Each must give exactly the reference path's
// pixels; tests run every one against it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pixel_state.h"
#include "span_job.h"

namespace d3d8sw {

using SpanFunction = void (*)(const PixelState& state, const SpanJob& job);

class SpanKernels {
 public:
  // The fast path compiled for `key` (PixelKey::Encode), or null.
  static SpanFunction Find(uint32_t key);
  // All keys with a fast path, in ascending order.
  static const uint32_t* Keys(size_t* count);
};

}  // namespace d3d8sw
