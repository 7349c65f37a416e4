// The two scroll texts: their exact shape, and how they measure and draw in the faces the
// carpet and the greetings use.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <string_view>

#include "embedded_data.h"
#include "text_canvas.h"

namespace {

struct TextCase {
  const char* name;
  std::string_view text;
  size_t length;
  size_t leadingSpaces;
  const char* marks;  // allowed besides letters, digits and spaces
};

const TextCase kTexts[] = {
    {"carpet message",
     {reinterpret_cast<const char*>(embedded::text_carpet_message_txt), embedded::text_carpet_message_txt_size},
     1139, 12, ".,!\"*"},
    {"greetings",
     {reinterpret_cast<const char*>(embedded::text_greetings_txt), embedded::text_greetings_txt_size},
     1550, 14, ",.-:_*|[]"},
};

std::string_view Carpet() { return kTexts[0].text; }
std::string_view Greetings() { return kTexts[1].text; }

int MaskWidth(int textWidth) {
  int width = 1;
  while (width < textWidth) width *= 2;
  return width;
}

TEST(ScrollTexts, HaveTheirExactLengthSpacesAndCharacters) {
  for (const TextCase& c : kTexts) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.text.size(), c.length);
    EXPECT_EQ(c.text.find_first_not_of(' '), c.leadingSpaces);
    EXPECT_EQ(c.text.back(), ' ');
    EXPECT_NE(c.text[c.length - 2], ' ');
    for (char ch : c.text) {
      bool plain = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == ' ';
      EXPECT_TRUE(plain || std::string_view(c.marks).find(ch) != std::string_view::npos) << "'" << ch << "'";
    }
  }
  // Roughly 180 names in the greetings list.
  size_t commas = 0;
  for (char ch : Greetings()) commas += ch == ',';
  EXPECT_GE(commas, 160u);
  EXPECT_LE(commas, 200u);
}

// The carpet's mask: the whole message in the system face (asked for at height 8) drawn into a
// power-of-two-wide bottom-up DIB; 14 rows from the lowest lit row hold every lit row and lie
// inside the bitmap.
TEST(ScrollTexts, TheCarpetMessageDrawsIntoItsMaskBitmap) {
  TextCanvas canvas;
  ASSERT_TRUE(canvas.UseFont("System", 8, FW_NORMAL));
  SIZE extent = canvas.Measure(Carpet());
  EXPECT_EQ(extent.cy, 16);
  EXPECT_GT(extent.cx, 1024);
  int width = MaskWidth(extent.cx);
  // The dark columns past the text are the gap between two passes of the message: the message
  // and the face keep it to a few hundred columns, not half the mask.
  EXPECT_EQ(width, 8192);
  EXPECT_GT(extent.cx, width * 9 / 10);
  ASSERT_NE(canvas.MakeDib(width, extent.cy), nullptr);
  ASSERT_TRUE(canvas.Draw(Carpet()));

  auto [first, last] = canvas.LitMemoryRows();
  ASSERT_GE(first, 0);
  EXPECT_LE(last - first, 13);
  EXPECT_LE(first + 14, extent.cy);
  for (int r = 0; r < extent.cy; ++r) {
    for (int x = extent.cx; x < width; ++x) ASSERT_EQ(canvas.bits()[r * width + x], 0u) << "past the text at " << x;
  }
  // The leading spaces leave the first columns dark; the message's first letter is lit.
  for (int r = 0; r < extent.cy; ++r) ASSERT_EQ(canvas.bits()[r * width + 12 * canvas.Measure(" ").cx - 1], 0u);
  std::printf("carpet message: extent %d x %d, mask width %d, lit memory rows %d..%d\n", extent.cx, extent.cy, width,
              first, last);
}

TEST(ScrollTexts, TheGreetingsDrawInTheBoldSansFaceAndInTheFallback) {
  struct Face {
    const char* name;
    int cellHeight;
  };
  for (Face face : {Face{"Tahoma", 32}, Face{"System", 16}}) {
    SCOPED_TRACE(face.name);
    TextCanvas canvas;
    ASSERT_TRUE(canvas.UseFont(face.name, 32, FW_BOLD));
    SIZE extent = canvas.Measure(Greetings());
    EXPECT_EQ(extent.cy, face.cellHeight);
    int width = MaskWidth(extent.cx);
    // The mask is always 32 rows high.
    ASSERT_NE(canvas.MakeDib(width, 32), nullptr);
    ASSERT_TRUE(canvas.Draw(Greetings()));
    int lit = 0;
    for (int r = 0; r < 32; ++r) {
      for (int x = 0; x < width; ++x) {
        uint32_t pixel = canvas.bits()[r * width + x];
        ASSERT_TRUE(pixel == 0 || pixel == 0x00FFFFFFu);
        if (x >= extent.cx) {
          ASSERT_EQ(pixel, 0u);
        }
        lit += pixel != 0;
      }
    }
    EXPECT_GT(lit, extent.cx);
    std::printf("greetings in %s: extent %d x %d, mask width %d\n", face.name, extent.cx, extent.cy, width);
  }
}

}  // namespace
