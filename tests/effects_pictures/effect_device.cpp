// The device fixture of the effect tests.
#include "effect_device.h"

#include "app/frame_timer.h"
#include "gfx/graphics_device.h"
#include "platform/d3d8/d3d8_test_control.h"

void EffectDevice::SetUp() {
  d3d8test::ResetControls();
  host::SetActiveHost(&host_);
  frameTimer.deltaSeconds = 0.0f;
  direct3D = Direct3DCreate8(D3D_SDK_VERSION);
  ASSERT_NE(direct3D, nullptr);
  // The program's own back buffer and depth formats, in a window.
  params_ = presentParams;
  params_.Windowed = TRUE;
  ASSERT_EQ(direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &params_,
                                   &d3dDevice),
            D3D_OK);
}

void EffectDevice::TearDown() {
  if (d3dDevice != nullptr) {
    d3dDevice->EndScene();
    d3dDevice->SetTexture(0, nullptr);
    d3dDevice->SetStreamSource(0, nullptr, 0);
    if (frameSurface_ != nullptr) frameSurface_->Release();
    if (frame_ != nullptr) frame_->Release();
    frameSurface_ = nullptr;
    frame_ = nullptr;
    // Every effect has been destroyed by now: nothing may still hold a device reference.
    EXPECT_EQ(d3dDevice->Release(), 0u);
    d3dDevice = nullptr;
  }
  if (direct3D != nullptr) direct3D->Release();
  direct3D = nullptr;
  host::SetActiveHost(nullptr);
  d3d8test::ResetControls();
}

void EffectDevice::UseFrame() {
  ASSERT_EQ(d3dDevice->CreateTexture(kTargetWidth, kTargetHeight, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                     D3DPOOL_DEFAULT, &frame_),
            D3D_OK);
  ASSERT_EQ(frame_->GetSurfaceLevel(0, &frameSurface_), D3D_OK);
  ASSERT_EQ(d3dDevice->SetRenderTarget(frameSurface_, nullptr), D3D_OK);
  d3dDevice->BeginScene();
  d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
}

std::vector<uint32_t> EffectDevice::FramePixels() {
  std::vector<uint32_t> pixels;
  EXPECT_TRUE(d3d8test::ReadSurface(frameSurface_, &pixels));
  return pixels;
}

bool EffectDevice::ResetDevice() {
  if (frameSurface_ != nullptr) frameSurface_->Release();
  if (frame_ != nullptr) frame_->Release();
  frameSurface_ = nullptr;
  frame_ = nullptr;
  return d3dDevice->Reset(&params_) == D3D_OK;
}

uint32_t ExpandR5G6B5(uint16_t texel) {
  uint32_t r = texel >> 11, g = (texel >> 5) & 0x3F, b = texel & 0x1F;
  r = (r << 3) | (r >> 2);
  g = (g << 2) | (g >> 4);
  b = (b << 3) | (b >> 2);
  return 0xFF000000u | r << 16 | g << 8 | b;
}
