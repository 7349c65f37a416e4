// Percussion and texture generators: sine sweeps and filtered noise, one-shot samples.
#pragma once

#include <cstdint>

#include "synth_sample.h"

struct KickParams {
  double rate = 22050;
  double startHz = 150, endHz = 48;  // pitch sweep
  double sweepSeconds = 0.045;       // time constant of the sweep
  double decaySeconds = 0.28;
  double click = 0.35;               // share of the beater click
  double drive = 1.6;                // soft saturation, 1 = clean
  double lengthSeconds = 0.45;
};
SynthSample Kick(const KickParams& params, uint64_t seed);

struct SnareParams {
  double rate = 22050;
  double toneHz = 190;
  double toneDecay = 0.05;
  double noiseDecay = 0.14;
  double noiseHighPass = 1200;
  double noiseShare = 0.75;
  double lengthSeconds = 0.3;
};
SynthSample Snare(const SnareParams& params, uint64_t seed);

SynthSample Clap(double rate, double tailSeconds, uint64_t seed);

struct HatParams {
  double rate = 33452;
  double decaySeconds = 0.04;
  double lengthSeconds = 0.09;
  double highPass = 7000;
  double metal = 0.5;   // share of the square-wave cluster against plain noise
};
SynthSample Hat(const HatParams& params, uint64_t seed);

// A cymbal crash of exactly frames frames, its decay spread over the whole length.
SynthSample Crash(size_t frames, double rate, uint64_t seed);
// A short wooden tick, for clock-like percussion and rim clicks.
SynthSample Tick(double rate, double toneHz, uint64_t seed);
// Shaker: a brief rounded burst of bright noise.
SynthSample Shaker(double rate, uint64_t seed);
// Tom: a short pitched sweep with a little skin noise.
SynthSample Tom(double rate, double hz, uint64_t seed);
// A slow swell of low-passed noise of exactly frames frames, like surf or wind.
SynthSample Surf(size_t frames, double rate, double cutoff, uint64_t seed);
