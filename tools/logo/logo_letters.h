// The letterforms of the TARNVIK logo: blocky, angular capitals as polygons.
#pragma once

#include <string>
#include <vector>

#include "sample_mask.h"

namespace logo {

// One letter in design units: height 1 (y 0 at the top, 1 on the baseline), x from 0 to `width`.
struct LetterShape {
  double width = 0.0;
  std::vector<artkit::Contour> contours;
};

// The shape of capital `letter`; false for letters the logo does not need.
bool LetterShapeOf(char letter, LetterShape& shape);

}  // namespace logo
