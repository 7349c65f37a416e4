// The now-playing captions: two texel values, one caption per 7-row band, each starting with the
// slash at column 0 and exactly filling the 4w columns the ticker repeats it at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "art_bytes.h"
#include "embedded_data.h"

namespace {

constexpr int kSize = 256;
constexpr uint16_t kBackground = 0x8000;
constexpr uint16_t kLettering = 0xFFFF;
// The ticker's caption widths in units of 4 texels, tracks 0 to 15.
constexpr int kWidths[16] = {27, 29, 26, 23, 28, 26, 32, 30, 35, 34, 48, 46, 36, 38, 47, 27};

uint16_t CaptionTexel(int x, int y) { return art_test::Texel16(embedded::images_captions_raw, y * kSize + x); }

bool Lit(int k, int x, int row) { return CaptionTexel(x, 7 * k + row) == kLettering; }

bool ColumnLit(int k, int x) {
  for (int row = 1; row <= 5; ++row)
    if (Lit(k, x, row)) return true;
  return false;
}

TEST(Captions, UseOnlyBackgroundAndLettering) {
  for (int i = 0; i < kSize * kSize; ++i) {
    const uint16_t t = art_test::Texel16(embedded::images_captions_raw, i);
    ASSERT_TRUE(t == kBackground || t == kLettering) << "texel " << i % kSize << "," << i / kSize;
  }
}

TEST(Captions, LetteringStaysInsideEachCaptionsBand) {
  for (int y = 0; y < kSize; ++y) {
    const int k = y / 7, row = y % 7;
    for (int x = 0; x < kSize; ++x) {
      const bool allowed = k < 16 && row >= 1 && row <= 5 && x < 4 * kWidths[k];
      if (!allowed) {
        ASSERT_EQ(CaptionTexel(x, y), kBackground) << x << "," << y;
      }
    }
  }
}

// The blank runs between the words of caption k, in columns.
std::vector<int> WordGaps(int k, int last) {
  std::vector<int> gaps;
  int run = 0;
  for (int x = 0; x <= last; ++x) {
    if (ColumnLit(k, x)) {
      if (run >= 2) gaps.push_back(run);
      run = 0;
    } else {
      ++run;
    }
  }
  return gaps;
}

TEST(Captions, EachStartsWithTheSlashAndFillsItsWidth) {
  for (int k = 0; k < 16; ++k) {
    const int width = 4 * kWidths[k];
    // The slash at columns 0..2: rising from bottom left to top right, then a gap.
    EXPECT_TRUE(Lit(k, 0, 5)) << "caption " << k;
    EXPECT_FALSE(Lit(k, 0, 1)) << "caption " << k;
    EXPECT_TRUE(Lit(k, 2, 1)) << "caption " << k;
    EXPECT_FALSE(Lit(k, 2, 5)) << "caption " << k;
    EXPECT_FALSE(ColumnLit(k, 3)) << "caption " << k;

    int last = width - 1;
    while (last > 0 && !ColumnLit(k, last)) --last;
    const std::vector<int> gaps = WordGaps(k, last);
    ASSERT_GE(gaps.size(), 2u) << "caption " << k << " has no words";
    const auto [narrowest, widest] = std::minmax_element(gaps.begin(), gaps.end());
    // The seam: the blank columns from the last letter to the next copy's slash at 4w. Its being
    // a gap like the others is what makes w the caption's laid-out width over 4, rounded up: the
    // lettering does not end early, and it leaves room before the next slash.
    const int seam = width - 1 - last;
    EXPECT_GE(seam, 2) << "caption " << k << " runs into the next copy";
    EXPECT_GE(seam, *narrowest - 2) << "caption " << k;
    EXPECT_LE(seam, *widest + 2) << "caption " << k << " leaves a hole before the next copy";
    // Gaps within a caption look even.
    EXPECT_LE(*widest - *narrowest, 3) << "caption " << k;
  }
}

TEST(Captions, AreDistinct) {
  for (int a = 0; a < 16; ++a)
    for (int b = a + 1; b < 16; ++b) {
      bool same = true;
      for (int row = 1; row <= 5 && same; ++row)
        for (int x = 0; x < kSize && same; ++x) same = Lit(a, x, row) == Lit(b, x, row);
      EXPECT_FALSE(same) << "captions " << a << " and " << b;
    }
}

}  // namespace
