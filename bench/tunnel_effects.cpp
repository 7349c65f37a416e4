// Frame cost of the winding point tunnel, the twisted square tunnel and the starfield: one Render
// each (animation, buffer fill and rasterization) into a 320 by 240 target on the software device.
#include <benchmark/benchmark.h>

#include <d3d8.h>

#include "app/frame_timer.h"
#include "effects/point_tunnel_effect.h"
#include "effects/square_tunnel_effect.h"
#include "effects/starfield_effect.h"
#include "gfx/graphics_device.h"
#include "platform/host/headless_host.h"

namespace {

// 60 frames a second, in the timer's steps of 1/65536 s.
constexpr float kFrameSeconds = 1092.0f / 65536.0f;

template <typename Effect>
void RenderFrames(benchmark::State& state) {
  host::HeadlessHost host;
  host::SetActiveHost(&host);
  direct3D = Direct3DCreate8(D3D_SDK_VERSION);
  D3DPRESENT_PARAMETERS parameters = {};
  parameters.BackBufferWidth = 320;
  parameters.BackBufferHeight = 240;
  parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
  parameters.BackBufferCount = 1;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parameters.Windowed = TRUE;
  parameters.EnableAutoDepthStencil = TRUE;
  parameters.AutoDepthStencilFormat = D3DFMT_D16;
  if (direct3D == nullptr || direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                                    D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters,
                                                    &d3dDevice) != D3D_OK) {
    state.SkipWithError("no device");
    ReleaseGraphicsDevice();
    host::SetActiveHost(nullptr);
    return;
  }
  {
    Effect effect;
    if (effect.Init() != 0) state.SkipWithError("Init failed");
    frameTimer.deltaSeconds = kFrameSeconds;
    for (auto _ : state) {
      d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
      d3dDevice->BeginScene();
      effect.Render();
      d3dDevice->EndScene();
    }
  }
  ReleaseGraphicsDevice();
  host::SetActiveHost(nullptr);
}

BENCHMARK(RenderFrames<PointTunnelEffect>)->Name("PointTunnelFrame");
BENCHMARK(RenderFrames<SquareTunnelEffect>)->Name("SquareTunnelFrame");
BENCHMARK(RenderFrames<StarfieldEffect>)->Name("StarfieldFrame");

}  // namespace
