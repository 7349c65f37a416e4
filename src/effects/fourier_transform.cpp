// Radix-2 decimation-in-time FFT with the twiddle factors grown by repeated complex products and
// half-angle square roots, all in 32-bit floats.
#include "effects/fourier_transform.h"

#include <cmath>

namespace {

constexpr int kFftBits = 8;  // 256 = 2^8

int ReverseBits(int index) {
  int reversed = 0;
  for (int b = 0; b < kFftBits; ++b) reversed |= ((index >> b) & 1) << (kFftBits - 1 - b);
  return reversed;
}

}  // namespace

void Fft256(float* re, float* im, int direction) {
  for (int i = 0; i < kFftSize; ++i) {
    int j = ReverseBits(i);
    if (j > i) {
      float t = re[i];
      re[i] = re[j];
      re[j] = t;
      t = im[i];
      im[i] = im[j];
      im[j] = t;
    }
  }

  // (c1, c2) is the unit rotation of a stage: e^(∓iπ/h) for half-span h, starting from -1 for
  // h = 1 and halving its angle from stage to stage.
  float c1 = -1.0f;
  float c2 = 0.0f;
  for (int h = 1; h < kFftSize; h *= 2) {
    float u1 = 1.0f;
    float u2 = 0.0f;
    for (int j = 0; j < h; ++j) {
      for (int i = j; i < kFftSize; i += 2 * h) {
        int k = i + h;
        float t1 = u1 * re[k] - u2 * im[k];
        float t2 = u1 * im[k] + u2 * re[k];
        re[k] = re[i] - t1;
        im[k] = im[i] - t2;
        re[i] += t1;
        im[i] += t2;
      }
      float z = u1 * c1 - u2 * c2;
      u2 = u1 * c2 + u2 * c1;
      u1 = z;
    }
    c2 = std::sqrt((1.0f - c1) / 2.0f);
    if (direction == kFftForward) c2 = -c2;
    c1 = std::sqrt((1.0f + c1) / 2.0f);
  }

  if (direction == kFftForward) {
    for (int i = 0; i < kFftSize; ++i) {
      re[i] /= static_cast<float>(kFftSize);
      im[i] /= static_cast<float>(kFftSize);
    }
  }
}

void Fft256x256(Complex* grid, int direction) {
  float re[kFftSize];
  float im[kFftSize];
  for (int column = 0; column < kFftSize; ++column) {
    for (int row = 0; row < kFftSize; ++row) {
      re[row] = grid[row * kFftSize + column].re;
      im[row] = grid[row * kFftSize + column].im;
    }
    Fft256(re, im, direction);
    for (int row = 0; row < kFftSize; ++row) grid[row * kFftSize + column] = {re[row], im[row]};
  }
  for (int row = 0; row < kFftSize; ++row) {
    Complex* line = grid + row * kFftSize;
    for (int column = 0; column < kFftSize; ++column) {
      re[column] = line[column].re;
      im[column] = line[column].im;
    }
    Fft256(re, im, direction);
    for (int column = 0; column < kFftSize; ++column) line[column] = {re[column], im[column]};
  }
}
