// Tests of the moire ring plates: the quarter-plate texture and where the plates go.
#include "effects/moire_effect.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/frame_timer.h"
#include "effect_device.h"
#include "gfx/graphics_device.h"

namespace {

TEST(MoireTexture, GreyRingsAtNamedTexels) {
  std::vector<uint8_t> block(MoireEffect::kTextureSize * MoireEffect::kTextureSize * MoireEffect::kTexelBytes, 0x5A);
  MoireEffect::BuildPlateTexels(block.data());
  struct Case {
    int column, row;
    uint8_t grey;
  } cases[] = {
      {255, 255, 0},  // next to the centre: d2 0.5
      {0, 0, 0},      // the far corner: 32 pi as stored
      {0, 255, 0},    // middle of the left edge: 16 pi
      {255, 0, 0},    // middle of the top edge
      {192, 255, 254},  // d2 4032.5, just short of the first bright ring at pi
      {219, 219, 186},  // d2 2664.5 on the diagonal
      {100, 200, 196},  // d2 27260.5
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "column " << c.column << " row " << c.row);
    const uint8_t* texel = &block[(c.row * MoireEffect::kTextureSize + c.column) * MoireEffect::kTexelBytes];
    EXPECT_EQ(texel[0], c.grey);  // blue
    EXPECT_EQ(texel[1], c.grey);  // green
    EXPECT_EQ(texel[2], c.grey);  // red
    EXPECT_EQ(texel[3], 255);     // alpha
  }
}

TEST(MoireLayout, FirstFramePlatesAndHalfSize) {
  MoireEffect effect;
  MoireEffect::PlateLayout plates = effect.layout();
  EXPECT_FLOAT_EQ(plates.x1, 220.0f);
  EXPECT_FLOAT_EQ(plates.y1, 120.0f);
  EXPECT_FLOAT_EQ(plates.x2, 160.0f);
  EXPECT_FLOAT_EQ(plates.y2, 120.0f);
  EXPECT_FLOAT_EQ(plates.halfSize, 640.0f);
}

}  // namespace

namespace {

class MoireDevice : public EffectDevice {};

TEST_F(MoireDevice, PhasesWithNegativeSpeedNeverWrap) {
  UseFrame();
  MoireEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  constexpr float kTwoPi = 6.283184f;
  // Ten seconds in quarter-second frames.
  frameTimer.deltaSeconds = 0.25f;
  for (int frame = 0; frame < 40; ++frame) effect.Render();
  const float* phases = effect.phases();
  EXPECT_NEAR(phases[2], -17.0f, 1e-3f);
  EXPECT_NEAR(phases[7], -9.0f, 1e-3f);
  // Speed 2.0 passed the turn three times.
  EXPECT_NEAR(phases[1], 20.0f - 3.0f * kTwoPi, 1e-3f);
  for (int k : {0, 1, 3, 4, 5, 6}) {
    EXPECT_GT(phases[k], 0.0f) << k;
    EXPECT_LE(phases[k], kTwoPi) << k;
  }
  DWORD magFilter = 0;
  d3dDevice->GetTextureStageState(0, D3DTSS_MAGFILTER, &magFilter);
  EXPECT_EQ(magFilter, static_cast<DWORD>(D3DTEXF_POINT));
}

}  // namespace
