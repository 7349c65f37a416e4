// Primitive assembly and the path from set-up primitives to pixels.
#include "draw_pipeline.h"

#include <algorithm>
#include <cmath>

#include "colour_math.h"
#include "pixel_reference.h"
#include "polygon_clipper.h"
#include "rasterizer.h"
#include "wide_vectors.h"

namespace d3d8sw {

namespace {

// Vertices the scratch starts with: the largest draws of the show fit without growing.
constexpr size_t kInitialScratch = 16384;

int64_t SnapPoint(double v) {
  double s = v * kSubPixelOne;
  return static_cast<int64_t>(s >= 0 ? s + 0.5 : s - 0.5);
}

// ceil(a / 256) for 24.8 values.
int64_t CeilPixel(int64_t a) { return (a + kSubPixelOne - 1) >> kSubPixelBits; }

}  // namespace

DrawPipeline::DrawPipeline() {
  scratch_.resize(kInitialScratch);
  SetWideVectors(true);
}

void DrawPipeline::SetWideVectors(bool on) {
#if defined(D3D8SW_WIDE_VECTORS)
  wide_ = on && HaveAvx2();
#else
  (void)on;  // a build without the AVX2 paths
  wide_ = false;
#endif
}

bool DrawPipeline::Configure(const DeviceState& state, const VertexFormat& format, D3DPRIMITIVETYPE type,
                             const TargetBinding& target, const TextureBinding* texture, float maxPointSize) {
  target_ = target;
  bool pointList = type == D3DPT_POINTLIST;
  if (!vertices_.Prepare(state, format, pointList)) return false;
  if (!pixel_.Configure(state, texture != nullptr, target.kind, target.depth != nullptr, target.depthD16)) {
    return false;
  }
  texture_ = texture != nullptr ? *texture : TextureBinding();
  for (bool& known : variantKnown_) known = false;
  pixel_.colour = target.colour;
  pixel_.colourPitch = target.colourPitch;
  pixel_.depth = pixel_.depthTest ? target.depth : nullptr;
  pixel_.depthPitch = target.depthPitch;
  depthRows_ = pixel_.depth != nullptr ? target.depthRows : nullptr;
  dropRuns_ = !referencePixels_;
  pixel_.wide = wide_;

  const D3DVIEWPORT8& vp = state.viewport;
  scissor_.x0 = static_cast<int>(std::min<DWORD>(vp.X, static_cast<DWORD>(target.width)));
  scissor_.y0 = static_cast<int>(std::min<DWORD>(vp.Y, static_cast<DWORD>(target.height)));
  scissor_.x1 = static_cast<int>(std::min<uint64_t>(uint64_t{vp.X} + vp.Width, static_cast<uint64_t>(target.width)));
  scissor_.y1 = static_cast<int>(std::min<uint64_t>(uint64_t{vp.Y} + vp.Height, static_cast<uint64_t>(target.height)));

  uint32_t needs = 0;
  if (pixel_.diffuseUsed) needs |= kNeedColour;
  if (pixel_.textureUsed) needs |= kNeedTexture;
  if (pixel_.depthTest) needs |= kNeedDepth;
  if (pixel_.fog) needs |= kNeedFog;
  // The reference path evaluates every attribute, whether or not the state reads it.
  setup_.SetNeeds(referencePixels_ ? kNeedAll : needs);
  cullMode_ = state.renderStates[D3DRS_CULLMODE];
  if (cullMode_ < D3DCULL_NONE || cullMode_ > D3DCULL_CCW) return false;
  flat_ = pixel_.flatShading;
  pointSprite_ = state.renderStates[D3DRS_POINTSPRITEENABLE] != 0;
  pointMin_ = std::max(0.0f, state.Float(D3DRS_POINTSIZE_MIN));
  pointMax_ = std::min(state.Float(D3DRS_POINTSIZE_MAX), maxPointSize);
  if (!(pointMax_ >= 0.0f)) pointMax_ = 0.0f;
  return true;
}

void DrawPipeline::ProcessVertices(const uint8_t* vertices, UINT stride, UINT count) {
  if (scratch_.size() < count) scratch_.resize(count);
  vertices_.Process(vertices, stride, count, scratch_.data());
}

void DrawPipeline::DrawVertices(D3DPRIMITIVETYPE type, const uint8_t* vertices, UINT stride, UINT vertexCount,
                                UINT primitiveCount) {
  if (type == D3DPT_POINTLIST) {
    // Points need no neighbours: process them a cache-sized chunk at a time.
    constexpr UINT kChunk = 256;
    for (UINT first = 0; first < primitiveCount; first += kChunk) {
      UINT n = std::min(kChunk, primitiveCount - first);
      ProcessVertices(vertices + static_cast<size_t>(first) * stride, stride, n);
      DrawPoints(scratch_.data(), nullptr, 0, n);
    }
    return;
  }
  ProcessVertices(vertices, stride, vertexCount);
  const ProcessedVertex* v = scratch_.data();
  if (type == D3DPT_POINTLIST) {
    DrawPoints(v, nullptr, 0, primitiveCount);
  } else if (type == D3DPT_TRIANGLELIST) {
    for (UINT p = 0; p < primitiveCount; ++p) DrawTriangle(v[3 * p], v[3 * p + 1], v[3 * p + 2], v[3 * p]);
  } else {
    // Every odd strip triangle is taken as (v1, v3, v2) so that all keep one winding.
    for (UINT p = 0; p < primitiveCount; ++p) {
      if ((p & 1) == 0) {
        if (p + 1 < primitiveCount && DrawRectangle(v[p], v[p + 1], v[p + 2], v[p + 3], v[p], v[p + 1])) {
          ++p;
          continue;
        }
        DrawTriangle(v[p], v[p + 1], v[p + 2], v[p]);
      } else {
        DrawTriangle(v[p], v[p + 2], v[p + 1], v[p]);
      }
    }
  }
}

void DrawPipeline::DrawIndexed(D3DPRIMITIVETYPE type, const uint8_t* vertices, UINT stride, UINT vertexCount,
                               const uint16_t* indices, UINT minIndex, UINT primitiveCount) {
  ProcessVertices(vertices, stride, vertexCount);
  const ProcessedVertex* v = scratch_.data();
  auto at = [&](UINT i) -> const ProcessedVertex& { return v[indices[i] - minIndex]; };
  if (type == D3DPT_POINTLIST) {
    DrawPoints(v, indices, minIndex, primitiveCount);
  } else if (type == D3DPT_TRIANGLELIST) {
    for (UINT p = 0; p < primitiveCount; ++p) {
      const uint16_t* i = indices + 3 * p;
      // A quad as (a, b, c), (c, b, d): one rectangle when it is an axis-aligned one.
      if (p + 1 < primitiveCount && i[3] == i[2] && i[4] == i[1] &&
          DrawRectangle(at(3 * p), at(3 * p + 1), at(3 * p + 2), at(3 * p + 5), at(3 * p), at(3 * p + 3))) {
        ++p;
        continue;
      }
      DrawTriangle(at(3 * p), at(3 * p + 1), at(3 * p + 2), at(3 * p));
    }
  } else {
    for (UINT p = 0; p < primitiveCount; ++p) {
      if ((p & 1) == 0) {
        if (p + 1 < primitiveCount && DrawRectangle(at(p), at(p + 1), at(p + 2), at(p + 3), at(p), at(p + 1))) {
          ++p;
          continue;
        }
        DrawTriangle(at(p), at(p + 1), at(p + 2), at(p));
      } else {
        DrawTriangle(at(p), at(p + 2), at(p + 1), at(p));
      }
    }
  }
}

void DrawPipeline::DrawTriangle(const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c,
                                const ProcessedVertex& provoking) {
  uint32_t any = a.clipBits | b.clipBits | c.clipBits;
  if (any & kClipInvalid) return;
  uint32_t all = a.clipBits & b.clipBits & c.clipBits;
  if (all & (kFrustumBits | kGuardLeft | kGuardRight | kGuardBottom | kGuardTop)) return;
  bool pretransformed = vertices_.pretransformed();
  // Flat shading colours the whole triangle by its first vertex.
  float flat[4];
  const float* flatColour = nullptr;
  if (flat_) {
    const ShadedVertex& p = pretransformed ? provoking.screen : provoking.clip;
    flat[0] = p.r;
    flat[1] = p.g;
    flat[2] = p.b;
    flat[3] = p.a;
    flatColour = flat;
  }
  if ((any & kClipPlaneBits) == 0) {
    DrawScreenTriangle(&a.screen, &b.screen, &c.screen, flatColour);
    return;
  }
  ShadedVertex polygon[PolygonClipper::kMaxVertices];
  int count;
  if (pretransformed) {
    const ShadedVertex* in[3] = {&a.screen, &b.screen, &c.screen};
    count = PolygonClipper::ClipScreen(in, polygon);
  } else {
    const ShadedVertex* in[3] = {&a.clip, &b.clip, &c.clip};
    count = PolygonClipper::ClipHomogeneous(in, any & kClipPlaneBits, polygon);
    for (int i = 0; i < count; ++i) {
      ShadedVertex clip = polygon[i];
      vertices_.Project(clip, &polygon[i]);
    }
  }
  for (int i = 1; i + 1 < count; ++i) DrawScreenTriangle(&polygon[0], &polygon[i], &polygon[i + 1], flatColour);
}

bool DrawPipeline::DrawRectangle(const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c,
                                 const ProcessedVertex& d, const ProcessedVertex& first,
                                 const ProcessedVertex& second) {
  if ((a.clipBits | b.clipBits | c.clipBits | d.clipBits) != 0) return false;
  const ShadedVertex& A = a.screen;
  const ShadedVertex& B = b.screen;
  const ShadedVertex& C = c.screen;
  const ShadedVertex& D = d.screen;
  if (A.y != B.y || C.y != D.y || A.x != C.x || B.x != D.x) return false;
  // The fourth corner must carry what the plane of the other three gives it.
  auto affine = [](float pa, float pb, float pc, float pd) {
    return static_cast<double>(pa) + pd == static_cast<double>(pb) + pc;
  };
  if (!affine(A.z, B.z, C.z, D.z) || !affine(A.w, B.w, C.w, D.w) || !affine(A.u, B.u, C.u, D.u) ||
      !affine(A.v, B.v, C.v, D.v) || !affine(A.fog, B.fog, C.fog, D.fog)) {
    return false;
  }
  float flat[4];
  const float* flatColour = nullptr;
  if (flat_) {
    const ShadedVertex& p = first.screen;
    const ShadedVertex& q = second.screen;
    if (p.r != q.r || p.g != q.g || p.b != q.b || p.a != q.a) return false;
    flat[0] = p.r;
    flat[1] = p.g;
    flat[2] = p.b;
    flat[3] = p.a;
    flatColour = flat;
  } else if (!affine(A.r, B.r, C.r, D.r) || !affine(A.g, B.g, C.g, D.g) || !affine(A.b, B.b, C.b, D.b) ||
             !affine(A.a, B.a, C.a, D.a)) {
    return false;
  }
  if (setup_.BeginRectangle(&A, &B, &C, scissor_, cullMode_, flatColour, &triangle_)) FinishAndShade(&triangle_);
  return true;
}

void DrawPipeline::DrawScreenTriangle(const ShadedVertex* a, const ShadedVertex* b, const ShadedVertex* c,
                                      const float* flatColour) {
  if (!setup_.Begin(a, b, c, scissor_, cullMode_, flatColour, &triangle_)) return;
  FinishAndShade(&triangle_);
}

void DrawPipeline::FinishAndShade(Triangle* triangle) {
  Triangle& t = *triangle;
  int texWidth = 0;
  int texHeight = 0;
  if (pixel_.textureUsed) {
    const TextureLevelView& top = texture_.levels[0];
    float footprint = 0.0f;
    if (pixel_.FootprintMatters(texture_.levelCount)) footprint = setup_.TexelFootprint(top.width, top.height);
    int level = pixel_.ChooseLevel(texture_.levelCount, footprint);
    // Magnification while one pixel step covers at most one texel of level 0.
    pixel_.SetTexture(texture_.levels[level], footprint > 1.0f);
    texWidth = texture_.levels[level].width;
    texHeight = texture_.levels[level].height;
  }
  setup_.FinishPlanes(texWidth, texHeight, &t);
  ShadeTriangle(t);
}

void DrawPipeline::ShadeTriangle(const Triangle& t) {
  const PixelState& s = pixel_;
  uint32_t* colour = s.colour;
  const int pitch = s.colourPitch;
  uint8_t* depth = static_cast<uint8_t*>(s.depth);
  const size_t depthRow = static_cast<size_t>(s.depthPitch) * (s.depthD16 ? 2 : 4);
  const size_t depthBytes = s.depthD16 ? 2 : 4;

  // The runs are gathered and shaded a batch at a time, so that a path sets up once for many.
  RunsFunction fn = PrimitiveFunction(t);
  const Interpolants& p = t.planes;
  // The stored values the primitive may test and write: depth is affine over the bounding box,
  // so its extremes there are at the corners.
  uint32_t depthLow = 0, depthHigh = 0;
  if (depthRows_ != nullptr) {
    const int x0 = t.minX - p.refX, x1 = t.maxX - p.refX, y0 = t.minY - p.refY, y1 = t.maxY - p.refY;
    const int64_t corners[4] = {p.z.At(x0, y0), p.z.At(x1, y0), p.z.At(x0, y1), p.z.At(x1, y1)};
    QuantisedDepthRange(*std::min_element(corners, corners + 4), *std::max_element(corners, corners + 4),
                        &depthLow, &depthHigh);
  }
  int pending = 0;
  auto add = [&](int y, int x0, int x1) {
    if (!DepthValuesMayPass(y, &x0, &x1, depthLow, depthHigh)) return;
    const int dx = x0 - p.refX;
    const int dy = y - p.refY;
    Run& run = runs_[pending];
    run.colour = colour + static_cast<size_t>(y) * pitch + x0;
    run.depth = depth != nullptr ? depth + y * depthRow + x0 * depthBytes : nullptr;
    run.dx = dx;
    run.dy = dy;
    run.count = x1 - x0 + 1;
    // The runs are shaded once the batch is full or the primitive done: ask for their memory now.
    __builtin_prefetch(run.colour);
    if (run.depth != nullptr) __builtin_prefetch(run.depth);
    if (++pending == kRunBatch) {
      fn(s, p, runs_, pending);
      pending = 0;
    }
  };
  if (t.rectangle) {
    // Every row is the same run.
    for (int y = t.minY; y <= t.maxY; ++y) add(y, t.minX, t.maxX);
  } else if (referenceRasterizer_) {
    Rasterizer::WalkReference(t, add);
  } else {
    Rasterizer::Walk(t, add);
  }
  if (pending > 0) fn(s, p, runs_, pending);
}

RunsFunction DrawPipeline::PrimitiveFunction(const Triangle& t) {
  const PixelState& s = pixel_;
  if (referencePixels_ || (s.textureUsed && !s.addressFast)) return &PixelReference::ShadeRuns;
  uint32_t variant = (t.constColour ? 1u : 0u) | ((t.constDiffuse & 0x00FFFFFF) == 0x00FFFFFF ? 2u : 0u) |
                     ((t.constDiffuse >> 24) == 0xFF ? 4u : 0u) | (t.vConstRow ? 8u : 0u) |
                     (t.fogActive ? 16u : 0u) | (static_cast<uint32_t>(s.filter) << 5) |
                     (t.planes.perspective ? 128u : 0u);
  if (!variantKnown_[variant]) {
    RunsFunction fn =
        Kernel(s.PrimitiveKey(t.constColour, t.constDiffuse, t.vConstRow, t.fogActive, t.planes.perspective));
    variantFunctions_[variant] = fn != nullptr ? fn : &PixelReference::ShadeRuns;
    variantKnown_[variant] = true;
  }
  return variantFunctions_[variant];
}

RunsFunction DrawPipeline::Kernel(uint32_t key) {
  CacheEntry& e = cache_[(key ^ (key >> 7) ^ (key >> 15)) & (kCacheSize - 1)];
  if (e.key != key) {
    e.key = key;
    e.function = SpanKernels::FindRuns(key);
  }
  return e.function;
}

PointFunction DrawPipeline::PointKernel(uint32_t key) {
  if (key != pointKey_) {
    pointKey_ = key;
    pointFunction_ = SpanKernels::FindPoints(key);
  }
  return pointFunction_;
}

void DrawPipeline::DrawPoints(const ProcessedVertex* v, const uint16_t* indices, UINT minIndex, UINT count) {
  PointFunction batch = nullptr;
  if (!referencePixels_ && !pixel_.textureUsed) {
    // Each point has its own colour: the key must not be reduced by one (colour 0 reduces nothing).
    batch = PointKernel(pixel_.PrimitiveKey(true, 0, true, pixel_.fog));
  }
  int pending = 0;
  for (UINT i = 0; i < count; ++i) {
    const ProcessedVertex& p = indices != nullptr ? v[indices[i] - minIndex] : v[i];
    if (batch != nullptr && std::clamp(p.pointSize, pointMin_, pointMax_) == 1.0f) {
      if (!PointJobOf(p, &points_[pending])) continue;
      if (++pending == kPointBatch) {
        batch(pixel_, points_, pending);
        pending = 0;
      }
      continue;
    }
    // Keep the drawing order: what is batched so far goes first.
    if (pending > 0) batch(pixel_, points_, pending);
    pending = 0;
    DrawPoint(p);
  }
  if (pending > 0) batch(pixel_, points_, pending);
}

bool DrawPipeline::PointJobOf(const ProcessedVertex& p, PointJob* job) {
  if (p.clipBits & (kClipInvalid | kClipPlaneBits)) return false;
  const ShadedVertex& v = p.screen;
  // A one-pixel square from x - 0.5 to x + 0.5 holds the centre ceil(x - 0.5), as DrawPoint finds.
  int64_t x = CeilPixel(SnapPoint(v.x) - kSubPixelOne / 2);
  int64_t y = CeilPixel(SnapPoint(v.y) - kSubPixelOne / 2);
  if (x < scissor_.x0 || x >= scissor_.x1 || y < scissor_.y0 || y >= scissor_.y1) return false;
  job->colourIndex = static_cast<uint32_t>(y * pixel_.colourPitch + x);
  job->depthIndex = static_cast<uint32_t>(y * pixel_.depthPitch + x);
  job->colour = p.diffuse;
  if (pixel_.depthTest) {
    int64_t z = RoundToFixed(std::clamp(static_cast<double>(v.z), -64.0, 64.0) * double(kDepthOne));
    job->z = pixel_.depthD16 ? DepthD16(z) : DepthD32(z);
    int x0 = static_cast<int>(x), x1 = static_cast<int>(x);
    if (!DepthValuesMayPass(static_cast<int>(y), &x0, &x1, job->z, job->z)) return false;
  }
  if (pixel_.fog) job->fog = ClampFog(RoundToFixed(static_cast<double>(v.fog) * kFogOne));
  return true;
}

void DrawPipeline::DrawPoint(const ProcessedVertex& p) {
  if (p.clipBits & (kClipInvalid | kClipPlaneBits)) return;
  const ShadedVertex& v = p.screen;
  float size = std::clamp(p.pointSize, pointMin_, pointMax_);
  if (!(size > 0.0f)) return;
  // The point is the screen square from x - size/2 to x + size/2 (same in y), filled with the
  // triangle rules: centres on its left and top edges are in, on its right and bottom edges out.
  int64_t half = SnapPoint(size * 0.5);
  int64_t x = SnapPoint(v.x);
  int64_t y = SnapPoint(v.y);
  int64_t x0 = std::max<int64_t>(CeilPixel(x - half), scissor_.x0);
  int64_t x1 = std::min<int64_t>(CeilPixel(x + half) - 1, scissor_.x1 - 1);
  int64_t y0 = std::max<int64_t>(CeilPixel(y - half), scissor_.y0);
  int64_t y1 = std::min<int64_t>(CeilPixel(y + half) - 1, scissor_.y1 - 1);
  if (x0 > x1 || y0 > y1) return;

  // A point has one colour, depth and fog factor; only sprite texture coordinates vary.
  constexpr double kColour = double(int64_t{1} << kColourFractionBits);
  constexpr double kTexel = double(int64_t{1} << kTexelFractionBits);
  SpanJob job;
  job.count = static_cast<int>(x1 - x0 + 1);
  job.r = RoundToFixed(v.r * kColour);
  job.g = RoundToFixed(v.g * kColour);
  job.b = RoundToFixed(v.b * kColour);
  job.a = RoundToFixed(v.a * kColour);
  job.dr = job.dg = job.db = job.da = 0;
  job.z = RoundToFixed(std::clamp(static_cast<double>(v.z), -64.0, 64.0) * double(kDepthOne));
  job.dz = 0;
  job.fog = RoundToFixed(static_cast<double>(v.fog) * kFogOne);
  job.dfog = 0;
  job.u = job.v = job.du = job.dv = 0;
  int64_t vStep = 0;
  if (pixel_.textureUsed) {
    const TextureLevelView& top = texture_.levels[0];
    float footprint = pointSprite_ ? static_cast<float>(std::max(top.width, top.height)) / size : 0.0f;
    int level = pixel_.ChooseLevel(texture_.levelCount, footprint);
    pixel_.SetTexture(texture_.levels[level], footprint > 1.0f);
    double w = texture_.levels[level].width;
    double h = texture_.levels[level].height;
    if (pointSprite_) {
      // Sprite coordinates run from (0, 0) at the top-left corner to (1, 1) at the bottom-right.
      double left = static_cast<double>(x - half) / kSubPixelOne;
      double top0 = static_cast<double>(y - half) / kSubPixelOne;
      double extent = static_cast<double>(2 * half) / kSubPixelOne;
      job.u = RoundToFixed((x0 - left) / extent * w * kTexel);
      job.du = RoundToFixed(w / extent * kTexel);
      job.v = RoundToFixed((y0 - top0) / extent * h * kTexel);
      vStep = RoundToFixed(h / extent * kTexel);
    } else {
      job.u = RoundToFixed(v.u * w * kTexel);
      job.v = RoundToFixed(v.v * h * kTexel);
    }
  }

  const PixelState& s = pixel_;
  auto byte = [](float c) { return static_cast<uint32_t>(std::clamp(c, 0.0f, 255.0f) + 0.5f); };
  uint32_t diffuse = (byte(v.a) << 24) | (byte(v.r) << 16) | (byte(v.g) << 8) | byte(v.b);
  RunsFunction fn = nullptr;
  if (!referencePixels_ && (!s.textureUsed || s.addressFast)) {
    fn = Kernel(s.PrimitiveKey(true, diffuse, true, v.fog < 1.0f));
  }
  if (fn == nullptr) fn = &PixelReference::ShadeRuns;
  // The sprite's planes from its top-left pixel: u steps along the rows, v down them.
  job.colour = nullptr;
  job.depth = nullptr;
  Run first;
  Interpolants planes = Interpolants::OfJob(job, &first);
  planes.v.gy = vStep;
  uint32_t* colour = s.colour + static_cast<size_t>(y0) * s.colourPitch + x0;
  const size_t depthBytes = s.depthD16 ? 2 : 4;
  uint8_t* depth = s.depth != nullptr
                       ? static_cast<uint8_t*>(s.depth) + (static_cast<size_t>(y0) * s.depthPitch + x0) * depthBytes
                       : nullptr;
  int pending = 0;
  for (int64_t row = y0; row <= y1; ++row) {
    int from = static_cast<int>(x0), to = static_cast<int>(x1);
    if (DepthRunMayPass(static_cast<int>(row), &from, &to, job.z, job.z)) {
      const int skipped = from - static_cast<int>(x0);
      runs_[pending] = Run{colour + skipped, depth != nullptr ? depth + skipped * depthBytes : nullptr, skipped,
                           static_cast<int>(row - y0), to - from + 1};
      if (++pending == kRunBatch) {
        fn(s, planes, runs_, pending);
        pending = 0;
      }
    }
    colour += s.colourPitch;
    if (depth != nullptr) depth += s.depthPitch * depthBytes;
  }
  if (pending > 0) fn(s, planes, runs_, pending);
}

}  // namespace d3d8sw
