// The message panels as glyph codes, read from their readable text layout.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace panels {

constexpr int kPanelCount = 6;
constexpr int kRows = 9;
constexpr int kColumns = 17;
constexpr int kCellsPerPanel = kRows * kColumns;  // 153 bytes a panel
constexpr uint8_t kEmptyCell = 0xFF;

using Panel = std::array<uint8_t, kCellsPerPanel>;  // row-major glyph codes

// The glyph code a layout character stands for, or -1 when it stands for none; a space is an
// empty cell.
int GlyphCodeOf(char character);

// Parses the layout text: comment lines start with ';', each panel is a "panel N" line (N counting
// up from 0) followed by 9 rows of 17 characters between bars. False with a message naming the
// line when the text breaks these rules.
bool ParsePanels(const std::string& text, std::vector<Panel>& panels, std::string& error);

}  // namespace panels
