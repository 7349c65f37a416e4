// splitmix64: tiny, fast and fully specified, which is all a sound generator needs.
#include "prng.h"

Prng::Prng(uint64_t seed) : state_(seed) {}

uint64_t Prng::NextBits() {
  state_ += 0x9E3779B97F4A7C15ull;
  uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// 53 random bits scaled into [0, 1).
double Prng::Unit() { return static_cast<double>(NextBits() >> 11) * (1.0 / 9007199254740992.0); }

double Prng::Signed() { return Unit() * 2.0 - 1.0; }

int Prng::Below(int bound) { return static_cast<int>(NextBits() % static_cast<uint64_t>(bound)); }
