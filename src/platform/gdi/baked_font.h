// Bitmap faces baked from an outline font at build time (tools/fontbake), the font mapping that
// picks one for a CreateFontA request, and the measuring and drawing of text in them.
#pragma once

#include <cstdint>

namespace gdi {

// Character codes with their own glyph; every other byte draws the face's box glyph.
constexpr int kFirstBakedChar = 32;
constexpr int kLastBakedChar = 126;
// Glyphs per face: one per code 32..126, then the box glyph.
constexpr int kBakedGlyphCount = kLastBakedChar - kFirstBakedChar + 2;

// One character of a baked face. Its ink lies inside its own advance box, as in a raster face,
// so a string's extent bounds every pixel the string draws.
struct BakedGlyph {
  uint16_t advance;     // pixels the pen moves on after the character
  uint8_t inkLeft;      // first ink column, counted from the pen position
  uint8_t inkWidth;     // ink columns; 0 for a blank character
  uint32_t bitsOffset;  // first byte of the glyph's rows in its face's bit array
};

struct BakedFace {
  const char* name;
  int cellHeight;   // rows of one text line: the height of every extent
  int ascent;       // rows of the cell above the baseline
  int pixelSize;    // em size in pixels the outlines were rendered at
  int weight;       // 400 regular, 700 bold
  bool rasterFace;  // served at every requested height, as a bitmap face is
  const BakedGlyph* glyphs;  // kBakedGlyphCount entries
  // Each glyph's rows, top row first, cellHeight rows of (inkWidth + 7) / 8 bytes, high bit =
  // leftmost column, 1 = ink.
  const uint8_t* bits;
  uint32_t bitsSize;
};

// Defined in the generated baked_fonts.cpp.
extern const BakedFace bakedFaces[];
extern const int bakedFaceCount;

// The CreateFontA arguments the mapping looks at.
struct FontRequest {
  int height;  // > 0 cell height, < 0 em height, 0 the face's own size
  int width;
  int escapement;
  int orientation;
  int weight;
  bool italic;
  bool underline;
  bool strikeOut;
  uint32_t charSet;
  uint32_t pitchAndFamily;
  const char* faceName;
};

// The baked face that serves the request exactly, or null: nothing is synthesised (no other
// sizes, no slanting, no emboldening, no scaling), so a caller's fallback is real.
const BakedFace* MatchBakedFace(const FontRequest& request);

const BakedGlyph& GlyphFor(const BakedFace& face, unsigned char code);
bool GlyphInk(const BakedFace& face, const BakedGlyph& glyph, int row, int column);

// Sum of the advances of count characters; false when it does not fit a LONG.
bool MeasureText(const BakedFace& face, const char* text, int count, int32_t* width);

// A 32-bit pixel surface with its rows top-down or bottom-up in memory, and a clip rectangle in
// surface coordinates (y = 0 is the top row, right and bottom exclusive) lying inside it.
struct TextTarget {
  uint32_t* pixels;
  int width;
  int height;
  bool topDown;
  int clipLeft;
  int clipTop;
  int clipRight;
  int clipBottom;
};

// Draws count characters with the top-left of the first cell at (x, y): pixels of ink become
// textPixel; when opaque, the rest of the characters' cells become backPixel. advances, when not
// null, replaces each character's advance. Nothing outside the clip rectangle is written.
void DrawText(const BakedFace& face, const TextTarget& target, int x, int y, const char* text, int count,
              const int32_t* advances, bool opaque, uint32_t textPixel, uint32_t backPixel);

}  // namespace gdi
