// Deterministic lattice value noise (integer hash, no library randomness) for brush and strand texture.
#pragma once

#include <cstdint>

namespace painter {

class ValueNoise {
 public:
  // seed picks an independent noise field; the same seed always gives the same field.
  explicit ValueNoise(uint32_t seed) : seed_(seed) {}

  // Smoothly interpolated noise in 0..1 with one lattice cell per unit.
  float At(float x, float y) const;
  // Sum of `octaves` layers, each twice the frequency and half the weight of the one before; 0..1.
  float Fractal(float x, float y, int octaves) const;

 private:
  float Lattice(int32_t ix, int32_t iy) const;

  uint32_t seed_;
};

}  // namespace painter
