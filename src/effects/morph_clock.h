// The 10-second turn of the effects that glide between shapes: each turn blends the current shape
// into the next during its first 2 seconds, then holds the next one for 8.
#pragma once

struct MorphClock {
  static constexpr float kTurnSeconds = 10.0f;
  static constexpr float kBlendSeconds = 2.0f;

  // Seconds into the current turn. Starting at the end of a blend, with morph still 0, makes the
  // very first frame show shape 0 and every later frame of the first turn the next shape in full.
  float time = 2.0f;
  // Blend factor 0..1 from the current shape toward the next.
  float morph = 0.0f;
  // Index of the shape the turn starts from, 0..count - 1.
  int current = 0;

  // Moves on by `seconds` in a cycle of `count` shapes. The frame that ends a turn steps to the
  // next shape and already blends by the time left over, so the morph never shows 1 for it.
  void Advance(float seconds, int count);
};
