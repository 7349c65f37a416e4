// A real software device on the headless host for the solid-effect tests, drawing into the
// 320x240 corner of a 512x256 target as the frame pipeline does, with a few projection helpers.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include <d3d8.h>

#include "app/frame_timer.h"
#include "gfx/graphics_device.h"
#include "gfx/matrix4.h"
#include "gfx/vector3.h"
#include "platform/d3d8/d3d8_test_control.h"
#include "platform/host/headless_host.h"

class EffectDeviceTest : public ::testing::Test {
 protected:
  static constexpr int kTargetWidth = 512;
  static constexpr int kFrameWidth = 320;
  static constexpr int kFrameHeight = 240;

  void SetUp() override {
    d3d8test::ResetControls();
    host::SetActiveHost(&host_);
    direct3D = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(direct3D, nullptr);
    // The program's own back buffer and depth formats, in a window.
    D3DPRESENT_PARAMETERS params = presentParams;
    params.Windowed = TRUE;
    ASSERT_EQ(direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &params,
                                     &d3dDevice),
              D3D_OK);
    d3dDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    d3dDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    frameTimer.deltaSeconds = 0.0f;
  }

  void TearDown() override {
    if (targetSurface_ != nullptr) targetSurface_->Release();
    if (target_ != nullptr) target_->Release();
    if (d3dDevice != nullptr) d3dDevice->Release();
    if (direct3D != nullptr) direct3D->Release();
    d3dDevice = nullptr;
    direct3D = nullptr;
    host::SetActiveHost(nullptr);
    d3d8test::ResetControls();
  }

  // Binds the frame target (created on first use) with the device's depth buffer and clears both.
  void BeginFrame(D3DCOLOR clear = 0xFF000000) {
    if (target_ == nullptr) {
      ASSERT_EQ(d3dDevice->CreateTexture(512, 256, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                         &target_),
                D3D_OK);
      target_->GetSurfaceLevel(0, &targetSurface_);
    }
    IDirect3DSurface8* depth = nullptr;
    d3dDevice->GetDepthStencilSurface(&depth);
    d3dDevice->SetRenderTarget(targetSurface_, depth);
    if (depth != nullptr) depth->Release();
    D3DVIEWPORT8 viewport{0, 0, kFrameWidth, kFrameHeight, 0.0f, 1.0f};
    d3dDevice->SetViewport(&viewport);
    d3dDevice->BeginScene();
    d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
  }

  // Ends the scene and reads the frame back (A8R8G8B8, 512 pixels a row).
  void EndFrame() {
    d3dDevice->EndScene();
    ASSERT_TRUE(d3d8test::ReadSurface(targetSurface_, &pixels_));
  }
  uint32_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * kTargetWidth + x] & 0x00FFFFFFu; }

  // A model-space point through world, view and projection and the 320x240 viewport.
  struct ScreenPoint {
    double x, y, z;
  };
  static ScreenPoint Project(const Vector3& p, const Matrix4& world, const Matrix4& view, const Matrix4& projection) {
    Matrix4 viewProjection, all;
    Multiply(view, projection, viewProjection);
    Multiply(world, viewProjection, all);
    const float(&m)[4][4] = all.m;
    double clip[4];
    for (int c = 0; c < 4; ++c) clip[c] = double(p.x) * m[0][c] + double(p.y) * m[1][c] + double(p.z) * m[2][c] + m[3][c];
    return {(clip[0] / clip[3] + 1.0) * kFrameWidth / 2, (1.0 - clip[1] / clip[3]) * kFrameHeight / 2,
            clip[2] / clip[3]};
  }

  // Twice the signed area in screen space (y down): positive for a clockwise triangle.
  static double Winding(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c) {
    return (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
  }
  // How far (x, y) lies inside the triangle, in pixels: the smallest distance to an edge line,
  // negative outside.
  static double Inside(const ScreenPoint t[3], double x, double y) {
    double area = Winding(t[0], t[1], t[2]);
    if (area == 0.0) return -1.0;
    double depth = 1e30;
    for (int k = 0; k < 3; ++k) {
      const ScreenPoint& a = t[k];
      const ScreenPoint& b = t[(k + 1) % 3];
      double cross = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
      double length = std::hypot(b.x - a.x, b.y - a.y);
      double d = (area > 0 ? cross : -cross) / length;
      if (d < depth) depth = d;
    }
    return depth;
  }

  host::HeadlessHost host_;
  IDirect3DTexture8* target_ = nullptr;
  IDirect3DSurface8* targetSurface_ = nullptr;
  std::vector<uint32_t> pixels_;
};
