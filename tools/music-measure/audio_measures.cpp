// The measures are computed from two spectrograms: a long one (8192 samples) whose spectral
// peaks give the chroma, band shares and flatness, and a short one (2048 samples every 10 ms)
// whose flux gives the onsets, the tempo and the beats.
#include "audio_measures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#include "fft.h"

namespace {

using Chroma = std::array<double, 12>;

// Long frames resolve a semitone down to about 65 Hz; hop of 2048 is 46 ms at 44.1 kHz.
constexpr size_t kLongSize = 8192, kLongHop = 2048;
// Onset frames: 100 per second at 44.1 kHz.
constexpr size_t kShortSize = 2048, kShortHop = 441;
// Chroma is gathered from spectral peaks between these frequencies (C2 to about C8).
constexpr double kChromaLowHz = 65.0, kChromaHighHz = 4200.0;
// Peaks weaker than this share of the frame's strongest are noise to the chroma (-40 dB).
constexpr double kPeakFloor = 1e-4;
// The bands of the brightness and weight shares.
constexpr double kHighHz = 4000.0, kLowHz = 150.0;
// Floor added to the power before its logarithm in the flatness, as spectral-flatness
// implementations usually do (on power of an unnormalised transform of -1..1 audio), and the
// band it is taken over: where every module has content whatever its sample rates, so an
// empty top octave does not decide the figure.
constexpr double kFlatnessFloor = 1e-10;
constexpr double kFlatLowHz = 60.0, kFlatHighHz = 8000.0;
// Onset picking (in onset frames of 10 ms): a peak is the maximum of the 30 ms before it,
// stands 0.07 above the mean of the 100 ms around it (envelope scaled to 0..1), and comes at
// least 30 ms after the one before.
constexpr int kPreMax = 3, kAvgSpan = 10, kWait = 3;
constexpr double kDelta = 0.07;
// Tempo search range and the prior that prefers tempos near 120 BPM (one octave deviation).
constexpr double kMinBpm = 50, kMaxBpm = 220, kPriorBpm = 120;
// Tempo windows.
constexpr double kWindowSeconds = 8, kWindowHop = 4, kTempoTolerance = 0.04;
// Beat tracking: how strongly an interval off the beat period is penalised.
constexpr double kTightness = 100;
// Beats two 4/4 bars apart or more count as "apart" for the harmonic hold.
constexpr int kHoldLag = 8;
// An onset on the eighth-note grid lies within this share of an eighth note of a grid point.
constexpr double kGridTolerance = 0.125;

// Krumhansl-Kessler key profiles, tonic first.
constexpr double kMajorProfile[12] = {6.35, 2.23, 3.48, 2.33, 4.38, 4.09, 2.52, 5.19, 2.39, 3.66, 2.29, 2.88};
constexpr double kMinorProfile[12] = {6.33, 2.68, 3.52, 5.38, 2.60, 3.53, 2.54, 4.75, 3.98, 2.69, 3.34, 3.17};
constexpr int kMajorScale[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr int kMinorScale[7] = {0, 2, 3, 5, 7, 8, 10};

double Cosine(const Chroma& a, const Chroma& b) {
  double ab = 0, aa = 0, bb = 0;
  for (int i = 0; i < 12; ++i) {
    ab += a[i] * b[i];
    aa += a[i] * a[i];
    bb += b[i] * b[i];
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

double Correlation(const double* a, const double* b, int n) {
  double ma = 0, mb = 0;
  for (int i = 0; i < n; ++i) ma += a[i], mb += b[i];
  ma /= n, mb /= n;
  double ab = 0, aa = 0, bb = 0;
  for (int i = 0; i < n; ++i) {
    ab += (a[i] - ma) * (b[i] - mb);
    aa += (a[i] - ma) * (a[i] - ma);
    bb += (b[i] - mb) * (b[i] - mb);
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

// Spectral flux of log-compressed magnitudes, scaled to 0..1.
std::vector<double> OnsetEnvelope(const PowerSpectrogram& s) {
  std::vector<double> env(s.Frames(), 0.0);
  const double scale = 4.0 / s.Size();  // a full-scale sine peaks near 1
  std::vector<double> last;
  for (size_t f = 0; f < s.Frames(); ++f) {
    const std::vector<double>& p = s.Frame(f);
    std::vector<double> now(p.size());
    for (size_t k = 0; k < p.size(); ++k) now[k] = std::log1p(100.0 * scale * std::sqrt(p[k]));
    if (!last.empty()) {
      double flux = 0;
      for (size_t k = 1; k < p.size(); ++k) flux += std::max(0.0, now[k] - last[k]);
      env[f] = flux;
    }
    last = std::move(now);
  }
  double lo = *std::min_element(env.begin(), env.end()), hi = *std::max_element(env.begin(), env.end());
  for (double& v : env) v = hi > lo ? (v - lo) / (hi - lo) : 0.0;
  return env;
}

std::vector<int> PickOnsets(const std::vector<double>& env) {
  std::vector<int> out;
  const int n = static_cast<int>(env.size());
  for (int i = 1; i < n; ++i) {
    bool isMax = true;
    for (int j = std::max(0, i - kPreMax); j <= std::min(n - 1, i + 1) && isMax; ++j)
      if (env[j] > env[i]) isMax = false;
    if (!isMax) continue;
    double sum = 0;
    int count = 0;
    for (int j = std::max(0, i - kAvgSpan); j <= std::min(n - 1, i + kAvgSpan); ++j) sum += env[j], ++count;
    if (env[i] < sum / count + kDelta) continue;
    if (!out.empty() && i - out.back() <= kWait) continue;
    out.push_back(i);
  }
  return out;
}

// Tempo of env[from, to) by autocorrelation weighted with the tempo prior; frames per second fps.
double Tempo(const std::vector<double>& env, size_t from, size_t to, double fps) {
  const int minLag = static_cast<int>(std::floor(60.0 * fps / kMaxBpm));
  const int maxLag = static_cast<int>(std::ceil(60.0 * fps / kMinBpm));
  if (to - from < static_cast<size_t>(2 * maxLag)) return 0;
  double mean = 0;
  for (size_t i = from; i < to; ++i) mean += env[i];
  mean /= static_cast<double>(to - from);
  std::vector<double> score(maxLag + 2, 0.0);
  for (int lag = minLag - 1; lag <= maxLag + 1; ++lag) {
    double ac = 0;
    for (size_t i = from; i + lag < to; ++i) ac += (env[i] - mean) * (env[i + lag] - mean);
    ac /= static_cast<double>(to - from - lag);
    double bpm = 60.0 * fps / lag;
    double octaves = std::log2(bpm / kPriorBpm);
    score[lag] = ac * std::exp(-0.5 * octaves * octaves);
  }
  int best = minLag;
  for (int lag = minLag; lag <= maxLag; ++lag)
    if (score[lag] > score[best]) best = lag;
  // Parabolic refinement of the peak.
  double a = score[best - 1], b = score[best], c = score[best + 1];
  double denom = a - 2 * b + c;
  double lag = best + (denom < 0 ? 0.5 * (a - c) / denom : 0.0);
  return 60.0 * fps / lag;
}

// Dynamic-programming beat tracker: beats near onset peaks, spaced close to the period.
std::vector<double> TrackBeats(const std::vector<double>& env, double period) {
  const int n = static_cast<int>(env.size());
  double mean = std::accumulate(env.begin(), env.end(), 0.0) / n, var = 0;
  for (double v : env) var += (v - mean) * (v - mean);
  const double sd = std::sqrt(var / n) + 1e-9;
  std::vector<double> score(n), local(n);
  std::vector<int> back(n, -1);
  for (int i = 0; i < n; ++i) local[i] = env[i] / sd;
  for (int i = 0; i < n; ++i) {
    double best = 0;
    int from = -1;
    for (int j = i - static_cast<int>(2 * period); j <= i - static_cast<int>(period / 2); ++j) {
      if (j < 0) continue;
      double d = std::log((i - j) / period);
      double s = score[j] - kTightness * d * d;
      if (from < 0 || s > best) best = s, from = j;
    }
    score[i] = local[i] + (from >= 0 ? best : 0.0);
    back[i] = from;
  }
  int end = n - 1;
  for (int i = std::max(0, n - static_cast<int>(period)); i < n; ++i)
    if (score[i] > score[end] || end == n - 1) end = i;
  std::vector<double> beats;
  for (int i = end; i >= 0; i = back[i]) beats.push_back(i);
  std::reverse(beats.begin(), beats.end());
  return beats;
}

}  // namespace

AudioMeasures MeasureAudio(const std::vector<float>& mono, double rate) {
  AudioMeasures m;
  m.seconds = static_cast<double>(mono.size()) / rate;
  // Shorter than one long frame: nothing to measure.
  if (mono.size() < kLongSize) return m;

  // Onsets, tempo and beats.
  PowerSpectrogram shortS(mono, kShortSize, kShortHop);
  const double fps = rate / kShortHop;
  std::vector<double> env = OnsetEnvelope(shortS);
  std::vector<int> onsets = PickOnsets(env);
  m.onsetsPerSecond = onsets.size() / m.seconds;
  m.tempo = Tempo(env, 0, env.size(), fps);
  const size_t window = static_cast<size_t>(kWindowSeconds * fps), hop = static_cast<size_t>(kWindowHop * fps);
  int windows = 0, agree = 0;
  for (size_t from = 0; from + window <= env.size(); from += hop) {
    double t = Tempo(env, from, from + window, fps);
    ++windows;
    if (std::fabs(t - m.tempo) <= kTempoTolerance * m.tempo) ++agree;
  }
  m.tempoAgreement = windows ? static_cast<double>(agree) / windows : 0;
  // Frame f of the onset spectrogram is centred at (f * hop + size / 2) / rate seconds.
  const double shortOffset = kShortSize / 2.0 / rate;
  // Too short a song for a tempo has no beats: the beat measures stay at zero.
  std::vector<double> beats = m.tempo > 0 ? TrackBeats(env, 60.0 * fps / m.tempo) : std::vector<double>();
  for (double& b : beats) b = b / fps + shortOffset;

  // Onsets on the eighth-note grid: beats and the midpoints between them.
  int onGrid = 0, counted = 0;
  for (int o : onsets) {
    double t = o / fps + shortOffset;
    auto it = std::upper_bound(beats.begin(), beats.end(), t);
    if (it == beats.begin() || it == beats.end()) continue;
    double b0 = *(it - 1), b1 = *it;
    double eighth = (b1 - b0) / 2;
    double pos = (t - b0) / eighth;  // 0..2
    double off = std::fabs(pos - std::round(pos));
    ++counted;
    if (off <= kGridTolerance) ++onGrid;
  }
  m.onGrid = counted ? static_cast<double>(onGrid) / counted : 0;

  // Chroma, bands and flatness from the long frames.
  PowerSpectrogram longS(mono, kLongSize, kLongHop);
  const double binHz = rate / kLongSize;
  double total = 0, high = 0, low = 0;
  for (size_t f = 0; f < longS.Frames(); ++f) {
    const std::vector<double>& p = longS.Frame(f);
    for (size_t k = 1; k < p.size(); ++k) {
      double hz = k * binHz;
      total += p[k];
      if (hz > kHighHz) high += p[k];
      if (hz < kLowHz) low += p[k];
    }
  }
  m.highShare = total > 0 ? high / total : 0;
  m.lowShare = total > 0 ? low / total : 0;

  std::vector<double> flatness;
  for (size_t f = 0; f < shortS.Frames(); ++f) {
    const std::vector<double>& p = shortS.Frame(f);
    double logSum = 0, sum = 0, energy = 0;
    const size_t k0 = static_cast<size_t>(kFlatLowHz * kShortSize / rate);
    const size_t k1 = std::min(p.size() - 1, static_cast<size_t>(kFlatHighHz * kShortSize / rate));
    for (size_t k = k0; k <= k1; ++k) {
      logSum += std::log(p[k] + kFlatnessFloor);
      sum += p[k] + kFlatnessFloor;
      energy += p[k];
    }
    const double n = static_cast<double>(k1 - k0 + 1);
    // Frames 60 dB or more below full scale are silence, not sound.
    if (energy < 1e-6 * kShortSize * kShortSize * n / (kShortSize / 2)) continue;
    flatness.push_back(std::exp(logSum / n) / (sum / n));
  }
  m.flatness = Median(flatness);

  std::vector<Chroma> frameChroma(longS.Frames(), Chroma{});
  for (size_t f = 0; f < longS.Frames(); ++f) {
    const std::vector<double>& p = longS.Frame(f);
    double peak = 0;
    for (double v : p) peak = std::max(peak, v);
    const size_t k0 = static_cast<size_t>(kChromaLowHz / binHz), k1 = static_cast<size_t>(kChromaHighHz / binHz);
    for (size_t k = std::max<size_t>(k0, 2); k <= k1 && k + 1 < p.size(); ++k) {
      if (!(p[k] > p[k - 1] && p[k] >= p[k + 1]) || p[k] < kPeakFloor * peak) continue;
      double a = std::log(p[k - 1] + 1e-30), b = std::log(p[k] + 1e-30), c = std::log(p[k + 1] + 1e-30);
      double denom = a - 2 * b + c;
      double delta = denom < 0 ? 0.5 * (a - c) / denom : 0.0;
      double hz = (k + delta) * binHz;
      double midi = 69.0 + 12.0 * std::log2(hz / 440.0);
      int pc = ((static_cast<int>(std::lround(midi)) % 12) + 12) % 12;
      frameChroma[f][pc] += std::sqrt(p[k]);
    }
  }
  // Beat chroma: the frames whose centres fall inside each beat, scaled to unit length.
  std::vector<Chroma> beatChroma;
  const double longOffset = kLongSize / 2.0 / rate, longStep = kLongHop / rate;
  for (size_t i = 0; i + 1 < beats.size(); ++i) {
    Chroma c{};
    for (size_t f = 0; f < longS.Frames(); ++f) {
      double t = f * longStep + longOffset;
      if (t >= beats[i] && t < beats[i + 1])
        for (int q = 0; q < 12; ++q) c[q] += frameChroma[f][q];
    }
    double norm = 0;
    for (double v : c) norm += v * v;
    if (norm <= 0) continue;
    for (double& v : c) v /= std::sqrt(norm);
    beatChroma.push_back(c);
  }
  const size_t nb = beatChroma.size();
  double changeSum = 0, holdSum = 0;
  long holdPairs = 0;
  for (size_t i = 0; i + 1 < nb; ++i) changeSum += 1.0 - Cosine(beatChroma[i], beatChroma[i + 1]);
  for (size_t i = 0; i < nb; ++i)
    for (size_t j = i + kHoldLag; j < nb; ++j) holdSum += Cosine(beatChroma[i], beatChroma[j]), ++holdPairs;
  m.chromaChange = nb > 1 ? changeSum / (nb - 1) : 0;
  m.chromaHold = holdPairs ? holdSum / holdPairs : 0;

  Chroma sum{};
  for (const Chroma& c : beatChroma)
    for (int q = 0; q < 12; ++q) sum[q] += c[q];
  double bestFit = -2;
  for (int tonic = 0; tonic < 12; ++tonic)
    for (int minor = 0; minor < 2; ++minor) {
      double rotated[12];
      for (int q = 0; q < 12; ++q) rotated[q] = sum[(tonic + q) % 12];
      double fit = Correlation(rotated, minor ? kMinorProfile : kMajorProfile, 12);
      if (fit > bestFit) bestFit = fit, m.keyTonic = tonic, m.keyMinor = minor;
    }
  double inScale = 0, all = 0;
  for (int q = 0; q < 12; ++q) all += sum[q];
  for (int d : m.keyMinor ? kMinorScale : kMajorScale) inScale += sum[(m.keyTonic + d) % 12];
  m.outOfKey = all > 0 ? 1.0 - inScale / all : 0;
  return m;
}
