// Snapping of scroll positions to whole pixels.
#include "gfx/pixel_snap.h"

#include <gtest/gtest.h>

namespace {

TEST(PixelSnap, MovesOnePixelPerPixelOfScrollAroundZero) {
  struct Case {
    float position;
    int snapped;
  } cases[] = {{0.0f, 0},   {0.25f, -1}, {0.5f, 0},   {0.75f, 0},  {1.49f, 0},  {1.5f, 1},
               {-0.25f, 0}, {-0.5f, -1}, {-1.49f, -1}, {-1.5f, -2}, {-107.9f, -108}};
  for (const Case& c : cases) EXPECT_EQ(SnapScroll(c.position), c.snapped) << c.position;
}

}  // namespace
