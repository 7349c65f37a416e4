// Lays one now-playing caption out to an exact width in the caption font.
#pragma once

#include <string>
#include <vector>

namespace captions {

constexpr int kLetterSpacing = 1;  // blank columns between the letters of a word
constexpr int kMinWordGap = 3;     // fewest blank columns between words; fewer and words run together
constexpr int kMaxGapSpread = 2;   // most the gaps around the slash may differ from the word gap

struct PlacedGlyph {
  char character;
  int x;  // first column
};

struct CaptionLayout {
  std::vector<PlacedGlyph> glyphs;
  int wordGap = 0;      // blank columns between words
  int leadingGap = 0;   // after the slash
  int trailingGap = 0;  // after the last word, before the next copy's slash
  int width = 0;        // the whole caption, trailing gap included
};

// Lays out a slash at column 0 followed by `words`, spreading the columns that `targetWidth`
// leaves over the gaps: one word gap throughout, and the rest split between the gaps either side
// of the slash, so that copies set end to end read as one line. False, with the reason, when the
// gaps would come out narrower than kMinWordGap or too uneven, or a character has no glyph.
bool LayOutCaption(const std::vector<std::string>& words, int targetWidth, CaptionLayout& layout, std::string& error);

}  // namespace captions
