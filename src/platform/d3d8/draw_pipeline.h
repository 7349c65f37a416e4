// One draw call through the pipeline: vertex processing, primitive assembly (lists, strips,
// points), clipping, triangle setup, rasterization and the pixel paths, fast or reference.
// Owns the scratch memory of the vertex stage, which grows to the largest draw seen and is then
// reused, so drawing allocates nothing in steady state.
#pragma once

#include <cstdint>
#include <vector>

#include "depth_rows.h"
#include "device_state.h"
#include "pixel_state.h"
#include "shaded_vertex.h"
#include "span_kernels.h"
#include "triangle_setup.h"
#include "vertex_format.h"
#include "vertex_processor.h"

namespace d3d8sw {

// Levels of a texture (4096 x 4096 has 13).
constexpr int kMaxTextureLevels = 13;

struct TextureBinding {
  int levelCount = 0;
  TextureLevelView levels[kMaxTextureLevels];
};

struct TargetBinding {
  uint32_t* colour = nullptr;  // pixel (0, 0), A8R8G8B8 storage
  int colourPitch = 0;         // pixels
  int width = 0;
  int height = 0;
  TargetKind kind = TargetKind::kX8R8G8B8;
  void* depth = nullptr;  // depth value (0, 0), or null without a depth buffer
  int depthPitch = 0;     // values
  bool depthD16 = false;
  DepthRows* depthRows = nullptr;  // of the depth buffer, with it
};

class DrawPipeline {
 public:
  DrawPipeline();

  // Reads the state for the next draws. Returns false for a mode outside what the device draws.
  bool Configure(const DeviceState& state, const VertexFormat& format, D3DPRIMITIVETYPE type,
                 const TargetBinding& target, const TextureBinding* texture, float maxPointSize);

  // Draws `primitiveCount` primitives from `vertexCount` consecutive vertices.
  void DrawVertices(D3DPRIMITIVETYPE type, const uint8_t* vertices, UINT stride, UINT vertexCount,
                    UINT primitiveCount);
  // Draws with 16-bit indices; index i refers to vertices[i - minIndex], all within vertexCount.
  void DrawIndexed(D3DPRIMITIVETYPE type, const uint8_t* vertices, UINT stride, UINT vertexCount,
                   const uint16_t* indices, UINT minIndex, UINT primitiveCount);

  // Test controls: shade every pixel with the reference path; rasterize with the reference walk.
  void SetReferencePixels(bool on) { referencePixels_ = on; }
  void SetReferenceRasterizer(bool on) { referenceRasterizer_ = on; }
  // Whether the AVX2 paths may run where the processor has them (else only the SSE2 ones do).
  void SetWideVectors(bool on);

