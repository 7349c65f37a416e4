// The six message panels: valid glyph codes, the frame each panel's role calls for, and text
// placed where the role puts it.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "embedded_data.h"

namespace {

constexpr int kRows = 9;
constexpr int kColumns = 17;
constexpr uint8_t kEmpty = 0xFF;
constexpr uint8_t kStar = 41, kSquare = 42, kDisc = 43, kSmallTriangle = 46, kLargeTriangle = 50;

uint8_t Cell(int panel, int row, int column) { return embedded::panels_panels_raw[panel * 153 + row * kColumns + column]; }

bool OnRing(int row, int column) { return row == 0 || row == kRows - 1 || column == 0 || column == kColumns - 1; }

// A row's inner cells (columns 1..15) as text: capitals, digits, the marks, '@' for the disc and
// ' ' for an empty cell.
std::string InnerText(int panel, int row) {
  std::string text;
  for (int column = 1; column < kColumns - 1; ++column) {
    uint8_t g = Cell(panel, row, column);
    if (g == kEmpty) text += ' ';
    else if (g <= 25) text += static_cast<char>('A' + g);
    else if (g <= 35) text += static_cast<char>('0' + g - 26);
    else if (g == kDisc) text += '@';
    else text += ".,?!'*#@><}:[]^"[g - 36];
  }
  return text;
}

bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

TEST(Panels, EveryCellIsAGlyphCodeOrEmpty) {
  for (unsigned int i = 0; i < embedded::panels_panels_raw_size; ++i) {
    uint8_t g = embedded::panels_panels_raw[i];
    EXPECT_TRUE(g <= 50 || g == kEmpty) << "byte " << i << " is " << int(g);
  }
}

struct Frame {
  int panel;
  uint8_t ornament;
  int fullRow;  // a row of ornaments across the middle, or -1
};

TEST(Panels, FramesAreRingsOfTheirOrnament) {
  const Frame frames[] = {
      {0, kSquare, 4}, {1, kStar, 4}, {2, kDisc, -1}, {3, kLargeTriangle, -1}, {4, kSmallTriangle, -1},
  };
  for (const Frame& f : frames) {
    for (int row = 0; row < kRows; ++row) {
      for (int column = 0; column < kColumns; ++column) {
        const bool framed = OnRing(row, column) || row == f.fullRow;
        if (framed) {
          EXPECT_EQ(Cell(f.panel, row, column), f.ornament) << "panel " << f.panel << " " << row << "," << column;
        } else {
          EXPECT_NE(Cell(f.panel, row, column), f.ornament) << "panel " << f.panel << " " << row << "," << column;
        }
      }
    }
  }
}

// Panel 5's ring and its rows 0, 5 and 8 repeat square, star, disc along rows and down columns.
TEST(Panels, TheHiddenSongPanelHasItsPatternedFrame) {
  auto next = [](uint8_t g) { return g == kSquare ? kStar : g == kStar ? kDisc : kSquare; };
  for (int row = 0; row < kRows; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      const bool framed = OnRing(row, column) || row == 5;
      const uint8_t g = Cell(5, row, column);
      if (!framed) continue;
      ASSERT_TRUE(g == kSquare || g == kStar || g == kDisc) << row << "," << column;
      if (column + 1 < kColumns && (row == 0 || row == 5 || row == 8)) {
        EXPECT_EQ(Cell(5, row, column + 1), next(g)) << row << "," << column;
      }
      if (row + 1 < kRows && (column == 0 || column == kColumns - 1)) {
        EXPECT_EQ(Cell(5, row + 1, column), next(g)) << row << "," << column;
      }
    }
  }
}

// Which inner rows carry text, per panel, as the roles lay them out.
TEST(Panels, TextSitsOnTheRowsItsRoleGivesAndIsCentred) {
  const char* rows[] = {
      "0111011100",  // panel 0: rows 1-3 and 5-7 (row 4 is the frame)
      "0111011100",  // panel 1
      "0001110000",  // panel 2: rows 3-5
      "0001110000",  // panel 3: rows 3-5
      "0011111000",  // panel 4: rows 2-6
      "0111101100",  // panel 5: rows 1-4, 6-7
  };
  for (int panel = 0; panel < 6; ++panel) {
    for (int row = 1; row < kRows - 1; ++row) {
      const std::string text = InnerText(panel, row);
      if (rows[panel][row] == '0') {
        if (!(panel <= 1 && row == 4) && !(panel == 5 && row == 5)) {
          EXPECT_TRUE(IsBlank(text)) << "panel " << panel << " row " << row << ": \"" << text << "\"";
        }
        continue;
      }
      ASSERT_FALSE(IsBlank(text)) << "panel " << panel << " row " << row;
      const int left = static_cast<int>(text.find_first_not_of(' '));
      const int right = static_cast<int>(text.size() - 1 - text.find_last_not_of(' '));
      EXPECT_LE(std::abs(left - right), 1) << "panel " << panel << " row " << row << ": \"" << text << "\"";
      EXPECT_GE(std::min(left, right), 1) << "panel " << panel << " row " << row << " touches the frame";
    }
  }
}

TEST(Panels, RolesAreFilled) {
  auto panelText = [](int panel) {
    std::string all;
    for (int row = 1; row < kRows - 1; ++row) all += InnerText(panel, row) + "|";
    return all;
  };
  // The title card names the product and gives a range of years with the disc as the dash.
  EXPECT_NE(panelText(0).find("TARNVIK"), std::string::npos);
  EXPECT_NE(panelText(0).find("MUSIDISK"), std::string::npos);
  const std::string years = InnerText(0, 7);
  const size_t dash = years.find('@');
  ASSERT_NE(dash, std::string::npos);
  ASSERT_GE(dash, 4u);
  for (size_t i = 1; i <= 4; ++i) {
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(years[dash - i]))) << years;
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(years[dash + i]))) << years;
  }
  // The credits: two person-disc-role lines, the musician among them.
  EXPECT_NE(InnerText(1, 2).find(" @ "), std::string::npos);
  EXPECT_NE(InnerText(1, 3).find(" @ "), std::string::npos);
  EXPECT_NE(panelText(1).find("ODD"), std::string::npos);
  // The hint to the hidden song never spells the whole key sequence out.
  std::string compact;
  for (char c : panelText(5))
    if (c >= 'A' && c <= 'Z') compact += c;
  EXPECT_EQ(compact.find("JOVRELK"), std::string::npos);
}

}  // namespace
