// Glyph outlines from a TrueType font as polygon contours, for shapes we rasterise ourselves.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sample_mask.h"

namespace glyphatlas {

// The bounding box of a glyph's contours in font units, y up.
struct FontBox {
  double xMin = 0.0, yMin = 0.0, xMax = 0.0, yMax = 0.0;
};

class FontOutlineSource {
 public:
  FontOutlineSource();
  ~FontOutlineSource();
  FontOutlineSource(const FontOutlineSource&) = delete;
  FontOutlineSource& operator=(const FontOutlineSource&) = delete;

  // False (with a message on stderr) when the font cannot be opened.
  bool Open(const std::string& path);

  // The outline of `character` in unhinted font units (y up), thickened by `emboldenX` font units
  // in width and `emboldenY` in height (half on each side), with its curves flattened into short
  // lines. False when the font has no outline for it.
  bool Contours(char32_t character, double emboldenX, double emboldenY, std::vector<artkit::Contour>& contours,
                FontBox& box) const;

 private:
  struct Library;  // FreeType's handles, kept out of this header
  std::unique_ptr<Library> library_;
};

}  // namespace glyphatlas
