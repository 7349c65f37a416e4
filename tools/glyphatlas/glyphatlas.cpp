// Bakes the message panel's glyph atlas, data/images/glyph_atlas.raw, and its preview.
// Usage: musidisk-glyphatlas <source root> <output root>
//
// 128 by 128 texels, A1R5G5B5 little-endian. Glyph g sits in the 16 by 16 cell at texel column
// 16 (g mod 8), row 17 (g div 8), with a background row under each row of cells. Every texel that
// no glyph covers (those rows, the unused cells 51..55 and rows 119..127) is opaque black
// background, like the space around the letters.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "byte_file.h"
#include "font_outline_source.h"
#include "glyph_tile.h"
#include "ornament_shapes.h"
#include "png_file.h"
#include "rgba_image.h"
#include "sample_mask.h"
#include "tool_roots.h"

namespace {

using glyphatlas::kTileSize;

constexpr int kAtlasSize = 128;      // texels per side
constexpr int kCellsPerRow = 8;      // glyph cells across the atlas
constexpr int kRowPitch = 17;        // texel rows from one row of cells to the next
constexpr int kGlyphCount = 51;      // codes 0..50
constexpr int kSamplesPerTexel = 16; // supersampling per axis when filling shapes
constexpr int kPreviewScale = 5;     // preview texels per atlas texel

constexpr char kFontPath[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// Letter placement in the cell, texel units with y down. The capitals fill rows kCapTop to
// kCapBottom, the whole height of the cell, since the panel rows already have a gap between them;
// the widest letters are narrowed to kMaxInkWidth so that a texel column of space is left at each
// side and neighbouring tiles do not touch.
constexpr double kCapTop = 0.3;
constexpr double kCapBottom = 15.7;
constexpr double kMaxInkWidth = 14.0;
constexpr double kCellTop = 0.2;      // nothing of a glyph goes above this...
constexpr double kCellBottom = 15.8;  // ...or below this
// Thickening of the font's strokes in font units (2048 to the em), across and up, before scaling.
// DejaVu Sans Bold's stems come out near 3.5 texels at this size, which leaves a one-texel
// inside once outlined; these make upright stems five texels and bars four, so the stripes get
// three and two texels, while the gaps between E's bars stay open.
constexpr double kEmboldenX = 240.0;
constexpr double kEmboldenY = 180.0;
// Letters are drawn a little wider than the font has them, which thickens the upright strokes,
// the ones that carry most of the stripes.
constexpr double kWiden = 1.05;

// The font character of glyph `code`, or 0 for glyphs of our own drawing.
char32_t FontCharacter(int code) {
  if (code <= 25) return U'A' + code;
  if (code <= 35) return U'0' + (code - 26);
  switch (code) {
    case 36: return U'.';
    case 37: return U',';
    case 38: return U'?';
    case 39: return U'!';
    case 40: return U'\'';
    case 48: return U'[';
    case 49: return U']';
    default: return 0;
  }
}

// Maps a font glyph into the cell: the capital height onto kCapTop..kCapBottom, centred
// horizontally, narrowed if too wide, and moved or squeezed to stay within the cell vertically.
std::vector<artkit::Contour> PlaceFontGlyph(std::vector<artkit::Contour> contours, const glyphatlas::FontBox& box,
                                            const glyphatlas::FontBox& capitalBox) {
  const double scale = (kCapBottom - kCapTop) / (capitalBox.yMax - capitalBox.yMin);
  const double baseline = kCapBottom + capitalBox.yMin * scale;
  double sx = scale * kWiden;
  if ((box.xMax - box.xMin) * sx > kMaxInkWidth) sx = kMaxInkWidth / (box.xMax - box.xMin);
  const double cx = (box.xMin + box.xMax) / 2.0;
  double top = baseline - box.yMax * scale, bottom = baseline - box.yMin * scale;
  double sy = scale, shift = 0.0;
  if (bottom - top > kCellBottom - kCellTop) {
    sy = scale * (kCellBottom - kCellTop) / (bottom - top);
    shift = kCellTop - (baseline - box.yMax * sy);
  } else if (bottom > kCellBottom) {
    shift = kCellBottom - bottom;
  } else if (top < kCellTop) {
    shift = kCellTop - top;
  }
  for (artkit::Contour& contour : contours)
    for (artkit::Point& p : contour) p = {8.0 + (p.x - cx) * sx, baseline + shift - p.y * sy};
  return contours;
}

artkit::Rgba PreviewColour(uint16_t texel) {
  switch (texel) {
    case glyphatlas::kLightEdge: return {0xEF, 0xEF, 0xEF, 0xFF};
    case glyphatlas::kDarkEdge: return {0xC6, 0xC6, 0xC6, 0xFF};
    case glyphatlas::kBackground: return {0x00, 0x00, 0x00, 0xFF};
    default: return {0, 0, 0, 0};
  }
}

}  // namespace

int main(int argc, char** argv) {
  artkit::ToolRoots roots;
  if (!artkit::ParseToolRoots(argc, argv, roots)) return 2;

  glyphatlas::FontOutlineSource font;
  if (!font.Open(kFontPath)) return 1;
  std::vector<artkit::Contour> capital;
  glyphatlas::FontBox capitalBox;
  if (!font.Contours(U'H', kEmboldenX, kEmboldenY, capital, capitalBox)) {
    std::fprintf(stderr, "glyphatlas: the font has no capital H\n");
    return 1;
  }

  std::vector<uint16_t> atlas(kAtlasSize * kAtlasSize, glyphatlas::kBackground);
  int smallestInside = 0, smallestGlyph = 0;
  for (int code = 0; code < kGlyphCount; ++code) {
    std::vector<artkit::Contour> contours = glyphatlas::OrnamentContours(code);
    if (contours.empty()) {
      glyphatlas::FontBox box;
      if (!font.Contours(FontCharacter(code), kEmboldenX, kEmboldenY, contours, box)) {
        std::fprintf(stderr, "glyphatlas: the font has no outline for glyph %d\n", code);
        return 1;
      }
      contours = PlaceFontGlyph(std::move(contours), box, capitalBox);
    }
    artkit::SampleMask shape(kTileSize, kTileSize, kSamplesPerTexel);
    shape.Fill(contours);
    glyphatlas::GlyphTile tile = glyphatlas::OutlineTile(shape);
    if (tile.interiorCount == 0) {
      std::fprintf(stderr, "glyphatlas: glyph %d has no inside left for the stripes\n", code);
      return 1;
    }
    if (code == 0 || tile.interiorCount < smallestInside) {
      smallestInside = tile.interiorCount;
      smallestGlyph = code;
    }
    const int left = kTileSize * (code % kCellsPerRow), top = kRowPitch * (code / kCellsPerRow);
    for (int y = 0; y < kTileSize; ++y)
      for (int x = 0; x < kTileSize; ++x) atlas[(top + y) * kAtlasSize + left + x] = tile.texels[y * kTileSize + x];
  }

  std::printf("glyph atlas: the smallest inside is glyph %d's, %d texels\n", smallestGlyph, smallestInside);

  std::vector<uint8_t> raw;
  raw.reserve(atlas.size() * 2);
  for (uint16_t texel : atlas) {
    raw.push_back(static_cast<uint8_t>(texel & 0xFF));
    raw.push_back(static_cast<uint8_t>(texel >> 8));
  }

  // The preview shows the atlas as stored, enlarged, with the transparent insides over a blue
  // checkerboard that cannot be mistaken for the grey outlines.
  artkit::RgbaImage preview = artkit::Checkerboard(kAtlasSize * kPreviewScale, kAtlasSize * kPreviewScale,
                                                   kPreviewScale, {0x30, 0x60, 0xD0, 0xFF}, {0x20, 0x40, 0x90, 0xFF});
  artkit::RgbaImage texels(kAtlasSize, kAtlasSize);
  for (int y = 0; y < kAtlasSize; ++y)
    for (int x = 0; x < kAtlasSize; ++x) texels.Set(x, y, PreviewColour(atlas[y * kAtlasSize + x]));
  preview.Draw(texels, 0, 0, kPreviewScale);

  if (!artkit::WriteBytes(roots.output / "data/images/glyph_atlas.raw", raw)) return 1;
  if (!artkit::WritePng(roots.output / "data/images/glyph_atlas.png", preview)) return 1;
  return 0;
}
