// How long the rings and moire effects take to generate their textures in Init.
#include <benchmark/benchmark.h>

#include <vector>

#include "effects/moire_effect.h"
#include "effects/rings_effect.h"

namespace {

void BM_BuildRingTexels(benchmark::State& state) {
  std::vector<uint16_t> block(RingsEffect::kFieldSize * RingsEffect::kFieldSize);
  for (auto _ : state) {
    RingsEffect::BuildRingTexels(block.data());
    benchmark::DoNotOptimize(block.data());
  }
}
BENCHMARK(BM_BuildRingTexels)->Unit(benchmark::kMillisecond);

void BM_BuildPlateTexels(benchmark::State& state) {
  std::vector<uint8_t> block(MoireEffect::kTextureSize * MoireEffect::kTextureSize * MoireEffect::kTexelBytes);
  for (auto _ : state) {
    MoireEffect::BuildPlateTexels(block.data());
    benchmark::DoNotOptimize(block.data());
  }
}
BENCHMARK(BM_BuildPlateTexels)->Unit(benchmark::kMillisecond);

}  // namespace
