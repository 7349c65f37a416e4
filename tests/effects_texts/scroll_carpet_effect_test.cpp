// The spinning scroll-text carpet on the software device: its grid, the colour of every cell in a
// drawn frame, the frame without a font, and its life through Release and Init.
#include "effects/scroll_carpet_effect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "effect_frame.h"
#include "gfx/vertex_formats.h"

namespace {

using Carpet = ScrollCarpetEffect;

const char* const kUnknownFaces[] = {"No Such Face"};

class ScrollCarpetTest : public EffectFrame {};

// The vertex buffer's x and y: 16 strips of 31 top/bottom column pairs, x from 160 down to -160
// in steps of 320/30, strips from y 100 down to -100 in 12.5s.
TEST_F(ScrollCarpetTest, GridHoldsSixteenStripsOfThirtyOneColumns) {
  Carpet carpet;
  ASSERT_EQ(carpet.Init(), 0);
  BYTE* bytes = nullptr;
  ASSERT_EQ(carpet.vertexBuffer()->Lock(0, 0, &bytes, D3DLOCK_READONLY), D3D_OK);
  const PointVertex* v = reinterpret_cast<const PointVertex*>(bytes);
  for (int s = 0; s < Carpet::kStripCount; ++s) {
    for (int i = 0; i < Carpet::kColumnCount; ++i) {
      const PointVertex& top = v[62 * s + 2 * i];
      const PointVertex& bottom = v[62 * s + 2 * i + 1];
      EXPECT_NEAR(top.x, 160.0 - i * 320.0 / 30.0, 1e-4) << s << "," << i;
      EXPECT_EQ(bottom.x, top.x);
      EXPECT_EQ(top.y, 100.0f - 12.5f * s);
      EXPECT_EQ(bottom.y, top.y - 12.5f);
      // Each column is the same x in every strip.
      EXPECT_EQ(top.x, v[2 * i].x);
    }
  }
  EXPECT_EQ(v[0].x, 160.0f);
  EXPECT_EQ(v[991].y, -100.0f);
  carpet.vertexBuffer()->Unlock();
}

// The swell heights and the red shade of a column, as the carpet is made to show them.
struct Column {
  float topZ;
  float bottomZ;
  int shade;
};
Column ColumnAt(int s, int i, float phase) {
  float wave = std::cos(static_cast<float>(i) * 6.283184f / 30.0f + phase);
  float topZ = std::sin(static_cast<float>(s) * 3.141592f / 16.0f + phase) * wave * 32.0f;
  float bottomZ = std::sin(static_cast<float>(s + 1) * 3.141592f / 16.0f + phase) * wave * 32.0f;
  return {topZ, bottomZ, 63 + static_cast<int>(3.0f * (topZ + 32.0f))};
}

// Every cell of a frame, looked at where the centre of its first triangle lands: red by the
// height of its left column, or grey of that brightness on a lit text pixel (mask row s - 1,
// column i + n). `mask` may be null. Cells outside the frame are skipped. A cell or two at the carpet's rim may be a
// sliver too thin to hold that pixel, or be hidden behind a crest, so a few cells may show another colour.
struct CellCounts {
  int seen = 0;
  int wrong = 0;
  int text = 0;
};
CellCounts CheckEveryCell(const std::vector<uint32_t>& frame, const Carpet& carpet, const uint8_t* mask, int maskWidth,
                          float phase, int n) {
  const Matrix4& view = carpet.camera().viewMatrix;
  const Matrix4& projection = carpet.camera().projectionMatrix;
  CellCounts counts;
  for (int s = 0; s < Carpet::kStripCount; ++s) {
    float x = 160.0f;
    for (int i = 0; i < 30; ++i) {
      float nextX = x - 10.666667f;
      Column left = ColumnAt(s, i, phase);
      Column right = ColumnAt(s, i + 1, phase);
      float top = 100.0f - 12.5f * s;
      // Centroid of (top i, bottom i, top i + 1).
      auto p = EffectFrame::Project(carpet.world(), view, projection, (2.0 * x + nextX) / 3.0, top - 12.5 / 3.0,
                                    (double(left.topZ) + left.bottomZ + right.topZ) / 3.0);
      bool text = mask != nullptr && s >= 1 && s <= 14 && mask[(s - 1) * maskWidth + ((i + n) & (maskWidth - 1))] != 0;
      uint32_t expected = 0xFF000000u | (text ? 0x010101u * left.shade : uint32_t(left.shade) << 16);
      int px = static_cast<int>(std::lround(p.x)), py = static_cast<int>(std::lround(p.y));
      x = nextX;
      // The turned carpet's nearest corner may reach past the frame.
      if (px < 0 || px >= EffectFrame::kWidth || py < 0 || py >= EffectFrame::kHeight) continue;
      ++counts.seen;
      uint32_t seen = frame[py * EffectFrame::kWidth + px] | 0xFF000000u;
      if (seen != expected) {
        ++counts.wrong;
        std::printf("cell %d,%d at (%d, %d): %08X, expected %08X\n", s, i, px, py, seen, expected);
      }
      counts.text += text;
    }
  }
  EXPECT_GE(counts.seen, 470);
  EXPECT_LE(counts.wrong, 4);
  return counts;
}

// No pixel of a carpet frame is anything but black, pure red or grey.
void ExpectOnlyRedsAndGreys(const std::vector<uint32_t>& frame) {
  for (uint32_t pixel : frame) {
    uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    ASSERT_TRUE((g == 0 && b == 0) || (r == g && g == b)) << std::hex << pixel;
  }
}

// A frame some seconds in, with the built-in message in the window: cells in reds and the text's
// lit pixels in greys, each where the carpet puts it.
TEST_F(ScrollCarpetTest, FrameShowsRedCellsAndGreyTextWhereTheyBelong) {
  Carpet carpet;
  ASSERT_EQ(carpet.Init(), 0);
  ASSERT_NE(carpet.textMask(), nullptr);
  // Seven seconds bring 196 text columns, well past the leading spaces, into the window; the
  // carpet has turned and its swell moved on.
  DrawFrame(carpet, 7.0f);
  float phase = carpet.phase();
  float scroll = carpet.scroll();
  ASSERT_FLOAT_EQ(scroll, 196.0f);
  std::vector<uint32_t> frame = DrawFrame(carpet);
  CellCounts cells =
      CheckEveryCell(frame, carpet, carpet.textMask(), carpet.maskWidth(), phase, static_cast<int>(scroll + 0.5f) - 1);
  EXPECT_GT(cells.text, 30);
  ExpectOnlyRedsAndGreys(frame);
}

// The first frame: phase, spin and scroll 0, so n = trunc(-0.5) = 0 and a short text starting
// at column 0 lies at the carpet's first cells.
TEST_F(ScrollCarpetTest, FirstFrameShowsAShortTextFromItsFirstColumn) {
  const char* const faces[] = {"System"};
  Carpet carpet({"HIHO", 4, faces, 1});
  ASSERT_EQ(carpet.Init(), 0);
  ASSERT_NE(carpet.textMask(), nullptr);
  EXPECT_EQ(carpet.maskWidth() & (carpet.maskWidth() - 1), 0);
  std::vector<uint32_t> frame = DrawFrame(carpet);
  EXPECT_GT(CheckEveryCell(frame, carpet, carpet.textMask(), carpet.maskWidth(), 0.0f, 0).text, 20);
}

// Without a font there is no mask: every cell is red, nothing grey anywhere, and the text does not
// move.
TEST_F(ScrollCarpetTest, WithoutAFontEveryCellIsRed) {
  Carpet carpet({"HIHO", 4, kUnknownFaces, 1});
  ASSERT_EQ(carpet.Init(), 0);
  EXPECT_EQ(carpet.textMask(), nullptr);
  DrawFrame(carpet, 2.0f);
  EXPECT_EQ(carpet.scroll(), 0.0f);
  float phase = carpet.phase();
  std::vector<uint32_t> frame = DrawFrame(carpet);
  CheckEveryCell(frame, carpet, nullptr, 1, phase, 0);
  int red = 0;
  for (uint32_t pixel : frame) {
    uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    ASSERT_EQ(g | b, 0u);
    red += r != 0;
  }
  EXPECT_GT(red, 5000);
}

// Release gives everything back and may repeat; Init rebuilds buffer and mask but keeps the
// animation; after a failed buffer creation Init reports it and Render draws nothing.
TEST_F(ScrollCarpetTest, ReleaseAndInitKeepTheAnimationAndFailCleanly) {
  Carpet carpet;
  ASSERT_EQ(carpet.Init(), 0);
  DrawFrame(carpet, 1.25f);
  float spin = carpet.spin(), scroll = carpet.scroll(), phase = carpet.phase();
  EXPECT_FLOAT_EQ(spin, 6.283184f - 1.25f);
  EXPECT_FLOAT_EQ(scroll, 35.0f);
  EXPECT_FLOAT_EQ(phase, 1.875f);
  carpet.Release();
  carpet.Release();
  EXPECT_EQ(carpet.vertexBuffer(), nullptr);
  EXPECT_EQ(carpet.textMask(), nullptr);
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0);
  ASSERT_EQ(carpet.Init(), 0);
  ASSERT_EQ(carpet.Init(), 0);
  EXPECT_EQ(carpet.spin(), spin);
  EXPECT_EQ(carpet.scroll(), scroll);
  EXPECT_EQ(carpet.phase(), phase);
  EXPECT_NE(carpet.textMask(), nullptr);

  d3d8test::FailNthCreation(d3d8test::ResourceKind::kVertexBuffer, 1);
  EXPECT_EQ(carpet.Init(), -1);
  EXPECT_EQ(carpet.vertexBuffer(), nullptr);
  std::vector<uint32_t> frame = DrawFrame(carpet, 1.0f);
  for (uint32_t pixel : frame) ASSERT_EQ(pixel & 0xFFFFFF, 0u);
}

}  // namespace
