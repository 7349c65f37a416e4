// The message panel's constant tables, computed from their definitions.
#include <gtest/gtest.h>

#include <set>

#include "layers/message_panel.h"

namespace {

constexpr int kColumns = MessagePanel::kColumns;

int At(const int* table, int i, int j) { return table[kColumns * i + j]; }

TEST(MessagePanelTables, SpiralsNumberEveryCellOnceAlongTheirFirstLegs) {
  for (const int* spiral : {MessagePanel::SpiralA(), MessagePanel::SpiralB()}) {
    std::set<int> numbers(spiral, spiral + MessagePanel::kCells);
    EXPECT_EQ(numbers.size(), 153u);
    EXPECT_EQ(*numbers.begin(), 0);
    EXPECT_EQ(*numbers.rbegin(), 152);
  }
  const int* a = MessagePanel::SpiralA();  // clockwise: right along row 0, down column 16, ...
  EXPECT_EQ(At(a, 0, 16), 16);
  EXPECT_EQ(At(a, 8, 16), 24);
  EXPECT_EQ(At(a, 8, 0), 40);
  EXPECT_EQ(At(a, 1, 0), 47);
  EXPECT_EQ(At(a, 1, 1), 48) << "the second turn starts on row 1 from column 1";
  EXPECT_EQ(At(a, 4, 12), 152) << "the spiral ends in the middle row";
  const int* b = MessagePanel::SpiralB();  // counter-clockwise: down column 0, right along row 8, ...
  EXPECT_EQ(At(b, 8, 0), 8);
  EXPECT_EQ(At(b, 8, 16), 24);
  EXPECT_EQ(At(b, 0, 16), 32);
  EXPECT_EQ(At(b, 0, 1), 47);
  EXPECT_EQ(At(b, 1, 1), 48);
  EXPECT_EQ(At(b, 4, 4), 144) << "the last ring is the middle row, entered from its left end";
  EXPECT_EQ(At(b, 4, 12), 152);
}

TEST(MessagePanelTables, RingCountsTheDistanceFromTheBorder) {
  const int* ring = MessagePanel::Ring();
  EXPECT_EQ(At(ring, 0, 5), 0);
  EXPECT_EQ(At(ring, 3, 16), 0);
  EXPECT_EQ(At(ring, 2, 7), 2);
  for (int j = 4; j <= 12; ++j) EXPECT_EQ(At(ring, 4, j), 4) << j;
  EXPECT_EQ(At(ring, 4, 3), 3);
}

TEST(MessagePanelTables, StripeRampBandsRiseToWhiteAndBack) {
  const D3DCOLOR* ramp = MessagePanel::StripeRamp();
  struct Case {
    int entry;
    D3DCOLOR colour;
  } cases[] = {
      {0, 0xFF000022},   {19, 0xFFFFFFFF},  {38, 0xFF000022},  {1, 0xFF000033},   {5, 0xFF114477},
      {14, 0xFFA5D6FF},  {24, 0xFFA5D6FF},  // the one exception to the rule (0xFFAADDFF by it)
      {39, 0xFF220000},  {78, 0xFF002200},  {117, 0xFF000022}, {156, 0xFF220000}, {195, 0xFF002200},
      {39 + 14, 0xFFFFDDAA}, {78 + 14, 0xFFDDFFAA}, {117 + 14, 0xFFDDAAFF}, {156 + 14, 0xFFFFAADD},
      {195 + 14, 0xFFAAFFDD}, {233, 0xFF002200},
  };
  for (const Case& c : cases) EXPECT_EQ(ramp[c.entry], c.colour) << "entry " << c.entry;
  for (int band = 0; band < 6; ++band) {
    for (int i = 0; i < 39; ++i) EXPECT_EQ(ramp[band * 39 + i], ramp[band * 39 + 38 - i]);
  }
}

}  // namespace
