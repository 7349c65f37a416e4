// Reading the panels' text layout into glyph codes.
#include "panel_layout.h"

#include <sstream>

namespace panels {

int GlyphCodeOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= '0' && c <= '9') return 26 + (c - '0');
  switch (c) {
    case ' ': return kEmptyCell;
    case '.': return 36;
    case ',': return 37;
    case '?': return 38;
    case '!': return 39;
    case '\'': return 40;
    case '*': return 41;  // star
    case '#': return 42;  // filled square
    case '@': return 43;  // filled disc
    case '>': return 44;  // arrow right
    case '<': return 45;  // arrow left
    case '}': return 46;  // small triangle
    case ':': return 47;
    case '[': return 48;
    case ']': return 49;
    case '^': return 50;  // large triangle
    default: return -1;
  }
}

bool ParsePanels(const std::string& text, std::vector<Panel>& panels, std::string& error) {
  panels.clear();
  std::istringstream in(text);
  std::string line;
  int lineNumber = 0;
  int row = kRows;  // rows still owed by the current panel; kRows when between panels
  auto fail = [&](const std::string& message) {
    error = "line " + std::to_string(lineNumber) + ": " + message;
    return false;
  };
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line.rfind("panel ", 0) == 0) {
      if (row != kRows) return fail("panel " + std::to_string(panels.size() - 1) + " has fewer than 9 rows");
      if (line != "panel " + std::to_string(panels.size()))
        return fail("expected \"panel " + std::to_string(panels.size()) + "\"");
      if (panels.size() == kPanelCount) return fail("more than 6 panels");
      panels.emplace_back();
      row = 0;
      continue;
    }
    if (line[0] != '|') return fail("expected a panel row between bars or \"panel N\"");
    if (panels.empty() || row == kRows) return fail("a row outside a panel");
    if (line.size() != kColumns + 2 || line.back() != '|') return fail("a row is 17 cells between two bars");
    for (int column = 0; column < kColumns; ++column) {
      int code = GlyphCodeOf(line[1 + column]);
      if (code < 0) return fail(std::string("no glyph for '") + line[1 + column] + "'");
      panels.back()[row * kColumns + column] = static_cast<uint8_t>(code);
    }
    ++row;
  }
  ++lineNumber;
  if (row != kRows) return fail("the last panel has fewer than 9 rows");
  if (panels.size() != kPanelCount) return fail("expected 6 panels, found " + std::to_string(panels.size()));
  return true;
}

}  // namespace panels
