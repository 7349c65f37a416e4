// The dot balls' geometry and their hiding of one another by screen discs.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/random_generator.h"
#include "effects/dot_balls_effect.h"

namespace {

using Ball = DotBallsEffect::ScreenPosition;
using Offset = DotBallsEffect::DotOffset;
constexpr int kBalls = DotBallsEffect::kBallCount;

TEST(DotBallGeometry, BallPointsCoverTheSphereWithUnitNormals) {
  std::vector<DotBallsEffect::BallPoint> points(DotBallsEffect::kDotsPerBall);
  DotBallsEffect::BuildBallPoints(points.data());
  for (int k = 0; k < DotBallsEffect::kDotsPerBall; ++k) {
    const auto& [p, n] = points[k];
    SCOPED_TRACE(k);
    EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 24.0f, 1e-4f);
    EXPECT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1.0f, 1e-6f);
    EXPECT_NEAR(n.x * 24.0f, p.x, 1e-4f);
    EXPECT_NEAR(n.z * 24.0f, p.z, 1e-4f);
  }
  // Rings 0 and 15 put all 32 of their points on the poles.
  EXPECT_EQ(points[0].position.z, 24.0f);
  EXPECT_EQ(points[31].position.z, 24.0f);
  EXPECT_NEAR(points[15 * 32 + 7].position.z, -24.0f, 1e-4f);
  // Ring 8, column 8: just past the equator, a quarter turn round.
  EXPECT_NEAR(points[8 * 32 + 8].position.x, 0.0f, 1e-4f);
  EXPECT_NEAR(points[8 * 32 + 8].position.y, 24.0f * std::sin(8 * 0.20943947f), 1e-4f);
}

TEST(DotBallGeometry, FormationsPlaceTheBallsAndTheCloudTakesSeventyFiveDraws) {
  SeedRandom(99);
  std::vector<int> draws(75);
  for (int& r : draws) r = NextRandom();
  const int after = NextRandom();

  SeedRandom(99);
  Vector3 formations[DotBallsEffect::kFormationCount][kBalls];
  DotBallsEffect::BuildFormations(formations);
  struct Case {
    int formation;
    int ball;
    Vector3 expected;
  };
  const Case cases[] = {
      {0, 0, {96.0f, 15.0f, 96.0f}},     // grid corner on a ripple crest
      {0, 24, {-96.0f, -15.0f, -96.0f}},
      {0, 12, {0.0f, 15.0f * std::cos(6 * 3.141592f / 4) * std::cos(4 * 3.141592f / 4), 0.0f}},
      {1, 0, {128.0f / (128 * 128 * 0.0001f + 1), 0.0f, 128.0f}},  // spiral ends, pinched
      {1, 12, {128.0f, 0.0f, 0.0f}},     // its waist, at full width after one turn
      {1, 24, {128.0f / (128 * 128 * 0.0001f + 1), 0.0f, -128.0f}},
      {2, 0, {96.0f, 0.0f, 96.0f}},      // pentagons
      {2, 7, {96.0f * std::cos(4 * 3.141592f / 5), 96.0f * std::sin(4 * 3.141592f / 5), 48.0f}},
      {2, 24, {96.0f * std::cos(8 * 3.141592f / 5), 96.0f * std::sin(8 * 3.141592f / 5), -96.0f}},
  };
  for (const Case& c : cases) {
    const Vector3& p = formations[c.formation][c.ball];
    SCOPED_TRACE(testing::Message() << "formation " << c.formation << " ball " << c.ball);
    EXPECT_NEAR(p.x, c.expected.x, 1e-3f);
    EXPECT_NEAR(p.y, c.expected.y, 1e-3f);
    EXPECT_NEAR(p.z, c.expected.z, 1e-3f);
  }
  auto coordinate = [](int r) { return (0.5f - static_cast<float>(r) / 32767.0f) * 196.0f; };
  EXPECT_EQ(formations[3][0].x, coordinate(draws[0]));
  EXPECT_EQ(formations[3][0].y, coordinate(draws[1]));
  EXPECT_EQ(formations[3][0].z, coordinate(draws[2]));
  EXPECT_EQ(formations[3][24].z, coordinate(draws[74]));
  EXPECT_EQ(NextRandom(), after);
}

// Balls parked far apart and far off to the right, out of one another's reach.
std::vector<Ball> ParkedBalls() {
  std::vector<Ball> balls(kBalls);
  for (int k = 0; k < kBalls; ++k) balls[k] = {1000.0f + 100.0f * k, 1000.0f, 0.5f};
  return balls;
}

