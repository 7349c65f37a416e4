// Surface format facts and texel expansion (bit replication for narrow channels, DXT decoding).
#include "pixel_format.h"

#include <algorithm>
#include <cstring>

#include "colour_math.h"

namespace d3d8sw {

namespace {

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Read32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

uint32_t Expand565(uint16_t t) {
  return PackArgb(255, Expand5((t >> 11) & 31), Expand6((t >> 5) & 63), Expand5(t & 31));
}

// The four colours of a DXT colour block. `fourColour` is DXT1's c0 > c1 test (always true for
// DXT2..5); in three-colour mode the fourth entry is transparent black.
void DxtPalette(uint16_t c0, uint16_t c1, bool dxt1, uint32_t palette[4]) {
  uint32_t p0 = Expand565(c0);
  uint32_t p1 = Expand565(c1);
  palette[0] = p0;
  palette[1] = p1;
  auto mix = [](uint32_t a, uint32_t b, uint32_t wa, uint32_t wb, uint32_t div) {
    uint32_t r = (ChannelR(a) * wa + ChannelR(b) * wb + div / 2) / div;
    uint32_t g = (ChannelG(a) * wa + ChannelG(b) * wb + div / 2) / div;
    uint32_t bl = (ChannelB(a) * wa + ChannelB(b) * wb + div / 2) / div;
    return PackArgb(255, r, g, bl);
  };
  if (!dxt1 || c0 > c1) {
    palette[2] = mix(p0, p1, 2, 1, 3);
    palette[3] = mix(p0, p1, 1, 2, 3);
  } else {
    palette[2] = mix(p0, p1, 1, 1, 2);
    palette[3] = 0;
  }
}

// Decodes one 4x4 block into out[16] (row-major).
void DecodeDxtBlock(D3DFORMAT format, const uint8_t* block, uint32_t out[16]) {
  const uint8_t* colourBlock = format == D3DFMT_DXT1 ? block : block + 8;
  uint32_t palette[4];
  DxtPalette(Read16(colourBlock), Read16(colourBlock + 2), format == D3DFMT_DXT1, palette);
  uint32_t indices = Read32(colourBlock + 4);
  for (int i = 0; i < 16; ++i) out[i] = palette[(indices >> (2 * i)) & 3];
  if (format == D3DFMT_DXT2 || format == D3DFMT_DXT3) {
    for (int i = 0; i < 16; ++i) {
      uint32_t a = (block[i / 2] >> (4 * (i & 1))) & 15;
      out[i] = (out[i] & 0x00FFFFFF) | (Expand4(a) << 24);
    }
  } else if (format == D3DFMT_DXT4 || format == D3DFMT_DXT5) {
    uint32_t a0 = block[0];
    uint32_t a1 = block[1];
    uint32_t alphas[8] = {a0, a1};
    if (a0 > a1) {
      for (uint32_t k = 1; k <= 6; ++k) alphas[k + 1] = ((7 - k) * a0 + k * a1 + 3) / 7;
    } else {
      for (uint32_t k = 1; k <= 4; ++k) alphas[k + 1] = ((5 - k) * a0 + k * a1 + 2) / 5;
      alphas[6] = 0;
      alphas[7] = 255;
    }
    uint64_t bits = 0;
    for (int k = 0; k < 6; ++k) bits |= static_cast<uint64_t>(block[2 + k]) << (8 * k);
    for (int i = 0; i < 16; ++i) {
      out[i] = (out[i] & 0x00FFFFFF) | (alphas[(bits >> (3 * i)) & 7] << 24);
    }
  }
}

}  // namespace

PixelFormat PixelFormat::Of(D3DFORMAT format) {
  PixelFormat f;
  f.format = format;
  switch (format) {
    case D3DFMT_A8R8G8B8:
      f.bytesPerTexel = 4;
      f.texture = f.renderTarget = true;
      break;
    case D3DFMT_X8R8G8B8:
      f.bytesPerTexel = 4;
      f.texture = f.renderTarget = true;
      f.alphaOr = 0xFF000000;
      break;
    case D3DFMT_R5G6B5:
      f.bytesPerTexel = 2;
      f.texture = f.renderTarget = true;
      f.alphaOr = 0xFF000000;
      break;
    case D3DFMT_X1R5G5B5:
      f.bytesPerTexel = 2;
      f.texture = true;
      f.alphaOr = 0xFF000000;
      break;
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
      f.bytesPerTexel = 2;
      f.texture = true;
      break;
    case D3DFMT_R8G8B8:
      f.bytesPerTexel = 3;
      f.texture = true;
      f.alphaOr = 0xFF000000;
      break;
    case D3DFMT_DXT1:
      f.compressed = f.texture = true;
      f.blockBytes = 8;
      break;
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5:
      f.compressed = f.texture = true;
      f.blockBytes = 16;
      break;
    case D3DFMT_D16:
    case D3DFMT_D16_LOCKABLE:
      f.depth = true;
      f.bytesPerTexel = 2;
      break;
    case D3DFMT_D32:
      f.depth = true;
      f.bytesPerTexel = 4;
      break;
    default:
      return f;
  }
  f.known = true;
  return f;
}

UINT PixelFormat::Pitch(UINT width) const {
  if (compressed) return std::max(1u, (width + 3) / 4) * static_cast<UINT>(blockBytes);
  // Rows start on 4-byte boundaries, as drivers commonly lay them out; callers honour the pitch.
  return (width * static_cast<UINT>(bytesPerTexel) + 3) & ~3u;
}

UINT PixelFormat::LevelSize(UINT width, UINT height) const {
  if (compressed) return Pitch(width) * std::max(1u, (height + 3) / 4);
  return Pitch(width) * height;
}

uint32_t PixelFormat::ExpandTexel(const uint8_t* t) const {
  switch (format) {
    case D3DFMT_A8R8G8B8:
      return Read32(t);
    case D3DFMT_X8R8G8B8:
      return Read32(t) | 0xFF000000;
    case D3DFMT_R8G8B8:
      return PackArgb(255, t[2], t[1], t[0]);
    case D3DFMT_R5G6B5:
      return Expand565(Read16(t));
    case D3DFMT_X1R5G5B5: {
      uint16_t v = Read16(t);
      return PackArgb(255, Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
    }
    case D3DFMT_A1R5G5B5: {
      uint16_t v = Read16(t);
      return PackArgb((v & 0x8000) ? 255 : 0, Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
    }
    case D3DFMT_A4R4G4B4: {
      uint16_t v = Read16(t);
      return PackArgb(Expand4(v >> 12), Expand4((v >> 8) & 15), Expand4((v >> 4) & 15), Expand4(v & 15));
    }
    default:
      return 0;
  }
}

void PixelFormat::Expand(const uint8_t* raw, UINT rawPitch, uint32_t* argb, UINT argbPitch, UINT width, UINT height,
                         UINT x0, UINT y0, UINT x1, UINT y1) const {
  x1 = std::min(x1, width);
  y1 = std::min(y1, height);
  if (x0 >= x1 || y0 >= y1) return;
  if (compressed) {
    uint32_t block[16];
    for (UINT by = y0 / 4; by * 4 < y1; ++by) {
      for (UINT bx = x0 / 4; bx * 4 < x1; ++bx) {
        DecodeDxtBlock(format, raw + by * rawPitch + bx * static_cast<UINT>(blockBytes), block);
        for (UINT y = 0; y < 4 && by * 4 + y < height; ++y) {
          for (UINT x = 0; x < 4 && bx * 4 + x < width; ++x) {
            argb[(by * 4 + y) * argbPitch + bx * 4 + x] = block[y * 4 + x];
          }
        }
      }
    }
    return;
  }
  for (UINT y = y0; y < y1; ++y) {
    const uint8_t* src = raw + y * rawPitch + x0 * static_cast<UINT>(bytesPerTexel);
    uint32_t* dst = argb + y * argbPitch;
    if (format == D3DFMT_A8R8G8B8) {
      std::memcpy(dst + x0, src, (x1 - x0) * 4);
      continue;
    }
    for (UINT x = x0; x < x1; ++x, src += bytesPerTexel) dst[x] = ExpandTexel(src);
  }
}

}  // namespace d3d8sw
