// Instrument building: quantization, tuning fields, envelopes in ticks, fadeout.
#include "instrument_patch.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "prng.h"

namespace {

// XM tick rate: bpm * 2 / 5 ticks per second.
double TicksPerSecond(int bpm) { return bpm * 0.4; }

// Full-scale fadeout volume of the format, reduced by the fadeout value every tick.
constexpr double kFadeoutFull = 32768.0;
constexpr int kFadeoutMax = 4095;

}  // namespace

EnvelopeShape AdsrEnvelope(double attack, double decay, double sustainLevel, double release) {
  EnvelopeShape e;
  e.points = {{0.0, attack > 0 ? 0.0 : 1.0}, {std::max(attack, 0.005), 1.0},
              {std::max(attack, 0.005) + std::max(decay, 0.005), sustainLevel}};
  e.sustain = 2;
  e.releaseSeconds = release;
  return e;
}

EnvelopeShape DecayEnvelope(double decay, double release, double attack) {
  EnvelopeShape e;
  double t0 = std::max(attack, 0.0);
  e.points.push_back({0.0, attack > 0 ? 0.0 : 1.0});
  if (attack > 0) e.points.push_back({t0, 1.0});
  // An exponential drawn with a few points: levels 1/2, 1/4, ... at equal steps.
  const double levels[] = {0.55, 0.3, 0.15, 0.06, 0.0};
  const double times[] = {0.25, 0.55, 0.95, 1.45, 2.2};
  for (int i = 0; i < 5; ++i) e.points.push_back({t0 + times[i] * decay, levels[i]});
  e.sustain = -1;
  e.releaseSeconds = release;
  return e;
}

InstrumentPatch SingleZone(std::string name, SynthSample sample) {
  InstrumentPatch s;
  s.name = std::move(name);
  s.zones.push_back({1, std::move(sample)});
  return s;
}

XmSample QuantizeSample(const SynthSample& s, bool sixteenBit, double gain, double transpose, uint64_t seed) {
  XmSample out;
  out.sixteenBit = sixteenBit;
  const double full = sixteenBit ? 32767.0 : 127.0;
  const bool dither = !sixteenBit && s.loopLength == 0;
  Prng rng(seed);
  out.frames.resize(s.wave.size());
  for (size_t i = 0; i < s.wave.size(); ++i) {
    double v = s.wave[i] * gain * full;
    // Triangular dither keeps the quiet tails of 8-bit one-shots from turning to grit.
    if (dither) v += 0.5 * (rng.Unit() - rng.Unit());
    long q = std::lround(v);
    out.frames[i] = static_cast<int>(std::clamp<long>(q, sixteenBit ? -32768 : -128, sixteenBit ? 32767 : 127));
  }
  out.loopStart = static_cast<uint32_t>(s.loopStart);
  out.loopLength = static_cast<uint32_t>(s.loopLength);
  double tune = s.tune + transpose;
  int relative = static_cast<int>(std::floor(tune + 0.5));
  int fine = static_cast<int>(std::lround((tune - relative) * 128.0));
  if (relative < -96 || relative > 95) throw std::runtime_error("sample tuning out of range");
  out.relativeNote = static_cast<int8_t>(relative);
  out.finetune = static_cast<int8_t>(std::clamp(fine, -128, 127));
  return out;
}

XmInstrument BuildInstrument(const InstrumentPatch& patch, int bpm) {
  XmInstrument ins;
  ins.name = patch.name;
  const double tps = TicksPerSecond(bpm);
  for (size_t z = 0; z < patch.zones.size(); ++z) {
    XmSample s = QuantizeSample(patch.zones[z].sample, patch.sixteenBit, patch.gain, patch.transpose, 1000 + z);
    s.name = patch.name;
    s.volume = static_cast<uint8_t>(std::clamp(patch.volume, 0, 64));
    s.panning = static_cast<uint8_t>(std::clamp(patch.panning, 0, 255));
    ins.samples.push_back(std::move(s));
    int first = std::max(1, patch.zones[z].firstNote);
    for (int note = first; note <= 96; ++note) ins.keymap[note - 1] = static_cast<uint8_t>(z);
  }
  if (!patch.envelope.points.empty()) {
    int lastTick = -1;
    for (const auto& [seconds, level] : patch.envelope.points) {
      int tick = static_cast<int>(std::lround(seconds * tps));
      if (tick <= lastTick) tick = lastTick + 1;
      lastTick = tick;
      ins.volumeEnvelope.points.push_back(
          {static_cast<uint16_t>(tick), static_cast<uint16_t>(std::lround(std::clamp(level, 0.0, 1.0) * 64))});
    }
    ins.volumeEnvelope.sustain = patch.envelope.sustain;
    ins.volumeEnvelope.loopStart = patch.envelope.loopStart;
    ins.volumeEnvelope.loopEnd = patch.envelope.loopEnd;
    double releaseTicks = std::max(1.0, patch.envelope.releaseSeconds * tps);
    ins.fadeout = static_cast<uint16_t>(std::clamp(static_cast<int>(std::lround(kFadeoutFull / releaseTicks)), 1, kFadeoutMax));
  }
  ins.vibratoDepth = static_cast<uint8_t>(std::clamp(patch.vibratoDepth, 0, 15));
  ins.vibratoRate = static_cast<uint8_t>(std::clamp(patch.vibratoRate, 0, 63));
  ins.vibratoSweep = static_cast<uint8_t>(std::clamp(static_cast<int>(std::lround(patch.vibratoSweep * tps)), 0, 255));
  return ins;
}
