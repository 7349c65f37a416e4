// The 10-second morph turn shared by the sprite shapes and the dot balls.
#include "effects/morph_clock.h"

#include <gtest/gtest.h>

namespace {

TEST(MorphClock, FirstFrameBlendsNothingThenHoldsTheNextShapeUntilTheTurnEnds) {
  MorphClock clock;
  EXPECT_EQ(clock.time, 2.0f);
  EXPECT_EQ(clock.morph, 0.0f);
  EXPECT_EQ(clock.current, 0);

  // Frames of 1/64 s are exact in binary: after 512 of them the turn ends on exactly 10 s.
  const float d = 1.0f / 64.0f;
  clock.Advance(d, 8);
  EXPECT_EQ(clock.morph, 1.0f);
  EXPECT_EQ(clock.current, 0);
  for (int frame = 2; frame < 512; ++frame) clock.Advance(d, 8);
  EXPECT_EQ(clock.time, 2.0f + 511.0f / 64.0f);
  EXPECT_EQ(clock.morph, 1.0f);
  EXPECT_EQ(clock.current, 0);

  clock.Advance(d, 8);
  EXPECT_EQ(clock.current, 1);
  EXPECT_EQ(clock.time, 0.0f);
  EXPECT_EQ(clock.morph, 0.0f);

  // The next turn blends over 2 s: halfway after 64 frames, full (and then held) after 128.
  for (int frame = 0; frame < 64; ++frame) clock.Advance(d, 8);
  EXPECT_EQ(clock.morph, 0.5f);
  for (int frame = 0; frame < 64; ++frame) clock.Advance(d, 8);
  EXPECT_EQ(clock.time, 2.0f);
  EXPECT_EQ(clock.morph, 1.0f);
  EXPECT_EQ(clock.current, 1);
}

TEST(MorphClock, FrameThatCrossesTenStepsAndBlendsByTheRemainder) {
  struct Case {
    float time;
    float seconds;
    int count;
    int current;
    int expectedCurrent;
    float expectedTime;
    float expectedMorph;
  };
  const Case cases[] = {
      {9.5f, 0.75f, 8, 2, 3, 0.25f, 0.125f},  // crosses 10: steps, and the morph is not 1
      {9.5f, 0.25f, 8, 2, 2, 9.75f, 1.0f},    // short of 10: holds
      {9.5f, 0.5f, 8, 2, 3, 0.0f, 0.0f},      // lands on 10
      {9.0f, 3.5f, 8, 2, 3, 2.5f, 1.0f},      // a long frame lands past the blend
      {1.0f, 0.5f, 8, 2, 2, 1.5f, 0.75f},     // inside the blend
      {9.5f, 0.75f, 8, 7, 0, 0.25f, 0.125f},  // shape 7 morphs into shape 0
      {9.5f, 0.75f, 4, 3, 0, 0.25f, 0.125f},  // formation 3 glides back into formation 0
  };
  for (const Case& c : cases) {
    MorphClock clock;
    clock.time = c.time;
    clock.morph = 1.0f;
    clock.current = c.current;
    clock.Advance(c.seconds, c.count);
    SCOPED_TRACE(testing::Message() << "time " << c.time << " + " << c.seconds << ", current " << c.current);
    EXPECT_EQ(clock.current, c.expectedCurrent);
    EXPECT_EQ(clock.time, c.expectedTime);
    EXPECT_EQ(clock.morph, c.expectedMorph);
  }
}

}  // namespace
