// MT19937 with the classic linear-congruential seeding.
#include "app/random_generator.h"

RandomGenerator randomGenerator;

namespace {

constexpr int kN = RandomGenerator::kStateSize;
constexpr int kM = 397;
constexpr uint32_t kUpperMask = 0x80000000u;
constexpr uint32_t kLowerMask = 0x7FFFFFFFu;
constexpr uint32_t kMagnitude[2] = {0u, 0x9908B0DFu};
constexpr uint32_t kDefaultSeed = 4357;

void Regenerate() {
  uint32_t* s = randomGenerator.state;
  for (int k = 0; k < kN - 1; ++k) {
    uint32_t y = (s[k] & kUpperMask) | (s[k + 1] & kLowerMask);
    s[k] = s[(k + kM) % kN] ^ (y >> 1) ^ kMagnitude[y & 1];
  }
  uint32_t y = (s[kN - 1] & kUpperMask) | (s[0] & kLowerMask);
  s[kN - 1] = s[kM - 1] ^ (y >> 1) ^ kMagnitude[y & 1];
  randomGenerator.index = 0;
}

}  // namespace

void SeedRandom(uint32_t seed) {
  uint32_t* s = randomGenerator.state;
  s[0] = seed + 1;
  // Seed 0xFFFFFFFF would make every word 0, and an all-zero state yields 0 forever, which would
  // hang the scheduler's draw for an effect other than the current one. That one seed starts from
  // the default seed's state instead; every other seed keeps its own sequence.
  if (s[0] == 0) s[0] = kDefaultSeed + 1;
  for (int i = 1; i < kN; ++i) s[i] = s[i - 1] * 69069u;
  randomGenerator.index = kN;
}

int NextRandom() {
  if (randomGenerator.index >= kN) {
    if (randomGenerator.index == RandomGenerator::kUnseeded) SeedRandom(kDefaultSeed);
    Regenerate();
  }
  uint32_t y = randomGenerator.state[randomGenerator.index++];
  y ^= y >> 11;
  y ^= (y << 7) & 0x9D2C5680u;
  y ^= (y << 15) & 0xEFC60000u;
  y ^= y >> 18;
  return static_cast<int>(y & 0x7FFF);
}
