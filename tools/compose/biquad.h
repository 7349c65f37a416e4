// Second-order IIR filter (RBJ cookbook forms) for shaping synthesized noise and tones.
#pragma once

class Biquad {
 public:
  enum class Kind { kLowPass, kHighPass, kBandPass, kPeak };
  // cutoff and rate in Hz; q the resonance (0.7071 is flat); gainDb only for kPeak.
  Biquad(Kind kind, double cutoff, double rate, double q, double gainDb = 0.0);
  double Process(double x);

 private:
  double b0_, b1_, b2_, a1_, a2_;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};
