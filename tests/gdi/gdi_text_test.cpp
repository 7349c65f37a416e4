// Fonts, extents and text drawn into DIB sections through the GDI calls.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/gdi/baked_font.h"
#include "text_canvas.h"

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kSentinel = 0xDEADBEEF;

std::string PrintableAscii() {
  std::string text;
  for (int c = 32; c <= 126; ++c) text += static_cast<char>(c);
  return text;
}

struct FontCase {
  const char* face;
  int height;
  int weight;
  DWORD italic;
  int expectedCellHeight;  // 0: no font
};

TEST(GdiFonts, CreateFontServesOnlyTheBakedFacesAndSizes) {
  const FontCase cases[] = {
      // The raster system face serves every height with its one 16-row cell.
      {"System", 8, FW_NORMAL, FALSE, 16},
      {"System", 0, FW_NORMAL, FALSE, 16},
      {"System", -8, FW_NORMAL, FALSE, 16},
      {"System", 32, FW_BOLD, FALSE, 16},
      {"system", 100, FW_NORMAL, FALSE, 16},
      // The bold sans face at a 32-row cell, or asked for by its em size.
      {"Tahoma", 32, FW_BOLD, FALSE, 32},
      {"TAHOMA", -27, FW_BOLD, FALSE, 32},
      {"Tahoma", 32, 800, FALSE, 32},
      // Sizes, weights and styles that were not baked give no font.
      {"Tahoma", 8, FW_NORMAL, FALSE, 0},
      {"Tahoma", 32, FW_NORMAL, FALSE, 0},
      {"Tahoma", 31, FW_BOLD, FALSE, 0},
      {"Tahoma", 0, FW_BOLD, FALSE, 0},
      {"Tahoma", 32, FW_BOLD, TRUE, 0},
      {"System", 8, FW_NORMAL, TRUE, 0},
      {"Arial", 32, FW_BOLD, FALSE, 0},
      {"Tahoma Bold", 32, FW_BOLD, FALSE, 0},
      {"", 8, FW_NORMAL, FALSE, 0},
      {nullptr, 8, FW_NORMAL, FALSE, 0},
  };
  for (const FontCase& c : cases) {
    SCOPED_TRACE(std::string(c.face != nullptr ? c.face : "(null)") + " " + std::to_string(c.height) + " " +
                 std::to_string(c.weight));
    HFONT font = CreateFontA(c.height, 0, 0, 0, c.weight, c.italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, VARIABLE_PITCH, c.face);
    if (c.expectedCellHeight == 0) {
      EXPECT_EQ(font, nullptr);
      continue;
    }
    ASSERT_NE(font, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, font);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "A", 1, &size));
    EXPECT_EQ(size.cy, c.expectedCellHeight);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(font));
  }
}

TEST(GdiText, ExtentIsTheSumOfAdvancesByTheCellHeight) {
  TextCanvas canvas;
  ASSERT_TRUE(canvas.UseFont("System", 8, FW_NORMAL));
  SIZE h = canvas.Measure("H"), i = canvas.Measure("i"), hi = canvas.Measure("Hi"), none = canvas.Measure("");
  EXPECT_GT(h.cx, i.cx);
  EXPECT_GT(i.cx, 0);
  EXPECT_EQ(hi.cx, h.cx + i.cx);
  EXPECT_EQ(hi.cy, 16);
  EXPECT_EQ(none.cx, 0);
  EXPECT_EQ(none.cy, 16);
}

TEST(GdiText, PositiveHeightDibHoldsTheTextUpsideDownInMemory) {
  const std::string text = "Tj";
  TextCanvas bottomUp, topDown;
  ASSERT_TRUE(bottomUp.UseFont("System", 8, FW_NORMAL));
  ASSERT_TRUE(topDown.UseFont("System", 8, FW_NORMAL));
  SIZE extent = bottomUp.Measure(text);
  ASSERT_NE(bottomUp.MakeDib(extent.cx, extent.cy), nullptr);
  ASSERT_NE(topDown.MakeDib(extent.cx, -extent.cy), nullptr);
  ASSERT_TRUE(bottomUp.Draw(text));
  ASSERT_TRUE(topDown.Draw(text));

  int lit = 0;
  for (int r = 0; r < extent.cy; ++r) {
    for (int x = 0; x < extent.cx; ++x) {
      uint32_t pixel = bottomUp.bits()[r * extent.cx + x];
      ASSERT_TRUE(pixel == 0 || pixel == kWhite) << "not anti-aliased: " << std::hex << pixel;
      EXPECT_EQ(pixel, topDown.bits()[(extent.cy - 1 - r) * extent.cx + x]);
      lit += pixel != 0;
    }
  }
  EXPECT_GT(lit, 20);
  // The descender of j reaches the bottom row of the cell, the first row in memory; the top rows
  // of the cell, last in memory, stay empty (room the raster face keeps above its capitals).
  auto [first, last] = bottomUp.LitMemoryRows();
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 12);
}

