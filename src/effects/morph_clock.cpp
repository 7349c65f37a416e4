// The 10-second morph turn.
#include "effects/morph_clock.h"

void MorphClock::Advance(float seconds, int count) {
  float t = time + seconds;
  time = t;
  if (t >= kBlendSeconds) {
    morph = 1.0f;
    if (t >= kTurnSeconds) {
      current = (current + 1) % count;
      time = t - kTurnSeconds;
    }
  }
  if (time < kBlendSeconds) morph = time * 0.5f;
}
