// The random generator: MT19937 values, the unseeded default and the all-zero seed.
#include "app/random_generator.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sstream>
#include <vector>

namespace {

// The classic seeding (state[0] = seed + 1, then x 69069) is not std::mt19937's; build the
// reference engine from the same state words.
std::mt19937 ReferenceEngine(uint32_t seed) {
  std::vector<uint32_t> words(624);
  words[0] = seed + 1;
  for (int i = 1; i < 624; ++i) words[i] = words[i - 1] * 69069u;
  std::mt19937 engine;
  // Feeding the state through operator>> sets the 624 words and the index 624, as SeedRandom does.
  std::stringstream state;
  for (uint32_t w : words) state << w << ' ';
  state << 624;
  state >> engine;
  return engine;
}

TEST(RandomGenerator, MatchesTheLow15BitsOfMt19937) {
  for (uint32_t seed : {4357u, 1u, 0xDEADBEEFu, 44608u}) {
    SeedRandom(seed);
    std::mt19937 reference = ReferenceEngine(seed);
    for (int i = 0; i < 2000; ++i) {  // crosses a regeneration
      ASSERT_EQ(NextRandom(), static_cast<int>(reference() & 0x7FFF)) << "seed " << seed << " draw " << i;
    }
  }
}

TEST(RandomGenerator, UnseededUseEqualsSeed4357) {
  std::vector<int> unseeded;
  for (int i = 0; i < 700; ++i) unseeded.push_back(NextRandom());
  SeedRandom(4357);
  for (int i = 0; i < 700; ++i) EXPECT_EQ(NextRandom(), unseeded[i]);
}

TEST(RandomGenerator, TheSeedThatWouldZeroTheStateStillVaries) {
  SeedRandom(0xFFFFFFFFu);
  std::set<int> values;
  for (int i = 0; i < 100; ++i) values.insert(NextRandom());
  EXPECT_GT(values.size(), 50u);
}

}  // namespace
