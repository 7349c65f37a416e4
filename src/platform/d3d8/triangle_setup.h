// Triangle setup: snaps screen positions to the rasterizer's fixed-point grid, culls, orders the
// vertices clockwise, builds the three edge functions with the top-left fill rule, and derives
// the attribute planes.
//
// Positions are 24.8 fixed point (8 sub-pixel bits: 1/256 pixel); pixel (i, j) has its centre at
// (256 i, 256 j). Edge functions are exact 64-bit integers in units of 2^-16 pixel^2.
#pragma once

#include <cstdint>

#include "interpolants.h"
#include "shaded_vertex.h"

namespace d3d8sw {

constexpr int kSubPixelBits = 8;
constexpr int kSubPixelOne = 1 << kSubPixelBits;

// Pixels that may be written: [x0, x1) x [y0, y1), the viewport inside the render target.
struct Scissor {
  int x0 = 0;
  int y0 = 0;
  int x1 = 0;
  int y1 = 0;
};

// E(i, j) = a * i + b * j + c for pixel centre (i, j) (a and b already scaled by 256);
// the centre is covered when E + bias >= 0 for all three edges (bias -1 excludes the centres
// exactly on an edge that is neither a top nor a left edge).
struct EdgeFunction {
  int64_t a = 0;
  int64_t b = 0;
  int64_t c = 0;
  int64_t bias = 0;
};

struct Triangle {
  EdgeFunction edges[3];
  int minX = 0, maxX = 0, minY = 0, maxY = 0;  // pixel bounds to scan, inclusive, inside the scissor
  Interpolants planes;
  bool constColour = false;    // the diffuse colour is the same at every pixel
  uint32_t constDiffuse = 0;   // that colour, A8R8G8B8
  bool fogActive = false;      // some vertex is fogged
  bool vConstRow = false;      // v does not change along a row
  bool rectangle = false;      // every row runs from minX to maxX (the edges are not needed)
};

// Attributes a primitive's pixels read; planes of the others are left zero.
enum AttributeNeeds : uint32_t {
  kNeedColour = 1,   // stage 0 reads the diffuse colour
  kNeedTexture = 2,  // stage 0 reads the texture
  kNeedDepth = 4,    // a depth test
  kNeedFog = 8,      // fog
  kNeedAll = 15,
};

class TriangleSetup {
 public:
  // What the next primitives' pixels read (AttributeNeeds bits).
  void SetNeeds(uint32_t needs) { needs_ = needs; }

  // Sets up a screen-space triangle. `cullMode` is D3DCULL_*; `flatColour`, when not null, is
  // the colour of the provoking vertex (r, g, b, a) that flat shading gives the whole triangle.
  // Returns false when the triangle is culled, has no area or covers no pixel of the scissor.
  bool Begin(const ShadedVertex* v0, const ShadedVertex* v1, const ShadedVertex* v2, const Scissor& scissor,
             uint32_t cullMode, const float* flatColour, Triangle* out);

  // Sets up the axis-aligned rectangle whose corners are a, b, c and b + c - a (two triangles of a
  // strip or of a quad list, with affine attributes), taking the planes from a, b, c. The fill
  // rules give it the pixel centres from its left and top edges up to, not on, its right and
  // bottom edges: what its two triangles cover together.
  bool BeginRectangle(const ShadedVertex* a, const ShadedVertex* b, const ShadedVertex* c, const Scissor& scissor,
                      uint32_t cullMode, const float* flatColour, Triangle* out);

  // Texels of level 0 (width x height) that one pixel step covers at most.
  float TexelFootprint(int width, int height) const;

  // Completes the planes for a texture level of the given size (0 x 0 without a texture).
  void FinishPlanes(int texWidth, int texHeight, Triangle* out) const;

 private:
  struct Gradient {
    double v0 = 0;  // value at vertex 0
    double dx = 0;
    double dy = 0;
    bool varies = false;
  };
  Gradient Plane(double a0, double a1, double a2) const;
  void Fix(const Gradient& g, double scale, FixedPlane* out) const;
  void FloatPlaneOf(double a0, double a1, double a2, FloatPlane* out) const;
  // Two attributes at once (a and b: their values at the three vertices), with the values Plane,
  // Fix and FloatPlaneOf give them one by one.
  void FixPair(const double a[3], const double b[3], double scaleA, double scaleB, FixedPlane* outA,
               FixedPlane* outB) const;
  void FloatPlanePair(const double a[3], const double b[3], FloatPlane* outA, FloatPlane* outB) const;
  // Fix of two gradients at once.
  void FixGradientPair(const Gradient& a, const Gradient& b, double scaleA, double scaleB, FixedPlane* outA,
                       FixedPlane* outB) const;

  double x_[3], y_[3];  // snapped positions, pixels
  double invArea_ = 0;
  int refX_ = 0, refY_ = 0;
  const ShadedVertex* v_[3];
  float colour_[3][4];
  Gradient u_, v_grad_;
  bool perspective_ = false;
  uint32_t needs_ = kNeedAll;
};

}  // namespace d3d8sw
