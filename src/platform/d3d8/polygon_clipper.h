// Sutherland-Hodgman clipping of a triangle: in clip space against the near and far planes and
// the guard band, or in screen space (pre-transformed vertices) against the screen guard box.
#pragma once

#include <cstdint>

#include "shaded_vertex.h"

namespace d3d8sw {

class PolygonClipper {
 public:
  // Enough for a triangle cut by every plane once (3 + 7), with room to spare.
  static constexpr int kMaxVertices = 16;

  // Clips a clip-space triangle against the planes in `planeBits` (kClipPlaneBits subset).
  // Attributes are interpolated linearly in clip space, which is perspective-correct.
  // Returns the vertex count of the convex result (0 when nothing is left).
  static int ClipHomogeneous(const ShadedVertex* in[3], uint32_t planeBits, ShadedVertex out[kMaxVertices]);

  // Clips a screen-space triangle to |x|, |y| <= kScreenGuard. Attributes are interpolated as
  // attribute x rhw and rhw, so perspective-correct interpolation across the result is unchanged.
  static int ClipScreen(const ShadedVertex* in[3], ShadedVertex out[kMaxVertices]);
};

}  // namespace d3d8sw
