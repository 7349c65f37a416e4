// Tests of the interference rings: the ring texture and the wobble envelope.
#include "effects/rings_effect.h"

#include <gtest/gtest.h>

#include <vector>

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
