// One 16 by 16 tile of the glyph atlas: a letter shape turned into the four-value outline art.
#pragma once

#include <array>
#include <cstdint>

#include "sample_mask.h"

namespace glyphatlas {

// Texel values of the atlas, A1R5G5B5. Only these four occur.
constexpr uint16_t kInterior = 0x0000;    // alpha 0: the letter's inside, later filled with stripes
constexpr uint16_t kBackground = 0x8000;  // opaque black: adds nothing when the tiles are added on
constexpr uint16_t kLightEdge = 0xF7BD;   // opaque light grey: outline on top and left edges
constexpr uint16_t kDarkEdge = 0xC631;    // opaque mid grey: outline on bottom and right edges

constexpr int kTileSize = 16;  // texels per side of a glyph

struct GlyphTile {
  std::array<uint16_t, kTileSize * kTileSize> texels{};  // row-major
  int interiorCount = 0;
};

// Texels at least half covered by `shape` (a 16 by 16 texel mask) make up the letter. Those with
// any of their eight neighbours outside the letter (the tile's edge counts as outside) become the
// one-texel outline, light where the outside lies above or to the left, mid grey where it lies
// below or to the right; the rest is interior.
GlyphTile OutlineTile(const artkit::SampleMask& shape);

}  // namespace glyphatlas
