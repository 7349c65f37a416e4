// A stretch of up to 64 pixels of one run with every interpolant a pixel path reads worked out per
// pixel: perspective-correct ones with the reference path's own arithmetic (one reciprocal per
// pixel, in double precision, rounded as it rounds), affine ones stepped. The block paths then
// sample, shade and write four pixels at a time from it without caring how the values came about.
#pragma once

#include <cstdint>

#include "interpolants.h"

namespace d3d8sw {

struct PixelBlock {
  static constexpr int kPixels = 64;
  // Entries past a stretch's last pixel, up to the next multiple of four, repeat that pixel, so
  // that four-pixel groups never read an unset value.
  static constexpr int kPadded = kPixels + 4;

  // What to work out (the rest is left unset).
  enum Needs : uint32_t {
    kColour = 1,    // diffuse
    kTexture = 2,   // u, v
    kFog = 4,       // fog
    kDepth = 8,     // z, as the depth buffer stores it
    kDepthD16 = 16  // ... a D16 buffer (else D32)
  };

  alignas(16) int64_t u[kPadded];      // SpanJob's texel format
  alignas(16) int64_t v[kPadded];
  alignas(16) uint32_t diffuse[kPadded];  // A8R8G8B8, each channel ColourByte of its interpolant
  alignas(16) uint32_t fog[kPadded];      // ClampFog of the factor
  alignas(16) uint32_t z[kPadded];        // DepthD16 or DepthD32 of the depth interpolant

  // Readies the block for the runs of a primitive with planes `p`: what is the same at every
  // pixel (the attributes a perspective-correct primitive holds flat) is filled in once, here.
  void Prepare(const Interpolants& p, uint32_t needs);

  // Fills pixels 0..count-1 (count <= kPixels) for the pixels (refX + dx + i, refY + dy) of the
  // primitive, perspective-correct when p.perspective. Perspective values are worked out four
  // pixels at a time with AVX2 where the processor has it and `wide` allows it, else two at a
  // time with SSE2; the values are the same.
  void Fill(const Interpolants& p, int dx, int dy, int count, bool wide = true);

 private:
  void FillPerspective(const Interpolants& p, int dx, int dy, int count, uint32_t needs, bool wide);
  void FillPerspectiveWide(const Interpolants& p, int dx, int dy, int count, uint32_t needs);
  void FillDepth(const FixedPlane& plane, int dx, int dy, int count, bool d16);

  uint32_t needs_ = 0;
  uint32_t stepped_ = 0;  // what Fill works out (the rest is flat, filled in by Prepare)
  void FillAffine(const Interpolants& p, int dx, int dy, int count, uint32_t needs);
  // Pixel i exactly as PixelReference::ShadePerspectiveSpan evaluates it, one at a time.
  void PerspectivePixel(const Interpolants& p, int dx, int dy, int i, uint32_t needs);
  void Pad(int count, uint32_t needs);
};

}  // namespace d3d8sw
