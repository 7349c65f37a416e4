// 8-bit colour arithmetic shared by the reference and fast pixel paths, so both round alike.
#pragma once

#include <cstdint>

namespace d3d8sw {

// round(x / 255) for 0 <= x <= 65662 (exact); above that the result exceeds 255 and every caller
// clamps it, so the clamped result is exact for every sum of two 8-bit products (x <= 130050).
inline uint32_t Div255Round(uint32_t x) {
  uint32_t t = x + 128;
  return (t + (t >> 8)) >> 8;
}

// round(a * b / 255) for 8-bit a and b: the product of two colour values in [0, 1].
inline uint32_t Mul255(uint32_t a, uint32_t b) { return Div255Round(a * b); }

inline uint32_t Min255(uint32_t x) { return x > 255 ? 255 : x; }

// Channel access on packed A8R8G8B8 values.
inline uint32_t ChannelA(uint32_t c) { return c >> 24; }
inline uint32_t ChannelR(uint32_t c) { return (c >> 16) & 0xFF; }
inline uint32_t ChannelG(uint32_t c) { return (c >> 8) & 0xFF; }
inline uint32_t ChannelB(uint32_t c) { return c & 0xFF; }
inline uint32_t PackArgb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

// Per-channel round(c * m / 255) for all four channels of two packed colours.
inline uint32_t ModulateArgb(uint32_t c, uint32_t m) {
  return PackArgb(Mul255(ChannelA(c), ChannelA(m)), Mul255(ChannelR(c), ChannelR(m)), Mul255(ChannelG(c), ChannelG(m)),
                  Mul255(ChannelB(c), ChannelB(m)));
}

// Bit replication of narrow channels to 8 bits, as 16-bit texels and surfaces expand.
inline uint32_t Expand5(uint32_t c) { return (c << 3) | (c >> 2); }
inline uint32_t Expand6(uint32_t c) { return (c << 2) | (c >> 4); }
inline uint32_t Expand4(uint32_t c) { return c * 17; }

// A colour as an R5G6B5 surface stores it (each channel rounded to nearest), read back expanded;
// alpha reads 255 as for every format without alpha.
inline uint32_t QuantiseToR5G6B5(uint32_t c) {
  uint32_t r = Expand5(Div255Round(ChannelR(c) * 31));
  uint32_t g = Expand6(Div255Round(ChannelG(c) * 63));
  uint32_t b = Expand5(Div255Round(ChannelB(c) * 31));
  return PackArgb(255, r, g, b);
}

// The R5G6B5 bits of an expanded colour (inverse of the expansion for values it produced).
inline uint16_t PackR5G6B5(uint32_t c) {
  return static_cast<uint16_t>(((ChannelR(c) >> 3) << 11) | ((ChannelG(c) >> 2) << 5) | (ChannelB(c) >> 3));
}

// Bilinear blend of four texels with 8-bit weights fu, fv (0..255 = 0..255/256 of the way to
// t10 and t01): each column is blended and rounded to 8 bits, then the two columns, so that the
// arithmetic fits 16-bit lanes and a run at one v can blend its columns once; both steps round
// to nearest.
inline uint32_t LerpChannel(uint32_t a, uint32_t b, uint32_t f) { return (a * (256 - f) + b * f + 128) >> 8; }
inline uint32_t Bilerp(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11, uint32_t fu, uint32_t fv) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t left = LerpChannel((t00 >> shift) & 0xFF, (t01 >> shift) & 0xFF, fv);
    uint32_t right = LerpChannel((t10 >> shift) & 0xFF, (t11 >> shift) & 0xFF, fv);
    out |= LerpChannel(left, right, fu) << shift;
  }
  return out;
}

}  // namespace d3d8sw
