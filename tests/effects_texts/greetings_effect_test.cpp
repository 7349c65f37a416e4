// The greetings point landscape on the software device: its grid, the colour of every point in a
// drawn frame, the frame without a font, and its life through Release and Init.
#include "effects/greetings_effect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "effect_frame.h"
#include "effects/landscape_synthesis.h"
#include "gfx/vertex_formats.h"

namespace {

using Greetings = GreetingsEffect;

const char* const kUnknownFaces[] = {"No Such Face", "Nor This One"};

class GreetingsTest : public EffectFrame {};

TEST_F(GreetingsTest, GridIsFiftyByFiftyPointsOverPlusMinus128) {
  Greetings greetings;
  ASSERT_EQ(greetings.Init(), 0);
  BYTE* bytes = nullptr;
  ASSERT_EQ(greetings.vertexBuffer()->Lock(0, 0, &bytes, D3DLOCK_READONLY), D3D_OK);
  const PointVertex* v = reinterpret_cast<const PointVertex*>(bytes);
  for (int r = 0; r < 50; ++r) {
    for (int k = 0; k < 50; ++k) {
      EXPECT_NEAR(v[50 * r + k].x, -128.0 + k * 256.0 / 49.0, 1e-3) << r << "," << k;
      EXPECT_NEAR(v[50 * r + k].y, -128.0 + r * 256.0 / 49.0, 1e-3) << r << "," << k;
      EXPECT_EQ(v[50 * r + k].x, v[k].x);
      EXPECT_EQ(v[50 * r + k].y, v[50 * r].y);
    }
  }
  EXPECT_EQ(v[0].x, -128.0f);
  greetings.vertexBuffer()->Unlock();
}

struct PointColours {
  int water = 0;
  int land = 0;
  int text = 0;
};

// Every point of a frame that lands alone on its pixel (and not on a pixel boundary), checked
// against the colour the landscape and the text give it: height map row (first row + r) AND 255,
// column 64 + k; blue under the sea at z 0, red land lifted by a quarter of its height above the
// sea; pink and 10 units higher on lit text pixels of grid rows 9..40.
PointColours CheckEveryPoint(const std::vector<uint32_t>& frame, const Greetings& greetings, const uint8_t* mask,
                             int maskWidth, int firstRow, int n) {
  struct Expected {
    uint32_t colour;
    int count;
  };
  std::map<std::pair<int, int>, Expected> pixels;
  const uint8_t* heights = greetings.heightMap();
  for (int r = 0; r < 50; ++r) {
    for (int k = 0; k < 50; ++k) {
      int h = heights[((firstRow + r) & 255) * 256 + 64 + k];
      double z = h < 64 ? 0.0 : (h - 64) * 0.25;
      uint32_t colour = h < 64 ? Greetings::kWaterColour : Greetings::kLandColour;
      if (mask != nullptr && r >= 9 && r <= 40 && mask[(r - 9) * maskWidth + ((k + n) & (maskWidth - 1))] != 0) {
        z += 10.0;
        colour = Greetings::kTextColour;
      }
      auto p =
          EffectFrame::Project(greetings.world(), greetings.camera().viewMatrix, greetings.camera().projectionMatrix,
                               -128.0 + k * 256.0 / 49.0, -128.0 + r * 256.0 / 49.0, z);
      double fx = p.x - 0.5 - std::floor(p.x - 0.5), fy = p.y - 0.5 - std::floor(p.y - 0.5);
      bool onBoundary = fx < 0.01 || fx > 0.99 || fy < 0.01 || fy > 0.99;
      std::pair<int, int> pixel{static_cast<int>(std::ceil(p.x - 0.5)), static_cast<int>(std::ceil(p.y - 0.5))};
      Expected& e = pixels[pixel];
      e.colour = colour;
      e.count += onBoundary ? 2 : 1;
    }
  }
  PointColours seen;
  for (const auto& [pixel, e] : pixels) {
    if (e.count != 1) continue;
    auto [x, y] = pixel;
    if (x < 0 || x >= EffectFrame::kWidth || y < 0 || y >= EffectFrame::kHeight) continue;
    EXPECT_EQ(frame[y * EffectFrame::kWidth + x] | 0xFF000000u, e.colour) << "pixel " << x << "," << y;
    seen.water += e.colour == Greetings::kWaterColour;
    seen.land += e.colour == Greetings::kLandColour;
    seen.text += e.colour == Greetings::kTextColour;
  }
  return seen;
}

// A frame with the built-in greetings in the window (past their leading spaces) and the landscape
// scrolled on: blue sea, red land and pink text, each point where the effect puts it, and nothing
// drawn but points.
TEST_F(GreetingsTest, FrameShowsSeaLandAndTextWhereTheyBelong) {
  Greetings greetings;
  ASSERT_EQ(greetings.Init(), 0);
  ASSERT_NE(greetings.textMask(), nullptr);
  DrawFrame(greetings, 3.5f);
  ASSERT_FLOAT_EQ(greetings.textScroll(), 224.0f);
  ASSERT_FLOAT_EQ(greetings.rowScroll(), 84.0f);
  std::vector<uint32_t> frame = DrawFrame(greetings);
  PointColours seen = CheckEveryPoint(frame, greetings, greetings.textMask(), greetings.maskWidth(), 84, 223);
  EXPECT_GT(seen.water + seen.land + seen.text, 1500);
  EXPECT_GT(seen.water, 100);
  EXPECT_GT(seen.land, 100);
  EXPECT_GT(seen.text, 30);
  for (uint32_t pixel : frame) {
    uint32_t c = pixel | 0xFF000000u;
    ASSERT_TRUE(c == 0xFF000000u || c == Greetings::kWaterColour || c == Greetings::kLandColour ||
                c == Greetings::kTextColour)
        << std::hex << pixel;
  }
}

// While swinging (the last 2 s of the 6 s cycle) the points are where the turned grid puts them.
TEST_F(GreetingsTest, SwingingFrameKeepsEveryPointInPlace) {
  const char* const faces[] = {"Tahoma", "System"};
  Greetings greetings({"HIH", 3, faces, 2});
  ASSERT_EQ(greetings.Init(), 0);
  // Short frames, so the text scroll wraps around the short text's mask one width at a time.
  for (int f = 0; f < 19; ++f) DrawFrame(greetings, 0.25f);
  ASSERT_EQ(greetings.swing(), 4.75f);
  float textScroll = greetings.textScroll();
  ASSERT_EQ(textScroll, std::fmod(304.0f, static_cast<float>(greetings.maskWidth())));
  std::vector<uint32_t> frame = DrawFrame(greetings);
  float angle = -0.75f * 3.141592f + 0.6283184f;
  EXPECT_NEAR(greetings.world().m[0][0], std::cos(angle), 1e-6);
  EXPECT_NEAR(greetings.world().m[0][1], std::sin(angle), 1e-6);
  int n = textScroll > 0.0f ? static_cast<int>(textScroll + 0.5f) - 1 : static_cast<int>(textScroll - 0.5f);
  PointColours seen = CheckEveryPoint(frame, greetings, greetings.textMask(), greetings.maskWidth(), 114, n);
  EXPECT_GT(seen.water + seen.land + seen.text, 1500);
}

// Without a font there is no mask: no pink anywhere, the landscape as usual, and the text does not
// move.
TEST_F(GreetingsTest, WithoutAFontNoPointIsPink) {
  Greetings greetings({"HIH", 3, kUnknownFaces, 2});
  ASSERT_EQ(greetings.Init(), 0);
  EXPECT_EQ(greetings.textMask(), nullptr);
  std::vector<uint32_t> frame = DrawFrame(greetings, 1.0f);
  EXPECT_EQ(greetings.textScroll(), 0.0f);
  PointColours seen = CheckEveryPoint(frame, greetings, nullptr, 1, 0, 0);
  EXPECT_EQ(seen.text, 0);
  EXPECT_GT(seen.water, 100);
  EXPECT_GT(seen.land, 100);
  for (uint32_t pixel : frame) ASSERT_NE(pixel | 0xFF000000u, Greetings::kTextColour);
}

// Every Init builds the same landscape and mask and keeps the animation; Release gives
// everything back and may repeat; a failed buffer creation is reported and leaves nothing to draw.
TEST_F(GreetingsTest, InitRebuildsTheSameLandscapeAndKeepsTheAnimation) {
  Greetings greetings;
  ASSERT_EQ(greetings.Init(), 0);
  std::vector<uint8_t> map(greetings.heightMap(), greetings.heightMap() + kLandscapeSize);
  std::vector<uint8_t> mask(greetings.textMask(), greetings.textMask() + 32 * greetings.maskWidth());
  DrawFrame(greetings, 5.5f);
  float rowScroll = greetings.rowScroll(), swing = greetings.swing(), textScroll = greetings.textScroll();
  greetings.Release();
  greetings.Release();
  EXPECT_EQ(greetings.heightMap(), nullptr);
  EXPECT_EQ(greetings.textMask(), nullptr);
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0);
  ASSERT_EQ(greetings.Init(), 0);
  EXPECT_EQ(std::vector<uint8_t>(greetings.heightMap(), greetings.heightMap() + kLandscapeSize), map);
  EXPECT_EQ(std::vector<uint8_t>(greetings.textMask(), greetings.textMask() + 32 * greetings.maskWidth()), mask);
  EXPECT_EQ(greetings.rowScroll(), rowScroll);
  EXPECT_EQ(greetings.swing(), swing);
  EXPECT_EQ(greetings.textScroll(), textScroll);

  d3d8test::FailNthCreation(d3d8test::ResourceKind::kVertexBuffer, 1);
  EXPECT_EQ(greetings.Init(), -1);
  EXPECT_EQ(greetings.vertexBuffer(), nullptr);
  std::vector<uint32_t> frame = DrawFrame(greetings, 1.0f);
  for (uint32_t pixel : frame) ASSERT_EQ(pixel & 0xFFFFFF, 0u);
}

}  // namespace
