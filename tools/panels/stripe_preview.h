// A review picture of the panels as the screen shows them: additive outlines, striped insides.
#pragma once

#include <cstdint>
#include <vector>

#include "panel_layout.h"
#include "rgba_image.h"

namespace panels {

// Draws all panels, two across, tiles 32 pixels wide at a 34-pixel row pitch as on screen, over
// a dark backdrop. `atlas` is the 128 by 128 A1R5G5B5 glyph atlas.
artkit::RgbaImage RenderPreview(const std::vector<Panel>& panels, const std::vector<uint16_t>& atlas);

}  // namespace panels
