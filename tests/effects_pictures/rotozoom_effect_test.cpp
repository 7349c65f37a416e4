// Tests of the rotozoom picture: its ripple cycle.
#include "effects/rotozoom_effect.h"

#include <gtest/gtest.h>

namespace {

struct RippleCase {
  const char* name;
  float rippleBefore;
  float timeBefore;
  float delta;
  float ripple;
  float rippleTime;
};

TEST(RotozoomRipple, FollowsTheCycleTableWithItsClamps) {
  const RippleCase cases[] = {
      // The very first step starts from the constructor's 0 and jumps to the full ripple.
      {"first step", 0.0f, 0.0f, 0.0f, 0.05f, 0.0f},
      {"fading out", 0.05f, 0.0f, 0.5f, 0.0375f, 0.5f},
      {"faded out at 2", 0.01f, 1.5f, 0.5f, 0.0f, 2.0f},
      {"resting", 0.0f, 2.5f, 1.0f, 0.0f, 3.5f},
      {"fading in from 6", 0.0f, 5.5f, 1.0f, 0.0125f, 6.5f},
      {"full at 8", 0.04f, 7.5f, 0.5f, 0.05f, 8.0f},
      {"clamped above 8", 0.05f, 8.5f, 1.0f, 0.05f, 9.5f},
      // The wrapping step keeps the ripple it had and carries the time beyond 10.
      {"wraps at exactly 10", 0.05f, 9.5f, 0.5f, 0.05f, 0.0f},
      {"wraps past 10", 0.03f, 9.75f, 0.5f, 0.03f, 0.25f},
      {"a kept ripple below 0 is clamped", -0.01f, 9.5f, 1.0f, 0.0f, 0.5f},
      {"a kept ripple above the full one is clamped", 0.08f, 9.5f, 1.0f, 0.05f, 0.5f},
  };
  for (const RippleCase& c : cases) {
    SCOPED_TRACE(c.name);
    RotozoomEffect::RippleState next = RotozoomEffect::StepRipple({c.rippleBefore, c.timeBefore}, c.delta);
    EXPECT_FLOAT_EQ(next.ripple, c.ripple);
    EXPECT_FLOAT_EQ(next.rippleTime, c.rippleTime);
  }
}

}  // namespace
