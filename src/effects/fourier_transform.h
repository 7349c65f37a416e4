// The fast Fourier transform the greetings landscape is synthesised with: radix-2 Cooley-Tukey
// over 256 points, and over the rows and columns of a 256 by 256 grid, in single precision.
#pragma once

// Points per transform; the grid is this many points on a side.
constexpr int kFftSize = 256;

// Transform directions. The forward transform uses e^(-2πi·kn/N) and divides by N; the inverse
// uses e^(+2πi·kn/N) unscaled, so inverse(forward(x)) = x.
constexpr int kFftForward = 1;
constexpr int kFftInverse = -1;

struct Complex {
  float re;
  float im;
};

// Transforms 256 points in place, real and imaginary parts held apart.
void Fft256(float* re, float* im, int direction);

// Transforms a 256 by 256 row-major grid in place: every column first, then every row.
void Fft256x256(Complex* grid, int direction);
