// Test helper: the software device on the headless host with a 320x240 back buffer (the size of
// the offscreen frame effects draw into) and a depth buffer, installed as the program's device;
// draws one frame of a scene and reads it back; projects world points as the device does.
#pragma once

#include <d3d8.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "app/frame_timer.h"
#include "gfx/graphics_device.h"
#include "gfx/matrix4.h"
#include "platform/d3d8/d3d8_test_control.h"
#include "platform/host/headless_host.h"
#include "scenes/scene.h"

class EffectFrame : public ::testing::Test {
 public:
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 240;

  struct ScreenPoint {
    double x;
    double y;
  };
  // Where a world point lands on the 320x240 target through world × view × projection and the
  // whole-target viewport: pixel centres at integer coordinates.
  static ScreenPoint Project(const Matrix4& world, const Matrix4& view, const Matrix4& projection, double x, double y,
                             double z) {
    double p[4] = {x, y, z, 1.0};
    for (const Matrix4* m : {&world, &view, &projection}) {
      double q[4] = {0, 0, 0, 0};
      for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) q[c] += p[r] * m->m[r][c];
      }
      for (int c = 0; c < 4; ++c) p[c] = q[c];
    }
    return {(p[0] / p[3] + 1.0) * kWidth / 2.0, (1.0 - p[1] / p[3]) * kHeight / 2.0};
  }

 protected:
  void SetUp() override {
    d3d8test::ResetControls();
    host::SetActiveHost(&host_);
    d3d_ = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d_, nullptr);
    D3DPRESENT_PARAMETERS params{};
    params.BackBufferWidth = kWidth;
    params.BackBufferHeight = kHeight;
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    params.BackBufferCount = 1;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.Windowed = TRUE;
    params.EnableAutoDepthStencil = TRUE;
    params.AutoDepthStencilFormat = D3DFMT_D16;
    ASSERT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &params, &d3dDevice),
              D3D_OK);
    frameTimer.deltaSeconds = 0.0f;
  }

  void TearDown() override {
    if (d3dDevice != nullptr) {
      EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0) << "a scene kept a device resource";
      d3dDevice->Release();
      d3dDevice = nullptr;
    }
    if (d3d_ != nullptr) d3d_->Release();
    host::SetActiveHost(nullptr);
    d3d8test::ResetControls();
    frameTimer.deltaSeconds = 0.0f;
  }

  // One frame of the scene on black, advancing its animation by `delta` seconds afterwards.
  std::vector<uint32_t> DrawFrame(Scene& scene, float delta = 0.0f) {
    frameTimer.deltaSeconds = delta;
    d3dDevice->BeginScene();
    d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    scene.Render();
    d3dDevice->EndScene();
    frameTimer.deltaSeconds = 0.0f;
    std::vector<uint32_t> pixels;
    IDirect3DSurface8* back = nullptr;
    d3dDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
    EXPECT_TRUE(d3d8test::ReadSurface(back, &pixels));
    back->Release();
    return pixels;
  }

  host::HeadlessHost host_;
  IDirect3D8* d3d_ = nullptr;
};
