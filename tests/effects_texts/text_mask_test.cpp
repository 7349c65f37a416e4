// The text masks of the carpet and the greetings: mask width, lit-row search and the bytes taken
// from the text drawn through the GDI layer, checked against the same text drawn directly.
#include "effects/text_mask.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>
#include <string_view>

#include "../gdi/text_canvas.h"
#include "platform/gdi/gdi_object_table.h"

namespace {

const char* const kSystem[] = {"System"};
const char* const kTahomaThenSystem[] = {"Tahoma", "System"};
const char* const kUnknownFaces[] = {"No Such Face", "Nor This One"};

// The carpet's recipe (system face at height 8, lit-row search over 14 rows) for another text.
TextMaskRecipe CarpetRecipe(std::string_view text) {
  return {{text.data(), static_cast<int>(text.size()), kSystem, 1}, 8, FW_NORMAL, 14, true};
}

// The greetings' recipe (bold sans at height 32, or the system face; 32 rows, no search).
TextMaskRecipe GreetingsRecipe(std::string_view text, const char* const* faces = kTahomaThenSystem) {
  return {{text.data(), static_cast<int>(text.size()), faces, 2}, 32, FW_BOLD, 32, false};
}

TEST(TextMask, MaskWidthIsTheSmallestPowerOfTwoCoveringTheText) {
  struct Case {
    int textWidth;
    int maskWidth;
  };
  const Case cases[] = {
      {-5, 1},
      {0, 1},
      {1, 1},
      {2, 2},
      {3, 4},
      {1024, 1024},
      {1025, 2048},
      {7700, 8192},
      {1 << 30, 1 << 30},
      // Past the widest mask there is none; doubling further would overflow.
      {(1 << 30) + 1, 0},
      {INT_MAX, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(MaskWidthFor(c.textWidth), c.maskWidth) << c.textWidth;
}

// A bottom-up image of one column and `height` rows with the given memory rows lit.
struct LitRowCase {
  const char* name;
  int height;
  std::initializer_list<int> lit;  // memory rows holding one lit pixel each
  int litPerRow;                   // lit pixels in each such row
  LitRows expected;
  int start;  // for a 14-row mask
};

TEST(TextMask, LitRowSearchAndStartRow) {
  const LitRowCase cases[] = {
      {"a short span starts at its lowest row", 16, {2, 3, 9}, 2, {2, 9}, 2},
      {"a span of exactly 15 rows still starts at its lowest", 32, {4, 18}, 2, {4, 18}, 4},
      {"a longer span keeps the 14 rows below its highest", 32, {4, 19}, 2, {4, 19}, 5},
      // Nothing lit leaves the search where it started: the top row.
      {"nothing lit", 16, {}, 0, {15, 0}, 15},
      // A single lit pixel only lowers first; last stays 0.
      {"one lit pixel", 16, {6}, 1, {6, 0}, 6},
  };
  for (const LitRowCase& c : cases) {
    SCOPED_TRACE(c.name);
    constexpr int kWidth = 4;
    uint32_t pixels[32 * kWidth] = {};
    for (int row : c.lit) {
      for (int x = 0; x < c.litPerRow; ++x) pixels[row * kWidth + 1 + x] = 0x00FFFFFF;
    }
    LitRows rows = FindLitRows(pixels, kWidth, c.height);
    EXPECT_EQ(rows.first, c.expected.first);
    EXPECT_EQ(rows.last, c.expected.last);
    EXPECT_EQ(MaskStartRow(rows, 14), c.start);
  }
}

// A tall text (the bold sans face, 32-row cell) spans more than 15 rows: the search finds the same
// rows as a plain scan of the drawn image and the 14 copied rows end just below the highest.
TEST(TextMask, LitRowSearchOnATallText) {
  TextCanvas canvas;
  ASSERT_TRUE(canvas.UseFont("Tahoma", 32, FW_BOLD));
  SIZE extent = canvas.Measure("Hjy|");
  ASSERT_EQ(extent.cy, 32);
  int width = MaskWidthFor(extent.cx);
  ASSERT_NE(canvas.MakeDib(width, extent.cy), nullptr);
  ASSERT_TRUE(canvas.Draw("Hjy|"));
  auto [first, last] = canvas.LitMemoryRows();
  ASSERT_GT(last - first, 14);

  LitRows rows = FindLitRows(canvas.bits(), width, extent.cy);
  EXPECT_EQ(rows.first, first);
  EXPECT_EQ(rows.last, last);
  EXPECT_EQ(MaskStartRow(rows, 14), last - 14);
}

// The carpet's mask of a short string: as wide as the smallest power of two covering its extent,
// and byte for byte the blue bytes of the 14 rows from the start row of the same text drawn
// directly.
TEST(TextMask, CarpetMaskHoldsTheDrawnRowsFromTheStartRow) {
  constexpr std::string_view kText = "Hej, Tarnvik!";
  TextCanvas canvas;
  ASSERT_TRUE(canvas.UseFont("System", 8, FW_NORMAL));
  SIZE extent = canvas.Measure(kText);
  EXPECT_EQ(extent.cy, 16);
  int width = MaskWidthFor(extent.cx);
  ASSERT_NE(canvas.MakeDib(width, extent.cy), nullptr);
  ASSERT_TRUE(canvas.Draw(kText));
  int start = MaskStartRow(FindLitRows(canvas.bits(), width, extent.cy), 14);
  ASSERT_LE(start + 14, extent.cy);

  TextMask mask = BuildTextMask(CarpetRecipe(kText));
  ASSERT_NE(mask.bytes, nullptr);
  EXPECT_EQ(mask.width, width);
  EXPECT_EQ(mask.width & (mask.width - 1), 0);
  EXPECT_GE(mask.width, extent.cx);
  int lit = 0;
  for (int k = 0; k < 14 * width; ++k) {
    ASSERT_EQ(mask.bytes[k], canvas.bits()[start * width + k] & 0xFF) << k;
    ASSERT_TRUE(mask.bytes[k] == 0 || mask.bytes[k] == 0xFF);
    lit += mask.bytes[k] != 0;
  }
  EXPECT_GT(lit, 20);
}

// Texts whose 14 rows from the start row reach past the 16-row image: nothing lit (the search
// then starts at the top row), or lit only in the top rows. The rows that are not there are dark;
// the rows that are there are copied.
TEST(TextMask, CarpetMaskRowsPastTheImageAreDark) {
  for (std::string_view text : {std::string_view("     "), std::string_view("''")}) {
    SCOPED_TRACE(std::string(text));
    TextCanvas canvas;
    ASSERT_TRUE(canvas.UseFont("System", 8, FW_NORMAL));
    SIZE extent = canvas.Measure(text);
    int width = MaskWidthFor(extent.cx);
    ASSERT_NE(canvas.MakeDib(width, extent.cy), nullptr);
    ASSERT_TRUE(canvas.Draw(text));
    int start = MaskStartRow(FindLitRows(canvas.bits(), width, extent.cy), 14);
    ASSERT_GT(start + 14, extent.cy);

    TextMask mask = BuildTextMask(CarpetRecipe(text));
    ASSERT_NE(mask.bytes, nullptr);
    ASSERT_EQ(mask.width, width);
    for (int row = 0; row < 14; ++row) {
      for (int x = 0; x < width; ++x) {
        int source = start + row;
        uint8_t expected = source < extent.cy ? canvas.bits()[source * width + x] & 0xFF : 0;
        ASSERT_EQ(mask.bytes[row * width + x], expected) << row << "," << x;
      }
    }
  }
}

// The greetings' mask: 32 rows, 0xFF wherever the 32-row image is lit, in the bold sans face, and
// in the system face when the first face is missing.
TEST(TextMask, GreetingsMaskMarksEveryLitPixelOfTheImage) {
  constexpr std::string_view kText = "Hi, Jy!";
  const char* const kOnlySystem[] = {"Missing Face", "System"};
  struct Case {
    const char* const* faces;
    const char* face;
  };
  for (Case c : {Case{kTahomaThenSystem, "Tahoma"}, Case{kOnlySystem, "System"}}) {
    SCOPED_TRACE(c.face);
    TextCanvas canvas;
    ASSERT_TRUE(canvas.UseFont(c.face, 32, FW_BOLD));
    int width = MaskWidthFor(canvas.Measure(kText).cx);
    ASSERT_NE(canvas.MakeDib(width, 32), nullptr);
    ASSERT_TRUE(canvas.Draw(kText));

    TextMask mask = BuildTextMask(GreetingsRecipe(kText, c.faces));
    ASSERT_NE(mask.bytes, nullptr);
    ASSERT_EQ(mask.width, width);
    int lit = 0;
    for (int k = 0; k < 32 * width; ++k) {
      ASSERT_EQ(mask.bytes[k], canvas.bits()[k] != 0 ? 0xFF : 0x00) << k;
      lit += mask.bytes[k] != 0;
    }
    EXPECT_GT(lit, 30);
  }
}

TEST(TextMask, NoFontGivesNoMaskAndLeavesNoGdiObjectBehind) {
  size_t objectsBefore = gdi::Objects().Size();
  TextMaskRecipe recipe = GreetingsRecipe("Hi", kUnknownFaces);
  TextMask mask = BuildTextMask(recipe);
  EXPECT_EQ(mask.bytes, nullptr);
  EXPECT_EQ(mask.width, 0);
  EXPECT_EQ(gdi::Objects().Size(), objectsBefore);
  // A mask that was made leaves nothing behind either.
  mask = BuildTextMask(CarpetRecipe("Hi"));
  EXPECT_NE(mask.bytes, nullptr);
  EXPECT_EQ(gdi::Objects().Size(), objectsBefore);
}

}  // namespace
