// The device fixture of the Direct3D 8 tests.
#include "device_fixture.h"

#include <cstring>

DWORD FloatBits(float f) {
  DWORD d;
  std::memcpy(&d, &f, sizeof d);
  return d;
}

void DeviceFixture::SetUp() {
  d3d8test::ResetControls();
  host::SetActiveHost(&host_);
  d3d_ = Direct3DCreate8(D3D_SDK_VERSION);
  ASSERT_NE(d3d_, nullptr);
  CreateDevice();
}

void DeviceFixture::TearDown() {
  ReleaseDevice();
  if (d3d_ != nullptr) d3d_->Release();
  host::SetActiveHost(nullptr);
  d3d8test::ResetControls();
}

void DeviceFixture::CreateDevice(D3DFORMAT backBuffer, D3DFORMAT depth) {
  ReleaseDevice();
  params_ = D3DPRESENT_PARAMETERS{};
  params_.BackBufferWidth = 640;
  params_.BackBufferHeight = 480;
  params_.BackBufferFormat = backBuffer;
  params_.BackBufferCount = 1;
  params_.SwapEffect = D3DSWAPEFFECT_DISCARD;
  params_.Windowed = TRUE;
  params_.EnableAutoDepthStencil = depth != D3DFMT_UNKNOWN;
  params_.AutoDepthStencilFormat = depth;
  ASSERT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &params_, &device_),
            D3D_OK);
}

void DeviceFixture::ReleaseDevice() {
  if (device_ == nullptr) return;
  device_->EndScene();
  if (targetSurface_ != nullptr) targetSurface_->Release();
  if (target_ != nullptr) target_->Release();
  targetSurface_ = nullptr;
  target_ = nullptr;
  for (IDirect3DTexture8* t : textures_) t->Release();
  textures_.clear();
  EXPECT_EQ(device_->Release(), 0u);
  device_ = nullptr;
}

IDirect3DSurface8* DeviceFixture::UseTarget(UINT width, UINT height, D3DFORMAT format) {
  EXPECT_EQ(device_->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT, &target_), D3D_OK);
  EXPECT_EQ(target_->GetSurfaceLevel(0, &targetSurface_), D3D_OK);
  IDirect3DSurface8* depth = nullptr;
  device_->GetDepthStencilSurface(&depth);
  EXPECT_EQ(device_->SetRenderTarget(targetSurface_, depth), D3D_OK);
  if (depth != nullptr) depth->Release();
  targetWidth_ = width;
  device_->BeginScene();
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | (depth != nullptr ? D3DCLEAR_ZBUFFER : 0), 0, 1.0f, 0);
  return targetSurface_;
}

std::vector<uint32_t> DeviceFixture::TargetPixels() {
  std::vector<uint32_t> pixels;
  EXPECT_TRUE(d3d8test::ReadSurface(targetSurface_, &pixels));
  return pixels;
}

std::vector<uint32_t> DeviceFixture::DepthValues() {
  IDirect3DSurface8* depth = nullptr;
  device_->GetDepthStencilSurface(&depth);
  std::vector<uint32_t> values;
  EXPECT_TRUE(d3d8test::ReadSurface(depth, &values));
  depth->Release();
  return values;
}

uint32_t DeviceFixture::Pixel(int x, int y) { return TargetPixels()[static_cast<size_t>(y) * targetWidth_ + x]; }

IDirect3DTexture8* DeviceFixture::MakeTexture(UINT width, UINT height, const std::vector<uint32_t>& texels) {
  IDirect3DTexture8* t = nullptr;
  EXPECT_EQ(device_->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t), D3D_OK);
  D3DLOCKED_RECT locked;
  EXPECT_EQ(t->LockRect(0, &locked, nullptr, 0), D3D_OK);
  for (UINT y = 0; y < height; ++y) {
    std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, &texels[y * width], width * 4);
  }
  EXPECT_EQ(t->UnlockRect(0), D3D_OK);
  textures_.push_back(t);
  return t;
}

HRESULT DeviceFixture::DrawQuad(float x0, float y0, float x1, float y1, DWORD colour, float z, float u0, float v0,
                                float u1, float v1) {
  TlVertex quad[4] = {{x0, y0, z, 1, colour, u0, v0},
                      {x1, y0, z, 1, colour, u1, v0},
                      {x0, y1, z, 1, colour, u0, v1},
                      {x1, y1, z, 1, colour, u1, v1}};
  device_->SetVertexShader(kFvfTl);
  return device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TlVertex));
}

HRESULT DeviceFixture::DrawColourTriangle(const TlColourVertex& a, const TlColourVertex& b, const TlColourVertex& c) {
  TlColourVertex tri[3] = {a, b, c};
  device_->SetVertexShader(kFvfTlColour);
  return device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(TlColourVertex));
}
