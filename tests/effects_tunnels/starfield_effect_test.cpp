// Tests of the starfield: the order of its random draws, respawning at and below the camera plane,
// one respawn per star and frame, and the black fog on far stars.
#include "effects/starfield_effect.h"

#include <algorithm>
#include <cmath>

#include "app/random_generator.h"
#include "effect_device.h"

namespace {

using Field = StarfieldEffect;

// A place across the column from one draw.
float Across(int r) { return (0.5f - static_cast<float>(r) / 32767.0f) * 128.0f; }

class StarfieldTest : public EffectDeviceTest {
 protected:
  void SetUp() override {
    EffectDeviceTest::SetUp();
    SeedRandom(20240611);
    ASSERT_EQ(field_.Init(), 0);
  }

  // Every star's position, in order.
  std::vector<PointVertex> Stars() const {
    std::vector<PointVertex> stars(Field::kStarCount);
    for (int i = 0; i < Field::kStarCount; ++i) stars[i] = field_.star(i);
    return stars;
  }

  // What a frame of `delta` must make of `before`, drawing from `draws` (a copy of the generator
  // as it stood before the frame): stars at or behind the camera plane take a new x, then a new z.
  static std::vector<PointVertex> Expected(const std::vector<PointVertex>& before, float delta,
                                           RandomGenerator draws) {
    RandomGenerator saved = randomGenerator;
    randomGenerator = draws;
    std::vector<PointVertex> expected = before;
    for (PointVertex& star : expected) {
      star.y -= delta * 256.0f;
      if (star.y <= 0.0f) {
        star.x = Across(NextRandom());
        star.y += 1024.0f;
        star.z = Across(NextRandom());
      }
    }
    randomGenerator = saved;
    return expected;
  }

  static void ExpectSameStars(const std::vector<PointVertex>& actual, const std::vector<PointVertex>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
      SCOPED_TRACE(i);
      ASSERT_EQ(actual[i].x, expected[i].x);
      ASSERT_EQ(actual[i].y, expected[i].y);
      ASSERT_EQ(actual[i].z, expected[i].z);
      ASSERT_EQ(actual[i].diffuse, Field::kStarColour);
    }
  }

  Field field_;
};

TEST_F(StarfieldTest, InitDrawsXThenYThenZForEachStarInOrder) {
  SeedRandom(77);
  RandomGenerator draws = randomGenerator;
  ASSERT_EQ(field_.Init(), 0);
  randomGenerator = draws;
  std::vector<PointVertex> expected(Field::kStarCount);
  for (PointVertex& star : expected) {
    star.x = Across(NextRandom());
    star.y = static_cast<float>(NextRandom()) * 1024.0f / 32767.0f;
    star.z = Across(NextRandom());
  }
  ExpectSameStars(Stars(), expected);
}

TEST_F(StarfieldTest, StarsReachingTheCameraPlaneRespawnDrawingXThenZInArrayOrder) {
  std::vector<PointVertex> before = Stars();
  RandomGenerator draws = randomGenerator;
  RenderFrame(field_, 1.0f);  // 256 units: about a quarter of the stars
  ExpectSameStars(Stars(), Expected(before, 1.0f, draws));
}

TEST_F(StarfieldTest, StarLandingExactlyOnTheCameraPlaneRespawns) {
  std::vector<PointVertex> before = Stars();
  int nearest = 0;
  for (int i = 1; i < Field::kStarCount; ++i) {
    if (before[i].y > 0.0f && (before[nearest].y <= 0.0f || before[i].y < before[nearest].y)) nearest = i;
  }
  float delta = before[nearest].y / 256.0f;
  ASSERT_EQ(before[nearest].y - delta * 256.0f, 0.0f);
  RandomGenerator draws = randomGenerator;
  RenderFrame(field_, delta);
  EXPECT_EQ(field_.star(nearest).y, 1024.0f);
  ExpectSameStars(Stars(), Expected(before, delta, draws));
}

