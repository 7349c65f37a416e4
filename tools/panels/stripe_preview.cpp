// The panels' review picture: each tile's outline texels added to a dark backdrop and its
// transparent insides filled with the scrolling colour stripes, caught at one moment.
#include "stripe_preview.h"

#include <algorithm>

namespace panels {
namespace {

constexpr int kTilePixels = 32;    // a 16-texel glyph doubled
constexpr int kRowPitch = 34;      // pixels from one tile row to the next
constexpr int kPanelWidth = kColumns * kTilePixels;  // 544
constexpr int kPanelHeight = kRows * kRowPitch;      // 306
constexpr int kMargin = 16;
constexpr int kStripeHeight = 6;   // pixels per colour band
constexpr int kBandLength = 39;    // ramp entries from dark through white back to dark

// The stripe colours: six runs from a dark primary through white and back.
artkit::Rgba StripeColour(int entry) {
  const int band = (entry / kBandLength) % 6;
  int i = entry % kBandLength;
  i = std::min(i, kBandLength - 1 - i);
  auto clamp = [](int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
  const uint8_t lead = clamp(0x22 + 0x11 * i), second = clamp(0x11 * (i - 1)), third = clamp(0x11 * (i - 4));
  switch (band) {
    case 0: return {third, second, lead, 255};
    case 1: return {lead, second, third, 255};
    case 2: return {second, lead, third, 255};
    case 3: return {second, third, lead, 255};
    case 4: return {lead, third, second, 255};
    default: return {third, lead, second, 255};
  }
}

void DrawPanel(artkit::RgbaImage& image, int left, int top, const Panel& panel, const std::vector<uint16_t>& atlas,
               int stripePhase) {
  for (int cell = 0; cell < kCellsPerPanel; ++cell) {
    const int code = panel[cell];
    if (code == kEmptyCell) continue;
    const int tileX = left + (cell % kColumns) * kTilePixels, tileY = top + (cell / kColumns) * kRowPitch;
    for (int py = 0; py < kTilePixels; ++py) {
      for (int px = 0; px < kTilePixels; ++px) {
        const int u = 16 * (code % 8) + px / 2, v = 17 * (code / 8) + py / 2;
        const uint16_t texel = atlas[v * 128 + u];
        const int x = tileX + px, y = tileY + py;
        artkit::Rgba d = image.Get(x, y);
        if (texel == 0x0000) {
          image.Set(x, y, StripeColour(stripePhase + (y - top) / kStripeHeight));
        } else {
          // Additive blend of the texel's 5-bit channels, as the outline pass adds them.
          auto add = [](uint8_t dc, int five) { return static_cast<uint8_t>(std::min(255, dc + (five << 3 | five >> 2))); };
          image.Set(x, y, {add(d.r, texel >> 10 & 31), add(d.g, texel >> 5 & 31), add(d.b, texel & 31), 255});
        }
      }
    }
  }
}

}  // namespace

artkit::RgbaImage RenderPreview(const std::vector<Panel>& panels, const std::vector<uint16_t>& atlas) {
  const int across = 2, down = (static_cast<int>(panels.size()) + 1) / 2;
  artkit::RgbaImage image(across * (kPanelWidth + kMargin) + kMargin, down * (kPanelHeight + kMargin) + kMargin);
  // A night-sky backdrop, dark enough for the added outlines to stand out as they do over most effects.
  for (int y = 0; y < image.height(); ++y) {
    const uint8_t blue = static_cast<uint8_t>(0x18 + 0x30 * y / image.height());
    image.FillRect(0, y, image.width(), 1, {0x08, 0x0A, blue, 255});
  }
  for (size_t p = 0; p < panels.size(); ++p) {
    const int left = kMargin + static_cast<int>(p % across) * (kPanelWidth + kMargin);
    const int top = kMargin + static_cast<int>(p / across) * (kPanelHeight + kMargin);
    DrawPanel(image, left, top, panels[p], atlas, static_cast<int>(p) * kBandLength);
  }
  return image;
}

}  // namespace panels
