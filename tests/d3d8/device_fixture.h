// A software Direct3D 8 device on a headless host, with helpers to draw into tiny render targets
// and read their pixels back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include <d3d8.h>

#include "platform/d3d8/d3d8_test_control.h"
#include "platform/host/headless_host.h"

// Vertex layouts the tests draw with (the program's own layouts, by FVF code).
struct TlVertex {  // 0x144: XYZRHW | DIFFUSE | TEX1
  float x, y, z, rhw;
  DWORD colour;
  float u, v;
};
struct TlColourVertex {  // 0x44: XYZRHW | DIFFUSE
  float x, y, z, rhw;
  DWORD colour;
};
struct PointVertex {  // 0x42: XYZ | DIFFUSE
  float x, y, z;
  DWORD colour;
};
struct LitVertex {  // 0x52: XYZ | NORMAL | DIFFUSE
  float x, y, z;
  float nx, ny, nz;
  DWORD colour;
};

constexpr DWORD kFvfTl = 0x144;
constexpr DWORD kFvfTlColour = 0x44;
constexpr DWORD kFvfPoint = 0x42;
constexpr DWORD kFvfLit = 0x52;
constexpr DWORD kFvfXyz = 0x02;

DWORD FloatBits(float f);

class DeviceFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the device (640x480 windowed back buffer) with the given formats.
  void CreateDevice(D3DFORMAT backBuffer = D3DFMT_X8R8G8B8, D3DFORMAT depth = D3DFMT_D32);
  void ReleaseDevice();

  // A render-target texture of the given size, bound as target with the back buffer's depth
  // buffer, inside BeginScene. Released in TearDown.
  IDirect3DSurface8* UseTarget(UINT width, UINT height, D3DFORMAT format = D3DFMT_A8R8G8B8);
  // Pixels of the current target (A8R8G8B8 values, row-major) and of the depth buffer.
  std::vector<uint32_t> TargetPixels();
  std::vector<uint32_t> DepthValues();
  uint32_t Pixel(int x, int y);

  // A managed texture filled with A8R8G8B8 texels (row-major).
  IDirect3DTexture8* MakeTexture(UINT width, UINT height, const std::vector<uint32_t>& texels);

  // Draws a pre-transformed quad x0..x1, y0..y1 as a 4-vertex strip (TL, TR, BL, BR).
  HRESULT DrawQuad(float x0, float y0, float x1, float y1, DWORD colour, float z = 0.5f, float u0 = 0, float v0 = 0,
                   float u1 = 1, float v1 = 1);
  HRESULT DrawColourTriangle(const TlColourVertex& a, const TlColourVertex& b, const TlColourVertex& c);

  host::HeadlessHost host_;
  IDirect3D8* d3d_ = nullptr;
  IDirect3DDevice8* device_ = nullptr;
  D3DPRESENT_PARAMETERS params_{};
  IDirect3DTexture8* target_ = nullptr;
  IDirect3DSurface8* targetSurface_ = nullptr;
  UINT targetWidth_ = 0;
  std::vector<IDirect3DTexture8*> textures_;
};
