// Tests of the interference rings: the ring texture, the mirrored quarters of a field, the wobble
// envelope and the tint.
#include "effects/rings_effect.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/frame_timer.h"
#include "effect_device.h"
#include "gfx/graphics_device.h"

namespace {

constexpr uint16_t kWhite = 0xFFFF;
constexpr uint16_t kBlack = 0x0000;

std::vector<uint16_t> RingTexels() {
  std::vector<uint16_t> block(RingsEffect::kFieldSize * RingsEffect::kFieldSize, 0xABCD);
  RingsEffect::BuildRingTexels(block.data());
  block.resize(RingsEffect::kTextureSize * RingsEffect::kTextureSize);
  return block;
}

uint16_t Texel(const std::vector<uint16_t>& texels, int row, int column) {
  return texels[row * RingsEffect::kTextureSize + column];
}

TEST(RingTexture, CentreDiscAndBandsAlongBothOuterEdges) {
  std::vector<uint16_t> texels = RingTexels();
  EXPECT_EQ(Texel(texels, 255, 255), kWhite);
  // Along the edges through the centre the bands fall on whole texels: a disc 4 texels wide
  // (radius 8 before halving), then bands of 8 texels alternating black and white out to texel 0.
  for (int distance = 0; distance < 256; ++distance) {
    SCOPED_TRACE(distance);
    uint16_t expected = ((distance + 4) / 8) % 2 == 0 ? kWhite : kBlack;
    EXPECT_EQ(Texel(texels, 255, 255 - distance), expected);
    EXPECT_EQ(Texel(texels, 255 - distance, 255), expected);
  }
}

TEST(RingTexture, TwoByTwoAveragesPackAsGrey) {
  std::vector<uint16_t> texels = RingTexels();
  struct Case {
    int row, column;
    uint16_t texel;  // grey g as (g >> 3) << 11 | (g >> 2) << 5 | g >> 3
  } cases[] = {
      {201, 214, 0x39E7},  // one of four elements set: g 63
      {200, 232, 0x7BEF},  // two: g 127
      {200, 203, 0xBDF7},  // three: g 191
      {0, 0, kBlack},      // the far corner, 722 units out, lies in a dark band
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.row << "," << c.column);
    EXPECT_EQ(Texel(texels, c.row, c.column), c.texel);
  }
  // Only the five greys of 0..4 set elements ever occur.
  for (uint16_t texel : texels) {
    EXPECT_TRUE(texel == 0 || texel == 0x39E7 || texel == 0x7BEF || texel == 0xBDF7 || texel == 0xFFFF) << texel;
  }
}

TEST(RingWobble, FollowsTheEnvelopeTable) {
  struct Case {
    float timeBefore, delta;
    float wobble, envelopeTime;
  } cases[] = {
      {0.0f, 0.0f, 0.0f, 0.0f},      {0.0f, 5.75f, 0.0f, 5.75f},   {5.5f, 0.5f, 0.0f, 6.0f},
      {6.0f, 1.0f, 0.5f, 7.0f},      {7.5f, 0.5f, 1.0f, 8.0f},     {13.0f, 0.75f, 1.0f, 13.75f},
      {13.5f, 0.5f, 1.0f, 14.0f},    {14.5f, 1.0f, 0.25f, 15.5f},  {15.5f, 0.5f, 0.0f, 0.0f},
      {15.75f, 0.5f, 0.0f, 0.25f},   {15.0f, 1.5f, 0.0f, 0.5f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.timeBefore << " + " << c.delta);
    RingsEffect::EnvelopeState next = RingsEffect::StepEnvelope(c.timeBefore, c.delta);
    EXPECT_FLOAT_EQ(next.wobble, c.wobble);
    EXPECT_FLOAT_EQ(next.envelopeTime, c.envelopeTime);
  }
}

}  // namespace

