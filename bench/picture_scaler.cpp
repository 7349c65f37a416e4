// The desktop host's software scaling of the back buffer into the window surface, per frame:
// whole-number (2x into 1280x960, 3x into 1920x1440) and not (2.25x into 1440x1080).
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/host/picture_scaler.h"

namespace {

void BM_ScalePicture(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = width * 3 / 4;
  std::vector<uint32_t> source(640 * 480);
  for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint32_t>(i * 2654435761u);
  std::vector<uint32_t> target(static_cast<size_t>(width) * height);
  host::PictureScaler scaler;
  for (auto _ : state) {
    scaler.Scale(source.data(), 640, 480, 640 * 4, target.data(), width * 4, host::PictureRect{0, 0, width, height});
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * width * height);
}
BENCHMARK(BM_ScalePicture)->Arg(1280)->Arg(1440)->Arg(1920)->Unit(benchmark::kMicrosecond);

}  // namespace
