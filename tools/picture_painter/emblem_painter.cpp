// Emblem painter: a gold sun disc struck in relief, shaded as polished metal.
//
// The medallion is a height field: a rounded rim, a ring of beads, a brushed field with sixteen
// faceted rays (straight long ones, wavy short ones), a raised ring and a domed boss carrying a
// bevelled five-pointed star. Its normals reflect a studio environment (a big soft lamp to the upper
// left, a dim one to the right, dark below), tinted by gold, plus a sharp highlight.
#include "emblem_painter.h"

#include <cmath>

#include "texel_quantiser.h"
#include "value_noise.h"
#include "vec3.h"

namespace painter {

namespace {

constexpr int kSupersample = 4;  // samples per texel along each axis
constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.2831853f;

// Radii of the rings, from the outside in (1.0 = half the picture).
constexpr float kRimOuter = 0.86f;
constexpr float kRimInner = 0.745f;
constexpr float kBeadRing = 0.715f;
constexpr float kBeadRadius = 0.024f;
constexpr int kBeadCount = 32;
constexpr float kFieldOuter = 0.69f;
constexpr float kRingOuter = 0.315f;
constexpr float kRingInner = 0.265f;
constexpr float kStarRadius = 0.215f;
constexpr int kRayCount = 16;  // alternately long and short

const Vec3 kGold(1.00f, 0.78f, 0.16f);        // reflectance of polished gold (linear)
const Vec3 kDeepGold(0.85f, 0.52f, 0.06f);    // recesses, where light bounces between gold walls
const Vec3 kLampDir = Normalize(Vec3(-0.55f, -0.60f, 0.58f));
const Vec3 kSideLampDir = Normalize(Vec3(0.80f, -0.10f, 0.60f));

const ValueNoise kBrushing(21);

// Signed distance to a five-pointed star pointing up (negative inside); inner radius ratio `inner`.
float StarDistance(float x, float y, float radius, float inner) {
  // Fold the plane into one arm's wedge, then measure to that arm's edge (y up inside the fold).
  float px = std::fabs(x);
  float py = -y;
  const float k1x = 0.809016994f;
  const float k1y = -0.587785252f;
  const float k2x = -k1x;
  const float k2y = k1y;
  float d = std::max(k1x * px + k1y * py, 0.0f);
  px -= 2.0f * d * k1x;
  py -= 2.0f * d * k1y;
  d = std::max(k2x * px + k2y * py, 0.0f);
  px -= 2.0f * d * k2x;
  py -= 2.0f * d * k2y;
  px = std::fabs(px);
  py -= radius;
  const float bax = inner * -k1y;
  const float bay = inner * k1x - 1.0f;
  const float h = Clamp01((px * bax + py * bay) / (bax * bax + bay * bay) / radius) * radius;
  const float dx = px - bax * h;
  const float dy = py - bay * h;
  const float dist = std::sqrt(dx * dx + dy * dy);
  return (py * bax - px * bay) > 0.0f ? dist : -dist;
}

// Height of the raised rays at polar (r, theta measured clockwise from straight up).
float RayHeight(float r, float theta) {
  float best = 0.0f;
  for (int k = 0; k < kRayCount; ++k) {
    const bool longRay = (k % 2) == 0;
    const float tip = longRay ? 0.675f : 0.565f;
    const float base = kRingInner;
    if (r < base || r > tip) continue;
    const float along = (r - base) / (tip - base);
    float centre = static_cast<float>(k) * kTwoPi / static_cast<float>(kRayCount);
    // Short rays bend like flames.
    if (!longRay) centre += 0.035f * std::sin(along * 6.0f) * along;
    float dt = theta - centre;
    dt -= kTwoPi * std::floor((dt + kPi) / kTwoPi);
    const float halfAngle = (longRay ? 0.23f : 0.17f) * (1.0f - along) + 0.006f;
    const float across = std::fabs(dt) / halfAngle;
    if (across >= 1.0f) continue;
    // A sharp ridge along the ray's middle: two flat facets that catch the light differently.
    const float ridge = (longRay ? 0.060f : 0.045f) * (1.0f - across) * (0.45f + 0.55f * (1.0f - along));
    best = std::max(best, ridge);
  }
  return best;
}

float EmblemHeight(float x, float y) {
  const float r = std::sqrt(x * x + y * y);
  if (r >= kRimOuter) return 0.0f;
  const float theta = std::atan2(x, -y);
  float h = 0.02f;  // the field plane
  // Rim: a rounded band.
  if (r > kRimInner) {
    const float t = (r - kRimInner) / (kRimOuter - kRimInner) * 2.0f - 1.0f;
    h = 0.02f + 0.07f * std::sqrt(std::max(0.0f, 1.0f - t * t));
  } else if (r > kFieldOuter) {
    // Channel holding the beads.
    h = 0.008f;
    const float step = kTwoPi / static_cast<float>(kBeadCount);
    float a = theta - step * std::floor(theta / step + 0.5f);
    const float bx = std::sin(a) * r;
    const float by = std::cos(a) * r - kBeadRing;
    const float d2 = (bx * bx + by * by) / (kBeadRadius * kBeadRadius);
    if (d2 < 1.0f) h = std::max(h, 0.008f + 0.030f * std::sqrt(1.0f - d2));
  } else if (r > kRingOuter) {
    h = 0.02f + RayHeight(r, theta);
  } else if (r > kRingInner) {
    const float t = (r - kRingInner) / (kRingOuter - kRingInner) * 2.0f - 1.0f;
    h = 0.035f + 0.045f * std::sqrt(std::max(0.0f, 1.0f - t * t));
  } else {
    // Boss: a low dome with the bevelled star standing on it.
    const float dome = 0.035f + 0.05f * std::sqrt(std::max(0.0f, 1.0f - (r / kRingInner) * (r / kRingInner)));
    const float star = StarDistance(x, y, kStarRadius, 0.42f);
    h = dome + (star < 0.0f ? std::min(-star * 1.1f, 0.09f) : 0.0f);
  }
  return h;
}

Vec3 Environment(const Vec3& dir) {
  // Studio: a big soft lamp up-left, a smaller one to the right, a warm floor glow, dark elsewhere.
  float e = 0.10f + 0.45f * std::pow(std::max(0.0f, dir.z), 3.0f);
  e += 2.2f * std::pow(std::max(0.0f, Dot(dir, kLampDir)), 10.0f);
  e += 0.6f * std::pow(std::max(0.0f, Dot(dir, kSideLampDir)), 6.0f);
  e += 0.25f * SmoothStep(0.1f, -0.6f, dir.y);  // the upper half is brighter than the lower
  return Vec3(e);
}

Vec3 EmblemSample(float x, float y) {
  const float r = std::sqrt(x * x + y * y);
  // Warm halo just outside the rim.
  Vec3 c;
  if (r > kRimOuter - 0.01f) {
    const float halo = std::exp(-(r - kRimOuter) / 0.025f) * SmoothStep(0.97f, 0.88f, r);
    c = Vec3(0.22f, 0.14f, 0.01f) * halo;
  }
  if (r < kRimOuter + 0.004f) {
    constexpr float kEps = 0.0025f;
    const float h = EmblemHeight(x, y);
    const float dx = (EmblemHeight(x + kEps, y) - EmblemHeight(x - kEps, y)) / (2.0f * kEps);
    const float dy = (EmblemHeight(x, y + kEps) - EmblemHeight(x, y - kEps)) / (2.0f * kEps);
    // Field brushing: fine radial lines that break the reflections of the flat plane.
    const bool field = r > kRingOuter && r < kFieldOuter && h < 0.0201f;
    float bx = 0.0f;
    float by = 0.0f;
    if (field) {
      const float theta = std::atan2(x, -y);
      const float line = kBrushing.At(theta * 120.0f, r * 3.0f) - 0.5f;
      bx = 0.35f * line * std::cos(theta);
      by = 0.35f * line * std::sin(theta);
    }
    const Vec3 n = Normalize(Vec3(-dx + bx, -dy + by, 1.0f));

    // Occlusion: nearby higher relief shades the low places.
    float occluded = 0.0f;
    for (int k = 0; k < 8; ++k) {
      const float a = static_cast<float>(k) * kTwoPi / 8.0f;
      const float ox = 0.035f * std::cos(a);
      const float oy = 0.035f * std::sin(a);
      occluded += std::max(0.0f, EmblemHeight(x + ox, y + oy) - h);
    }
    const float ao = Clamp01(1.0f - occluded * 2.2f);

    const Vec3 view(0.0f, 0.0f, 1.0f);
    const Vec3 reflected = Reflect(view * -1.0f, n);
    const Vec3 tint = field ? kDeepGold * 0.62f : kGold;
    Vec3 metal = tint * Environment(reflected) * (0.35f + 0.65f * ao);
    metal += tint * 0.28f * std::max(0.0f, Dot(n, kLampDir)) * ao;
    // Sharp glints of the lamp, nearly white on gold.
    const Vec3 half = Normalize(kLampDir + view);
    metal += Vec3(1.0f, 0.92f, 0.70f) * std::pow(std::max(0.0f, Dot(n, half)), 90.0f) * 1.4f * ao;
    const float cover = SmoothStep(kRimOuter + 0.004f, kRimOuter - 0.004f, r);
    c = Mix(c, metal, cover);
  }
  c *= SmoothStep(0.985f, 0.93f, std::max(std::fabs(x), std::fabs(y)));
  auto knee = [](float v) { return v < 0.8f ? v : 0.8f + 0.2f * (1.0f - std::exp(-(v - 0.8f) / 0.2f)); };
  return {knee(c.x), knee(c.y), knee(c.z)};
}

}  // namespace

LinearImage PaintEmblemLinear() {
  LinearImage image(kEmblemSize, kEmblemSize);
  image.PaintSupersampled(kSupersample, EmblemSample);
  image.ClearBorder(1);
  return image;
}

std::vector<uint8_t> PaintEmblem() { return QuantiseR5G6B5(PaintEmblemLinear()); }

}  // namespace painter
