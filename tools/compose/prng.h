// Seeded pseudo-random numbers for the composer: same seed, same sequence, on every machine.
#pragma once

#include <cstdint>

class Prng {
 public:
  explicit Prng(uint64_t seed);
  // 64 uniformly distributed bits (splitmix64).
  uint64_t NextBits();
  // Uniform in [0, 1).
  double Unit();
  // Uniform in [-1, 1).
  double Signed();
  // Uniform integer in [0, bound), bound > 0.
  int Below(int bound);

 private:
  uint64_t state_;
};
