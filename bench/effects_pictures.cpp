// What the rotozoom, rings and moire effects cost: texture generation in Init and one frame each
// on the software device.
#include <benchmark/benchmark.h>

#include <vector>

#include "app/frame_timer.h"
#include "effects/moire_effect.h"
#include "effects/rings_effect.h"
#include "effects/rotozoom_effect.h"
#include "gfx/graphics_device.h"
#include "platform/host/headless_host.h"

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

// Renders frames of one effect into a 512x256 target, as the program's offscreen frame.
template <typename Effect>
void BM_RenderFrame(benchmark::State& state) {
  host::HeadlessHost host;
  host::SetActiveHost(&host);
  direct3D = Direct3DCreate8(D3D_SDK_VERSION);
  D3DPRESENT_PARAMETERS params{};
  params.BackBufferWidth = 640;
  params.BackBufferHeight = 480;
  params.BackBufferFormat = D3DFMT_X8R8G8B8;
  params.BackBufferCount = 1;
  params.SwapEffect = D3DSWAPEFFECT_DISCARD;
  params.Windowed = TRUE;
  IDirect3DTexture8* frame = nullptr;
  IDirect3DSurface8* surface = nullptr;
  if (direct3D == nullptr ||
      direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &params, &d3dDevice) !=
          D3D_OK ||
      d3dDevice->CreateTexture(512, 256, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &frame) !=
          D3D_OK) {
    state.SkipWithError("no device");
    return;
  }
  frame->GetSurfaceLevel(0, &surface);
  d3dDevice->SetRenderTarget(surface, nullptr);
  frameTimer.deltaSeconds = 1.0f / 60.0f;
  {
    Effect effect;
    if (effect.Init() != 0) state.SkipWithError("Init failed");
    d3dDevice->BeginScene();
    for (auto _ : state) effect.Render();
    d3dDevice->EndScene();
  }
  d3dDevice->SetTexture(0, nullptr);
  d3dDevice->SetStreamSource(0, nullptr, 0);
  surface->Release();
  frame->Release();
  d3dDevice->Release();
  d3dDevice = nullptr;
  direct3D->Release();
  direct3D = nullptr;
  host::SetActiveHost(nullptr);
}
BENCHMARK(BM_RenderFrame<RotozoomEffect>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderFrame<RingsEffect>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderFrame<MoireEffect>)->Unit(benchmark::kMillisecond);

}  // namespace