TEST_F(StarfieldTest, AStarRespawnsAtMostOncePerFrameAfterAStall) {
  std::vector<PointVertex> before = Stars();
  RandomGenerator draws = randomGenerator;
  RenderFrame(field_, 10.0f);  // 2560 units: one respawn each leaves every star behind the camera
  std::vector<PointVertex> expected = Expected(before, 10.0f, draws);
  ExpectSameStars(Stars(), expected);
  for (const PointVertex& star : expected) ASSERT_LE(star.y, 0.0f);

  draws = randomGenerator;
  RenderFrame(field_, 0.0f);  // still behind: each respawns once more, without moving
  ExpectSameStars(Stars(), Expected(expected, 0.0f, draws));
}

// Stars are drawn in their colour up to 512 units away and fade linearly to black at 1024. Each
// star that has a pixel and its surroundings to itself is checked against its depth.
TEST_F(StarfieldTest, FogFadesFarStarsToBlack) {
  RenderFrame(field_, 0.0f);
  std::vector<uint32_t> frame = ReadFrame();
  ASSERT_EQ(frame.size(), static_cast<size_t>(kWidth * kHeight));

  const Camera& camera = field_.camera();
  Matrix4 viewProjection;
  Multiply(camera.viewMatrix, camera.projectionMatrix, viewProjection);
  // Where each star in view lights, and whether it lies within rounding of a pixel edge.
  std::vector<int> pixelOf(Field::kStarCount, -1);
  std::vector<bool> onEdge(Field::kStarCount, false);
  std::vector<int> starsOnPixel(frame.size(), 0);
  for (int i = 0; i < Field::kStarCount; ++i) {
    const PointVertex& s = field_.star(i);
    const float(&m)[4][4] = viewProjection.m;
    float x = s.x * m[0][0] + s.y * m[1][0] + s.z * m[2][0] + m[3][0];
    float y = s.x * m[0][1] + s.y * m[1][1] + s.z * m[2][1] + m[3][1];
    float w = s.x * m[0][3] + s.y * m[1][3] + s.z * m[2][3] + m[3][3];
    if (w < 1.0f) continue;
    float sx = (x / w + 1.0f) * 160.0f - 0.5f;
    float sy = (1.0f - y / w) * 120.0f - 0.5f;
    int px = static_cast<int>(std::ceil(sx));
    int py = static_cast<int>(std::ceil(sy));
    if (px < 0 || px >= kWidth || py < 0 || py >= kHeight) continue;
    pixelOf[i] = py * kWidth + px;
    onEdge[i] = std::fabs(sx - std::round(sx)) < 0.01f || std::fabs(sy - std::round(sy)) < 0.01f;
    ++starsOnPixel[pixelOf[i]];
  }
  // A star is checked when no other star lights its pixel or the eight around it.
  auto alone = [&](int pixel) {
    int px = pixel % kWidth, py = pixel / kWidth, count = 0;
    for (int y = std::max(py - 1, 0); y <= std::min(py + 1, kHeight - 1); ++y) {
      for (int x = std::max(px - 1, 0); x <= std::min(px + 1, kWidth - 1); ++x) count += starsOnPixel[y * kWidth + x];
    }
    return count == 1;
  };

  int checked = 0, nearChecked = 0, farChecked = 0;
  for (int i = 0; i < Field::kStarCount; ++i) {
    if (pixelOf[i] < 0 || onEdge[i] || !alone(pixelOf[i])) continue;
    float depth = field_.star(i).y;
    float f = std::clamp((1024.0f - depth) / 512.0f, 0.0f, 1.0f);
    uint32_t pixel = frame[pixelOf[i]];
    SCOPED_TRACE(testing::Message() << "star " << i << " at depth " << depth);
    EXPECT_NEAR(Red(pixel), 0x80 * f, 2.0);
    EXPECT_NEAR(Green(pixel), 0x80 * f, 2.0);
    EXPECT_NEAR(Blue(pixel), 0xFF * f, 2.0);
    ++checked;
    if (depth < 512.0f) ++nearChecked;
    if (depth > 960.0f) ++farChecked;
  }
  EXPECT_GT(checked, 100);
  EXPECT_GT(nearChecked, 5);
  EXPECT_GT(farChecked, 5);
}

}  // namespace
