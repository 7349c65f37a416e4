// Triangle setup: snapping, culling, edge functions with the top-left rule, attribute planes.
#include "triangle_setup.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "d3d8types.h"

namespace d3d8sw {

namespace {


// Screen coordinates stay within a few times 2^14 pixels (guard band), so in 24.8 they need at
// most 23 bits: the float arithmetic below is exact.
int64_t Snap(float coordinate) {
  float v = coordinate * static_cast<float>(kSubPixelOne);
  return static_cast<int64_t>(v >= 0.0f ? v + 0.5f : v - 0.5f);
}

// Depth values far outside 0..1 only matter through their order; bounding them keeps the
// 40-fraction-bit depth planes in range.
double BoundedDepth(float z) { return std::clamp(static_cast<double>(z), -64.0, 64.0); }

constexpr double kColourScale = double(int64_t{1} << kColourFractionBits);
constexpr double kTexelScale = double(int64_t{1} << kTexelFractionBits);
constexpr double kDepthScale = double(kDepthOne);
constexpr double kFogScale = double(kFogOne);

}  // namespace

bool TriangleSetup::Begin(const ShadedVertex* v0, const ShadedVertex* v1, const ShadedVertex* v2,
                          const Scissor& scissor, uint32_t cullMode, const float* flatColour, Triangle* out) {
  // A triangle wholly beyond one side of the scissor covers none of its pixels: most such leave
  // here, before their corners are snapped (screen-space strips reach far above and below the
  // target). The margin of a pixel covers the snapping and the fill rules.
  const float top = static_cast<float>(scissor.y0 - 1), bottom = static_cast<float>(scissor.y1 + 1);
  const float left = static_cast<float>(scissor.x0 - 1), right = static_cast<float>(scissor.x1 + 1);
  if ((v0->y < top && v1->y < top && v2->y < top) || (v0->y > bottom && v1->y > bottom && v2->y > bottom) ||
      (v0->x < left && v1->x < left && v2->x < left) || (v0->x > right && v1->x > right && v2->x > right)) {
    return false;
  }
  int64_t xf[3] = {Snap(v0->x), Snap(v1->x), Snap(v2->x)};
  int64_t yf[3] = {Snap(v0->y), Snap(v1->y), Snap(v2->y)};
  // Twice the signed area; positive is clockwise on screen (y points down).
  int64_t area = (xf[1] - xf[0]) * (yf[2] - yf[0]) - (xf[2] - xf[0]) * (yf[1] - yf[0]);
  if (area == 0) return false;
  if (cullMode == D3DCULL_CCW && area < 0) return false;
  if (cullMode == D3DCULL_CW && area > 0) return false;
  v_[0] = v0;
  v_[1] = v1;
  v_[2] = v2;
  if (area < 0) {
    std::swap(xf[1], xf[2]);
    std::swap(yf[1], yf[2]);
    std::swap(v_[1], v_[2]);
  }

  int64_t minXf = std::min({xf[0], xf[1], xf[2]});
  int64_t maxXf = std::max({xf[0], xf[1], xf[2]});
  int64_t minYf = std::min({yf[0], yf[1], yf[2]});
  int64_t maxYf = std::max({yf[0], yf[1], yf[2]});
  int64_t minX = std::max<int64_t>((minXf + kSubPixelOne - 1) >> kSubPixelBits, scissor.x0);
  int64_t maxX = std::min<int64_t>(maxXf >> kSubPixelBits, scissor.x1 - 1);
  int64_t minY = std::max<int64_t>((minYf + kSubPixelOne - 1) >> kSubPixelBits, scissor.y0);
  int64_t maxY = std::min<int64_t>(maxYf >> kSubPixelBits, scissor.y1 - 1);
  if (minX > maxX || minY > maxY) return false;
  out->minX = static_cast<int>(minX);
  out->maxX = static_cast<int>(maxX);
  out->minY = static_cast<int>(minY);
  out->maxY = static_cast<int>(maxY);
  out->rectangle = false;

  for (int k = 0; k < 3; ++k) {
    int a = k;
    int b = k == 2 ? 0 : k + 1;
    int64_t ea = yf[a] - yf[b];
    int64_t eb = xf[b] - xf[a];
    EdgeFunction& e = out->edges[k];
    e.a = ea * kSubPixelOne;
    e.b = eb * kSubPixelOne;
    e.c = (yf[b] - yf[a]) * xf[a] - (xf[b] - xf[a]) * yf[a];
    // Top-left rule for a clockwise triangle: a left edge runs upwards (a > 0), a top edge is
    // horizontal and runs rightwards with the triangle below it.
    bool topLeft = ea > 0 || (ea == 0 && eb > 0);
    e.bias = topLeft ? 0 : -1;
  }

  for (int i = 0; i < 3; ++i) {
    x_[i] = static_cast<double>(xf[i]) / kSubPixelOne;
    y_[i] = static_cast<double>(yf[i]) / kSubPixelOne;
  }
  // The colours only when the pixels read them (else the planes are not made).
  if (needs_ & kNeedColour) {
    for (int i = 0; i < 3; ++i) {
      const float* c = flatColour;
      float own[4] = {v_[i]->r, v_[i]->g, v_[i]->b, v_[i]->a};
      if (c == nullptr) c = own;
      for (int ch = 0; ch < 4; ++ch) colour_[i][ch] = c[ch];
    }
  }
  // Twice the area in square pixels from x_ and y_ is exact in double (their differences have at
  // most 25 bits, 8 of them fraction), and is the integer area over 2^16 once the order is
  // clockwise: its reciprocal is this one division, rounded the same.
  invArea_ = static_cast<double>(kSubPixelOne * kSubPixelOne) / static_cast<double>(area < 0 ? -area : area);
  refX_ = out->minX;
  refY_ = out->minY;

  // An attribute nobody reads counts as constant.
  bool colourVaries = false;
  if (needs_ & kNeedColour) {
    for (int ch = 0; ch < 4; ++ch) {
      if (colour_[0][ch] != colour_[1][ch] || colour_[0][ch] != colour_[2][ch]) colourVaries = true;
    }
  }
  out->constColour = !colourVaries;
  out->constDiffuse = 0xFFFFFFFF;
  if (needs_ & kNeedColour) {
    auto byte = [](float c) { return static_cast<uint32_t>(std::clamp(c, 0.0f, 255.0f) + 0.5f); };
    out->constDiffuse = (byte(colour_[0][3]) << 24) | (byte(colour_[0][0]) << 16) | (byte(colour_[0][1]) << 8) |
                        byte(colour_[0][2]);
  }
  out->fogActive = v_[0]->fog < 1.0f || v_[1]->fog < 1.0f || v_[2]->fog < 1.0f;
  if (needs_ & kNeedTexture) {
    u_ = Plane(v_[0]->u, v_[1]->u, v_[2]->u);
    v_grad_ = Plane(v_[0]->v, v_[1]->v, v_[2]->v);
  } else {
    u_ = v_grad_ = Gradient();
  }
  bool fogVaries = (needs_ & kNeedFog) && !(v_[0]->fog == v_[1]->fog && v_[0]->fog == v_[2]->fog);
  float w0 = v_[0]->w, w1 = v_[1]->w, w2 = v_[2]->w;
  perspective_ = false;
  if (!(w0 == w1 && w0 == w2) && (colourVaries || u_.varies || v_grad_.varies || fogVaries)) {
    perspective_ = w0 > 0 && w1 > 0 && w2 > 0 && std::isfinite(w0) && std::isfinite(w1) && std::isfinite(w2);
  }
  return true;
}

bool TriangleSetup::BeginRectangle(const ShadedVertex* a, const ShadedVertex* b, const ShadedVertex* c,
                                   const Scissor& scissor, uint32_t cullMode, const float* flatColour, Triangle* out) {
  if (!Begin(a, b, c, scissor, cullMode, flatColour, out)) return false;
  int64_t x0 = Snap(std::min(a->x, b->x));
  int64_t x1 = Snap(std::max(a->x, b->x));
  int64_t y0 = Snap(std::min(a->y, c->y));
  int64_t y1 = Snap(std::max(a->y, c->y));
  int64_t minX = std::max<int64_t>((x0 + kSubPixelOne - 1) >> kSubPixelBits, scissor.x0);
  int64_t maxX = std::min<int64_t>(((x1 + kSubPixelOne - 1) >> kSubPixelBits) - 1, scissor.x1 - 1);
  int64_t minY = std::max<int64_t>((y0 + kSubPixelOne - 1) >> kSubPixelBits, scissor.y0);
  int64_t maxY = std::min<int64_t>(((y1 + kSubPixelOne - 1) >> kSubPixelBits) - 1, scissor.y1 - 1);
  if (minX > maxX || minY > maxY) return false;
  // The planes stay referred to the triangle's first pixel, which is the rectangle's.
  out->minX = static_cast<int>(minX);
  out->maxX = static_cast<int>(maxX);
  out->minY = static_cast<int>(minY);
  out->maxY = static_cast<int>(maxY);
  for (EdgeFunction& e : out->edges) e = EdgeFunction();
  out->rectangle = true;
  return true;
}

TriangleSetup::Gradient TriangleSetup::Plane(double a0, double a1, double a2) const {
  Gradient g;
  g.v0 = a0;
  g.varies = !(a0 == a1 && a0 == a2);
  if (g.varies) {
    double d1 = a1 - a0;
    double d2 = a2 - a0;
    g.dx = (d1 * (y_[2] - y_[0]) - d2 * (y_[1] - y_[0])) * invArea_;
    g.dy = (d2 * (x_[1] - x_[0]) - d1 * (x_[2] - x_[0])) * invArea_;
  }
  return g;
}

void TriangleSetup::Fix(const Gradient& g, double scale, FixedPlane* out) const {
  if (!g.varies) {
    // A constant attribute has exactly zero gradients: every pixel gets the vertex value.
    out->base = RoundClamped(g.v0 * scale, Interpolants::kBaseLimit);
    out->gx = out->gy = 0;
    return;
  }
  double at = g.v0 + g.dx * (refX_ - x_[0]) + g.dy * (refY_ - y_[0]);
  out->base = RoundClamped(at * scale, Interpolants::kBaseLimit);
  out->gx = RoundClamped(g.dx * scale, Interpolants::kGradientLimit);
  out->gy = RoundClamped(g.dy * scale, Interpolants::kGradientLimit);
}

void TriangleSetup::FloatPlaneOf(double a0, double a1, double a2, FloatPlane* out) const {
  Gradient g = Plane(a0, a1, a2);
  out->dx = g.dx;
  out->dy = g.dy;
  out->at0 = g.v0 + g.dx * (refX_ - x_[0]) + g.dy * (refY_ - y_[0]);
}

#if defined(__SSE2__)
namespace {

// Two planes' values at (refX, refY), from their values at vertex 0, their gradients and the
// offset of (refX, refY) from vertex 0, added as FloatPlaneOf and Fix add them.
__m128d AtReference(__m128d v0, __m128d dx, __m128d dy, double offsetX, double offsetY) {
  return _mm_add_pd(_mm_add_pd(v0, _mm_mul_pd(dx, _mm_set1_pd(offsetX))), _mm_mul_pd(dy, _mm_set1_pd(offsetY)));
}

// Fix's roundings of two planes (lane 0 for A) from their values at (refX, refY) and gradients.
void RoundPlanePair(__m128d at, __m128d dx, __m128d dy, __m128d scale, FixedPlane* outA, FixedPlane* outB) {
  int64_t base[2], gx[2], gy[2];
  StoreInt64Pair(RoundedPair(_mm_mul_pd(at, scale), Interpolants::kBaseLimit), base);
  StoreInt64Pair(RoundedPair(_mm_mul_pd(dx, scale), Interpolants::kGradientLimit), gx);
  StoreInt64Pair(RoundedPair(_mm_mul_pd(dy, scale), Interpolants::kGradientLimit), gy);
  *outA = FixedPlane{base[0], gx[0], gy[0]};
  *outB = FixedPlane{base[1], gx[1], gy[1]};
}

}  // namespace

// The pair forms work lane by lane as Plane, Fix and FloatPlaneOf do, operation for operation. An
// attribute that does not vary gets gradients of zero from the differences of zero (Plane leaves
// them zero), and its value plus those zeros is its value again (or 0 for -0, which rounds alike).
void TriangleSetup::FloatPlanePair(const double a[3], const double b[3], FloatPlane* outA, FloatPlane* outB) const {
  const __m128d v0 = _mm_setr_pd(a[0], b[0]);
  const __m128d d1 = _mm_sub_pd(_mm_setr_pd(a[1], b[1]), v0);
  const __m128d d2 = _mm_sub_pd(_mm_setr_pd(a[2], b[2]), v0);
  const __m128d inverse = _mm_set1_pd(invArea_);
  const __m128d dx = _mm_mul_pd(_mm_sub_pd(_mm_mul_pd(d1, _mm_set1_pd(y_[2] - y_[0])),
                                           _mm_mul_pd(d2, _mm_set1_pd(y_[1] - y_[0]))),
                                inverse);
  const __m128d dy = _mm_mul_pd(_mm_sub_pd(_mm_mul_pd(d2, _mm_set1_pd(x_[1] - x_[0])),
                                           _mm_mul_pd(d1, _mm_set1_pd(x_[2] - x_[0]))),
                                inverse);
  const __m128d at = AtReference(v0, dx, dy, refX_ - x_[0], refY_ - y_[0]);
  outA->dx = _mm_cvtsd_f64(dx);
  outB->dx = _mm_cvtsd_f64(_mm_unpackhi_pd(dx, dx));
  outA->dy = _mm_cvtsd_f64(dy);
  outB->dy = _mm_cvtsd_f64(_mm_unpackhi_pd(dy, dy));
  outA->at0 = _mm_cvtsd_f64(at);
  outB->at0 = _mm_cvtsd_f64(_mm_unpackhi_pd(at, at));
}

// Fix's roundings of both planes: at (refX, refY), and the gradients.
void TriangleSetup::FixPair(const double a[3], const double b[3], double scaleA, double scaleB, FixedPlane* outA,
                            FixedPlane* outB) const {
  FloatPlane planeA, planeB;
  FloatPlanePair(a, b, &planeA, &planeB);
  RoundPlanePair(_mm_setr_pd(planeA.at0, planeB.at0), _mm_setr_pd(planeA.dx, planeB.dx),
                 _mm_setr_pd(planeA.dy, planeB.dy), _mm_setr_pd(scaleA, scaleB), outA, outB);
}

// As Fix of each: a gradient that does not vary has gradients of zero (Plane leaves them so),
// which leave its value as it is (or 0 for -0, which rounds alike).
void TriangleSetup::FixGradientPair(const Gradient& a, const Gradient& b, double scaleA, double scaleB,
                                    FixedPlane* outA, FixedPlane* outB) const {
  const __m128d dx = _mm_setr_pd(a.dx, b.dx), dy = _mm_setr_pd(a.dy, b.dy);
  const __m128d at = AtReference(_mm_setr_pd(a.v0, b.v0), dx, dy, refX_ - x_[0], refY_ - y_[0]);
  RoundPlanePair(at, dx, dy, _mm_setr_pd(scaleA, scaleB), outA, outB);
}
#else
void TriangleSetup::FixPair(const double a[3], const double b[3], double scaleA, double scaleB, FixedPlane* outA,
                            FixedPlane* outB) const {
  Fix(Plane(a[0], a[1], a[2]), scaleA, outA);
  Fix(Plane(b[0], b[1], b[2]), scaleB, outB);
}

void TriangleSetup::FloatPlanePair(const double a[3], const double b[3], FloatPlane* outA, FloatPlane* outB) const {
  FloatPlaneOf(a[0], a[1], a[2], outA);
  FloatPlaneOf(b[0], b[1], b[2], outB);
}

void TriangleSetup::FixGradientPair(const Gradient& a, const Gradient& b, double scaleA, double scaleB,
                                    FixedPlane* outA, FixedPlane* outB) const {
  Fix(a, scaleA, outA);
  Fix(b, scaleB, outB);
}
#endif

float TriangleSetup::TexelFootprint(int width, int height) const {
  double ux = u_.dx * width, vx = v_grad_.dx * height;
  double uy = u_.dy * width, vy = v_grad_.dy * height;
  return static_cast<float>(std::sqrt(std::max(ux * ux + vx * vx, uy * uy + vy * vy)));
}

void TriangleSetup::FinishPlanes(int texWidth, int texHeight, Triangle* out) const {
  Interpolants& p = out->planes;
  p.refX = refX_;
  p.refY = refY_;
  // Attributes go in pairs where they can (the pair forms give each what the single ones would).
  auto column = [&](int channel, double values[3]) {
    for (int i = 0; i < 3; ++i) values[i] = colour_[i][channel];
  };
  if (!(needs_ & kNeedColour)) {
    p.r = p.g = p.b = p.a = FixedPlane();
  } else if (out->constColour) {
    auto constant = [](double value, FixedPlane* plane) {
      plane->base = RoundClamped(value * kColourScale, Interpolants::kBaseLimit);
      plane->gx = plane->gy = 0;
    };
    constant(colour_[0][0], &p.r);
    constant(colour_[0][1], &p.g);
    constant(colour_[0][2], &p.b);
    constant(colour_[0][3], &p.a);
  } else {
    double r[3], g[3], b[3], a[3];
    column(0, r);
    column(1, g);
    column(2, b);
    column(3, a);
    FixPair(r, g, kColourScale, kColourScale, &p.r, &p.g);
    FixPair(b, a, kColourScale, kColourScale, &p.b, &p.a);
  }
  FixGradientPair(u_, v_grad_, kTexelScale * texWidth, kTexelScale * texHeight, &p.u, &p.v);
  const bool depthRead = (needs_ & kNeedDepth) != 0, fogRead = (needs_ & kNeedFog) != 0;
  if (depthRead && fogRead) {
    const double depth[3] = {BoundedDepth(v_[0]->z), BoundedDepth(v_[1]->z), BoundedDepth(v_[2]->z)};
    const double fog[3] = {v_[0]->fog, v_[1]->fog, v_[2]->fog};
    FixPair(depth, fog, kDepthScale, kFogScale, &p.z, &p.fog);
  } else if (depthRead) {
    Fix(Plane(BoundedDepth(v_[0]->z), BoundedDepth(v_[1]->z), BoundedDepth(v_[2]->z)), kDepthScale, &p.z);
  } else if (fogRead) {
    Fix(Plane(v_[0]->fog, v_[1]->fog, v_[2]->fog), kFogScale, &p.fog);
  }
  if (!depthRead) p.z = FixedPlane();
  if (!fogRead) {
    p.fog = FixedPlane();
    p.fog.base = kFogOne;
  }

  p.perspective = perspective_;
  p.perspectiveMask = 0;
  if (perspective_) {
    double q[3] = {v_[0]->w, v_[1]->w, v_[2]->w};
    FloatPlaneOf(q[0], q[1], q[2], &p.q);
    if (!out->constColour) {
      p.perspectiveMask |= 1;
      double qc[4][3];
      for (int ch = 0; ch < 4; ++ch) {
        for (int i = 0; i < 3; ++i) qc[ch][i] = colour_[i][ch] * q[i];
      }
      FloatPlanePair(qc[0], qc[1], &p.qr, &p.qg);
      FloatPlanePair(qc[2], qc[3], &p.qb, &p.qa);
    }
    if (u_.varies) {
      p.perspectiveMask |= 2;
      FloatPlaneOf(v_[0]->u * q[0], v_[1]->u * q[1], v_[2]->u * q[2], &p.qu);
    }
    if (v_grad_.varies) {
      p.perspectiveMask |= 4;
      FloatPlaneOf(v_[0]->v * q[0], v_[1]->v * q[1], v_[2]->v * q[2], &p.qv);
    }
    if ((needs_ & kNeedFog) && !(v_[0]->fog == v_[1]->fog && v_[0]->fog == v_[2]->fog)) {
      p.perspectiveMask |= 8;
      FloatPlaneOf(v_[0]->fog * q[0], v_[1]->fog * q[1], v_[2]->fog * q[2], &p.qfog);
    }
    p.uScale = texWidth;
    p.vScale = texHeight;
  }
  out->vConstRow = p.v.gx == 0 && (p.perspectiveMask & 4) == 0;
}

}  // namespace d3d8sw
