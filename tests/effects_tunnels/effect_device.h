// A real rendering device on the headless host, drawing straight into a 320 by 240 back buffer
// (the size of the offscreen frame the effects draw into), and helpers to run one effect frame.
#pragma once

#include <gtest/gtest.h>

#include <d3d8.h>
#include <d3d8_test_control.h>

#include <cstdint>
#include <vector>

#include "app/frame_timer.h"
#include "gfx/graphics_device.h"
#include "platform/host/headless_host.h"
#include "scenes/scene.h"

class EffectDeviceTest : public testing::Test {
 protected:
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 240;

  void SetUp() override {
    host::SetActiveHost(&host_);
    d3d8test::ResetControls();
    direct3D = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(direct3D, nullptr);
    D3DPRESENT_PARAMETERS parameters = {};
    parameters.BackBufferWidth = kWidth;
    parameters.BackBufferHeight = kHeight;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = TRUE;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    ASSERT_EQ(direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                     D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &d3dDevice),
              D3D_OK);
  }

  void TearDown() override {
    if (d3dDevice != nullptr) d3dDevice->Release();
    d3dDevice = nullptr;
    if (direct3D != nullptr) direct3D->Release();
    direct3D = nullptr;
    frameTimer.deltaSeconds = 0.0f;
    host::SetActiveHost(nullptr);
  }

  // Clears to black with the far depth, then renders one frame of `scene` that advances by `delta`.
  static void RenderFrame(Scene& scene, float delta) {
    frameTimer.deltaSeconds = delta;
    d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0);
    d3dDevice->BeginScene();
    scene.Render();
    d3dDevice->EndScene();
  }

  // The back buffer as A8R8G8B8 values, row by row.
  static std::vector<uint32_t> ReadFrame() {
    std::vector<uint32_t> pixels;
    IDirect3DSurface8* backBuffer = nullptr;
    if (d3dDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer) == D3D_OK) {
      d3d8test::ReadSurface(backBuffer, &pixels);
      backBuffer->Release();
    }
    return pixels;
  }

  static int Red(uint32_t pixel) { return (pixel >> 16) & 0xFF; }
  static int Green(uint32_t pixel) { return (pixel >> 8) & 0xFF; }
  static int Blue(uint32_t pixel) { return pixel & 0xFF; }

  host::HeadlessHost host_;
};