// Radius 10 (squared 100) and, for each fixture, a set of offsets.
constexpr float kRhoSquared = 100.0f;

TEST(DotBallHiding, OnlyANearerBallWithinTwoRadiiHidesDotsInsideItsDisc) {
  // Ball 0 (at 100, 100, depth 5) is watched; ball 1 is moved around it. The second offset reaches
  // past the ball's own disc, which shows whether a neighbour beyond two radii is tried at all.
  const Offset offsets[] = {{0.0f, 0.0f}, {15.0f, 0.0f}, {-9.0f, 0.0f}};
  struct Case {
    const char* what;
    Ball other;
    std::vector<float> ball0Xs;  // X of ball 0's drawn dots, in order
    int ball1Count;
  };
  const Case cases[] = {
      {"equal Z at the same place", {100.0f, 100.0f, 5.0f}, {100.0f, 115.0f, 91.0f}, 3},
      {"nearer at the same place", {100.0f, 100.0f, 4.0f}, {115.0f}, 3},
      {"farther at the same place", {100.0f, 100.0f, 6.0f}, {100.0f, 115.0f, 91.0f}, 1},
      {"nearer, 19 px right: within 2 radii", {119.0f, 100.0f, 4.0f}, {100.0f, 91.0f}, 3},
      {"nearer, exactly 2 radii right", {120.0f, 100.0f, 4.0f}, {100.0f, 115.0f, 91.0f}, 3},
      {"nearer, 21 px right", {121.0f, 100.0f, 4.0f}, {100.0f, 115.0f, 91.0f}, 3},
      {"equal Z, 19 px right", {119.0f, 100.0f, 5.0f}, {100.0f, 115.0f, 91.0f}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<Ball> balls = ParkedBalls();
    balls[0] = {100.0f, 100.0f, 5.0f};
    balls[1] = c.other;
    std::vector<ColourVertex> out(DotBallsEffect::kMaxDots, ColourVertex{-1.0f, -1.0f, 0.25f, 2.0f, 0x12345678});
    const int written = DotBallsEffect::WriteVisibleDots(balls.data(), offsets, 3, kRhoSquared, out.data());
    const int ball0Count = static_cast<int>(c.ball0Xs.size());
    EXPECT_EQ(written, ball0Count + c.ball1Count + 23 * 3);
    for (int i = 0; i < ball0Count; ++i) {
      EXPECT_EQ(out[i].x, c.ball0Xs[i]);
      EXPECT_EQ(out[i].y, 100.0f);
    }
    // The parked balls follow, untouched by anything.
    EXPECT_EQ(out[written - 3].x, 1000.0f + 100.0f * 24);
    // Only X and Y are written: depth, RHW and colour stay what Init put there.
    EXPECT_EQ(out[0].z, 0.25f);
    EXPECT_EQ(out[0].rhw, 2.0f);
    EXPECT_EQ(out[0].diffuse, 0x12345678u);
    EXPECT_EQ(out[written].x, -1.0f);
  }
}

TEST(DotBallHiding, TwentyFiveBallsWriteAtMostTwelveThousandEightHundredDots) {
  std::vector<Offset> offsets(DotBallsEffect::kDotsPerBall + 1);
  for (size_t i = 0; i < offsets.size(); ++i) offsets[i] = {static_cast<float>(i % 7) - 3.0f, 1.0f};
  // All balls at one place and one depth (nothing hides anything), and all apart and stacked in
  // depth: 512 dots each, however many offsets are handed over.
  std::vector<Ball> together(kBalls, Ball{160.0f, 120.0f, 0.5f});
  std::vector<Ball> apart = ParkedBalls();
  for (int k = 0; k < kBalls; ++k) apart[k].z = static_cast<float>(k);
  for (const std::vector<Ball>* balls : {&together, &apart}) {
    std::vector<ColourVertex> out(DotBallsEffect::kMaxDots + 1, ColourVertex{-1.0f, -1.0f, 0.0f, 0.0f, 0});
    EXPECT_EQ(DotBallsEffect::WriteVisibleDots(balls->data(), offsets.data(), static_cast<int>(offsets.size()),
                                               kRhoSquared, out.data()),
              DotBallsEffect::kMaxDots);
    EXPECT_EQ(out[DotBallsEffect::kMaxDots].x, -1.0f);
  }
}

}  // namespace
