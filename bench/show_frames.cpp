// Frames per second of the whole show on the software device through the headless host: each
// effect held on screen with all three overlays, and transition frames.
#include <benchmark/benchmark.h>

#include "app/frame_timer.h"
#include "gfx/graphics_device.h"
#include "platform/host/headless_host.h"
#include "scenes/effect_scheduler.h"
#include "scenes/scene_table.h"

namespace {

// The program as its start-up leaves it, minus the music, on a headless host at 60 frames a second.
class Show {
 public:
  Show() {
    host::SetActiveHost(&host_);
    host_.SetFrameRate(60);
    ready_ = CreateGraphicsDevice(nullptr) == 0 && CreateScenes() == 0;
    StartTimer();
    // Past the start-up fades, so the banner, panels and ticker all draw.
    for (int i = 0; i < 60 * 12 && ready_; ++i) {
      holdSeconds = 1000.0f;
      RunFrame();
    }
  }
  ~Show() {
    DestroyScenes();
    ReleaseGraphicsDevice();
    host::SetActiveHost(nullptr);
  }
  bool ready() const { return ready_; }

 private:
  host::HeadlessHost host_;
  bool ready_ = false;
};

Show& TheShow() {
  static Show show;
  return show;
}

void BM_EffectFrame(benchmark::State& state) {
  if (!TheShow().ready()) {
    state.SkipWithError("the show could not start");
    return;
  }
  currentEffect = static_cast<int>(state.range(0));
  transitionSeconds = 0.0f;
  for (auto _ : state) {
    holdSeconds = 1000.0f;
    RunFrame();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EffectFrame)->DenseRange(1, 14)->Unit(benchmark::kMicrosecond);

// A frame in the middle of a transition: two effects, the mix of one pattern, the overlays.
void BM_TransitionFrame(benchmark::State& state) {
  if (!TheShow().ready()) {
    state.SkipWithError("the show could not start");
    return;
  }
  int kind = static_cast<int>(state.range(0));
  bool reflected = state.range(1) != 0;
  for (auto _ : state) {
    currentEffect = reflected ? 13 : 1;
    nextEffect = reflected ? 14 : 2;
    transitionKind = kind;
    transitionSeconds = 2.0f;
    RunFrame();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TransitionFrame)->ArgsProduct({{0, 8, 12, 13, 14}, {0, 1}})->Unit(benchmark::kMicrosecond);

}  // namespace
