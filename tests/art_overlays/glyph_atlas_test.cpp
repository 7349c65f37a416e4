// The message panel's glyph atlas: four texel values, the cell layout, and the outline convention
// the panel's outline, mask and stripe passes rely on.
#include <gtest/gtest.h>

#include <cstdint>

#include "art_bytes.h"
#include "embedded_data.h"

namespace {

constexpr int kAtlas = 128;
constexpr int kGlyphs = 51;
constexpr uint16_t kInterior = 0x0000;
constexpr uint16_t kBackground = 0x8000;
constexpr uint16_t kLight = 0xF7BD;
constexpr uint16_t kMid = 0xC631;

uint16_t AtlasTexel(int x, int y) { return art_test::Texel16(embedded::images_glyph_atlas_raw, y * kAtlas + x); }

// A texel of glyph g's 16x16 cell; texels beyond the cell read as background.
uint16_t GlyphTexel(int g, int x, int y) {
  if (x < 0 || y < 0 || x >= 16 || y >= 16) return kBackground;
  return AtlasTexel(16 * (g % 8) + x, 17 * (g / 8) + y);
}

TEST(GlyphAtlas, UsesOnlyTheFourTexelValues) {
  for (int i = 0; i < kAtlas * kAtlas; ++i) {
    uint16_t t = art_test::Texel16(embedded::images_glyph_atlas_raw, i);
    ASSERT_TRUE(t == kInterior || t == kBackground || t == kLight || t == kMid)
        << "texel " << i % kAtlas << "," << i / kAtlas << " is " << std::hex << t;
  }
}

TEST(GlyphAtlas, EverythingOutsideTheGlyphCellsIsBackground) {
  for (int y = 0; y < kAtlas; ++y) {
    for (int x = 0; x < kAtlas; ++x) {
      const int cellRow = y / 17, cell = cellRow * 8 + x / 16;
      const bool inGlyph = y % 17 < 16 && cell < kGlyphs;
      if (!inGlyph) {
        ASSERT_EQ(AtlasTexel(x, y), kBackground) << "texel " << x << "," << y;
      }
    }
  }
}

// Every glyph is a closed one-texel outline around a transparent inside: inside texels touch no
// background, even diagonally (or the stripes would leak out of the letter), outline texels all
// touch it, and the bevel is light where the outside lies above or left, mid grey below or right.
TEST(GlyphAtlas, EveryGlyphIsAnInsideRingedByABevelledOutline) {
  for (int g = 0; g < kGlyphs; ++g) {
    int inside = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const uint16_t t = GlyphTexel(g, x, y);
        if (t == kBackground) continue;
        bool touchesOutside = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) touchesOutside |= GlyphTexel(g, x + dx, y + dy) == kBackground;
        if (t == kInterior) {
          ++inside;
          EXPECT_FALSE(touchesOutside) << "glyph " << g << " leaks at " << x << "," << y;
          continue;
        }
        EXPECT_TRUE(touchesOutside) << "glyph " << g << " has a thick outline at " << x << "," << y;
        const bool up = GlyphTexel(g, x, y - 1) == kBackground, left = GlyphTexel(g, x - 1, y) == kBackground;
        const bool down = GlyphTexel(g, x, y + 1) == kBackground, right = GlyphTexel(g, x + 1, y) == kBackground;
        if ((up || left) && !down && !right) {
          EXPECT_EQ(t, kLight) << "glyph " << g << " at " << x << "," << y;
        }
        if ((down || right) && !up && !left) {
          EXPECT_EQ(t, kMid) << "glyph " << g << " at " << x << "," << y;
        }
      }
    }
    EXPECT_GE(inside, 10) << "glyph " << g;
  }
}

// The stripes must show at 32-pixel tiles: the insides of letters and digits are broad, made of
// strokes at least two texels thick.
TEST(GlyphAtlas, LettersAndDigitsHaveBroadInsides) {
  auto in = [](int g, int x, int y) { return GlyphTexel(g, x, y) == kInterior && x >= 0 && y >= 0 && x < 16 && y < 16; };
  for (int g = 0; g <= 35; ++g) {
    int inside = 0, inBlock = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        if (!in(g, x, y)) continue;
        ++inside;
        bool block = false;
        for (int by = y - 1; by <= y; ++by)
          for (int bx = x - 1; bx <= x; ++bx)
            block |= in(g, bx, by) && in(g, bx + 1, by) && in(g, bx, by + 1) && in(g, bx + 1, by + 1);
        inBlock += block ? 1 : 0;
      }
    }
    EXPECT_GE(inside, 40) << "glyph " << g;
    EXPECT_GE(inBlock * 10, inside * 7) << "glyph " << g << ": too much of its inside is one texel thin";
  }
}

TEST(GlyphAtlas, EveryGlyphKeepsAColumnOfSpaceAtBothSides) {
  for (int g = 0; g < kGlyphs; ++g) {
    for (int y = 0; y < 16; ++y) {
      EXPECT_EQ(GlyphTexel(g, 0, y), kBackground) << "glyph " << g << " row " << y;
      EXPECT_EQ(GlyphTexel(g, 15, y), kBackground) << "glyph " << g << " row " << y;
    }
  }
}

}  // namespace
