// Drum synthesis: every sample ends in a short fade so its last frame meets silence.
#include "drum_synth.h"

#include <algorithm>
#include <cmath>

#include "biquad.h"
#include "det_math.h"
#include "prng.h"

namespace {

// Fade of the last frames so a one-shot never stops on a step.
void FadeTail(std::vector<double>& w, double rate, double seconds) {
  size_t n = std::min(w.size(), static_cast<size_t>(seconds * rate));
  for (size_t i = 0; i < n; ++i) {
    double g = static_cast<double>(i) / n;
    w[w.size() - 1 - i] *= g * g;
  }
}

// First-order high-pass at a few hertz: keeps noise-built sounds free of any offset.
void BlockDc(std::vector<double>& w, double rate) {
  double r = 1.0 - detmath::kTwoPi * 12.0 / rate;
  double x1 = 0, y1 = 0;
  for (double& v : w) {
    double y = v - x1 + r * y1;
    x1 = v;
    y1 = y;
    v = y;
  }
}

void Normalize(std::vector<double>& w, double peak) {
  double m = 0;
  for (double v : w) m = std::max(m, std::fabs(v));
  if (m > 0)
    for (double& v : w) v *= peak / m;
}

SynthSample Finish(std::vector<double> w, double rate) {
  BlockDc(w, rate);
  FadeTail(w, rate, 0.006);
  Normalize(w, 1.0);
  SynthSample s;
  s.wave = std::move(w);
  s.tune = TuneForRate(rate);
  return s;
}

}  // namespace

SynthSample Kick(const KickParams& k, uint64_t seed) {
  size_t n = static_cast<size_t>(k.lengthSeconds * k.rate);
  std::vector<double> w(n);
  Prng rng(seed);
  Biquad clickFilter(Biquad::Kind::kBandPass, 3000.0, k.rate, 0.9);
  double phase = 0;
  for (size_t i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / k.rate;
    double hz = k.endHz + (k.startHz - k.endHz) * detmath::Exp(-t / k.sweepSeconds);
    phase += detmath::kTwoPi * hz / k.rate;
    // A few milliseconds of hold before the decay gives the body its weight.
    double amp = t < 0.01 ? 1.0 : detmath::Exp(-(t - 0.01) / k.decaySeconds);
    double body = detmath::Sin(phase) * amp;
    double click = clickFilter.Process(rng.Signed()) * detmath::Exp(-t / 0.003) * k.click;
    double x = body + click;
    w[i] = detmath::Tanh(k.drive * x) / detmath::Tanh(k.drive);
  }
  return Finish(std::move(w), k.rate);
}

SynthSample Snare(const SnareParams& s, uint64_t seed) {
  size_t n = static_cast<size_t>(s.lengthSeconds * s.rate);
  std::vector<double> w(n);
  Prng rng(seed);
  Biquad hp(Biquad::Kind::kHighPass, s.noiseHighPass, s.rate, 0.7071);
  Biquad body(Biquad::Kind::kPeak, 4500.0, s.rate, 1.0, 5.0);
  double phase = 0;
  for (size_t i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / s.rate;
    double hz = s.toneHz * (1.0 + 0.5 * detmath::Exp(-t / 0.01));
    phase += detmath::kTwoPi * hz / s.rate;
    double tone = (detmath::Sin(phase) + 0.4 * detmath::Sin(phase * 1.62)) * detmath::Exp(-t / s.toneDecay);
    double noise = body.Process(hp.Process(rng.Signed())) * detmath::Exp(-t / s.noiseDecay);
    w[i] = (1.0 - s.noiseShare) * tone + s.noiseShare * noise;
  }
  return Finish(std::move(w), s.rate);
}

SynthSample Clap(double rate, double tailSeconds, uint64_t seed) {
  size_t n = static_cast<size_t>((0.03 + tailSeconds * 4) * rate);
  std::vector<double> w(n);
  Prng rng(seed);
  Biquad band(Biquad::Kind::kBandPass, 1300.0, rate, 1.2);
  Biquad hp(Biquad::Kind::kHighPass, 600.0, rate, 0.7071);
  const double bursts[] = {0.0, 0.011, 0.022};
  for (size_t i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / rate;
    double env = 0;
    for (double b : bursts)
      if (t >= b) env = std::max(env, detmath::Exp(-(t - b) / 0.005));
    if (t >= 0.03) env = std::max(env, 0.8 * detmath::Exp(-(t - 0.03) / tailSeconds));
    w[i] = band.Process(hp.Process(rng.Signed())) * env;
  }
  return Finish(std::move(w), rate);
}

