// Timbre recipes: partial lists and generator settings found by ear-by-numbers.
#include "recipes.h"

#include <algorithm>

InstrumentPatch Instrument(std::string name, SynthSample sample, EnvelopeShape envelope, int volume, int panning,
                           bool sixteenBit) {
  InstrumentPatch s = SingleZone(std::move(name), std::move(sample));
  s.envelope = std::move(envelope);
  s.volume = volume;
  s.panning = panning;
  s.sixteenBit = sixteenBit;
  return s;
}

InstrumentPatch WaveInstrument(std::string name, const WaveShape& wave, int lowNote, int highNote,
                               EnvelopeShape envelope, int volume, int panning) {
  InstrumentPatch s;
  s.name = std::move(name);
  // 16 kHz keeps every partial clear of the output's Nyquist frequency at 44.1 kHz.
  s.zones = BandLimitedZones(wave, lowNote, highNote, 16000.0);
  s.envelope = std::move(envelope);
  s.volume = volume;
  s.panning = panning;
  s.sixteenBit = true;
  return s;
}

InstrumentPatch PadInstrument(std::string name, const WaveShape& wave, int period, int cycles,
                              const std::vector<int>& offsets, EnvelopeShape envelope, int volume, int panning,
                              bool sixteenBit, uint64_t seed, double breath) {
  return Instrument(std::move(name), DetunedPad(wave, period, cycles, offsets, seed, breath), std::move(envelope), volume,
                    panning, sixteenBit);
}

SynthSample PluckTone(const WaveShape& spectrum, double decay, double brightness, double pickNoise, uint64_t seed,
                      int period) {
  HarmonicTable h = MakeHarmonics(spectrum);
  DecayingToneParams d;
  d.period = period;
  d.pitchHarmonic = 1;
  d.settleSeconds = decay * 1.6;
  d.loopUnits = 1;
  d.pickNoise = pickNoise;
  d.seed = seed;
  for (int k = 1; k <= spectrum.maxHarmonic && 2 * k < period; ++k) {
    double a = h.amplitude[k - 1];
    if (a == 0) continue;
    // Upper partials die first; the loop keeps a soft fundamental and a trace of the second.
    double tau = decay / (1.0 + brightness * (k - 1));
    double sustain = k == 1 ? 0.35 : k == 2 ? 0.12 : 0.0;
    d.partials.push_back({k, a, tau, sustain});
  }
  return DecayingTone(d);
}

SynthSample EPianoTone(uint64_t seed, int period, double settle) {
  DecayingToneParams d;
  d.period = period;
  d.settleSeconds = settle;
  d.pickNoise = 0.02;
  d.seed = seed;
  d.partials = {{1, 1.0, 1.2, 0.55}, {2, 0.32, 0.45, 0.12}, {3, 0.14, 0.25, 0.02},
                {4, 0.06, 0.15, 0.0},  {7, 0.22, 0.035, 0.0}, {9, 0.08, 0.02, 0.0}};
  return DecayingTone(d);
}

SynthSample BellTone(double decay, uint64_t seed, int period) {
  DecayingToneParams d;
  d.period = period;
  d.pitchHarmonic = 4;  // the base unit is a quarter of the pitch: 2.75x and 5.25x partials fit
  d.settleSeconds = decay;
  d.loopUnits = 1;
  d.seed = seed;
  d.partials = {{4, 1.0, decay * 0.8, 0.45}, {8, 0.22, decay * 0.35, 0.0}, {11, 0.45, decay * 0.25, 0.0},
                {21, 0.22, decay * 0.1, 0.0},  {30, 0.08, decay * 0.05, 0.0}};
  return DecayingTone(d);
}

SynthSample VibesTone(int period, double settle) {
  DecayingToneParams d;
  d.period = period;
  d.settleSeconds = settle;
  d.partials = {{1, 1.0, 1.5, 0.6}, {4, 0.35, 0.3, 0.0}, {10, 0.1, 0.06, 0.0}, {2, 0.05, 0.4, 0.0}};
  return DecayingTone(d);
}

SynthSample MarimbaTone(int period, double settle) {
  DecayingToneParams d;
  d.period = period;
  d.settleSeconds = settle;
  d.partials = {{1, 1.0, 0.3, 0.25}, {4, 0.35, 0.06, 0.0}, {10, 0.1, 0.015, 0.0}};
  return DecayingTone(d);
}

SynthSample SlapBassTone(uint64_t seed, int period, double settle) {
  DecayingToneParams d;
  d.period = period;
  d.settleSeconds = settle;
  d.pickNoise = 0.08;
  d.seed = seed;
  for (int k = 1; k <= 40 && 2 * k < period; ++k) {
    double a = 1.0 / k;
    double tau = 0.35 / (1.0 + 0.5 * (k - 1));
    double sustain = k == 1 ? 0.7 : k == 2 ? 0.35 : k == 3 ? 0.15 : 0.0;
    d.partials.push_back({k, a, tau, sustain});
  }
  return DecayingTone(d);
}
