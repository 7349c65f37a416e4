// Deterministic sin, cos, exp, log and pow from range reduction plus Taylor series.
#include "det_math.h"

#include <cmath>

namespace detmath {

namespace {

// ln 2 split so that k * kLn2High is exact for the |k| < 2^11 that Exp needs.
constexpr double kLn2High = 0.693145751953125;
constexpr double kLn2Low = 1.42860682030941723212e-6;
constexpr double kLn2 = 0.69314718055994530942;
constexpr double kHalfPi = 1.57079632679489661923;

// Taylor series of sin on |r| <= pi/4: terms to r^17 keep the error below 1e-16.
double SinKernel(double r) {
  double r2 = r * r;
  double term = r;
  double sum = r;
  for (int n = 1; n <= 8; ++n) {
    term *= -r2 / static_cast<double>((2 * n) * (2 * n + 1));
    sum += term;
  }
  return sum;
}

double CosKernel(double r) {
  double r2 = r * r;
  double term = 1.0;
  double sum = 1.0;
  for (int n = 1; n <= 8; ++n) {
    term *= -r2 / static_cast<double>((2 * n - 1) * (2 * n));
    sum += term;
  }
  return sum;
}

}  // namespace

double Sin(double x) {
  // Quadrant reduction; the composer's arguments stay below 1e6, where this keeps ~1e-10.
  double q = std::floor(x / kHalfPi + 0.5);
  double r = x - q * kHalfPi;
  long long quadrant = static_cast<long long>(q) & 3;
  switch (quadrant) {
    case 0: return SinKernel(r);
    case 1: return CosKernel(r);
    case 2: return -SinKernel(r);
    default: return -CosKernel(r);
  }
}

double Cos(double x) { return Sin(x + kHalfPi); }

double Exp(double x) {
  if (x < -700.0) return 0.0;
  if (x > 700.0) x = 700.0;
  double k = std::floor(x / kLn2 + 0.5);
  double r = (x - k * kLn2High) - k * kLn2Low;
  double term = 1.0;
  double sum = 1.0;
  for (int n = 1; n <= 14; ++n) {
    term *= r / n;
    sum += term;
  }
  return std::ldexp(sum, static_cast<int>(k));
}

double Log(double x) {
  int exponent = 0;
  double m = std::frexp(x, &exponent);  // x = m * 2^exponent, m in [0.5, 1)
  if (m < 0.70710678118654752440) {
    m *= 2.0;
    exponent -= 1;
  }
  // ln m = 2 atanh((m - 1) / (m + 1)), |s| < 0.172.
  double s = (m - 1.0) / (m + 1.0);
  double s2 = s * s;
  double term = s;
  double sum = s;
  for (int n = 1; n <= 12; ++n) {
    term *= s2;
    sum += term / (2 * n + 1);
  }
  return 2.0 * sum + exponent * kLn2;
}

double Log2(double x) { return Log(x) / kLn2; }

double Pow(double base, double exponent) { return Exp(exponent * Log(base)); }

double SemitoneRatio(double semitones) { return Exp(semitones * (kLn2 / 12.0)); }

double Tanh(double x) {
  if (x > 20.0) return 1.0;
  if (x < -20.0) return -1.0;
  double e = Exp(2.0 * x);
  return (e - 1.0) / (e + 1.0);
}

}  // namespace detmath
