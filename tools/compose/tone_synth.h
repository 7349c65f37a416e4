// Tonal sound generators: band-limited single-cycle waves, detuned pads with long seamless
// loops, and decaying partial tones (plucks, electric pianos, bells) that settle into a loop.
#pragma once

#include <cstdint>
#include <vector>

#include "synth_sample.h"

enum class WaveKind { kSine, kTriangle, kSaw, kPulse, kOrgan };

struct WaveShape {
  WaveKind kind = WaveKind::kSaw;
  double duty = 0.5;       // pulse width, 0..1 (0.125, 0.25, 0.5)
  int maxHarmonic = 32;    // highest partial kept
  double rolloff = 0.0;    // extra low-pass: partial k scaled by 1 / (1 + (k / rolloff)^2), 0 = off
};

// Amplitude and phase (in cycles) of partial k = 1..maxHarmonic, Lanczos-smoothed.
struct HarmonicTable {
  std::vector<double> amplitude;  // index k - 1
  std::vector<double> phase;
};
HarmonicTable MakeHarmonics(const WaveShape& params);

// One whole cycle of period frames, looped: the loop end meets the loop start exactly.
SynthSample SingleCycle(const WaveShape& params, int period);

// A zone of a multi-sample instrument: the sample used from firstNote (XM note 1..96) upwards.
struct ToneZone {
  int firstNote;
  SynthSample sample;
};
// Single cycles band-limited per octave so that no zone's partials pass maxHz at its top note.
std::vector<ToneZone> BandLimitedZones(const WaveShape& params, int lowNote, int highNote, double maxHz);

// Detuned voices of the same wave summed over one loop of period * cycles frames; voice v
// runs cycles + offsets[v] cycles per loop, so every voice closes its cycles at the loop seam.
// breath mixes in a hiss (RMS as a share of the tone's) spread evenly over the 2nd to the
// 14th harmonic of the pitch and riding along with it: air in a pad, breath in a flute. It is
// built of partials on whole cycles of the loop too, so the seam stays seamless.
SynthSample DetunedPad(const WaveShape& params, int period, int cycles, const std::vector<int>& offsets,
                       uint64_t seed, double breath = 0.0);

// A partial of a decaying tone, in multiples of the tone's base unit.
struct Partial {
  int harmonic;        // frequency = harmonic * rate / period
  double amplitude;
  double decaySeconds; // time constant of the decay towards the sustain share
  double sustain;      // share of the amplitude kept in the looped tail, 0..1
};

struct DecayingToneParams {
  std::vector<Partial> partials;
  int period = 64;             // frames of one base-unit cycle
  int pitchHarmonic = 1;       // the harmonic heard as the note's pitch
  double settleSeconds = 0.3;  // partials reach their sustain share here; the loop starts after
  int loopUnits = 1;           // base-unit cycles in the loop
  double attackSeconds = 0.002;
  double pickNoise = 0.0;      // share of a short filtered noise burst at the onset
  uint64_t seed = 1;
};
// Made at the rate where C-4 plays the sound unchanged, so decays are seconds at middle C.
// Partials at or above period / 2 are left out.
SynthSample DecayingTone(const DecayingToneParams& params);
