// Text masks of the scrolling texts: a line drawn once through GDI into a 32-bit DIB section and
// boiled down to one byte per pixel (0 dark, 0xFF lit), power-of-two wide so a window onto it
// wraps with an AND.
#pragma once

#include <cstdint>
#include <memory>

// What a mask shows: one line of text, and the faces tried in order with CreateFontA (the first
// one the system gives is used).
struct MaskText {
  const char* text;
  int length;  // characters, all drawn on one line
  const char* const* faces;
  int faceCount;
};

struct TextMaskRecipe {
  MaskText source;
  int fontHeight;  // CreateFontA height: > 0 cell height
  int fontWeight;  // 400 regular, 700 bold
  // Rows of the mask, counted from the bottom of the text image.
  int maskRows;
  // true: the DIB is as high as the text's extent and the mask takes maskRows rows starting at
  // the one the lit-row search gives, copying each pixel's blue byte. false: the DIB is exactly
  // maskRows high and a mask byte is 0xFF wherever its pixel is non-zero.
  bool searchLitRows;
};

struct TextMask {
  std::unique_ptr<uint8_t[]> bytes;  // maskRows × width bytes, row 0 the lowest; null: no mask
  int width = 0;                     // power of two, at least the text's extent; 0 without a mask
};

// The widest mask made: the DIB of a wider text would not fit the memory GDI can hand out, and
// doubling past it would overflow an int.
constexpr int kMaxMaskWidth = 1 << 30;

// The smallest power of two, starting from 1, that is at least textWidth; 0 when that would pass
// kMaxMaskWidth.
int MaskWidthFor(int textWidth);

// Lit rows of a bottom-up image, as the carpet finds them: rows are taken in memory order and,
// starting from first = height - 1 and last = 0, a row holding a non-zero pixel lowers first if it
// is below it and otherwise raises last if it is above it.
struct LitRows {
  int first;
  int last;
};
LitRows FindLitRows(const uint32_t* pixels, int width, int height);

// The memory row the mask starts at: first when the lit rows span at most maskRows + 1 rows,
// otherwise the maskRows rows ending just below last.
int MaskStartRow(LitRows rows, int maskRows);

// Runs the whole GDI procedure. Without a font, a text extent, a DIB section or the memory for the
// mask the result holds no mask.
TextMask BuildTextMask(const TextMaskRecipe& recipe);
