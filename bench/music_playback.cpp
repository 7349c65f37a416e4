// Cost of the music: one audio buffer mixed by the audio callback, and one track change on the
// program thread (a module decoded afresh and swapped in), over the built-in bank.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "music/music_bank.h"
#include "platform/host/headless_host.h"

namespace {

// The SDL host's buffer: 1,024 frames, 23 ms at 44.1 kHz.
constexpr int kBufferFrames = 1024;

host::HeadlessHost& Machine() {
  static host::HeadlessHost machine;
  static bool loaded = [] {
    host::SetActiveHost(&machine);
    return LoadMusic() == 0 && PlayCurrentTrack() == 0;
  }();
  if (!loaded) std::abort();
  return machine;
}

void BM_MixOneBuffer(benchmark::State& state) {
  host::HeadlessHost& machine = Machine();
  std::vector<int16_t> buffer(2 * kBufferFrames);
  for (auto _ : state) {
    machine.PullAudio(buffer.data(), kBufferFrames);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetItemsProcessed(state.iterations() * kBufferFrames);
}
BENCHMARK(BM_MixOneBuffer);

void BM_TrackChange(benchmark::State& state) {
  Machine();
  for (auto _ : state) benchmark::DoNotOptimize(NextTrack());
}
BENCHMARK(BM_TrackChange);

}  // namespace
