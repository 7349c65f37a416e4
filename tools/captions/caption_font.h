// A five-texel-high bitmap font of our own for the now-playing captions, made to read at 1:1.
#pragma once

#include <string>
#include <vector>

namespace captions {

constexpr int kFontHeight = 5;  // texel rows of every glyph

// One glyph: kFontHeight rows of equal length, '#' for a lettering texel.
struct CaptionGlyph {
  std::vector<std::string> rows;
  int width() const { return rows.empty() ? 0 : static_cast<int>(rows[0].size()); }
};

// The glyph of `character` (capitals, digits, / . , ? ! ' :); nullptr for any other.
const CaptionGlyph* CaptionGlyphOf(char character);

}  // namespace captions
