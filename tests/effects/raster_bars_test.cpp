// Rainbow raster bars: the rise, the phases, and what the frame shows.
#include "effects/raster_bars_effect.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "../support/headless_program.h"
#include "scenes/frame_targets.h"

namespace {

using test_support::HeadlessDevice;

class RasterBarsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(device_.created());
    ASSERT_EQ(CreateFrameTargets(), 0);
    ASSERT_EQ(bars_.Init(), 0);
  }
  void TearDown() override { ReleaseFrameTargets(); }

  // Renders one frame of `seconds` into the offscreen frame; returns its 320x240 pixels.
  std::vector<uint32_t> Render(double seconds) {
    device_.Advance(seconds);
    UpdateTimer();
    d3dDevice->BeginScene();
    BeginCurrentFrame();
    d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    bars_.Render();
    PresentPlainFrame();
    d3dDevice->EndScene();
    return HeadlessDevice::TexturePixels(CurrentFrameTexture);
  }

  static bool AnyLit(const std::vector<uint32_t>& texture) {
    for (int y = 0; y < 240; ++y) {
      for (int x = 0; x < 320; ++x) {
        if (texture[y * 512 + x] & 0xFFFFFF) return true;
      }
    }
    return false;
  }

  HeadlessDevice device_;
  RasterBarsEffect bars_;
};

TEST_F(RasterBarsTest, TheFirstFrameShowsNoBarThenTheSetRisesIntoPlace) {
  EXPECT_FALSE(AnyLit(Render(0.0)));
  int frames = 1;
  while (bars_.riseOffset() > 240.0f && frames < 1000) {
    Render(1.0 / 60);
    ++frames;
  }
  EXPECT_NEAR(frames / 60.0, 3.6, 2.0 / 60);
  EXPECT_TRUE(AnyLit(Render(1.0 / 60)));
}

TEST_F(RasterBarsTest, ATenSecondFrameWrapsEachPhaseOnce) {
  Render(0.0);
  Render(10.0);
  EXPECT_EQ(bars_.riseOffset(), 240.0f);
  EXPECT_NEAR(bars_.wavePhases()[0], 3.14f + 15.0f - 6.283184f, 1e-4);
  EXPECT_NEAR(bars_.wavePhases()[1], 0.7f + 9.0f - 6.283184f, 1e-4);
  EXPECT_NEAR(bars_.wavePhases()[2], 1.9f + 13.0f - 6.283184f, 1e-4);
}

TEST_F(RasterBarsTest, BarsShadeFromBlackToTheirColourAndLaterBarsCoverEarlierOnes) {
  Render(0.0);
  Render(10.0);
  std::vector<uint32_t> frame = Render(0.0);  // at rest: 24 bars, 12 rows each
  int coloured = 0, pureColour = 0;
  for (int y = 0; y < 240; ++y) {
    uint32_t left = frame[y * 512] & 0xFFFFFF;
    EXPECT_EQ(left, frame[y * 512 + 319] & 0xFFFFFF) << "bars run across the whole width, row " << y;
    if (left != 0) ++coloured;
    // Within half a row of a bar's middle line its colour is at least 11/12 of full strength.
    if (std::max({left >> 16, (left >> 8) & 0xFF, left & 0xFF}) >= 0xE9) ++pureColour;
  }
  EXPECT_GT(coloured, 12);
  EXPECT_GE(pureColour, 1) << "some bar's middle line shows its full colour";
}

}  // namespace
