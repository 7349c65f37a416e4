// The frame timer: seconds since the previous frame, from the performance counter, in steps of
// 1/65536 s, without drift.
#pragma once

#include <cstdint>

struct FrameTimer {
  // Seconds between the two most recent updates, a multiple of 1/65536; 0 after StartTimer.
  float deltaSeconds = 0.0f;
  // Counter ticks per second, read once by StartTimer; only its low 32 bits enter the arithmetic.
  int64_t frequency = 0;
  // The counter value up to which time has been handed out.
  int64_t referenceCount = 0;
};

extern FrameTimer frameTimer;

void StartTimer();
void UpdateTimer();