 private:
  void ProcessVertices(const uint8_t* vertices, UINT stride, UINT count);
  void DrawTriangle(const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c,
                    const ProcessedVertex& provoking);
  void DrawScreenTriangle(const ShadedVertex* a, const ShadedVertex* b, const ShadedVertex* c,
                          const float* flatColour);
  // Draws triangles (a, b, c) and (b, d, c) as one rectangle when they form an axis-aligned one
  // with affine attributes; `first` and `second` are their provoking vertices. False when they
  // do not (nothing is drawn then). RasterizationTest.RectanglesCoverWhatTheirTwoTrianglesCover.
  bool DrawRectangle(const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c,
                     const ProcessedVertex& d, const ProcessedVertex& first, const ProcessedVertex& second);
  void FinishAndShade(Triangle* t);
  // Points in order; single-pixel untextured ones go through the batch path where it exists.
  void DrawPoints(const ProcessedVertex* vertices, const uint16_t* indices, UINT minIndex, UINT count);
  void DrawPoint(const ProcessedVertex& p);
  // The batch job of a single-pixel point; false when the point is clipped, off the target or
  // cannot pass the depth test.
  bool PointJobOf(const ProcessedVertex& p, PointJob* job);
  void ShadeTriangle(const Triangle& t);
  // The depth bookkeeping of the run of pixels *x0..*x1 on row y whose depth interpolant goes from
  // z0 to z1: false when its depth test cannot pass anywhere on it (the run would change nothing
  // and is dropped); otherwise the run is narrowed to where it may pass, the row's bookkeeping
  // takes in what the run may write, and the memory of its pixels is made to hold their values.
  bool DepthRunMayPass(int y, int* x0, int* x1, int64_t z0, int64_t z1) {
    if (depthRows_ == nullptr) return true;
    uint32_t low, high;
    QuantisedDepthRange(z0 < z1 ? z0 : z1, z0 < z1 ? z1 : z0, &low, &high);
    return DepthValuesMayPass(y, x0, x1, low, high);
  }
  // The stored values of depth interpolants zLow..zHigh.
  void QuantisedDepthRange(int64_t zLow, int64_t zHigh, uint32_t* low, uint32_t* high) const {
    *low = pixel_.depthD16 ? DepthD16(zLow) : DepthD32(zLow);
    *high = pixel_.depthD16 ? DepthD16(zHigh) : DepthD32(zHigh);
  }
  // The same for stored values low..high (already quantised; a primitive's may cover more than
  // the run's, which only keeps more pixels).
  bool DepthValuesMayPass(int y, int* x0, int* x1, uint32_t low, uint32_t high) {
    if (depthRows_ == nullptr) return true;
    if (dropRuns_ && !depthRows_->Narrow(y, pixel_.depthFunc, low, high, x0, x1)) return false;
    if (pixel_.depthWrite) depthRows_->Write(y, *x0, *x1, low, high);
    depthRows_->Touch(y, *x0, *x1);
    return true;
  }
  RunsFunction Kernel(uint32_t key);
  // The span function of a primitive: its key depends on the configuration and on a few bits of
  // the primitive (constant colour and whether it is white, v constant along rows, fog, filter),
  // so the function is remembered per combination of those until the next Configure.
  RunsFunction PrimitiveFunction(const Triangle& t);
  PointFunction PointKernel(uint32_t key);

  VertexProcessor vertices_;
  PixelState pixel_;
  TriangleSetup setup_;
  TargetBinding target_;
  // The depth buffer's rows while the state tests depth, else null. Runs whose test cannot pass
  // are dropped or narrowed unless every pixel goes through the reference path, which thus checks
  // that this changes nothing.
  DepthRows* depthRows_ = nullptr;
  bool dropRuns_ = true;
  TextureBinding texture_;
  Scissor scissor_;
  DWORD cullMode_ = D3DCULL_CCW;
  bool flat_ = false;
  bool pointSprite_ = false;
  float pointMin_ = 0, pointMax_ = 64;
  std::vector<ProcessedVertex> scratch_;
  // The primitive being set up and shaded: kept here, since a fresh one per triangle would be
  // cleared field by field (set-up fills every field a primitive uses).
  Triangle triangle_;

  struct CacheEntry {
    uint32_t key = 0xFFFFFFFF;
    RunsFunction function = nullptr;
  };
  static constexpr int kCacheSize = 32;
  CacheEntry cache_[kCacheSize];
  static constexpr int kVariants = 256;
  RunsFunction variantFunctions_[kVariants];
  bool variantKnown_[kVariants] = {};
  uint32_t pointKey_ = 0xFFFFFFFF;
  PointFunction pointFunction_ = nullptr;
  // Points shaded per batch call.
  static constexpr int kPointBatch = 256;
  PointJob points_[kPointBatch];
  // Runs of a primitive shaded per call.
  static constexpr int kRunBatch = 256;
  Run runs_[kRunBatch];

  bool referencePixels_ = false;
  bool referenceRasterizer_ = false;
  bool wide_ = false;
};

}  // namespace d3d8sw
