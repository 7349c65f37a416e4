// Little helpers the art tests share: reading texels out of the embedded raw images.
#pragma once

#include <cstdint>

namespace art_test {

// The 16-bit little-endian texel at `index` of a raw image.
inline uint16_t Texel16(const unsigned char* bytes, int index) {
  return static_cast<uint16_t>(bytes[2 * index] | bytes[2 * index + 1] << 8);
}

}  // namespace art_test