SynthSample Hat(const HatParams& h, uint64_t seed) {
  size_t n = static_cast<size_t>(h.lengthSeconds * h.rate);
  std::vector<double> w(n);
  Prng rng(seed);
  // The classic cluster of six detuned square waves that makes noise sound like metal.
  const double freqs[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
  double phases[6] = {0, 0, 0, 0, 0, 0};
  Biquad hp1(Biquad::Kind::kHighPass, h.highPass, h.rate, 0.7071);
  Biquad hp2(Biquad::Kind::kHighPass, h.highPass, h.rate, 0.7071);
  Biquad band(Biquad::Kind::kBandPass, std::min(10000.0, h.rate * 0.3), h.rate, 0.9);
  for (size_t i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / h.rate;
    double metal = 0;
    for (int j = 0; j < 6; ++j) {
      phases[j] += freqs[j] * 2.0 / h.rate;  // 2x the 808 base rates sits brighter
      phases[j] -= std::floor(phases[j]);
      metal += phases[j] < 0.5 ? 1.0 : -1.0;
    }
    double x = h.metal * metal / 6.0 + (1.0 - h.metal) * rng.Signed();
    double env = detmath::Exp(-t / h.decaySeconds);
    x = hp2.Process(hp1.Process(x));
    w[i] = (0.6 * x + 0.4 * band.Process(x)) * env;
  }
  return Finish(std::move(w), h.rate);
}

SynthSample Crash(size_t frames, double rate, uint64_t seed) {
  std::vector<double> w(frames);
  Prng rng(seed);
  const double freqs[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
  double phases[6] = {0, 0, 0, 0, 0, 0};
  Biquad hp(Biquad::Kind::kHighPass, 3500.0, rate, 0.7071);
  Biquad shelf(Biquad::Kind::kPeak, std::min(7000.0, rate * 0.3), rate, 0.7, 4.0);
  double seconds = static_cast<double>(frames) / rate;
  for (size_t i = 0; i < frames; ++i) {
    double t = static_cast<double>(i) / rate;
    double metal = 0;
    for (int j = 0; j < 6; ++j) {
      phases[j] += freqs[j] * 3.1 / rate;
      phases[j] -= std::floor(phases[j]);
      metal += phases[j] < 0.5 ? 1.0 : -1.0;
    }
    double x = 0.35 * metal / 6.0 + 0.65 * rng.Signed();
    double attack = std::min(1.0, t / 0.002);
    // The decay spreads over the whole sample so any length sounds like a whole crash.
    double env = attack * detmath::Exp(-t / (0.28 * seconds));
    w[i] = shelf.Process(hp.Process(x)) * env;
  }
  return Finish(std::move(w), rate);
}

SynthSample Tick(double rate, double toneHz, uint64_t seed) {
  size_t n = static_cast<size_t>(0.06 * rate);
  std::vector<double> w(n);
  Prng rng(seed);
  Biquad band(Biquad::Kind::kBandPass, toneHz * 1.5, rate, 2.0);
  for (size_t i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / rate;
    double ring = detmath::Sin(detmath::kTwoPi * toneHz * t) * detmath::Exp(-t / 0.012);
    double click = band.Process(rng.Signed()) * detmath::Exp(-t / 0.002);
    w[i] = 0.6 * ring + 0.8 * click;
  }
  return Finish(std::move(w), rate);
}

SynthSample Shaker(double rate, uint64_t seed) {
  size_t n = static_cast<size_t>(0.11 * rate);
  std::vector<double> w(n);
  Prng rng(seed);
  Biquad hp(Biquad::Kind::kHighPass, 5000.0, rate, 0.7071);
  for (size_t i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / rate;
    double env = t < 0.012 ? t / 0.012 : detmath::Exp(-(t - 0.012) / 0.03);
    w[i] = hp.Process(rng.Signed()) * env;
  }
  return Finish(std::move(w), rate);
}

SynthSample Tom(double rate, double hz, uint64_t seed) {
  size_t n = static_cast<size_t>(0.4 * rate);
  std::vector<double> w(n);
  Prng rng(seed);
  Biquad lp(Biquad::Kind::kLowPass, 3000.0, rate, 0.7071);
  double phase = 0;
  for (size_t i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / rate;
    double f = hz * (1.0 + 0.6 * detmath::Exp(-t / 0.03));
    phase += detmath::kTwoPi * f / rate;
    double body = detmath::Sin(phase) * detmath::Exp(-t / 0.16);
    double skin = lp.Process(rng.Signed()) * detmath::Exp(-t / 0.03) * 0.3;
    w[i] = detmath::Tanh(1.4 * (body + skin));
  }
  return Finish(std::move(w), rate);
}

SynthSample Surf(size_t frames, double rate, double cutoff, uint64_t seed) {
  std::vector<double> w(frames);
  Prng rng(seed);
  Biquad lp1(Biquad::Kind::kLowPass, cutoff, rate, 0.7071);
  Biquad lp2(Biquad::Kind::kLowPass, cutoff * 1.5, rate, 0.7071);
  Biquad hp(Biquad::Kind::kHighPass, 120.0, rate, 0.7071);
  for (size_t i = 0; i < frames; ++i) {
    double x = static_cast<double>(i) / frames;
    // Rises over the first third, ebbs away over the rest: one wave on the shore.
    double env = x < 0.33 ? detmath::Sin(detmath::kPi * 0.5 * x / 0.33) : detmath::Exp(-(x - 0.33) * 4.5);
    env *= env;
    w[i] = hp.Process(lp2.Process(lp1.Process(rng.Signed()))) * env;
  }
  return Finish(std::move(w), rate);
}
