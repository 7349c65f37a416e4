// A synthesized sound before quantization: floating-point frames, loop and tuning.
#pragma once

#include <cstddef>
#include <vector>

struct SynthSample {
  std::vector<double> wave;  // nominally -1..1
  size_t loopStart = 0;      // frames
  size_t loopLength = 0;     // frames; 0 = one-shot
  // Semitones added to the note so that C-4 sounds middle C for a tonal sound, or plays a
  // percussive sound at the rate it was made at (relative note + finetune / 128).
  double tune = 0.0;
};

// Middle C, the pitch XM note C-4 is tuned to.
inline constexpr double kMiddleCHz = 261.6255653005986;
// The playback rate of note C-4 at relative note 0, finetune 0.
inline constexpr double kXmBaseRate = 8363.0;

// Tuning for a tonal sound whose cycle spans samplesPerCycle frames.
double TuneForPeriod(double samplesPerCycle);
// Tuning that plays a sound made at rate Hz unchanged at C-4.
double TuneForRate(double rate);
