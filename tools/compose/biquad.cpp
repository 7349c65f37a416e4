// RBJ biquad coefficients, direct form I.
#include "biquad.h"

#include <cmath>

#include "det_math.h"

Biquad::Biquad(Kind kind, double cutoff, double rate, double q, double gainDb) {
  double w = detmath::kTwoPi * cutoff / rate;
  double cw = detmath::Cos(w);
  double alpha = detmath::Sin(w) / (2.0 * q);
  double b0 = 0, b1 = 0, b2 = 0, a0 = 1, a1 = 0, a2 = 0;
  switch (kind) {
    case Kind::kLowPass:
      b0 = (1 - cw) / 2; b1 = 1 - cw; b2 = (1 - cw) / 2;
      a0 = 1 + alpha; a1 = -2 * cw; a2 = 1 - alpha;
      break;
    case Kind::kHighPass:
      b0 = (1 + cw) / 2; b1 = -(1 + cw); b2 = (1 + cw) / 2;
      a0 = 1 + alpha; a1 = -2 * cw; a2 = 1 - alpha;
      break;
    case Kind::kBandPass:
      b0 = alpha; b1 = 0; b2 = -alpha;
      a0 = 1 + alpha; a1 = -2 * cw; a2 = 1 - alpha;
      break;
    case Kind::kPeak: {
      double a = detmath::Pow(10.0, gainDb / 40.0);
      b0 = 1 + alpha * a; b1 = -2 * cw; b2 = 1 - alpha * a;
      a0 = 1 + alpha / a; a1 = -2 * cw; a2 = 1 - alpha / a;
      break;
    }
  }
  b0_ = b0 / a0; b1_ = b1 / a0; b2_ = b2 / a0; a1_ = a1 / a0; a2_ = a2 / a0;
}

double Biquad::Process(double x) {
  double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
  x2_ = x1_; x1_ = x; y2_ = y1_; y1_ = y;
  return y;
}