namespace {

class RingsDevice : public EffectDevice {};

uint32_t Rgb(uint32_t pixel) { return pixel & 0x00FFFFFF; }

TEST_F(RingsDevice, FieldIsFourQuartersMirroredAboutItsCentre) {
  UseFrame();
  RingsEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
  d3dDevice->SetTexture(0, effect.ringTexture());
  d3dDevice->SetVertexShader(kScreenVertexFvf);
  d3dDevice->SetStreamSource(0, effect.vertexBuffer(), sizeof(ScreenVertex));
  d3dDevice->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  d3dDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  d3dDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
  // A centre between pixel centres puts every pixel in the middle of a texel: pixels 160 - k and
  // 161 + k both show texel column 255 - k, and likewise for rows about 120.5.
  effect.DrawRingField(160.5f, 120.5f, 0.0f, 0xFFFFFFFF);
  std::vector<uint32_t> pixels = FramePixels();
  auto at = [&](int x, int y) { return Rgb(pixels[y * kTargetWidth + x]); };
  int mirrorFaults = 0;
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int k = 0; k < 160; ++k) mirrorFaults += at(160 - k, y) != at(161 + k, y);
  }
  for (int x = 0; x < kFrameWidth; ++x) {
    for (int j = 0; j < 120; ++j) mirrorFaults += at(x, 120 - j) != at(x, 121 + j);
  }
  EXPECT_EQ(mirrorFaults, 0);
  // The row beside the centre shows the texture's centre row: a disc 8 pixels across, then bands
  // of 8 pixels.
  for (int k = 0; k < 160; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(at(160 - k, 120), ((k + 4) / 8) % 2 == 0 ? 0xFFFFFFu : 0u);
  }
  // Off the axes the 2x2 averages show as greys, texel (201, 214) at pixel (119, 66).
  EXPECT_EQ(at(160 - (255 - 214), 120 - (255 - 201)), Rgb(ExpandR5G6B5(0x39E7)));
}

TEST_F(RingsDevice, TintScalesRedAndGreenOfTheWholeFrame) {
  UseFrame();
  RingsEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  effect.Render();
  std::vector<uint32_t> pixels = FramePixels();
  int lit = 0, dark = 0, faults = 0;
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      uint32_t p = pixels[y * kTargetWidth + x];
      uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      // Before the tint red equals blue (both are 5-bit greys, summed alike); blue is kept.
      faults += r != (b * 128 * 2 + 255) / 510;
      if (b == 255) {
        ++lit;
        faults += g != 160;
      } else if (b == 0) {
        ++dark;
        faults += g != 0;
      }
    }
  }
  EXPECT_EQ(faults, 0);
  EXPECT_GT(lit, 1000);
  EXPECT_GT(dark, 1000);
  // The first field's centre disc, white before the tint.
  EXPECT_EQ(Rgb(pixels[120 * kTargetWidth + 220]), 0x80A0FFu);
  DWORD addressU = 0, addressV = 0;
  d3dDevice->GetTextureStageState(0, D3DTSS_ADDRESSU, &addressU);
  d3dDevice->GetTextureStageState(0, D3DTSS_ADDRESSV, &addressV);
  EXPECT_EQ(addressU, static_cast<DWORD>(D3DTADDRESS_WRAP));
  EXPECT_EQ(addressV, static_cast<DWORD>(D3DTADDRESS_WRAP));
}

TEST_F(RingsDevice, RenderWrapsPhasesOnceAndOnlyAboveTheTurn) {
  UseFrame();
  RingsEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  constexpr float kTwoPi = 6.283184f;
  frameTimer.deltaSeconds = kTwoPi;
  effect.Render();
  const float* phases = effect.phases();
  EXPECT_EQ(phases[4], kTwoPi);                            // speed 1.0: exactly a turn is kept
  EXPECT_FLOAT_EQ(phases[2], kTwoPi * 2.0f - kTwoPi);      // speed 2.0: one turn taken off
  EXPECT_FLOAT_EQ(phases[0], kTwoPi * 4.0f - kTwoPi);      // speed 4.0: still only one
  EXPECT_FLOAT_EQ(effect.envelopeTime(), kTwoPi);
  EXPECT_FLOAT_EQ(effect.wobble(), (kTwoPi - 6.0f) / 2.0f);
}

}  // namespace
