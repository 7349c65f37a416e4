// The eight shapes of the morphing sprites.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/random_generator.h"
#include "effects/sprite_morph_effect.h"

namespace {

constexpr int kPoints = SpriteMorphEffect::kPointCount;

std::vector<Vector3> BuildAll() {
  std::vector<Vector3> shapes(SpriteMorphEffect::kShapeCount * kPoints, Vector3{NAN, NAN, NAN});
  SpriteMorphEffect::BuildShapes(shapes.data());
  return shapes;
}

float Distance(const Vector3& p) { return std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z); }

TEST(SpriteShapes, PointsLandWhereEachShapeSays) {
  SeedRandom(1);
  const std::vector<Vector3> shapes = BuildAll();
  struct Case {
    int shape;
    int point;
    Vector3 expected;
  };
  const Case cases[] = {
      {0, 0, {0.0f, 0.0f, 125.0f}},          // sphere: north pole
      {0, 19, {0.0f, 0.0f, 125.0f}},         // the whole first row sits on it
      {0, 200, {125.0f * std::sin(10 * 0.16534695f), 0.0f, 125.0f * std::cos(10 * 0.16534695f)}},
      {2, 0, {125.0f, 15.0f, 125.0f}},       // sheet corner
      {2, 399, {-125.0f, -15.0f, -125.0f}},  // opposite corner, ripple at its trough
      {2, 19, {-125.0f, -15.0f, 125.0f}},
      {3, 0, {0.0f, 0.0f, 125.0f}},          // shell: top
      {3, 195, {93.75f * std::sin(2 * 19 * 0.08055364f) * std::cos(5 * 0.6283184f),
                93.75f * std::sin(2 * 19 * 0.08055364f) * std::sin(5 * 0.6283184f), 125.0f * std::cos(19 * 0.08055364f)}},
      {4, 0, {125.0f, 0.0f, 125.0f}},        // helix: top
      {4, 39, {125.0f, 0.0f, 125.0f - 39 * 0.625f}},  // one full turn down
      {4, 399, {125.0f * std::cos(399 * 6.283184f / 39), 125.0f * std::sin(399 * 6.283184f / 39), -124.375f}},
      {5, 0, {125.0f, 125.0f, 62.5f}},       // cosine grid corner
      {5, 399, {-125.0f, -125.0f, 62.5f * std::cos(361 * 6.283184f / 19)}},
      {6, 0, {0.0f, 0.0f, 125.0f}},          // every meridian starts at the pole
      {6, 360, {0.0f, 0.0f, 125.0f}},
      {6, 79, {125.0f * std::sin(39 * 0.0785398f) * std::cos(3.141592f + 0.69813156f),
               125.0f * std::sin(39 * 0.0785398f) * std::sin(3.141592f + 0.69813156f), 125.0f * std::cos(39 * 0.0785398f)}},
      {7, 0, {125.0f, 0.0f, 0.0f}},          // knot
      {7, 399, {125.0f, 0.0f, 0.0f}},        // and it closes
  };
  for (const Case& c : cases) {
    const Vector3& p = shapes[c.shape * kPoints + c.point];
    SCOPED_TRACE(testing::Message() << "shape " << c.shape << " point " << c.point);
    EXPECT_NEAR(p.x, c.expected.x, 2e-3f);
    EXPECT_NEAR(p.y, c.expected.y, 2e-3f);
    EXPECT_NEAR(p.z, c.expected.z, 2e-3f);
  }
}

TEST(SpriteShapes, EveryShapeHasItsFourHundredPointsInsideTheCube) {
  SeedRandom(7);
  const std::vector<Vector3> shapes = BuildAll();
  for (int s = 0; s < SpriteMorphEffect::kShapeCount; ++s) {
    int onPole = 0;
    for (int k = 0; k < kPoints; ++k) {
      const Vector3& p = shapes[s * kPoints + k];
      SCOPED_TRACE(testing::Message() << "shape " << s << " point " << k);
      ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
      EXPECT_LE(std::fabs(p.x), 125.001f);
      EXPECT_LE(std::fabs(p.y), 125.001f);
      EXPECT_LE(std::fabs(p.z), 125.001f);
      if (s == 0 || s == 6) {
        EXPECT_NEAR(Distance(p), 125.0f, 1e-3f);
      }
      if (p.x == 0.0f && p.y == 0.0f && p.z == 125.0f) ++onPole;
    }
    // The sphere's first row and the first point of each meridian gather on the north pole.
    if (s == 0) {
      EXPECT_EQ(onPole, 20);
    }
    if (s == 6) {
      EXPECT_EQ(onPole, 10);
    }
  }
}

TEST(SpriteShapes, RandomCubeTakesTwelveHundredDrawsInXyzOrder) {
  SeedRandom(12345);
  int draws[6];
  for (int& r : draws) r = NextRandom();
  std::vector<int> rest(1200 - 6);
  for (int& r : rest) r = NextRandom();
  const int after = NextRandom();

  SeedRandom(12345);
  const std::vector<Vector3> shapes = BuildAll();
  const Vector3* cube = &shapes[1 * kPoints];
  auto coordinate = [](int r) { return (0.5f - static_cast<float>(r) / 32767.0f) * 250.0f; };
  EXPECT_EQ(cube[0].x, coordinate(draws[0]));
  EXPECT_EQ(cube[0].y, coordinate(draws[1]));
  EXPECT_EQ(cube[0].z, coordinate(draws[2]));
  EXPECT_EQ(cube[1].x, coordinate(draws[3]));
  EXPECT_EQ(cube[399].z, coordinate(rest.back()));
  EXPECT_EQ(NextRandom(), after);
}

}  // namespace
