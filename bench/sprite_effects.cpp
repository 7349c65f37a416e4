// Cost of one frame of the morphing sprite shapes and of the dot balls on the software device,
// and of the dot balls' disc hiding alone (up to 12,800 dots a frame).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "app/frame_timer.h"
#include "effects/dot_balls_effect.h"
#include "effects/sprite_morph_effect.h"
#include "gfx/graphics_device.h"
#include "platform/host/headless_host.h"

namespace {

// A device drawing into the 320x240 corner of a 512x256 target, as the offscreen frame does.
void Machine() {
  static host::HeadlessHost machine;
  static bool ready = [] {
    host::SetActiveHost(&machine);
    presentParams.Windowed = TRUE;
    if (CreateGraphicsDevice(reinterpret_cast<HWND>(&machine)) != 0) return false;
    IDirect3DTexture8* target = nullptr;
    IDirect3DSurface8* surface = nullptr;
    IDirect3DSurface8* depth = nullptr;
    if (d3dDevice->CreateTexture(512, 256, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target) !=
        D3D_OK) {
      return false;
    }
    target->GetSurfaceLevel(0, &surface);
    d3dDevice->GetDepthStencilSurface(&depth);
    d3dDevice->SetRenderTarget(surface, depth);
    D3DVIEWPORT8 frame = {0, 0, 320, 240, 0.0f, 1.0f};
    d3dDevice->SetViewport(&frame);
    d3dDevice->BeginScene();
    frameTimer.deltaSeconds = 1.0f / 60.0f;
    return true;
  }();
  if (!ready) std::abort();
}

template <typename Effect>
void BM_EffectFrame(benchmark::State& state) {
  Machine();
  Effect effect;
  if (effect.Init() != 0) std::abort();
  for (auto _ : state) {
    d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    effect.Render();
  }
}
BENCHMARK(BM_EffectFrame<SpriteMorphEffect>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EffectFrame<DotBallsEffect>)->Unit(benchmark::kMicrosecond);

// The hiding pass over the ball positions of a real frame of each formation.
void BM_DotBallHiding(benchmark::State& state) {
  Machine();
  DotBallsEffect effect;
  if (effect.Init() != 0) std::abort();
  // Into the held part of the turn whose formation is the argument (the first turn holds 1).
  float saved = frameTimer.deltaSeconds;
  frameTimer.deltaSeconds = 0.5f;
  int turns = (static_cast<int>(state.range(0)) + 3) % 4;
  for (int i = 0; i < 4 + 20 * turns; ++i) effect.Render();
  frameTimer.deltaSeconds = saved;
  std::vector<ColourVertex> out(DotBallsEffect::kMaxDots);
  int written = 0;
  for (auto _ : state) {
    written = DotBallsEffect::WriteVisibleDots(effect.screenPositions(), effect.dotOffsets(), effect.facingDotCount(),
                                               effect.screenRadiusSquared(), out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["dots"] = written;
  state.SetItemsProcessed(state.iterations() * DotBallsEffect::kBallCount * effect.facingDotCount());
}
BENCHMARK(BM_DotBallHiding)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

}  // namespace
