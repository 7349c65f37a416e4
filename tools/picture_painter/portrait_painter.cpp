// Portrait painter: a head built from height fields and shaded masks, lit like an oil study.
//
// Coordinates run from -1 to +1 across the picture, x to the right and y downwards. The head is a
// height field (an ellipsoid with bumps for brows, nose, cheeks, lips and chin) whose normals take a
// warm key light from the upper left, a cool fill from the right and a cool rim on the shadow side.
// Hair, neck, shoulders and the features are painted as masked layers over it, back to front, and a
// fine stroke texture and a vignette to black finish the picture.
#include "portrait_painter.h"

#include <cmath>

#include "texel_quantiser.h"
#include "value_noise.h"
#include "vec3.h"

namespace painter {

namespace {

constexpr int kSupersample = 4;  // samples per texel along each axis
constexpr float kPi = 3.14159265f;

// Lights (linear light units; directions point from the surface towards the light, z out of the picture).
const Vec3 kKeyDir = Normalize(Vec3(-0.70f, -0.45f, 0.55f));
const Vec3 kKeyColour(1.45f, 1.12f, 0.80f);   // warm lamp
const Vec3 kFillDir = Normalize(Vec3(0.75f, 0.15f, 0.65f));
const Vec3 kFillColour(0.07f, 0.09f, 0.15f);  // cool bounce from the right
const Vec3 kRimColour(0.42f, 0.52f, 0.75f);   // cool back light on the shadow side
const Vec3 kAmbient(0.018f, 0.015f, 0.018f);

// Face outline: an egg whose lower half narrows towards the chin.
constexpr float kFaceCx = 0.0f;
constexpr float kFaceCy = -0.05f;
constexpr float kFaceRx = 0.36f;
constexpr float kFaceRy = 0.54f;
constexpr float kFaceDepth = 0.34f;  // height of the face ellipsoid at its centre

// Skin and feature colours (linear albedo).
const Vec3 kSkin(0.80f, 0.47f, 0.33f);
const Vec3 kLip(0.60f, 0.15f, 0.15f);
const Vec3 kBrow(0.06f, 0.03f, 0.018f);
const Vec3 kHairDark(0.06f, 0.022f, 0.010f);
const Vec3 kHairLight(0.34f, 0.14f, 0.05f);
const Vec3 kCloth(0.015f, 0.04f, 0.10f);
const Vec3 kTrim(0.75f, 0.50f, 0.14f);

// Hair: the crown is an ellipse; strands fan out from the parting point and fall straight lower down.
constexpr float kCrownCx = 0.0f;
constexpr float kCrownCy = -0.22f;
constexpr float kCrownRx = 0.52f;
constexpr float kCrownRy = 0.63f;
constexpr float kPartX = 0.13f;
constexpr float kPartY = -0.80f;

const ValueNoise kStrandNoise(11);
const ValueNoise kWaveNoise(12);
const ValueNoise kBrushNoise(13);
const ValueNoise kIrisNoise(14);
const ValueNoise kClothNoise(15);

struct Layer {
  Vec3 colour;
  float alpha = 0.0f;
};

Vec3 Over(const Vec3& under, const Layer& layer) { return Mix(under, layer.colour, layer.alpha); }

float Gauss(float x, float y, float cx, float cy, float sx, float sy) {
  const float dx = (x - cx) / sx;
  const float dy = (y - cy) / sy;
  return std::exp(-(dx * dx + dy * dy));
}

// Wrapped diffuse: light reaches a little past the terminator, as it does through skin.
float WrapDiffuse(float nDotL, float wrap) { return std::max(0.0f, (nDotL + wrap) / (1.0f + wrap)); }

// ---- Face geometry -------------------------------------------------------------------------------

// Squared normalised radius of (x, y) in the face egg: below 1 inside.
float FaceQ(float x, float y) {
  const float t = (y - kFaceCy) / kFaceRy;
  const float taper = t > 0.0f ? 1.0f - 0.24f * std::pow(t, 1.6f) : 1.0f - 0.05f * t * t;
  const float u = (x - kFaceCx) / (kFaceRx * taper);
  return u * u + t * t;
}

// Half width of the face at height y (0 outside its vertical extent).
float FaceHalfWidth(float y) {
  const float t = (y - kFaceCy) / kFaceRy;
  if (t <= -1.0f || t >= 1.0f) return 0.0f;
  const float taper = t > 0.0f ? 1.0f - 0.24f * std::pow(t, 1.6f) : 1.0f - 0.05f * t * t;
  return kFaceRx * taper * std::sqrt(1.0f - t * t);
}

// Relief added to the face ellipsoid, in the same units as x and y.
float FaceRelief(float x, float y) {
  const float ax = std::fabs(x);
  float h = 0.0f;
  h -= 0.050f * Gauss(ax, y, 0.155f, -0.055f, 0.085f, 0.055f);  // eye sockets
  h += 0.022f * Gauss(ax, y, 0.15f, -0.17f, 0.12f, 0.035f);     // brow ridge
  h += 0.018f * Gauss(x, y, 0.0f, -0.30f, 0.20f, 0.12f);        // forehead
  h += 0.045f * Gauss(x, y, 0.0f, 0.02f, 0.030f, 0.13f);        // nose bridge
  h += 0.050f * Gauss(x, y, 0.0f, 0.135f, 0.045f, 0.035f);      // nose tip
  h += 0.022f * Gauss(ax, y, 0.045f, 0.155f, 0.026f, 0.022f);   // nostril wings
  h -= 0.010f * Gauss(ax, y, 0.075f, 0.10f, 0.03f, 0.06f);      // beside the nose
  h += 0.030f * Gauss(ax, y, 0.20f, 0.05f, 0.08f, 0.07f);       // cheekbones
  h -= 0.010f * Gauss(ax, y, 0.20f, 0.22f, 0.07f, 0.08f);       // hollow under the cheekbones
  h -= 0.008f * Gauss(x, y, 0.0f, 0.215f, 0.012f, 0.03f);       // philtrum
  h += 0.016f * Gauss(x, y, 0.0f, 0.268f, 0.085f, 0.018f);      // upper lip
  h += 0.026f * Gauss(x, y, 0.0f, 0.322f, 0.080f, 0.024f);      // lower lip
  h -= 0.012f * Gauss(ax, y, 0.105f, 0.29f, 0.02f, 0.02f);      // mouth corners
  h -= 0.014f * Gauss(x, y, 0.0f, 0.37f, 0.06f, 0.016f);        // groove under the lip
  h += 0.028f * Gauss(x, y, 0.0f, 0.43f, 0.075f, 0.05f);        // chin
  return h;
}

float FaceHeight(float x, float y) {
  const float q = FaceQ(x, y);
  if (q >= 1.0f) return 0.0f;
  return kFaceDepth * std::sqrt(1.0f - q) + SmoothStep(1.0f, 0.8f, q) * FaceRelief(x, y);
}

Vec3 FaceNormal(float x, float y) {
  constexpr float kEps = 0.003f;
  const float dx = (FaceHeight(x + kEps, y) - FaceHeight(x - kEps, y)) / (2.0f * kEps);
  const float dy = (FaceHeight(x, y + kEps) - FaceHeight(x, y - kEps)) / (2.0f * kEps);
  return Normalize(Vec3(-dx, -dy, 1.0f));
}

// Soft self-shadow of the face: march towards the key light over the height field.
float FaceShadow(float x, float y, float h) {
  float lit = 1.0f;
  const float planar = std::sqrt(kKeyDir.x * kKeyDir.x + kKeyDir.y * kKeyDir.y);
  for (int i = 1; i <= 16; ++i) {
    const float t = 0.006f * static_cast<float>(i);
    const float rayH = h + t * kKeyDir.z / planar;
    const float surface = FaceHeight(x + t * kKeyDir.x / planar, y + t * kKeyDir.y / planar);
    lit = std::min(lit, Clamp01(0.5f + 4.0f * (rayH - surface) / t));
  }
  return lit;
}

// ---- Hair -----------------------------------------------------------------------------------------

// Outer edge of the falling hair on the side of x; the shadow side hangs a little closer to the face.
float CurtainOuter(float x, float y) {
  const float side = x < 0.0f ? 0.0f : 1.0f;
  return 0.49f - 0.03f * side * SmoothStep(0.0f, 0.6f, y) + 0.03f * (kWaveNoise.At(y * 5.0f, side * 7.0f) - 0.5f) + 0.09f * SmoothStep(-0.3f, 0.6f, y) + 0.025f * std::sin(y * 9.0f + 1.0f) +
         0.012f * std::sin(y * 23.0f + 0.4f);
}
float CurtainInner(float y) { return 0.21f + 0.10f * SmoothStep(0.35f, 0.85f, y); }
float HairEnd(float x) { return 0.84f + 0.05f * std::sin(x * 23.0f) + 0.03f * std::sin(x * 51.0f + 2.0f); }

// Signed inside-ness of the whole hair silhouette: positive inside, about the distance to the edge.
float HairInside(float x, float y) {
  const float cx = (x - kCrownCx) / kCrownRx;
  const float cy = (y - kCrownCy) / kCrownRy;
  const float crown = (1.0f - std::sqrt(cx * cx + cy * cy)) * kCrownRx;
  float curtain = -1.0f;
  if (y > -0.35f) {
    const float side = CurtainOuter(x, y) - std::fabs(x);
    const float bottom = HairEnd(x) - y;
    curtain = std::min(side, bottom);
  }
  return std::max(crown, curtain);
}

// Where the hair lies in front of the face and shoulders: the swept fringe, the locks framing the face
// and the curtains falling over the shoulders.
float FrontHairMask(float x, float y) {
  const float hairline = -0.47f + 0.05f * (x / 0.35f) * (x / 0.35f) + 0.24f * SmoothStep(0.12f, -0.34f, x) +
                         0.012f * std::sin(x * 31.0f);
  const float fringe = SmoothStep(0.012f, -0.012f, y - hairline);
  const float inset = 0.055f * SmoothStep(0.35f, -0.25f, y);
  const float faceW = FaceHalfWidth(y);
  const float lockEdge = faceW > 0.0f ? faceW - inset : 0.0f;
  float lock = 0.0f;
  if (y > -0.45f && y < 0.45f) lock = SmoothStep(-0.012f, 0.012f, std::fabs(x) - lockEdge);
  const float curtain = y > 0.3f ? SmoothStep(-0.015f, 0.015f, std::fabs(x) - CurtainInner(y)) : 0.0f;
  return std::max(fringe, std::max(lock, curtain));
}

// Shaded hair colour at (x, y): form light from the hair volume, strand texture and sheen.
Vec3 HairColour(float x, float y) {
  // Normal: crown ellipsoid above, rounded curtains below.
  const float cx = (x - kCrownCx) / kCrownRx;
  const float cy = (y - kCrownCy) / kCrownRy;
  const float cr = std::min(0.98f, cx * cx + cy * cy);
  const Vec3 crownN = Normalize(Vec3(cx / kCrownRx, cy / kCrownRy, std::sqrt(1.0f - cr) * 2.2f));
  const float outer = CurtainOuter(x, y);
  const float inner = std::max(0.16f, CurtainInner(y) - 0.05f);
  const float across = Clamp01((std::fabs(x) - inner) / (outer - inner)) * 2.0f - 1.0f;
  const float sx = x < 0.0f ? -1.0f : 1.0f;
  const Vec3 curtainN = Normalize(Vec3(sx * across * 0.9f, 0.15f, std::sqrt(std::max(0.05f, 1.0f - across * across))));
  const float fall = SmoothStep(-0.05f, 0.35f, y);
  const Vec3 n = Normalize(Mix(crownN, curtainN, fall));

  // Strand coordinate: angle about the parting on the crown, plain x lower down; its level lines are
  // the strands, so they bend smoothly from a fan into falling locks.
  const float angle = std::atan2(x - kPartX, y - kPartY);
  float strand = Mix(angle * 0.55f, x, fall);
  strand += 0.035f * (kWaveNoise.Fractal(x * 3.0f, y * 3.0f, 2) - 0.5f);
  strand += 0.012f * std::sin(y * 14.0f + x * 3.0f) * fall;
  const float along = std::sqrt((x - kPartX) * (x - kPartX) + (y - kPartY) * (y - kPartY));
  const float fine = kStrandNoise.At(strand * 260.0f, along * 6.0f);
  const float clump = kStrandNoise.At(strand * 55.0f + 100.0f, along * 2.0f);
  const float fibre = 0.35f + 0.75f * fine * (0.5f + clump);

  const float key = WrapDiffuse(Dot(n, kKeyDir), 0.15f);
  const float fill = std::max(0.0f, Dot(n, kFillDir));
  const float rim = std::pow(Clamp01(1.0f - n.z), 2.0f) * SmoothStep(-0.1f, 0.5f, n.x);
  // Sheen: a band across the crown and the bends of the locks, broken up by the strands.
  const float band = std::exp(-std::pow((along - 0.36f) / 0.07f, 2.0f)) * (1.0f - fall) +
                     0.6f * fall * std::pow(0.5f + 0.5f * std::sin(y * 8.0f + 2.2f), 6.0f);
  const float sheen = band * key * fine * fine * 1.6f;

  const Vec3 albedo = Mix(kHairDark, kHairLight, Clamp01(0.25f + 0.6f * clump * fine));
  Vec3 c = albedo * fibre * (kKeyColour * key + kFillColour * fill + kAmbient * 4.0f);
  c += Vec3(1.0f, 0.72f, 0.45f) * sheen * 0.55f;
  c += Vec3(0.5f, 0.45f, 0.45f) * kRimColour * std::pow(rim, 2.0f) * fibre * 0.8f;
  return c;
}

Layer HairLayer(float x, float y, float coverage) {
  const float inside = HairInside(x, y);
  if (inside <= -0.03f || coverage <= 0.0f) return {};
  // Ragged edge: strands poke out by up to 0.02 beyond the silhouette.
  const float ragged = inside + 0.02f * (kStrandNoise.At(x * 90.0f, y * 90.0f) - 0.5f);
  const float alpha = SmoothStep(-0.006f, 0.012f, ragged) * coverage;
  if (alpha <= 0.0f) return {};
  return {HairColour(x, y), alpha};
}

// ---- Body -----------------------------------------------------------------------------------------

float NeckHalfWidth(float y) { return 0.165f + 0.05f * SmoothStep(0.55f, 0.80f, y); }

// Lower edge of the jaw at x (y where the face egg ends), for the cast shadow on the neck.
float JawY(float x) {
  float lo = kFaceCy;
  float hi = kFaceCy + kFaceRy;
  if (FaceQ(x, lo) >= 1.0f) return lo;
  for (int i = 0; i < 20; ++i) {
    const float mid = 0.5f * (lo + hi);
    if (FaceQ(x, mid) < 1.0f) lo = mid; else hi = mid;
  }
  return lo;
}

float ShoulderY(float x) {
  const float ax = std::fabs(x);
  const float slope = std::max(0.0f, ax - 0.12f);
  return 0.66f + 0.30f * slope + 0.9f * std::max(0.0f, ax - 0.55f) * std::max(0.0f, ax - 0.55f);
}

Layer NeckLayer(float x, float y) {
  const float w = NeckHalfWidth(y);
  if (y < 0.15f || y > 0.85f) return {};
  // The neck melts into the shoulders and chest below the shoulder line.
  const float alpha = SmoothStep(0.006f, -0.006f, std::fabs(x) - w) * SmoothStep(0.80f, 0.70f, y);
  if (alpha <= 0.0f) return {};
  const float u = Clamp01(std::fabs(x) / w) * (x < 0.0f ? -1.0f : 1.0f);
  const Vec3 n = Normalize(Vec3(u, 0.05f, std::sqrt(std::max(0.02f, 1.0f - u * u))));
  // The jaw throws its shadow down and to the right.
  const float shadowEdge = JawY(x - 0.10f) + 0.11f + 0.10f * x;
  const float lit = SmoothStep(shadowEdge - 0.02f, shadowEdge + 0.04f, y);
  const float key = WrapDiffuse(Dot(n, kKeyDir), 0.2f) * (0.12f + 0.88f * lit);
  const float rim = std::pow(Clamp01(1.0f - n.z), 2.5f) * SmoothStep(0.0f, 0.5f, n.x);
  const Vec3 albedo = kSkin * 0.9f;
  Vec3 c = albedo * (kKeyColour * key + kFillColour * std::max(0.0f, Dot(n, kFillDir)) + kAmbient);
  c += Vec3(0.20f, 0.04f, 0.02f) * albedo.x * key * (1.0f - key);  // warmth where light turns to shadow
  c += kRimColour * rim * 0.35f;
  return {c, alpha};
}

Layer TorsoLayer(float x, float y) {
  const float top = ShoulderY(x);
  const float alpha = SmoothStep(-0.008f, 0.008f, y - top);
  if (alpha <= 0.0f) return {};
  // Shoulders and chest as a broad ellipsoid.
  const float ex = x / 1.0f;
  const float ey = (y - 1.30f) / 0.62f;
  const float r = std::min(0.97f, ex * ex + ey * ey);
  const Vec3 n = Normalize(Vec3(ex * 0.9f, ey * 0.55f, std::sqrt(1.0f - r) + 0.3f));
  const float key = WrapDiffuse(Dot(n, kKeyDir), 0.1f);
  const float fill = std::max(0.0f, Dot(n, kFillDir));
  const float rim = std::pow(Clamp01(1.0f - n.z), 2.5f) * SmoothStep(0.0f, 0.5f, n.x);
  // Neckline: a wide scoop that bares the collarbones.
  const float neckline = 0.80f + 0.20f * (1.0f - (x / 0.40f) * (x / 0.40f));
  const float skin = std::fabs(x) < 0.40f ? SmoothStep(0.006f, -0.006f, y - neckline) : 0.0f;
  const float fade = SmoothStep(1.05f, 0.72f, y);
  const float neckShadow = (1.0f - 0.65f * Gauss(x, y, 0.10f, 0.70f, 0.22f, 0.09f)) * SmoothStep(1.0f, 0.62f, y);

  Vec3 skinC = kSkin * 0.9f * (kKeyColour * key * neckShadow + kFillColour * fill + kAmbient);
  // Collarbones: a light ridge over a soft shadow.
  const float clav = std::fabs(x) > 0.04f && std::fabs(x) < 0.34f ? 1.0f : 0.0f;
  const float clavY = 0.80f + 0.06f * std::fabs(x);
  skinC *= 1.0f + clav * (0.25f * Gauss(0.0f, y, 0.0f, clavY, 1.0f, 0.012f) -
                          0.30f * Gauss(0.0f, y, 0.0f, clavY + 0.03f, 1.0f, 0.02f));

  const float folds = kClothNoise.Fractal(x * 5.0f + y * 1.5f, y * 1.2f, 3);
  Vec3 clothC = kCloth * (0.7f + 0.8f * folds) * (kKeyColour * key + kFillColour * fill * 3.0f + kAmbient * 2.0f);
  clothC += Vec3(0.20f, 0.28f, 0.45f) * std::pow(key, 6.0f) * folds * 0.25f;  // velvet sheen
  // Gold trim along the neckline.
  const float trimD = std::fabs(y - neckline - 0.012f);
  const float trim = std::fabs(x) < 0.42f ? SmoothStep(0.012f, 0.004f, trimD) : 0.0f;
  const Vec3 trimC = kTrim * (kKeyColour * key + kAmbient) * (0.8f + 0.5f * kClothNoise.At(x * 60.0f, y * 10.0f));

  Vec3 c = Mix(clothC, skinC, skin);
  c = Mix(c, trimC, trim * (1.0f - skin));
  c += kRimColour * rim * 0.2f;
  return {c * fade, alpha};
}

// ---- Features --------------------------------------------------------------------------------------

struct EyeSample {
  Layer paint;         // sclera and iris replacing the skin inside the opening
  float lidDark = 0;   // lash line and crease darkening of the skin
  float glint = 0;     // catch light, added on top unshaded
};

EyeSample Eye(float x, float y) {
  EyeSample out;
  const float side = x < 0.0f ? -1.0f : 1.0f;
  const float cx = 0.155f * side;
  const float cy = -0.055f;
  const float hw = 0.092f;
  const float ex = (x - cx) * side;                // positive towards the outer corner
  const float u = ex / hw;
  const float ey = y - cy + 0.010f * u;            // outer corner a little higher
  if (std::fabs(u) > 1.5f || std::fabs(ey) > 0.12f) return out;

  const float uu = std::min(1.0f, u * u);
  const float upper = -0.044f * (1.0f - uu) * (1.0f - 0.22f * u);
  const float lower = 0.026f * (1.0f - uu) * (1.0f + 0.25f * u);
  const float open = std::fabs(u) < 1.0f ? SmoothStep(-0.003f, 0.003f, ey - upper) * SmoothStep(0.003f, -0.003f, ey - lower) : 0.0f;

  // Lash line along the upper lid, heavier and flicked up at the outer corner.
  const float lashW = 0.010f + 0.006f * Clamp01(u);
  float lash = 0.0f;
  if (std::fabs(u) < 1.0f) lash = SmoothStep(lashW, 0.0f, std::fabs(ey - upper + 0.003f)) * (0.6f + 0.4f * Clamp01(u + 0.5f));
  if (u >= 0.85f && u < 1.35f) {
    const float flickY = -0.006f - 0.030f * (u - 0.85f);
    lash = std::max(lash, SmoothStep(0.008f, 0.0f, std::fabs(ey - flickY)) * SmoothStep(1.35f, 1.0f, u));
  }
  // Crease of the lid and a soft shadow under the lower lid.
  const float crease = std::fabs(u) < 1.1f ? SmoothStep(0.008f, 0.0f, std::fabs(ey - (upper * 1.15f - 0.028f))) * 0.35f : 0.0f;
  const float under = std::fabs(u) < 1.0f ? Gauss(0.0f, ey, 0.0f, lower + 0.02f, 1.0f, 0.012f) * 0.15f * (1.0f - uu) : 0.0f;
  out.lidDark = std::max(lash * 0.9f, std::max(crease, under));

  if (open <= 0.0f) return out;

  // Sclera, shaded by the lid above and darker into the corners.
  const float lidShade = 0.45f + 0.55f * SmoothStep(upper, upper + 0.028f, ey);
  Vec3 c = Vec3(0.62f, 0.55f, 0.50f) * lidShade * (1.0f - 0.55f * uu * uu);

  // Iris and pupil, looking a touch towards the light.
  const float ix = ex + 0.006f * side;
  const float iy = ey + 0.004f;
  const float ir = 0.039f;
  const float r = std::sqrt(ix * ix + iy * iy) / ir;
  if (r < 1.05f) {
    const float a = std::atan2(iy, ix * side);
    const float fibres = 0.7f + 0.6f * kIrisNoise.At(a * 9.0f, r * 2.0f);
    Vec3 iris = Mix(Vec3(0.30f, 0.22f, 0.06f), Vec3(0.07f, 0.16f, 0.10f), SmoothStep(0.3f, 0.75f, r)) * fibres;
    iris *= 1.0f + 0.8f * SmoothStep(-0.2f, 0.9f, iy / ir);  // light gathers opposite the catch light
    iris *= SmoothStep(1.0f, 0.78f, r) * 0.8f + 0.2f;         // dark limbal ring
    iris *= lidShade;
    const float pupil = SmoothStep(0.40f, 0.32f, r);
    iris = Mix(iris, Vec3(0.006f), pupil);
    c = Mix(c, iris, SmoothStep(1.05f, 0.95f, r));
  }
  out.paint = {c, open};
  // Catch light up and to the left of the pupil, the window of the key light.
  const float gx = ix + 0.011f;
  const float gy = iy + 0.013f;
  out.glint = open * std::exp(-(gx * gx + gy * gy) / (0.0065f * 0.0065f)) * 1.4f;
  return out;
}

// Eyebrow coverage at (x, y).
float Brow(float x, float y) {
  const float side = x < 0.0f ? -1.0f : 1.0f;
  const float ex = x * side;
  const float t = (ex - 0.05f) / 0.23f;
  if (t < -0.1f || t > 1.1f) return 0.0f;
  const float tc = Clamp01(t);
  const float centre = -0.150f - 0.042f * std::sin(tc * kPi * 0.85f) + 0.012f * tc;
  const float thick = 0.017f * (1.0f - 0.55f * tc) + 0.004f;
  const float d = std::fabs(y - centre);
  const float body = SmoothStep(thick, thick * 0.4f, d) * SmoothStep(-0.1f, 0.08f, t) * SmoothStep(1.1f, 0.85f, t);
  const float hairs = 0.55f + 0.45f * kStrandNoise.At(t * 40.0f, (y - centre) * 400.0f);
  return body * hairs * 0.9f;
}

struct MouthSample {
  float lip = 0;   // lip colour coverage
  float line = 0;  // darkness of the parting line
};

MouthSample Mouth(float x, float y) {
  MouthSample out;
  constexpr float kHalfW = 0.112f;
  const float u = x / kHalfW;
  if (std::fabs(u) > 1.2f) return out;
  const float uu = std::min(1.0f, u * u);
  const float lineY = 0.292f - 0.010f * uu;  // corners lift into a faint smile
  const float upperT = 0.034f * std::pow(1.0f - uu, 0.6f) *
                       (1.0f + 0.18f * std::exp(-std::pow((std::fabs(u) - 0.28f) / 0.14f, 2.0f)) -
                        0.22f * std::exp(-(u * u) / 0.01f));
  const float lowerT = 0.050f * std::pow(1.0f - uu, 0.55f);
  const float d = y - lineY;
  const float upper = SmoothStep(0.004f, -0.002f, -d - upperT) * (d < 0.0f ? 1.0f : 0.0f);
  const float lower = SmoothStep(0.005f, -0.002f, d - lowerT) * (d >= 0.0f ? 1.0f : 0.0f);
  out.lip = std::fabs(u) < 1.0f ? std::max(upper, lower) : 0.0f;
  const float corner = SmoothStep(1.2f, 0.9f, std::fabs(u));
  out.line = SmoothStep(0.0055f, 0.0f, std::fabs(d)) * corner * (0.55f + 0.45f * uu);
  return out;
}

Layer FaceLayer(float x, float y) {
  const float q = FaceQ(x, y);
  if (q >= 1.02f) return {};
  const float alpha = SmoothStep(1.015f, 0.985f, q);
  if (alpha <= 0.0f) return {};

  const float h = FaceHeight(x, y);
  const Vec3 n = FaceNormal(x, y);
  const float shadow = FaceShadow(x, y, h);
  // Fringe and locks shade the skin just beneath them.
  const float hairline = -0.47f + 0.05f * (x / 0.35f) * (x / 0.35f) + 0.24f * SmoothStep(0.12f, -0.34f, x);
  const float hairShade = 0.35f + 0.65f * SmoothStep(0.0f, 0.08f, y - hairline);

  // Albedo with the warm flush of cheeks, nose and lips, lighter forehead.
  Vec3 albedo = kSkin;
  const float ax = std::fabs(x);
  albedo += Vec3(0.10f, -0.05f, -0.04f) * Gauss(ax, y, 0.20f, 0.12f, 0.09f, 0.07f);
  albedo += Vec3(0.06f, -0.03f, -0.02f) * Gauss(x, y, 0.0f, 0.13f, 0.04f, 0.03f);
  albedo += Vec3(0.04f, 0.04f, 0.03f) * Gauss(x, y, 0.0f, -0.32f, 0.2f, 0.1f);
  albedo += Vec3(-0.12f, -0.10f, -0.04f) * Gauss(ax, y, 0.16f, 0.0f, 0.07f, 0.02f);  // under the eyes

  const MouthSample mouth = Mouth(x, y);
  albedo = Mix(albedo, kLip, mouth.lip);
  const float brow = Brow(x, y);
  albedo = Mix(albedo, kBrow, brow);
  // Nostrils.
  const float nostril = std::max(Gauss(x, y, -0.036f, 0.160f, 0.015f, 0.008f), Gauss(x, y, 0.036f, 0.160f, 0.015f, 0.008f));
  albedo *= 1.0f - 0.8f * nostril;
  albedo *= 1.0f - 0.85f * mouth.line;

  const EyeSample eye = Eye(x, y);
  albedo *= 1.0f - eye.lidDark;

  const float nDotL = Dot(n, kKeyDir);
  const float key = WrapDiffuse(nDotL, 0.25f) * (0.45f + 0.55f * shadow) * hairShade;
  const float fill = std::max(0.0f, Dot(n, kFillDir));
  const float rim = std::pow(Clamp01(1.0f - n.z), 2.5f) * SmoothStep(-0.05f, 0.5f, n.x);
  const Vec3 half = Normalize(kKeyDir + Vec3(0.0f, 0.0f, 1.0f));
  const float oil = 0.18f + 0.35f * mouth.lip + 0.15f * Gauss(x, y, 0.0f, 0.13f, 0.04f, 0.04f);
  const float highlight = std::pow(std::max(0.0f, Dot(n, half)), 36.0f) * oil * shadow * hairShade;

  Vec3 light = kKeyColour * key + kFillColour * fill + kAmbient;
  Vec3 c = albedo * light;
  // Light scattering under the skin warms the turn from light to shadow.
  c += Vec3(0.22f, 0.045f, 0.02f) * key * (1.0f - key) * 1.2f;
  c += kKeyColour * highlight;
  c += kRimColour * rim * 0.45f * (1.0f - brow);

  if (eye.paint.alpha > 0.0f) {
    const Vec3 eyeN = Normalize(Mix(n, Vec3(0.0f, 0.0f, 1.0f), 0.6f));
    const float eyeKey = WrapDiffuse(Dot(eyeN, kKeyDir), 0.3f) * (0.35f + 0.65f * shadow);
    const Vec3 eyeC = eye.paint.colour * (kKeyColour * eyeKey + kFillColour + kAmbient * 4.0f);
    c = Mix(c, eyeC, eye.paint.alpha);
  }
  c += Vec3(1.0f, 0.95f, 0.9f) * eye.glint;
  return {c, alpha};
}

// ---- Picture --------------------------------------------------------------------------------------

Vec3 ToneMap(const Vec3& c) {
  auto knee = [](float v) { return v < 0.75f ? v : 0.75f + 0.25f * (1.0f - std::exp(-(v - 0.75f) / 0.25f)); };
  return {knee(c.x), knee(c.y), knee(c.z)};
}

Vec3 PortraitSample(float x, float y) {
  // A faint warm glow behind the head, gone well before the edges.
  const float gx = x + 0.25f;
  const float gy = y + 0.15f;
  // Scumbled ground: loose dark strokes in the glow, as a painter blocks in the background.
  const float ground = kBrushNoise.Fractal((x * 0.5f - y * 0.87f) * 6.0f, (x * 0.87f + y * 0.5f) * 2.0f, 3);
  Vec3 c = Vec3(0.045f, 0.024f, 0.011f) * std::exp(-(gx * gx + gy * gy) / 0.22f) * (0.3f + 1.4f * ground * ground);

  const float hairInside = HairInside(x, y);
  // The mass behind the neck and face lies in deep shadow.
  if (hairInside > -0.03f) {
    Layer back = HairLayer(x, y, 1.0f);
    const float deep = SmoothStep(0.06f, -0.04f, std::fabs(x) - CurtainInner(y)) * SmoothStep(0.0f, 0.3f, y);
    back.colour *= 1.0f - 0.75f * deep;
    c = Over(c, back);
  }
  c = Over(c, TorsoLayer(x, y));
  c = Over(c, NeckLayer(x, y));
  if (y > 0.25f && hairInside > -0.03f) c = Over(c, HairLayer(x, y, SmoothStep(-0.015f, 0.015f, std::fabs(x) - CurtainInner(y))));
  c = Over(c, FaceLayer(x, y));
  if (hairInside > -0.03f && y < 0.45f) c = Over(c, HairLayer(x, y, FrontHairMask(x, y)));

  // Brush texture: two sets of short strokes at different slants modulate the paint a little.
  const float s1 = kBrushNoise.Fractal((x * 0.80f + y * 0.60f) * 45.0f, (-x * 0.60f + y * 0.80f) * 11.0f, 2);
  const float s2 = kBrushNoise.Fractal((x * 0.34f - y * 0.94f) * 40.0f + 50.0f, (x * 0.94f + y * 0.34f) * 10.0f, 2);
  const float s3 = kBrushNoise.Fractal(x * 9.0f + 200.0f, y * 9.0f, 2) - 0.5f;
  const float stroke = 0.86f + 0.18f * s1 + 0.10f * s2;
  c = c * Vec3(stroke * (1.0f + 0.10f * s3), stroke, stroke * (1.0f - 0.12f * s3));

  // Vignette: everything sinks to black before the tile edge.
  const float edge = std::max(std::fabs(x), std::fabs(y));
  c *= SmoothStep(0.955f, 0.83f, edge);
  return ToneMap(c);
}

}  // namespace

LinearImage PaintPortraitLinear() {
  LinearImage image(kPortraitSize, kPortraitSize);
  image.PaintSupersampled(kSupersample, PortraitSample);
  image.ClearBorder(1);
  return image;
}

std::vector<uint8_t> PaintPortrait() { return QuantiseR5G6B5(PaintPortraitLinear()); }

}  // namespace painter
