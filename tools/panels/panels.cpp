// Turns the message panels' text layout (tools/panels/panels.txt) into data/panels/panels.raw,
// six panels of 9 by 17 glyph codes, row-major, 0xFF for an empty cell; and a preview of them as
// shown on screen, drawn with the glyph atlas (data/images/glyph_atlas.raw).
// Usage: musidisk-panels <source root> <output root>
#include <cstdio>
#include <string>
#include <vector>

#include "byte_file.h"
#include "panel_layout.h"
#include "png_file.h"
#include "stripe_preview.h"
#include "tool_roots.h"

namespace {

constexpr size_t kAtlasBytes = 128 * 128 * 2;  // 128 by 128 texels of 16 bits

}  // namespace

int main(int argc, char** argv) {
  artkit::ToolRoots roots;
  if (!artkit::ParseToolRoots(argc, argv, roots)) return 2;

  std::string text, error;
  if (!artkit::ReadText(roots.source / "tools/panels/panels.txt", text)) return 1;
  std::vector<panels::Panel> layout;
  if (!panels::ParsePanels(text, layout, error)) {
    std::fprintf(stderr, "panels.txt %s\n", error.c_str());
    return 1;
  }
  std::vector<uint8_t> atlasBytes;
  if (!artkit::ReadBytes(roots.source / "data/images/glyph_atlas.raw", atlasBytes)) return 1;
  if (atlasBytes.size() != kAtlasBytes) {
    std::fprintf(stderr, "glyph_atlas.raw holds %zu bytes, not %zu\n", atlasBytes.size(), kAtlasBytes);
    return 1;
  }
  std::vector<uint16_t> atlas(kAtlasBytes / 2);
  for (size_t i = 0; i < atlas.size(); ++i) atlas[i] = static_cast<uint16_t>(atlasBytes[2 * i] | atlasBytes[2 * i + 1] << 8);

  std::vector<uint8_t> raw;
  for (const panels::Panel& panel : layout) raw.insert(raw.end(), panel.begin(), panel.end());
  if (!artkit::WriteBytes(roots.output / "data/panels/panels.raw", raw)) return 1;
  if (!artkit::WritePng(roots.output / "data/panels/panels.png", panels::RenderPreview(layout, atlas))) return 1;
  return 0;
}
