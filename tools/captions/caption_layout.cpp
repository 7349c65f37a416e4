// Caption layout: glyphs of a word are set kLetterSpacing apart; all the slack goes into gaps.
#include "caption_layout.h"

#include <cstdlib>

#include "caption_font.h"

namespace captions {
namespace {

// Width of a word in columns, or -1 when a character has no glyph.
int WordWidth(const std::string& word) {
  int width = 0;
  for (char c : word) {
    const CaptionGlyph* glyph = CaptionGlyphOf(c);
    if (glyph == nullptr) return -1;
    width += glyph->width() + kLetterSpacing;
  }
  return word.empty() ? 0 : width - kLetterSpacing;
}

}  // namespace

bool LayOutCaption(const std::vector<std::string>& words, int targetWidth, CaptionLayout& layout, std::string& error) {
  layout = {};
  if (words.empty()) {
    error = "no words";
    return false;
  }
  const int slashWidth = WordWidth("/");
  int inked = slashWidth;
  for (const std::string& word : words) {
    int width = WordWidth(word);
    if (width <= 0) {
      error = "no glyph for a character of \"" + word + "\"";
      return false;
    }
    inked += width;
  }
  // Gaps: one after the slash, one between each two words, one after the last word.
  const int slack = targetWidth - inked;
  const int gaps = static_cast<int>(words.size()) + 1;
  const int wordGap = (2 * slack + gaps) / (2 * gaps);  // slack / gaps, rounded
  const int slashGaps = slack - wordGap * (gaps - 2);
  layout.wordGap = wordGap;
  layout.leadingGap = slashGaps / 2;
  layout.trailingGap = slashGaps - layout.leadingGap;
  if (wordGap < kMinWordGap || layout.leadingGap < kMinWordGap - 1 ||
      std::abs(layout.leadingGap - wordGap) > kMaxGapSpread || std::abs(layout.trailingGap - wordGap) > kMaxGapSpread) {
    error = "gaps of " + std::to_string(layout.leadingGap) + ", " + std::to_string(wordGap) + " and " +
            std::to_string(layout.trailingGap) + " columns";
    return false;
  }

  int x = 0;
  layout.glyphs.push_back({'/', x});
  x += slashWidth + layout.leadingGap;
  for (size_t w = 0; w < words.size(); ++w) {
    if (w > 0) x += wordGap;
    for (size_t i = 0; i < words[w].size(); ++i) {
      if (i > 0) x += kLetterSpacing;
      layout.glyphs.push_back({words[w][i], x});
      x += CaptionGlyphOf(words[w][i])->width();
    }
  }
  layout.width = x + layout.trailingGap;
  return true;
}

}  // namespace captions
