// Cost of one frame of the fin star and of the banded solids on the software device, drawn into
// the 320x240 corner of a 512x256 target as the frame pipeline does.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "app/frame_timer.h"
#include "effects/fin_star_effect.h"
#include "effects/solids_effect.h"
#include "gfx/graphics_device.h"
#include "platform/host/headless_host.h"

namespace {

// One device for the whole run, with a frame target bound and a 60 Hz frame step.
void OpenDevice() {
  static host::HeadlessHost machine;
  static IDirect3DTexture8* target = nullptr;
  if (d3dDevice != nullptr) return;
  host::SetActiveHost(&machine);
  direct3D = Direct3DCreate8(D3D_SDK_VERSION);
  if (direct3D == nullptr) std::abort();
  // The program's own back buffer and depth formats, in a window.
  D3DPRESENT_PARAMETERS params = presentParams;
  params.Windowed = TRUE;
  if (direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &params, &d3dDevice) !=
      D3D_OK) {
    std::abort();
  }
  if (d3dDevice->CreateTexture(512, 256, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target) !=
      D3D_OK) {
    std::abort();
  }
  IDirect3DSurface8* surface = nullptr;
  IDirect3DSurface8* depth = nullptr;
  target->GetSurfaceLevel(0, &surface);
  d3dDevice->GetDepthStencilSurface(&depth);
  d3dDevice->SetRenderTarget(surface, depth);
  surface->Release();
  depth->Release();
  D3DVIEWPORT8 viewport{0, 0, 320, 240, 0.0f, 1.0f};
  d3dDevice->SetViewport(&viewport);
  d3dDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
  d3dDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
  frameTimer.deltaSeconds = 1.0f / 60.0f;
}

template <typename Effect>
void BM_EffectFrame(benchmark::State& state) {
  OpenDevice();
  Effect effect;
  if (effect.Init() != 0) std::abort();
  d3dDevice->BeginScene();
  for (auto _ : state) {
    d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    effect.Render();
  }
  d3dDevice->EndScene();
}
// The clear alone, to read the effects' own share off the figures above.
void BM_ClearOnly(benchmark::State& state) {
  OpenDevice();
  d3dDevice->BeginScene();
  for (auto _ : state) d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
  d3dDevice->EndScene();
}
BENCHMARK(BM_ClearOnly);
BENCHMARK(BM_EffectFrame<FinStarEffect>);
BENCHMARK(BM_EffectFrame<SolidsEffect>);

}  // namespace
