// Lattice value noise built on a 32-bit integer hash so every run paints the same texture.
#include "value_noise.h"

#include <cmath>

namespace painter {

namespace {

// Low-bias 32-bit integer mixer (xorshift-multiply); any input bit flips about half the output bits.
uint32_t Hash(uint32_t v) {
  v ^= v >> 16;
  v *= 0x7FEB352Du;
  v ^= v >> 15;
  v *= 0x846CA68Bu;
  v ^= v >> 16;
  return v;
}

float Fade(float t) { return t * t * (3.0f - 2.0f * t); }

}  // namespace

float ValueNoise::Lattice(int32_t ix, int32_t iy) const {
  const uint32_t h = Hash(static_cast<uint32_t>(ix) * 0x9E3779B1u ^ Hash(static_cast<uint32_t>(iy) + seed_ * 0x85EBCA77u));
  // Top 24 bits give an exactly representable float in 0..1.
  return static_cast<float>(h >> 8) * (1.0f / 16777215.0f);
}

float ValueNoise::At(float x, float y) const {
  const float fx = std::floor(x);
  const float fy = std::floor(y);
  const int32_t ix = static_cast<int32_t>(fx);
  const int32_t iy = static_cast<int32_t>(fy);
  const float tx = Fade(x - fx);
  const float ty = Fade(y - fy);
  const float a = Lattice(ix, iy);
  const float b = Lattice(ix + 1, iy);
  const float c = Lattice(ix, iy + 1);
  const float d = Lattice(ix + 1, iy + 1);
  const float top = a + (b - a) * tx;
  const float bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

float ValueNoise::Fractal(float x, float y, int octaves) const {
  float sum = 0.0f;
  float weight = 0.5f;
  float total = 0.0f;
  for (int o = 0; o < octaves; ++o) {
    // A fixed offset per octave keeps the lattice points of the layers from lining up.
    sum += weight * At(x + 17.31f * static_cast<float>(o), y - 9.77f * static_cast<float>(o));
    total += weight;
    weight *= 0.5f;
    x *= 2.0f;
    y *= 2.0f;
  }
  return sum / total;
}

}  // namespace painter
