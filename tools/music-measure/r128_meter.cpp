// K-weighting as the two filters of BS.1770 (shelf, then high-pass), designed for any rate from
// their analog prototypes; 400 ms blocks every 100 ms for the integrated loudness, 3 s windows
// every 100 ms for the range.
#include "r128_meter.h"

#include <algorithm>
#include <cmath>

namespace {

// BS.1770 filter prototypes.
constexpr double kShelfHz = 1681.974450955533, kShelfGainDb = 3.999843853973347, kShelfQ = 0.7071752369554196;
constexpr double kHighPassHz = 38.13547087602444, kHighPassQ = 0.5003270373238773;
// Gates and windows.
constexpr double kAbsoluteGate = -70.0;
constexpr double kIntegratedRelativeGate = -10.0, kRangeRelativeGate = -20.0;
constexpr double kBlockSeconds = 0.4, kShortTermSeconds = 3.0, kStepSeconds = 0.1;
constexpr double kOffset = -0.691;

struct Biquad {
  double b0, b1, b2, a1, a2;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  double Run(double x) {
    double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1, x1 = x, y2 = y1, y1 = y;
    return y;
  }
};

Biquad Shelf(double rate) {
  const double k = std::tan(M_PI * kShelfHz / rate);
  const double vh = std::pow(10.0, kShelfGainDb / 20.0), vb = std::pow(vh, 0.4996667741545416);
  const double a0 = 1.0 + k / kShelfQ + k * k;
  return {(vh + vb * k / kShelfQ + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / kShelfQ + k * k) / a0,
          2.0 * (k * k - 1.0) / a0, (1.0 - k / kShelfQ + k * k) / a0};
}

Biquad HighPass(double rate) {
  const double k = std::tan(M_PI * kHighPassHz / rate);
  const double a0 = 1.0 + k / kHighPassQ + k * k;
  return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / kHighPassQ + k * k) / a0};
}

double Loudness(double meanSquare) { return meanSquare > 0 ? kOffset + 10.0 * std::log10(meanSquare) : -1e9; }

// Mean-square energies (summed over both channels) of windows of `window` steps.
std::vector<double> Windows(const std::vector<double>& steps, size_t window) {
  std::vector<double> out;
  double sum = 0;
  for (size_t i = 0; i < steps.size(); ++i) {
    sum += steps[i];
    if (i >= window) sum -= steps[i - window];
    if (i + 1 >= window) out.push_back(sum / static_cast<double>(window));
  }
  return out;
}

// Energies above the absolute gate, then above `relative` LU under their own mean.
std::vector<double> Gated(const std::vector<double>& energies, double relative) {
  std::vector<double> loud;
  for (double e : energies)
    if (Loudness(e) > kAbsoluteGate) loud.push_back(e);
  if (loud.empty()) return loud;
  double mean = 0;
  for (double e : loud) mean += e;
  mean /= static_cast<double>(loud.size());
  const double gate = Loudness(mean) + relative;
  std::vector<double> out;
  for (double e : loud)
    if (Loudness(e) > gate) out.push_back(e);
  return out;
}

}  // namespace

R128 MeasureR128(const std::vector<float>& stereo, int rate) {
  R128 r;
  const size_t frames = stereo.size() / 2;
  const size_t step = static_cast<size_t>(kStepSeconds * rate);
  if (step == 0 || frames < step) return r;
  Biquad shelf[2] = {Shelf(rate), Shelf(rate)}, pass[2] = {HighPass(rate), HighPass(rate)};
  // Energy of each 100 ms step, both channels summed (their BS.1770 weights are 1).
  std::vector<double> steps(frames / step, 0.0);
  for (size_t i = 0; i < steps.size() * step; ++i)
    for (int c = 0; c < 2; ++c) {
      double z = pass[c].Run(shelf[c].Run(stereo[2 * i + c]));
      steps[i / step] += z * z;
    }
  for (double& e : steps) e /= static_cast<double>(step);

  std::vector<double> blocks = Gated(Windows(steps, static_cast<size_t>(std::lround(kBlockSeconds / kStepSeconds))),
                                     kIntegratedRelativeGate);
  if (!blocks.empty()) {
    double mean = 0;
    for (double e : blocks) mean += e;
    r.integrated = Loudness(mean / static_cast<double>(blocks.size()));
  }
  std::vector<double> shortTerm =
      Gated(Windows(steps, static_cast<size_t>(std::lround(kShortTermSeconds / kStepSeconds))), kRangeRelativeGate);
  if (shortTerm.size() > 1) {
    std::vector<double> levels;
    for (double e : shortTerm) levels.push_back(Loudness(e));
    std::sort(levels.begin(), levels.end());
    auto at = [&](double p) { return levels[static_cast<size_t>(std::lround(p * static_cast<double>(levels.size() - 1)))]; };
    r.range = at(0.95) - at(0.10);
  }
  return r;
}
