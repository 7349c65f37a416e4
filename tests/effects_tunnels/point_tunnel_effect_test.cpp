// Tests of the winding point tunnel: ring recycling, the path parameter and its wrap, a still
// picture at a zero delta, and the black fog on the far rings.
#include "effects/point_tunnel_effect.h"

#include <algorithm>

#include "effect_device.h"

namespace {

using Tunnel = PointTunnelEffect;

class PointTunnelTest : public EffectDeviceTest {
 protected:
  void SetUp() override {
    EffectDeviceTest::SetUp();
    ASSERT_EQ(tunnel_.Init(), 0);
  }
  Tunnel tunnel_;
};

TEST_F(PointTunnelTest, InitLaysRingsFurtherAlongTheCurveEachTime) {
  float first = tunnel_.pathParameter();
  ASSERT_EQ(tunnel_.Init(), 0);
  float p = first;
  for (int i = 0; i < Tunnel::kRingCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(tunnel_.ring(i).y, 32.0f * static_cast<float>(i));
    EXPECT_EQ(tunnel_.ring(i).x, Tunnel::CurveX(p));
    EXPECT_EQ(tunnel_.ring(i).z, Tunnel::CurveZ(p));
    p += Tunnel::kPathStep;
  }
  EXPECT_EQ(tunnel_.pathParameter(), p);
  EXPECT_EQ(tunnel_.nearestRing(), 0);
}

// Every ring that passes the camera goes to the far end at the next curve point, advancing the
// path parameter and the nearest ring by one; several can go in one frame.
TEST_F(PointTunnelTest, EachRingPassedInAFrameIsRecycledInTableOrder) {
  struct Case {
    float delta;
    int recycled;  // rings 0..recycled-1 lie less than 500 × delta ahead
  } cases[] = {{0.0625f, 1}, {0.3f, 5}, {1.0f, 16}, {2.0f, 32}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.delta);
    ASSERT_EQ(tunnel_.Init(), 0);
    float p = tunnel_.pathParameter();
    RenderFrame(tunnel_, c.delta);
    float travel = 500.0f * c.delta;
    for (int i = 0; i < Tunnel::kRingCount; ++i) {
      SCOPED_TRACE(i);
      float y = 32.0f * static_cast<float>(i) - travel;
      if (i < c.recycled) {
        ASSERT_LT(y, 0.0f);
        EXPECT_EQ(tunnel_.ring(i).y, y + 1024.0f);
        EXPECT_EQ(tunnel_.ring(i).x, Tunnel::CurveX(p));
        EXPECT_EQ(tunnel_.ring(i).z, Tunnel::CurveZ(p));
        p += Tunnel::kPathStep;
      } else {
        EXPECT_EQ(tunnel_.ring(i).y, y);
      }
    }
    EXPECT_EQ(tunnel_.pathParameter(), p);
    EXPECT_EQ(tunnel_.nearestRing(), c.recycled % Tunnel::kRingCount);
  }
}

TEST_F(PointTunnelTest, RingStillBehindTheCameraAfterAStallIsSentBackAgainNextFrame) {
  RenderFrame(tunnel_, 3.0f);  // 1500 units: every ring once, rings 0..14 still behind
  EXPECT_EQ(tunnel_.ring(0).y, -476.0f);
  EXPECT_EQ(tunnel_.nearestRing(), 0);
  float p = tunnel_.pathParameter();
  RenderFrame(tunnel_, 0.0f);
  for (int i = 0; i < Tunnel::kRingCount; ++i) {
    SCOPED_TRACE(i);
    float y = 32.0f * static_cast<float>(i) - 476.0f;
    EXPECT_EQ(tunnel_.ring(i).y, y < 0.0f ? y + 1024.0f : y);
  }
  EXPECT_EQ(tunnel_.nearestRing(), 15);
  for (int k = 0; k < 15; ++k) p += Tunnel::kPathStep;
  EXPECT_EQ(tunnel_.pathParameter(), p);
}

// Rings placed in the frame that carries the parameter past its period use the unwrapped value;
// the wrap comes once, after the last ring.
TEST_F(PointTunnelTest, PathParameterWrapsOnlyAtTheEndOfAFrame) {
  constexpr float kDelta = 2.5f;  // 1250 units: every ring recycles every frame
  for (int frame = 0; frame < 200; ++frame) {
    float p = tunnel_.pathParameter();
    float expected[Tunnel::kRingCount];
    for (float& value : expected) {
      value = p;
      p += Tunnel::kPathStep;
    }
    RenderFrame(tunnel_, kDelta);
    for (int i = 0; i < Tunnel::kRingCount; ++i) ASSERT_EQ(tunnel_.ring(i).x, Tunnel::CurveX(expected[i])) << i;
    if (p >= Tunnel::kPathPeriod) {
      ASSERT_GT(expected[Tunnel::kRingCount - 1], Tunnel::kPathPeriod);
      EXPECT_EQ(tunnel_.ring(31).z, Tunnel::CurveZ(expected[Tunnel::kRingCount - 1]));
      EXPECT_EQ(tunnel_.pathParameter(), p - Tunnel::kPathPeriod);
      return;
    }
    ASSERT_EQ(tunnel_.pathParameter(), p);
  }
  FAIL() << "the path parameter never reached its period";
}

TEST_F(PointTunnelTest, ZeroDeltaKeepsThePictureStill) {
  RenderFrame(tunnel_, 0.1f);
  RenderFrame(tunnel_, 0.0f);
  std::vector<uint32_t> before = ReadFrame();
  float spin = tunnel_.spin(), path = tunnel_.pathParameter();
  float ringY = tunnel_.ring(7).y;
  RenderFrame(tunnel_, 0.0f);
  std::vector<uint32_t> after = ReadFrame();
  ASSERT_EQ(before.size(), static_cast<size_t>(kWidth * kHeight));
  EXPECT_TRUE(std::any_of(before.begin(), before.end(), [](uint32_t p) { return (p & 0xFFFFFF) != 0; }));
  EXPECT_EQ(before, after);
  EXPECT_EQ(tunnel_.spin(), spin);
  EXPECT_EQ(tunnel_.pathParameter(), path);
  EXPECT_EQ(tunnel_.ring(7).y, ringY);
}

// White points under black fog: every lit pixel is a neutral grey, the nearest rings in full
// white and the farthest almost black.
TEST_F(PointTunnelTest, FogFadesTheFarRingsToBlack) {
  RenderFrame(tunnel_, 0.0f);
  std::vector<uint32_t> frame = ReadFrame();
  ASSERT_EQ(frame.size(), static_cast<size_t>(kWidth * kHeight));
  int brightest = 0, dimmest = 255;
  for (uint32_t pixel : frame) {
    int r = Red(pixel);
    ASSERT_EQ(Green(pixel), r);
    ASSERT_EQ(Blue(pixel), r);
    if (r == 0) continue;
    brightest = std::max(brightest, r);
    dimmest = std::min(dimmest, r);
  }
  EXPECT_EQ(brightest, 255);
  // The ring at y 992 keeps 32/512 of its light.
  EXPECT_LE(dimmest, 0x12);
}

}  // namespace
