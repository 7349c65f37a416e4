// The banded solids' palette texture and sink curve, which need no device.
#include <gtest/gtest.h>

#include <vector>

#include "effects/solids_effect.h"

namespace {

TEST(SolidsPalette, BandColumnsAndWhiteRest) {
  std::vector<uint32_t> texels(SolidsEffect::kPaletteTexels, 0u);
  SolidsEffect::BuildPalette(texels.data());
  struct Texel {
    int row, column;
    uint32_t argb;
  };
  const Texel cases[] = {
      // Grey, two periods: 127 at the zero crossings, 255 and 0 at the peaks, 217 at an eighth.
      {0, 0, 0xFF7F7F7F}, {8, 3, 0xFFFFFFFF}, {16, 1, 0xFF7F7F7F}, {24, 2, 0xFF000000}, {4, 0, 0xFFD9D9D9},
      {40, 0, 0xFFFFFFFF},
      // Warm up then down, cool up then down.
      {0, 4, 0xFF402000}, {15, 5, 0xFFFCFCFC}, {16, 6, 0xFFFCFCFC}, {20, 7, 0xFFE0A800}, {31, 4, 0xFF402000},
      {32, 5, 0xFF1C1C60}, {47, 6, 0xFFFCFCFC}, {48, 7, 0xFFFCFCFC}, {63, 4, 0xFF1C1C60},
      // Light blue to white, one period: f = 0.5, 1, 0.
      {0, 8, 0xFFBFBFFF}, {16, 9, 0xFFFFFFFF}, {48, 11, 0xFF7F7FFF},
      // Dark red to yellow: red 127 + 128 f, green 255 f.
      {0, 12, 0xFFBF7F00}, {16, 13, 0xFFFFFF00}, {48, 15, 0xFF7F0000},
      // Everything else white.
      {0, 16, 0xFFFFFFFF}, {37, 40, 0xFFFFFFFF}, {63, 63, 0xFFFFFFFF},
  };
  for (const Texel& t : cases) {
    EXPECT_EQ(texels[t.row * 64 + t.column], t.argb) << std::hex << "row " << std::dec << t.row << " column "
                                                     << t.column;
  }
  // Each band is four columns wide.
  for (int r = 0; r < 64; ++r) {
    for (int c = 0; c < 16; ++c) EXPECT_EQ(texels[r * 64 + c], texels[r * 64 + (c & ~3)]) << r << "," << c;
  }
}

TEST(SolidsSink, RisesOverTwoSecondsAndSinksOverTheLastTwo) {
  const std::pair<float, float> cases[] = {
      {0.0f, 1.0f}, {1.0f, 0.5f}, {1.5f, 0.25f}, {2.0f, 0.0f}, {5.0f, 0.0f},
      {7.75f, 0.0f}, {8.0f, 0.0f}, {9.0f, 0.5f}, {9.5f, 0.75f},
  };
  for (auto [t, sink] : cases) EXPECT_EQ(SolidsEffect::SinkAt(t), sink) << "t = " << t;
}

}  // namespace
