// Additive synthesis on integer cycle counts: every loop holds whole cycles of every partial.
#include "tone_synth.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "biquad.h"
#include "det_math.h"
#include "prng.h"

namespace {

// Sine table over a whole loop: entry i is sin(2 pi i / size), so partials on integer cycle
// counts index it exactly.
std::vector<double> SineTable(size_t size) {
  std::vector<double> t(size);
  for (size_t i = 0; i < size; ++i) t[i] = detmath::Sin(detmath::kTwoPi * static_cast<double>(i) / size);
  return t;
}

void NormalizePeak(std::vector<double>& w, double peak) {
  double m = 0;
  for (double v : w) m = std::max(m, std::fabs(v));
  if (m <= 0) return;
  for (double& v : w) v *= peak / m;
}

double NoteHz(int xmNote) { return kMiddleCHz * detmath::SemitoneRatio(xmNote - 49); }

// The breath of a pad reaches up to this harmonic of its pitch (3.7 kHz over middle C), where a
// breathy tone's air sits.
constexpr long long kBreathTopHarmonic = 14;

}  // namespace

HarmonicTable MakeHarmonics(const WaveShape& params) {
  HarmonicTable h;
  int n = std::max(1, params.maxHarmonic);
  h.amplitude.assign(n, 0.0);
  h.phase.assign(n, 0.0);
  for (int k = 1; k <= n; ++k) {
    double a = 0, ph = 0;
    switch (params.kind) {
      case WaveKind::kSine:
        a = k == 1 ? 1.0 : 0.0;
        break;
      case WaveKind::kTriangle:
        if (k % 2 == 1) {
          a = 1.0 / (static_cast<double>(k) * k);
          ph = ((k - 1) / 2) % 2 == 0 ? 0.0 : 0.5;
        }
        break;
      case WaveKind::kSaw:
        a = 1.0 / k;
        ph = k % 2 == 1 ? 0.0 : 0.5;
        break;
      case WaveKind::kPulse:
        // Fourier series of a pulse of width duty, as sines: cos(x) = sin(x + pi/2).
        a = std::fabs(detmath::Sin(detmath::kPi * k * params.duty)) / k;
        ph = 0.25 - k * params.duty / 2.0 + (detmath::Sin(detmath::kPi * k * params.duty) < 0 ? 0.5 : 0.0);
        break;
      case WaveKind::kOrgan:
        // Drawbar-like: fundamental, octave, twelfth and a touch of the upper partials.
        a = k == 1 ? 1.0 : k == 2 ? 0.6 : k == 3 ? 0.45 : k == 4 ? 0.25 : k == 6 ? 0.12 : k == 8 ? 0.08 : 0.0;
        break;
    }
    // Lanczos sigma factor: tames the Gibbs ripple of the truncated series.
    double x = detmath::kPi * k / (n + 1);
    double sigma = detmath::Sin(x) / x;
    if (params.rolloff > 0) a /= 1.0 + (k / params.rolloff) * (k / params.rolloff);
    h.amplitude[k - 1] = a * sigma;
    h.phase[k - 1] = ph - std::floor(ph);
  }
  return h;
}

SynthSample SingleCycle(const WaveShape& params, int period) {
  WaveShape s = params;
  s.maxHarmonic = std::min(params.maxHarmonic, period / 2 - 1);
  HarmonicTable h = MakeHarmonics(s);
  std::vector<double> table = SineTable(period);
  SynthSample out;
  out.wave.assign(period, 0.0);
  for (int k = 1; k <= s.maxHarmonic; ++k) {
    double a = h.amplitude[k - 1];
    if (a == 0) continue;
    int offset = static_cast<int>(std::floor(h.phase[k - 1] * period + 0.5));
    for (int i = 0; i < period; ++i) out.wave[i] += a * table[(static_cast<long long>(k) * i + offset) % period];
  }
  NormalizePeak(out.wave, 1.0);
  out.loopStart = 0;
  out.loopLength = period;
  out.tune = TuneForPeriod(period);
  return out;
}

std::vector<ToneZone> BandLimitedZones(const WaveShape& params, int lowNote, int highNote, double maxHz) {
  std::vector<ToneZone> zones;
  for (int first = lowNote; first <= highNote; first += 12) {
    int top = std::min(first + 11, highNote);
    WaveShape s = params;
    s.maxHarmonic = std::max(1, std::min(params.maxHarmonic, static_cast<int>(maxHz / NoteHz(top))));
    int period = 32;
    while (period < 4 * s.maxHarmonic && period < 1024) period *= 2;
    zones.push_back({first == lowNote ? 1 : first, SingleCycle(s, period)});
  }
  return zones;
}

