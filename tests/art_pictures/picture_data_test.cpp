// Checks of the committed pictures as the program embeds them: layouts, the sprite's outline, black
// tile borders and the colours each picture is meant to have.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "embedded_data.h"

namespace {

uint16_t Texel(const unsigned char* bytes, int width, int x, int y) {
  const int i = (y * width + x) * 2;
  return static_cast<uint16_t>(bytes[i] | (bytes[i + 1] << 8));
}

struct Rgb {
  int r;  // 0..31
  int g;  // 0..63 for R5G6B5, 0..31 for A1R5G5B5
  int b;  // 0..31
};

Rgb FromR5G6B5(uint16_t v) { return {v >> 11, (v >> 5) & 63, v & 31}; }
Rgb FromA1R5G5B5(uint16_t v) { return {(v >> 10) & 31, (v >> 5) & 31, v & 31}; }

struct RotozoomPicture {
  const char* name;
  const unsigned char* bytes;
  unsigned int size;
};

const std::array<RotozoomPicture, 2> kRotozoomPictures = {{
    {"portrait", embedded::images_rotozoom_a_raw, embedded::images_rotozoom_a_raw_size},
    {"emblem", embedded::images_rotozoom_b_raw, embedded::images_rotozoom_b_raw_size},
}};

TEST(PictureData, LayoutsHaveTheirExactSizes) {
  EXPECT_EQ(embedded::images_rotozoom_a_raw_size, 128u * 128u * 2u);
  EXPECT_EQ(embedded::images_rotozoom_b_raw_size, 128u * 128u * 2u);
  EXPECT_EQ(embedded::images_sprite_ball_raw_size, 16u * 16u * 2u);
}

// The rotozoom repeats its picture in every direction, so each tile must meet its neighbours on
// black: the outermost texel ring is exact black and the next two are at most one step above it.
TEST(PictureData, RotozoomPicturesHaveBlackBorders) {
  for (const RotozoomPicture& picture : kRotozoomPictures) {
    ASSERT_EQ(picture.size, 32768u) << picture.name;
    for (int y = 0; y < 128; ++y) {
      for (int x = 0; x < 128; ++x) {
        const int ring = std::min(std::min(x, y), std::min(127 - x, 127 - y));
        if (ring > 2) continue;
        const uint16_t v = Texel(picture.bytes, 128, x, y);
        if (ring == 0) {
          EXPECT_EQ(v, 0) << picture.name << " at " << x << "," << y;
        } else {
          const Rgb c = FromR5G6B5(v);
          EXPECT_TRUE(c.r <= 1 && c.g <= 2 && c.b <= 1) << picture.name << " at " << x << "," << y << ": 0x"
                                                        << std::hex << v;
        }
      }
    }
  }
}

// The sprite effect alpha-tests its point sprites, so the outline is exactly these spans.
TEST(PictureData, SpriteBallOpaqueTexelsFollowTheOutlineRowByRow) {
  struct Span {
    int first;
    int last;
  };
  const std::array<Span, 16> outline = {{
      {5, 10}, {3, 12}, {2, 13}, {1, 14}, {1, 14}, {0, 15}, {0, 15}, {0, 15},
      {0, 15}, {0, 15}, {0, 15}, {1, 14}, {1, 14}, {2, 13}, {3, 12}, {5, 10},
  }};
  ASSERT_EQ(embedded::images_sprite_ball_raw_size, 512u);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const uint16_t v = Texel(embedded::images_sprite_ball_raw, 16, x, y);
      const bool inside = x >= outline[static_cast<size_t>(y)].first && x <= outline[static_cast<size_t>(y)].last;
      if (inside) {
        EXPECT_NE(v & 0x8000, 0) << "row " << y << " column " << x << " should be opaque";
      } else {
        EXPECT_EQ(v, 0) << "row " << y << " column " << x << " should be 0x0000";
      }
    }
  }
}

// Each picture carries its own colour: a warm face, a yellow disc, a light-blue ball. Averages over
// a probe box catch swapped channels or a painter that lost its subject.
TEST(PictureData, PicturesHaveTheirColours) {
  struct Probe {
    const char* name;
    const unsigned char* bytes;
    int width;
    bool r5g6b5;
    int x0, y0, x1, y1;  // probe box, inclusive
  };
  const std::array<Probe, 3> probes = {{
      {"portrait cheek", embedded::images_rotozoom_a_raw, 128, true, 44, 64, 54, 72},
      {"emblem disc", embedded::images_rotozoom_b_raw, 128, true, 30, 30, 98, 98},
      {"sprite ball", embedded::images_sprite_ball_raw, 16, false, 4, 4, 11, 11},
  }};
  for (const Probe& p : probes) {
    double r = 0, g = 0, b = 0;
    for (int y = p.y0; y <= p.y1; ++y) {
      for (int x = p.x0; x <= p.x1; ++x) {
        const uint16_t v = Texel(p.bytes, p.width, x, y);
        const Rgb c = p.r5g6b5 ? FromR5G6B5(v) : FromA1R5G5B5(v);
        // Normalise every channel to 0..1.
        r += c.r / 31.0;
        g += c.g / (p.r5g6b5 ? 63.0 : 31.0);
        b += c.b / 31.0;
      }
    }
    const double n = static_cast<double>((p.x1 - p.x0 + 1) * (p.y1 - p.y0 + 1));
    r /= n;
    g /= n;
    b /= n;
    const std::string name = p.name;
    if (name == "portrait cheek") {
      EXPECT_GT(r, 0.5) << name;
      EXPECT_GT(r, g) << name;
      EXPECT_GT(g, b) << name;
    } else if (name == "emblem disc") {
      EXPECT_GT(r, 0.45) << name;
      EXPECT_GT(g, 0.35) << name;
      EXPECT_GT(g, 2.0 * b) << name;
    } else {
      EXPECT_GT(b, 0.6) << name;
      EXPECT_GT(b, r) << name;
    }
  }
}

}  // namespace
