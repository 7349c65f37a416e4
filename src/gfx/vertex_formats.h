// The vertex layouts several units share: 32-bit floats and a 32-bit ARGB colour each.
#pragma once

#include <d3d8.h>

// Pre-transformed and textured (FVF 0x144, 28 bytes): offscreen-frame and overlay quads.
struct ScreenVertex {
  float x, y, z, rhw;
  D3DCOLOR diffuse;
  float u, v;
};
constexpr DWORD kScreenVertexFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
static_assert(sizeof(ScreenVertex) == 28);
static_assert(kScreenVertexFvf == 0x144);

// Pre-transformed, untextured (FVF 0x44, 20 bytes).
struct ColourVertex {
  float x, y, z, rhw;
  D3DCOLOR diffuse;
};
constexpr DWORD kColourVertexFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;
static_assert(sizeof(ColourVertex) == 20);
static_assert(kColourVertexFvf == 0x44);

// Untransformed point with a colour (FVF 0x42, 16 bytes).
struct PointVertex {
  float x, y, z;
  D3DCOLOR diffuse;
};
constexpr DWORD kPointVertexFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;
static_assert(sizeof(PointVertex) == 16);
static_assert(kPointVertexFvf == 0x42);
