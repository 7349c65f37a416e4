// Paints the rotozoom's second picture: an embossed golden sun medallion on black.
#pragma once

#include <cstdint>
#include <vector>

#include "linear_image.h"

namespace painter {

// Side of the square emblem picture in texels.
constexpr int kEmblemSize = 128;

// The emblem in linear light, kEmblemSize square, with a black border so repeated tiles meet.
LinearImage PaintEmblemLinear();

// The same emblem as R5G6B5 little-endian texels, rows top to bottom (kEmblemSize^2 * 2 bytes).
std::vector<uint8_t> PaintEmblem();

}  // namespace painter
