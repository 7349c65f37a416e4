// Letters the now-playing captions, data/images/captions.raw, and a preview of them scrolling.
// Usage: musidisk-captions <source root> <output root>
//
// 256 by 256 texels, A4R4G4B4 little-endian, two values only: 0x8000 background (black at
// alpha 8/15) and 0xFFFF lettering. Caption k fills rows 7k..7k+6, lettering on rows 7k+1..7k+5,
// and is exactly 4w columns wide for its entry w of the ticker's width table; the layout is
// spread to that width and the tool fails when a caption cannot be.
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "byte_file.h"
#include "caption_font.h"
#include "caption_layout.h"
#include "png_file.h"
#include "rgba_image.h"
#include "tool_roots.h"
#include "track_titles.h"

namespace {

constexpr int kSize = 256;          // texels per side
constexpr int kCaptionPitch = 7;    // texel rows per caption: blank, five of lettering, blank
constexpr uint16_t kBackground = 0x8000;
constexpr uint16_t kLettering = 0xFFFF;
constexpr int kPreviewWidth = 440;  // texels of each scrolling line in the preview
constexpr int kPreviewScale = 3;

// The ticker's widths, in units of 4 texels, for tracks 0 to 15: the same table the program holds.
constexpr int kWidths[captions::kTrackCount] = {27, 29, 26, 23, 28, 26, 32, 30, 35, 34, 48, 46, 36, 38, 47, 27};

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// A smooth colour sweep standing in for the effects under the ticker.
artkit::Rgba PreviewBackdrop(int x, int y) {
  return {static_cast<uint8_t>(40 + x * 160 / kPreviewWidth), static_cast<uint8_t>(90 + y % 9 * 8),
          static_cast<uint8_t>(200 - x * 120 / kPreviewWidth), 255};
}

}  // namespace

int main(int argc, char** argv) {
  artkit::ToolRoots roots;
  if (!artkit::ParseToolRoots(argc, argv, roots)) return 2;

  std::string text, error;
  if (!artkit::ReadText(roots.source / "data/music/titles.txt", text)) return 1;
  captions::TrackTitles titles;
  if (!captions::ParseTrackTitles(text, titles, error)) {
    std::fprintf(stderr, "titles.txt: %s\n", error.c_str());
    return 1;
  }

  std::vector<uint16_t> image(kSize * kSize, kBackground);
  artkit::RgbaImage preview(kPreviewWidth * kPreviewScale, captions::kTrackCount * (kCaptionPitch + 2) * kPreviewScale);
  for (int track = 0; track < captions::kTrackCount; ++track) {
    const int width = 4 * kWidths[track];
    std::vector<std::string> words = {"NOW", "PLAYING"};
    for (const std::string& word : Words(titles.titles[track])) words.push_back(word);
    // The musician is named when the width has room for it with gaps as wide as elsewhere.
    std::vector<std::string> credited = words;
    credited.push_back("BY");
    credited.push_back(titles.handle);
    captions::CaptionLayout layout;
    if (!captions::LayOutCaption(credited, width, layout, error) && !captions::LayOutCaption(words, width, layout, error)) {
      std::fprintf(stderr, "captions: track %d does not fit %d columns: %s\n", track, width, error.c_str());
      return 1;
    }
    const int w = (layout.width + 3) / 4;
    if (w != kWidths[track] || layout.glyphs.empty() || layout.glyphs[0].x != 0) {
      std::fprintf(stderr, "captions: track %d lays out %d columns wide, which makes w %d, not %d\n", track,
                   layout.width, w, kWidths[track]);
      return 1;
    }
    for (const captions::PlacedGlyph& placed : layout.glyphs) {
      const captions::CaptionGlyph& glyph = *captions::CaptionGlyphOf(placed.character);
      for (int y = 0; y < captions::kFontHeight; ++y)
        for (int x = 0; x < glyph.width(); ++x)
          if (glyph.rows[y][x] == '#') image[(kCaptionPitch * track + 1 + y) * kSize + placed.x + x] = kLettering;
    }
    std::printf("caption %2d: %3d columns, gaps %d/%d/%d\n", track, layout.width, layout.leadingGap, layout.wordGap,
                layout.trailingGap);

    // Preview: the caption repeated every 4w columns as the ticker sets it, over a backdrop,
    // with a blank row above and below as the 9-pixel band shows.
    const int top = track * (kCaptionPitch + 2) * kPreviewScale;
    for (int y = 0; y < kCaptionPitch + 2; ++y) {
      for (int x = 0; x < kPreviewWidth; ++x) {
        artkit::Rgba c = PreviewBackdrop(x, y + track * 9);
        if (y > 0 && y <= kCaptionPitch) {
          const uint16_t texel = image[(kCaptionPitch * track + y - 1) * kSize + x % width];
          if (texel == kLettering) {
            c = {255, 255, 255, 255};
          } else {
            // Black at alpha 8/15 over the backdrop.
            c = {static_cast<uint8_t>(c.r * 7 / 15), static_cast<uint8_t>(c.g * 7 / 15), static_cast<uint8_t>(c.b * 7 / 15), 255};
          }
        }
        preview.FillRect(x * kPreviewScale, top + y * kPreviewScale, kPreviewScale, kPreviewScale, c);
      }
    }
  }

  std::vector<uint8_t> raw;
  raw.reserve(image.size() * 2);
  for (uint16_t texel : image) {
    raw.push_back(static_cast<uint8_t>(texel & 0xFF));
    raw.push_back(static_cast<uint8_t>(texel >> 8));
  }
  if (!artkit::WriteBytes(roots.output / "data/images/captions.raw", raw)) return 1;
  if (!artkit::WritePng(roots.output / "data/images/captions.png", preview)) return 1;
  return 0;
}
