// Thresholding, outlining and edge classification of one glyph tile.
#include "glyph_tile.h"

namespace glyphatlas {
namespace {

// Texels at least half covered belong to the letter.
constexpr double kCoverageThreshold = 0.5;

// Picks the bevel colour of an outline texel from where the outside lies. The four side
// neighbours decide first: up and left make it light, down and right mid grey. A texel whose
// side neighbours balance (a corner facing up-right or down-left, or a one-texel stroke) leans
// to its vertical side, so top edges stay light and bottom edges dark to their very ends; texels
// that touch the outside only at a corner are decided the same way by the diagonals.
uint16_t EdgeColour(const bool outside[3][3]) {
  int nx = 0, ny = 0;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if ((dx == 0) != (dy == 0) && outside[dy + 1][dx + 1]) {
        nx += dx;
        ny += dy;
      }
  if (nx == 0 && ny == 0) {
    for (int dy = -1; dy <= 1; dy += 2)
      for (int dx = -1; dx <= 1; dx += 2)
        if (outside[dy + 1][dx + 1]) {
          nx += dx;
          ny += dy;
        }
  }
  int lean = nx + ny;
  if (lean == 0) lean = ny;
  if (lean == 0) lean = nx;
  return lean > 0 ? kDarkEdge : kLightEdge;
}

}  // namespace

GlyphTile OutlineTile(const artkit::SampleMask& shape) {
  bool inside[kTileSize][kTileSize];
  for (int y = 0; y < kTileSize; ++y)
    for (int x = 0; x < kTileSize; ++x) inside[y][x] = shape.Coverage(x, y) >= kCoverageThreshold;
  auto in = [&](int x, int y) { return x >= 0 && y >= 0 && x < kTileSize && y < kTileSize && inside[y][x]; };

  GlyphTile tile;
  for (int y = 0; y < kTileSize; ++y) {
    for (int x = 0; x < kTileSize; ++x) {
      uint16_t& texel = tile.texels[y * kTileSize + x];
      if (!inside[y][x]) {
        texel = kBackground;
        continue;
      }
      bool outside[3][3];
      bool edge = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          outside[dy + 1][dx + 1] = !in(x + dx, y + dy);
          edge = edge || outside[dy + 1][dx + 1];
        }
      if (edge) {
        texel = EdgeColour(outside);
      } else {
        texel = kInterior;
        ++tile.interiorCount;
      }
    }
  }
  return tile;
}

}  // namespace glyphatlas