TEST(GdiText, OpaqueTextFillsExactlyItsCellsAndLeavesTheRestAlone) {
  TextCanvas canvas;
  ASSERT_TRUE(canvas.UseFont("System", 8, FW_NORMAL));
  const int width = 64, height = 24, x0 = 5, y0 = 3;
  uint32_t* bits = canvas.MakeDib(width, -height);
  ASSERT_NE(bits, nullptr);
  std::fill(bits, bits + width * height, kSentinel);
  SetTextColor(canvas.dc(), RGB(0x12, 0x34, 0x56));
  SetBkColor(canvas.dc(), RGB(1, 2, 3));
  SIZE extent = canvas.Measure("Ab");
  ASSERT_TRUE(canvas.Draw("Ab", x0, y0));

  int ink = 0, back = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t pixel = bits[y * width + x];
      bool inCells = x >= x0 && x < x0 + extent.cx && y >= y0 && y < y0 + extent.cy;
      if (!inCells) {
        ASSERT_EQ(pixel, kSentinel) << x << "," << y;
        continue;
      }
      // COLORREF 0x00BBGGRR becomes the BI_RGB pixel 0x00RRGGBB.
      ASSERT_TRUE(pixel == 0x00123456u || pixel == 0x00010203u) << std::hex << pixel;
      (pixel == 0x00123456u ? ink : back)++;
    }
  }
  EXPECT_GT(ink, 20);
  EXPECT_GT(back, ink);
}

TEST(GdiText, ClippingToTheBitmapKeepsEveryPixelInPlace) {
  const std::string text = "Hello, ODD!";
  TextCanvas reference;
  ASSERT_TRUE(reference.UseFont("System", 8, FW_NORMAL));
  SIZE extent = reference.Measure(text);
  ASSERT_NE(reference.MakeDib(extent.cx, -extent.cy), nullptr);
  ASSERT_TRUE(reference.Draw(text));

  struct Offset {
    int x, y;
  };
  const Offset offsets[] = {{-3, -2}, {-30, 5}, {extent.cx - 4, 0}, {2, extent.cy - 3}, {-1000, 0}, {0, -1000}};
  for (const Offset& o : offsets) {
    SCOPED_TRACE(std::to_string(o.x) + "," + std::to_string(o.y));
    TextCanvas small;
    ASSERT_TRUE(small.UseFont("System", 8, FW_NORMAL));
    const int width = 7, height = 10;
    uint32_t* bits = small.MakeDib(width, -height);
    std::fill(bits, bits + width * height, kSentinel);
    ASSERT_TRUE(small.Draw(text, o.x, o.y));
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        int rx = x - o.x, ry = y - o.y;
        bool inText = rx >= 0 && rx < extent.cx && ry >= 0 && ry < extent.cy;
        uint32_t expected = inText ? reference.bits()[ry * extent.cx + rx] : kSentinel;
        ASSERT_EQ(bits[y * width + x], expected) << x << "," << y;
      }
    }
  }
}

TEST(GdiText, ClipRectangleLimitsTextAndOpaqueFillsIt) {
  TextCanvas canvas;
  ASSERT_TRUE(canvas.UseFont("System", 8, FW_NORMAL));
  const int width = 40, height = 20;
  uint32_t* bits = canvas.MakeDib(width, -height);
  std::fill(bits, bits + width * height, kSentinel);
  // The rectangle reaches past the bitmap: only its part inside is touched.
  RECT clip{4, 2, 60, 9};
  ASSERT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_CLIPPED, &clip, "WWWW", 4, nullptr));
  int inside = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bool inClip = x >= 4 && y >= 2 && y < 9;
      if (!inClip) {
        ASSERT_EQ(bits[y * width + x], kSentinel) << x << "," << y;
      }
      inside += inClip && bits[y * width + x] == kWhite;
    }
  }
  EXPECT_GT(inside, 0);

  std::fill(bits, bits + width * height, kSentinel);
  RECT box{30, 12, 38, 19};
  ASSERT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE | ETO_CLIPPED, &box, "i", 1, nullptr));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bool inBox = x >= 30 && x < 38 && y >= 12 && y < 19;
      ASSERT_EQ(bits[y * width + x], inBox ? 0u : kSentinel) << x << "," << y;
    }
  }
}

