// Tests of the twisted square tunnel: section recycling, the shared spin and its cycle, and the
// additive grey layers of the picture.
#include "effects/square_tunnel_effect.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "effect_device.h"

namespace {

using Tunnel = SquareTunnelEffect;

class SquareTunnelTest : public EffectDeviceTest {
 protected:
  void SetUp() override {
    EffectDeviceTest::SetUp();
    ASSERT_EQ(tunnel_.Init(), 0);
  }
  // Frames of at most 0.25 s, all exact in binary, until the cycle time reaches `time`.
  void RunTo(float time) {
    for (int frame = 0; frame < 128 && tunnel_.cycleTime() != time; ++frame) {
      float remaining = time - tunnel_.cycleTime();
      if (remaining < 0.0f) remaining += Tunnel::kCyclePeriod;
      RenderFrame(tunnel_, std::min(remaining, 0.25f));
    }
    ASSERT_EQ(tunnel_.cycleTime(), time);
  }
  // The change of the spin over a frame, taken across its wrap.
  static float Turn(float from, float to) { return std::remainder(to - from, 6.283184f); }
  Tunnel tunnel_;
};

TEST_F(SquareTunnelTest, SectionRecycledInAFrameTakesTheSpinBeforeItChangesAndDoesNotTurn) {
  RenderFrame(tunnel_, 0.125f);  // 250 units: section 0 passes; the spin becomes 0.125
  EXPECT_EQ(tunnel_.section(0).y, 3846.0f);
  EXPECT_EQ(tunnel_.section(0).angle, 0.0f);
  EXPECT_EQ(tunnel_.section(1).angle, 0.125f);
  EXPECT_EQ(tunnel_.spin(), 0.125f);

  RenderFrame(tunnel_, 0.25f);  // 500 more: section 1 passes, from 262 to -238
  EXPECT_EQ(tunnel_.section(1).y, 3858.0f);
  EXPECT_EQ(tunnel_.section(1).angle, 0.125f);
  EXPECT_EQ(tunnel_.section(0).angle, 0.25f);
  EXPECT_EQ(tunnel_.section(2).y, 274.0f);
  EXPECT_EQ(tunnel_.section(2).angle, 0.375f);
  EXPECT_EQ(tunnel_.spin(), 0.375f);
}

TEST_F(SquareTunnelTest, SectionStillBehindAfterAStallIsRecycledAgainNextFrame) {
  RenderFrame(tunnel_, 3.0f);  // 6000 units: every section once, with the spin of 0
  for (int s = 0; s < Tunnel::kSectionCount; ++s) {
    SCOPED_TRACE(s);
    EXPECT_EQ(tunnel_.section(s).y, 512.0f * static_cast<float>(s) - 1904.0f);
    EXPECT_EQ(tunnel_.section(s).angle, 0.0f);
  }
  ASSERT_EQ(tunnel_.spin(), 3.0f);
  RenderFrame(tunnel_, 0.0f);  // sections 0..3 are still behind the camera
  for (int s = 0; s < Tunnel::kSectionCount; ++s) {
    SCOPED_TRACE(s);
    float y = 512.0f * static_cast<float>(s) - 1904.0f;
    EXPECT_EQ(tunnel_.section(s).y, s < 4 ? y + 4096.0f : y);
    EXPECT_EQ(tunnel_.section(s).angle, s < 4 ? 3.0f : 0.0f);
  }
}

// The rate of the spin over one short frame just before and at each phase boundary: the phases
// meet at 6, 8 and 16 (where the cycle wraps to 0) and jump from -1 to 0 at 14.
TEST_F(SquareTunnelTest, SpinRateAtTheCycleBoundaries) {
  constexpr float kStep = 1.0f / 256.0f;
  struct Case {
    float boundary;
    float rateBefore, rateAt;
  } cases[] = {
      {6.0f, 1.0f, 1.0f},
      {8.0f, -1.0f + kStep, -1.0f},
      {14.0f, -1.0f, 0.0f},
      {16.0f, 1.0f - kStep / 2.0f, 1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.boundary);
    RunTo(c.boundary - 0.25f);
    RenderFrame(tunnel_, 0.25f - kStep);
    float before = tunnel_.spin();
    RenderFrame(tunnel_, kStep);
    float at = tunnel_.spin();
    RenderFrame(tunnel_, kStep);
    EXPECT_NEAR(Turn(before, at) / kStep, c.rateBefore, 1e-3);
    EXPECT_NEAR(Turn(at, tunnel_.spin()) / kStep, c.rateAt, 1e-3);
  }
  EXPECT_EQ(tunnel_.cycleTime(), kStep);
}

TEST_F(SquareTunnelTest, InitPutsTheSectionsBackButKeepsSpinAndCycle) {
  RenderFrame(tunnel_, 0.5f);
  RenderFrame(tunnel_, 0.5f);
  ASSERT_EQ(tunnel_.Init(), 0);
  for (int s = 0; s < Tunnel::kSectionCount; ++s) {
    EXPECT_EQ(tunnel_.section(s).y, 512.0f * static_cast<float>(s));
    EXPECT_EQ(tunnel_.section(s).angle, 0.0f);
  }
  EXPECT_EQ(tunnel_.cycleTime(), 1.0f);
  EXPECT_EQ(tunnel_.spin(), 1.0f);
}

// A stall of 16 s or more leaves the cycle time inside the cycle at once, so the spin keeps its
// rates of at most one radian a second.
TEST_F(SquareTunnelTest, CycleTimeStaysInsideTheCycleAfterALongStall) {
  RenderFrame(tunnel_, 1.0f);
  RenderFrame(tunnel_, 100.0f);
  EXPECT_EQ(tunnel_.cycleTime(), 5.0f);  // 101 s is 6 cycles and 5 s
  float spin = tunnel_.spin();
  RenderFrame(tunnel_, 0.5f);
  EXPECT_EQ(tunnel_.cycleTime(), 5.5f);
  EXPECT_NEAR(Turn(spin, tunnel_.spin()), 0.5f, 1e-4);
}

// Each tube adds 0x30 to every channel where it covers a pixel and nothing hides anything: only
// the greys of zero to four layers appear, and somewhere all four overlap.
TEST_F(SquareTunnelTest, OverlappingTubesAddUpInGreySteps) {
  RenderFrame(tunnel_, 0.0f);
  std::vector<uint32_t> frame = ReadFrame();
  ASSERT_EQ(frame.size(), static_cast<size_t>(kWidth * kHeight));
  std::set<uint32_t> colours(frame.begin(), frame.end());
  std::set<uint32_t> layers;
  for (uint32_t colour : colours) {
    uint32_t rgb = colour & 0xFFFFFF;
    ASSERT_EQ(rgb % 0x303030, 0u) << std::hex << rgb;
    ASSERT_LE(rgb, 0xC0C0C0u) << std::hex << rgb;
    layers.insert(rgb / 0x303030);
  }
  EXPECT_EQ(layers, (std::set<uint32_t>{0, 1, 2, 3, 4}));
}

}  // namespace
