// One horizontal run of covered pixels and the interpolants at its first pixel, handed from the
// rasterizer to a pixel path. Fixed-point formats:
//   colour r, g, b, a: 8-bit channel value x 2^16 (16 fraction bits); 8-bit value = (c + 2^15) >> 16
//   u, v: texel units x 2^32 (32 fraction bits) of the sampled level; texel index = u >> 32
//   z: window z x 2^40 (1.0 = 2^40); D16 stores (z x 65535 + 2^39) >> 40, D32 stores z >> 8
//   fog: factor x 2^16 (1.0 = 65536 = no fog)
// The pixel at offset k of the run has every interpolant equal to start + k x step, exactly.
// Plane bounds (Interpolants) keep every value within int64 over any run.
#pragma once

#include <cstdint>

namespace d3d8sw {

constexpr int kColourFractionBits = 16;
constexpr int kTexelFractionBits = 32;
constexpr int kDepthFractionBits = 40;
constexpr int kFogFractionBits = 16;
constexpr int64_t kDepthOne = int64_t{1} << kDepthFractionBits;
constexpr int32_t kFogOne = 1 << kFogFractionBits;

struct SpanJob {
  uint32_t* colour;  // target pixel of the run's first pixel
  void* depth;       // depth value of the run's first pixel (uint16_t or uint32_t), null without depth
  int count;         // pixels in the run, >= 1
  int64_t r, g, b, a, dr, dg, db, da;
  int64_t u, v, du, dv;
  int64_t z, dz;
  int64_t fog, dfog;
};

// A run of covered pixels of one primitive as the rasterizer hands it to a pixel path: where its
// first pixel is stored and where that pixel lies relative to the primitive's planes
// (Interpolants), from which the path takes the run's SpanJob.
struct Run {
  uint32_t* colour;  // target pixel of the run's first pixel
  void* depth;       // its depth value, null without depth
  int dx, dy;        // the first pixel minus the planes' reference pixel
  int count;         // pixels, >= 1
};

// The 8-bit value of a colour interpolant, clamped.
inline uint32_t ColourByte(int64_t c) {
  int64_t v = (c + (1 << (kColourFractionBits - 1))) >> kColourFractionBits;
  return static_cast<uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// Depth interpolant to the stored value of a D16 or D32 buffer (z clamped to 0..1).
inline uint32_t DepthD16(int64_t z) {
  z = z < 0 ? 0 : (z > kDepthOne ? kDepthOne : z);
  return static_cast<uint32_t>((z * 65535 + (kDepthOne >> 1)) >> kDepthFractionBits);
}
inline uint32_t DepthD32(int64_t z) {
  z = z < 0 ? 0 : (z > kDepthOne ? kDepthOne : z);
  int64_t q = z >> (kDepthFractionBits - 32);
  return static_cast<uint32_t>(q > 0xFFFFFFFFll ? 0xFFFFFFFFll : q);
}

inline uint32_t ClampFog(int64_t f) { return static_cast<uint32_t>(f < 0 ? 0 : (f > kFogOne ? kFogOne : f)); }

}  // namespace d3d8sw
