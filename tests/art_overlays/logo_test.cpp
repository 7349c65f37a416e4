// The logo banner's picture: a cut-out (alpha 0 or 255) lying in the columns the banner maps.
#include <gtest/gtest.h>

#include <algorithm>

#include "embedded_data.h"

namespace {

constexpr int kWidth = 512;
constexpr int kHeight = 64;

unsigned char Alpha(int x, int y) { return embedded::images_logo_raw[(y * kWidth + x) * 4 + 3]; }

TEST(Logo, IsACutOutInsideColumns9To309) {
  int first = kWidth, last = -1, opaque = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const unsigned char a = Alpha(x, y);
      ASSERT_TRUE(a == 0 || a == 255) << x << "," << y << " has alpha " << int(a);
      if (a == 0) continue;
      ++opaque;
      first = std::min(first, x);
      last = std::max(last, x);
    }
  }
  EXPECT_GE(first, 9);
  EXPECT_LE(last, 309);
  // It fills its span: a logo, not a speck, across most of the banner.
  EXPECT_LE(first, 20);
  EXPECT_GE(last, 298);
  EXPECT_GT(opaque, 320 * 64 / 4);
}

// Transparent texels carry no colour, so a filtered sample at the cut-out's edge pulls in no
// stray colour and the 16-bit fallback turns them into plain 0x0000.
TEST(Logo, TransparentTexelsAreBlack) {
  for (int i = 0; i < kWidth * kHeight; ++i) {
    const unsigned char* t = &embedded::images_logo_raw[i * 4];
    if (t[3] == 0) {
      ASSERT_EQ(t[0] | t[1] | t[2], 0) << "texel " << i;
    }
  }
}

}  // namespace
