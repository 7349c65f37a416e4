// The Mersenne Twister MT19937, handing out 15-bit values; it picks the first track, the effect
// sequence, the transition patterns and some scene details.
#pragma once

#include <cstdint>

struct RandomGenerator {
  static constexpr int kStateSize = 624;
  // Index value meaning "never seeded": the first draw seeds with 4357.
  static constexpr int kUnseeded = 625;

  uint32_t state[kStateSize] = {};
  // Position of the next word to temper; 624 means regenerate before the next draw.
  int index = kUnseeded;
};

extern RandomGenerator randomGenerator;

void SeedRandom(uint32_t seed);
// A value in 0..32767: the low 15 bits of the next MT19937 output.
int NextRandom();
