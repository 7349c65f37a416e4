// Deterministic transcendental functions for the composer: built only from IEEE-exact
// operations (+, -, *, /, sqrt, ldexp), so a module's bytes never depend on which libm
// variant the machine picks at run time.
#pragma once

namespace detmath {

// pi to double precision.
inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 6.28318530717958647692;

double Sin(double x);
double Cos(double x);
// e^x; underflows to 0 below -700 and saturates above 700.
double Exp(double x);
// Natural logarithm of x > 0.
double Log(double x);
double Log2(double x);
// base^exponent for base > 0.
double Pow(double base, double exponent);
// 2^(semitones / 12): the frequency ratio of an interval.
double SemitoneRatio(double semitones);
double Tanh(double x);

}  // namespace detmath
