// Cost of the two text effects: what every Init does (the landscape synthesis with its two grid
// FFTs, the GDI text masks) and one frame of each effect on the software device.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "app/frame_timer.h"
#include "effects/greetings_effect.h"
#include "effects/landscape_synthesis.h"
#include "effects/scroll_carpet_effect.h"
#include "embedded_data.h"
#include "gfx/graphics_device.h"
#include "platform/host/headless_host.h"

namespace {

void BM_LandscapeSynthesis(benchmark::State& state) {
  std::vector<uint8_t> heights(kLandscapeSize);
  for (auto _ : state) {
    SynthesizeLandscape(heights.data());
    ShrinkAndTile(heights.data());
    benchmark::DoNotOptimize(heights.data());
  }
}
BENCHMARK(BM_LandscapeSynthesis)->Unit(benchmark::kMillisecond);

void BM_CarpetMessageMask(benchmark::State& state) {
  const char* const faces[] = {"System"};
  TextMaskRecipe recipe{{reinterpret_cast<const char*>(embedded::text_carpet_message_txt),
                         static_cast<int>(embedded::text_carpet_message_txt_size), faces, 1},
                        8,
                        400,
                        14,
                        true};
  for (auto _ : state) benchmark::DoNotOptimize(BuildTextMask(recipe).bytes);
}
BENCHMARK(BM_CarpetMessageMask)->Unit(benchmark::kMillisecond);

// The software device with the offscreen frame's size, made once.
void UseDevice() {
  static host::HeadlessHost machine;
  static bool made = [] {
    host::SetActiveHost(&machine);
    IDirect3D8* d3d = Direct3DCreate8(D3D_SDK_VERSION);
    if (d3d == nullptr) return false;
    D3DPRESENT_PARAMETERS params{};
    params.BackBufferWidth = 320;
    params.BackBufferHeight = 240;
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    params.BackBufferCount = 1;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.Windowed = TRUE;
    params.EnableAutoDepthStencil = TRUE;
    params.AutoDepthStencilFormat = D3DFMT_D16;
    return d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &params, &d3dDevice) ==
           D3D_OK;
  }();
  if (!made) std::abort();
}

// One frame at 60 frames a second: clear, the effect's Render, end of scene.
template <typename Effect>
void BM_Frame(benchmark::State& state) {
  UseDevice();
  auto effect = std::make_unique<Effect>();
  if (effect->Init() != 0) std::abort();
  frameTimer.deltaSeconds = 1.0f / 60.0f;
  for (auto _ : state) {
    d3dDevice->BeginScene();
    d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    effect->Render();
    d3dDevice->EndScene();
  }
}
BENCHMARK_TEMPLATE(BM_Frame, ScrollCarpetEffect)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Frame, GreetingsEffect)->Unit(benchmark::kMicrosecond);

}  // namespace
