// Sprite ball painter: a sphere lit from the upper left, with a rim glint and glassy inner glow.
#include "sprite_ball_painter.h"

#include <cmath>

#include "linear_image.h"
#include "texel_quantiser.h"
#include "vec3.h"

namespace painter {

// The outline is fixed by the effect: the alpha test keeps exactly these texels.
const std::array<SpriteRowSpan, kSpriteBallSize> kSpriteBallOutline = {{
    {5, 10}, {3, 12}, {2, 13}, {1, 14}, {1, 14}, {0, 15}, {0, 15}, {0, 15},
    {0, 15}, {0, 15}, {0, 15}, {1, 14}, {1, 14}, {2, 13}, {3, 12}, {5, 10},
}};

namespace {

constexpr int kSupersample = 4;  // samples per texel along each axis

const Vec3 kLightDir = Normalize(Vec3(-0.55f, -0.65f, 0.52f));  // upper left, in front
const Vec3 kLit(0.30f, 0.62f, 1.00f);                            // light blue where the light falls
const Vec3 kShade(0.015f, 0.05f, 0.22f);                         // deep blue on the far side

// x, y from -1 to +1 across the sprite; the ball fills the whole square.
Vec3 BallSample(float x, float y) {
  // Samples just outside the circle belong to edge texels that the outline keeps: treat them as the
  // silhouette so the corner texels get rim colour rather than nothing.
  float r2 = x * x + y * y;
  float sx = x;
  float sy = y;
  if (r2 > 0.995f) {
    const float s = std::sqrt(0.995f / r2);
    sx *= s;
    sy *= s;
    r2 = 0.995f;
  }
  const Vec3 n(sx, sy, std::sqrt(1.0f - r2));
  const float diffuse = std::max(0.0f, (Dot(n, kLightDir) + 0.1f) / 1.1f);
  Vec3 c = Mix(kShade, kLit, diffuse);
  // Light passing through the glass gathers on the side away from the light.
  const Vec3 through = Normalize(Vec3(0.55f, 0.6f, 0.6f));
  c += Vec3(0.02f, 0.12f, 0.30f) * std::pow(std::max(0.0f, Dot(n, through)), 4.0f);
  // Bright rim along the upper-left edge.
  const float edge = std::pow(1.0f - n.z, 2.0f);
  const float towards = std::max(0.0f, (-sx - sy) * 0.7071f / std::max(0.05f, std::sqrt(r2)));
  c += Vec3(0.70f, 0.92f, 1.0f) * edge * towards * 1.8f;
  // Window highlight.
  const Vec3 half = Normalize(kLightDir + Vec3(0.0f, 0.0f, 1.0f));
  c += Vec3(1.0f) * std::pow(std::max(0.0f, Dot(n, half)), 30.0f) * 1.2f;
  return c;
}

}  // namespace

std::vector<uint8_t> PaintSpriteBall() {
  LinearImage image(kSpriteBallSize, kSpriteBallSize);
  image.PaintSupersampled(kSupersample, BallSample);
  std::vector<bool> opaque(static_cast<size_t>(kSpriteBallSize * kSpriteBallSize), false);
  for (int y = 0; y < kSpriteBallSize; ++y) {
    for (int x = kSpriteBallOutline[static_cast<size_t>(y)].first; x <= kSpriteBallOutline[static_cast<size_t>(y)].last; ++x) {
      opaque[static_cast<size_t>(y * kSpriteBallSize + x)] = true;
    }
  }
  return QuantiseA1R5G5B5(image, opaque);
}

}  // namespace painter