TEST(GdiText, BytesWithoutAGlyphDrawOneBoxGlyph) {
  TextCanvas first, second;
  ASSERT_TRUE(first.UseFont("System", 8, FW_NORMAL));
  ASSERT_TRUE(second.UseFont("System", 8, FW_NORMAL));
  const std::string a = "\x01", b = "\xff";
  SIZE extentA = first.Measure(a), extentB = second.Measure(b);
  ASSERT_EQ(extentA.cx, extentB.cx);
  ASSERT_EQ(extentA.cx, first.Measure("H").cx);
  first.MakeDib(extentA.cx, extentA.cy);
  second.MakeDib(extentB.cx, extentB.cy);
  first.Draw(a);
  second.Draw(b);
  int lit = 0;
  for (int k = 0; k < extentA.cx * extentA.cy; ++k) {
    EXPECT_EQ(first.bits()[k], second.bits()[k]);
    lit += first.bits()[k] != 0;
  }
  EXPECT_GT(lit, 0);
}

TEST(GdiFonts, TheSystemFaceLightsAtMost14RowsOfItsCellAtEveryHeight) {
  const std::string text = PrintableAscii();
  for (int height : {8, 0, -8, 13, 16, 32, -40}) {
    SCOPED_TRACE(height);
    TextCanvas canvas;
    ASSERT_TRUE(canvas.UseFont("System", height, FW_NORMAL));
    SIZE extent = canvas.Measure(text);
    EXPECT_EQ(extent.cy, 16);
    ASSERT_NE(canvas.MakeDib(extent.cx, extent.cy), nullptr);
    ASSERT_TRUE(canvas.Draw(text));
    auto [first, last] = canvas.LitMemoryRows();
    ASSERT_GE(first, 0);
    EXPECT_LE(last - first + 1, 14);
  }
}

TEST(GdiFonts, TheBoldSansFaceKeepsItsInkInsideTheCell) {
  const std::string text = PrintableAscii();
  TextCanvas canvas;
  ASSERT_TRUE(canvas.UseFont("Tahoma", 32, FW_BOLD));
  SIZE extent = canvas.Measure(text);
  EXPECT_EQ(extent.cy, 32);
  // Twice as tall a cell as the system face's: twice as wide letters, give or take.
  TextCanvas system;
  ASSERT_TRUE(system.UseFont("System", 8, FW_NORMAL));
  EXPECT_GT(extent.cx, system.Measure(text).cx * 3 / 2);
  ASSERT_NE(canvas.MakeDib(extent.cx, extent.cy), nullptr);
  ASSERT_TRUE(canvas.Draw(text));
  auto [first, last] = canvas.LitMemoryRows();
  EXPECT_GE(first, 0);
  EXPECT_GE(last - first + 1, 24);
}

// What makes an extent bound everything drawn: no glyph's ink leaves its advance box.
TEST(GdiFonts, EveryBakedGlyphKeepsItsInkInsideItsAdvance) {
  ASSERT_GE(gdi::bakedFaceCount, 2);
  for (int f = 0; f < gdi::bakedFaceCount; ++f) {
    const gdi::BakedFace& face = gdi::bakedFaces[f];
    SCOPED_TRACE(face.name);
    for (int g = 0; g < gdi::kBakedGlyphCount; ++g) {
      const gdi::BakedGlyph& glyph = face.glyphs[g];
      EXPECT_GT(glyph.advance, 0) << g;
      EXPECT_LE(glyph.inkLeft + glyph.inkWidth, glyph.advance) << g;
      uint32_t size = static_cast<uint32_t>(face.cellHeight * ((glyph.inkWidth + 7) / 8));
      EXPECT_LE(glyph.bitsOffset + size, face.bitsSize) << g;
    }
  }
}

}  // namespace
