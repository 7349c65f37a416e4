// Paints the sprite-morph effect's point sprite: a glassy light-blue ball with a fixed outline.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace painter {

// Side of the square sprite in texels.
constexpr int kSpriteBallSize = 16;

// First and last opaque column of each row, top to bottom; every other texel is transparent.
struct SpriteRowSpan {
  int first;
  int last;
};
extern const std::array<SpriteRowSpan, kSpriteBallSize> kSpriteBallOutline;

// The ball as A1R5G5B5 little-endian texels, rows top to bottom (512 bytes): 0x0000 outside the
// outline, the alpha bit 0x8000 set on every texel inside it.
std::vector<uint8_t> PaintSpriteBall();

}  // namespace painter
