// What the device knows about each surface format: sizes, pitches, and how texels expand to the
// 32-bit A8R8G8B8 form the pixel pipeline samples.
#pragma once

#include <cstddef>
#include <cstdint>

#include "d3d8types.h"

namespace d3d8sw {

struct PixelFormat {
  D3DFORMAT format = D3DFMT_UNKNOWN;
  bool known = false;         // one of the formats this device stores
  bool texture = false;       // usable as a texture format
  bool renderTarget = false;  // usable as a render target (back buffer or render-target texture)
  bool depth = false;         // a depth format (D16, D32)
  bool compressed = false;    // DXT1..DXT5: 4x4 blocks
  int bytesPerTexel = 0;      // uncompressed formats
  int blockBytes = 0;         // compressed formats: 8 (DXT1) or 16
  uint32_t alphaOr = 0;       // OR-ed into expanded texels: 0xFF000000 for formats without alpha

  static PixelFormat Of(D3DFORMAT format);

  // Bytes per row as a lock reports it (rows of 4x4 blocks for DXT), and the bytes of a level.
  UINT Pitch(UINT width) const;
  UINT LevelSize(UINT width, UINT height) const;

  // Expands the texels of [x0, x1) x [y0, y1) from `raw` (real format, rows `rawPitch` bytes
  // apart) into `argb` (rows `argbPitch` pixels apart). DXT rectangles are widened to whole blocks.
  void Expand(const uint8_t* raw, UINT rawPitch, uint32_t* argb, UINT argbPitch, UINT width, UINT height, UINT x0,
              UINT y0, UINT x1, UINT y1) const;

  // One uncompressed texel to A8R8G8B8.
  uint32_t ExpandTexel(const uint8_t* texel) const;
};

}  // namespace d3d8sw
