// A vertex after the vertex stage: a position (clip space, or screen space once projected) and
// the attributes the rasterizer interpolates.
#pragma once

#include <cstdint>

namespace d3d8sw {

struct ShadedVertex {
  // Clip space: x, y, z, w. Screen space: pixel x and y (pixel centres at integers), window z
  // (0..1 for the depth buffer) and rhw = 1/w.
  float x, y, z, w;
  float r, g, b, a;  // diffuse colour, 0..255
  float u, v;        // texture coordinates of stage 0
  float fog;         // vertex fog factor: 1 = no fog, 0 = all fog colour
};

// Outside bits of a clip-space vertex. The first six are the view frustum (used to throw away
// primitives wholly outside it); the guard bits mark where clipping is needed so that screen
// coordinates stay in the rasterizer's fixed-point range; the viewport scissor does the rest.
enum ClipBits : uint32_t {
  kClipLeft = 1u << 0,    // x < -w
  kClipRight = 1u << 1,   // x > w
  kClipBottom = 1u << 2,  // y < -w
  kClipTop = 1u << 3,     // y > w
  kClipNear = 1u << 4,    // z < 0
  kClipFar = 1u << 5,     // z > w
  kGuardLeft = 1u << 6,   // x < -kGuardBand * w
  kGuardRight = 1u << 7,  // x > kGuardBand * w
  kGuardBottom = 1u << 8,
  kGuardTop = 1u << 9,
  kClipMinW = 1u << 10,    // w < kMinClipW: too close to the eye plane to divide by
  kClipInvalid = 1u << 11, // a coordinate is not finite: the primitive is dropped
};
constexpr uint32_t kFrustumBits = kClipLeft | kClipRight | kClipBottom | kClipTop | kClipNear | kClipFar;
// Planes that must be clipped against when a vertex lies outside them.
constexpr uint32_t kClipPlaneBits = kClipNear | kClipFar | kGuardLeft | kGuardRight | kGuardBottom | kGuardTop | kClipMinW;
// Clip-space guard band: |x|, |y| <= 4w keeps screen coordinates within a few viewports of the
// viewport, far inside the rasterizer's range (targets are at most 4096 pixels wide).
constexpr float kGuardBand = 4.0f;
constexpr float kMinClipW = 1e-5f;
// Screen-space bound for pre-transformed vertices; polygons reaching beyond it are clipped to it.
constexpr float kScreenGuard = 16384.0f;

struct ProcessedVertex {
  ShadedVertex clip;    // clip space (transformed formats only)
  ShadedVertex screen;  // screen space; valid when no clip bit is set (always for pre-transformed)
  uint32_t clipBits;    // ClipBits
  float pointSize;      // point size in pixels before the min/max clamp (point lists only)
  uint32_t diffuse;     // the colour of r, g, b, a packed as A8R8G8B8 (they hold whole numbers)
};

}  // namespace d3d8sw
