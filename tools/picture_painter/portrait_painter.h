// Paints the rotozoom's first picture: a chiaroscuro portrait of a young woman on black.
#pragma once

#include <cstdint>
#include <vector>

#include "linear_image.h"

namespace painter {

// Side of the square portrait in texels.
constexpr int kPortraitSize = 128;

// The portrait in linear light, kPortraitSize square, with a black border so repeated tiles meet.
LinearImage PaintPortraitLinear();

// The same portrait as R5G6B5 little-endian texels, rows top to bottom (kPortraitSize^2 * 2 bytes).
std::vector<uint8_t> PaintPortrait();

}  // namespace painter
