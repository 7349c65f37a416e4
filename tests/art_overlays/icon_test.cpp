// The program icon: a round emblem, transparent in its corners, solid in the middle.
#include <gtest/gtest.h>

#include "embedded_data.h"

namespace {

unsigned char IconAlpha(int x, int y) { return embedded::icon_program_icon_raw[(y * 32 + x) * 4 + 3]; }

TEST(ProgramIcon, IsARoundEmblemWithAlpha) {
  const int corners[][2] = {{0, 0}, {31, 0}, {0, 31}, {31, 31}};
  for (const auto& c : corners) EXPECT_EQ(IconAlpha(c[0], c[1]), 0) << c[0] << "," << c[1];
  for (int y = 8; y < 24; ++y)
    for (int x = 8; x < 24; ++x) EXPECT_EQ(IconAlpha(x, y), 255) << x << "," << y;
}

}  // namespace
