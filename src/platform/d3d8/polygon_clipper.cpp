// Polygon clipping for the vertex stage.
#include "polygon_clipper.h"

namespace d3d8sw {

namespace {

// Signed distance to a clip-space plane; inside where >= 0.
float Distance(const ShadedVertex& v, uint32_t plane) {
  switch (plane) {
    case kClipNear: return v.z;
    case kClipFar: return v.w - v.z;
    case kGuardLeft: return v.x + kGuardBand * v.w;
    case kGuardRight: return kGuardBand * v.w - v.x;
    case kGuardBottom: return v.y + kGuardBand * v.w;
    case kGuardTop: return kGuardBand * v.w - v.y;
    case kClipMinW: return v.w - kMinClipW;
    default: return 0.0f;
  }
}

float ScreenDistance(const ShadedVertex& v, uint32_t plane) {
  switch (plane) {
    case kGuardLeft: return v.x + kScreenGuard;
    case kGuardRight: return kScreenGuard - v.x;
    case kGuardBottom: return v.y + kScreenGuard;
    case kGuardTop: return kScreenGuard - v.y;
    default: return 0.0f;
  }
}

ShadedVertex Lerp(const ShadedVertex& a, const ShadedVertex& b, float t) {
  ShadedVertex r;
  r.x = a.x + (b.x - a.x) * t;
  r.y = a.y + (b.y - a.y) * t;
  r.z = a.z + (b.z - a.z) * t;
  r.w = a.w + (b.w - a.w) * t;
  r.r = a.r + (b.r - a.r) * t;
  r.g = a.g + (b.g - a.g) * t;
  r.b = a.b + (b.b - a.b) * t;
  r.a = a.a + (b.a - a.a) * t;
  r.u = a.u + (b.u - a.u) * t;
  r.v = a.v + (b.v - a.v) * t;
  r.fog = a.fog + (b.fog - a.fog) * t;
  return r;
}

// Screen-space interpolation that keeps attribute x rhw linear (w holds rhw).
ShadedVertex LerpScreen(const ShadedVertex& a, const ShadedVertex& b, float t) {
  ShadedVertex r = Lerp(a, b, t);
  if (a.w > 0.0f && b.w > 0.0f && r.w > 0.0f) {
    float ka = a.w * (1.0f - t) / r.w;
    float kb = b.w * t / r.w;
    r.r = a.r * ka + b.r * kb;
    r.g = a.g * ka + b.g * kb;
    r.b = a.b * ka + b.b * kb;
    r.a = a.a * ka + b.a * kb;
    r.u = a.u * ka + b.u * kb;
    r.v = a.v * ka + b.v * kb;
    r.fog = a.fog * ka + b.fog * kb;
  }
  return r;
}

template <typename DistanceFn, typename LerpFn>
int ClipAgainst(ShadedVertex* in, int count, ShadedVertex* out, uint32_t plane, DistanceFn distance, LerpFn lerp) {
  int n = 0;
  for (int i = 0; i < count; ++i) {
    const ShadedVertex& a = in[i];
    const ShadedVertex& b = in[(i + 1) % count];
    float da = distance(a, plane);
    float db = distance(b, plane);
    if (da >= 0.0f) out[n++] = a;
    if ((da >= 0.0f) != (db >= 0.0f) && n < PolygonClipper::kMaxVertices) {
      // Always interpolate from the inside vertex so that shared edges clip identically.
      float t;
      if (da >= 0.0f) {
        t = da / (da - db);
        out[n++] = lerp(a, b, t);
      } else {
        t = db / (db - da);
        out[n++] = lerp(b, a, t);
      }
    }
    if (n >= PolygonClipper::kMaxVertices - 1) break;
  }
  return n;
}

}  // namespace

int PolygonClipper::ClipHomogeneous(const ShadedVertex* in[3], uint32_t planeBits, ShadedVertex out[kMaxVertices]) {
  ShadedVertex buffer[kMaxVertices];
  ShadedVertex* src = out;
  ShadedVertex* dst = buffer;
  for (int i = 0; i < 3; ++i) src[i] = *in[i];
  int count = 3;
  static const uint32_t kOrder[] = {kClipMinW, kClipNear, kClipFar, kGuardLeft, kGuardRight, kGuardBottom, kGuardTop};
  for (uint32_t plane : kOrder) {
    if ((planeBits & plane) == 0) continue;
    count = ClipAgainst(src, count, dst, plane, Distance, Lerp);
    ShadedVertex* t = src;
    src = dst;
    dst = t;
    if (count < 3) return 0;
  }
  if (src != out) {
    for (int i = 0; i < count; ++i) out[i] = src[i];
  }
  return count;
}

int PolygonClipper::ClipScreen(const ShadedVertex* in[3], ShadedVertex out[kMaxVertices]) {
  ShadedVertex buffer[kMaxVertices];
  ShadedVertex* src = out;
  ShadedVertex* dst = buffer;
  for (int i = 0; i < 3; ++i) src[i] = *in[i];
  int count = 3;
  static const uint32_t kOrder[] = {kGuardLeft, kGuardRight, kGuardBottom, kGuardTop};
  for (uint32_t plane : kOrder) {
    count = ClipAgainst(src, count, dst, plane, ScreenDistance, LerpScreen);
    ShadedVertex* t = src;
    src = dst;
    dst = t;
    if (count < 3) return 0;
  }
  if (src != out) {
    for (int i = 0; i < count; ++i) out[i] = src[i];
  }
  return count;
}

}  // namespace d3d8sw