SynthSample DetunedPad(const WaveShape& params, int period, int cycles, const std::vector<int>& offsets,
                       uint64_t seed, double breath) {
  size_t loop = static_cast<size_t>(period) * cycles;
  std::vector<double> table = SineTable(loop);
  HarmonicTable h = MakeHarmonics(params);
  Prng rng(seed);
  SynthSample out;
  out.wave.assign(loop, 0.0);
  for (int off : offsets) {
    long long voiceCycles = cycles + off;
    // One random start phase per voice keeps each voice's wave shape intact.
    size_t start = static_cast<size_t>(rng.Below(static_cast<int>(loop)));
    for (int k = 1; k <= params.maxHarmonic; ++k) {
      long long step = voiceCycles * k;
      if (step * 2 >= static_cast<long long>(loop)) break;
      double a = h.amplitude[k - 1];
      if (a == 0) continue;
      size_t offset = static_cast<size_t>(std::floor(h.phase[k - 1] * loop + 0.5)) + start * k;
      for (size_t i = 0; i < loop; ++i) out.wave[i] += a * table[(step * i + offset) % loop];
    }
  }
  if (breath > 0) {
    // Every whole cycle count of the loop in the band, at equal amplitude and a random phase:
    // noise whose repeat, once a loop, lies far below what the ear can tell from hiss.
    const long long lo = 2LL * cycles, hi = std::min<long long>(kBreathTopHarmonic * cycles, loop / 2 - 1);
    std::vector<double> hiss(loop, 0.0);
    for (long long m = lo; m <= hi; ++m) {
      size_t offset = static_cast<size_t>(rng.Below(static_cast<int>(loop)));
      for (size_t i = 0; i < loop; ++i) hiss[i] += table[(m * i + offset) % loop];
    }
    double tone = 0, noise = 0;
    for (size_t i = 0; i < loop; ++i) {
      tone += out.wave[i] * out.wave[i];
      noise += hiss[i] * hiss[i];
    }
    const double scale = noise > 0 ? breath * std::sqrt(tone / noise) : 0.0;
    for (size_t i = 0; i < loop; ++i) out.wave[i] += scale * hiss[i];
  }
  NormalizePeak(out.wave, 1.0);
  out.loopStart = 0;
  out.loopLength = loop;
  out.tune = TuneForPeriod(period);
  return out;
}

SynthSample DecayingTone(const DecayingToneParams& params) {
  const int period = params.period;
  const double samplesPerPitchCycle = static_cast<double>(period) / params.pitchHarmonic;
  const double rate = kMiddleCHz * samplesPerPitchCycle;
  size_t settle = static_cast<size_t>(std::ceil(params.settleSeconds * rate / period)) * period;
  size_t loop = static_cast<size_t>(params.loopUnits) * period;
  size_t total = settle + loop;
  std::vector<double> table = SineTable(period);
  SynthSample out;
  out.wave.assign(total, 0.0);
  for (const Partial& p : params.partials) {
    // A smaller period trades the top partials for size: those above its Nyquist are left out.
    if (p.harmonic * 2 >= period) continue;
    double tau = p.decaySeconds * rate;
    double endValue = detmath::Exp(-static_cast<double>(settle) / tau);
    for (size_t i = 0; i < total; ++i) {
      // Decay that lands exactly on the sustain share at the loop start and stays there.
      double e = 0;
      if (i < settle) e = (detmath::Exp(-static_cast<double>(i) / tau) - endValue) / (1.0 - endValue);
      double env = p.sustain + (1.0 - p.sustain) * e;
      out.wave[i] += p.amplitude * env * table[(static_cast<long long>(p.harmonic) * i) % period];
    }
  }
  if (params.pickNoise > 0) {
    Prng rng(params.seed);
    Biquad band(Biquad::Kind::kBandPass, 2500.0, rate, 0.8);
    size_t burst = static_cast<size_t>(0.012 * rate);
    for (size_t i = 0; i < burst && i < settle; ++i) {
      double env = 1.0 - static_cast<double>(i) / burst;
      out.wave[i] += params.pickNoise * env * env * band.Process(rng.Signed());
    }
  }
  size_t attack = std::max<size_t>(1, static_cast<size_t>(params.attackSeconds * rate));
  for (size_t i = 0; i < attack && i < total; ++i) out.wave[i] *= static_cast<double>(i) / attack;
  NormalizePeak(out.wave, 1.0);
  out.loopStart = settle;
  out.loopLength = loop;
  out.tune = TuneForPeriod(samplesPerPitchCycle);
  return out;
}
