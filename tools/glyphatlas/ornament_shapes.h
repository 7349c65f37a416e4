// Our own shapes for the atlas's ornaments, arrows and marks, drawn in a glyph cell's texel units.
#pragma once

#include <vector>

#include "sample_mask.h"

namespace glyphatlas {

// The contours of glyph `code` when it is one of our own shapes (star, square, disc, arrows,
// triangles, colon); empty for glyphs that come from the font.
std::vector<artkit::Contour> OrnamentContours(int code);

}  // namespace glyphatlas
