// The logo's letterforms. Stems are 0.27 of the letter height and bars 0.24, chamfered corners
// instead of curves, so the letters stay solid blocks when they are only 44 texels high.
#include "logo_letters.h"

namespace logo {
namespace {

using artkit::Contour;
using artkit::RectContour;
using artkit::Reversed;

constexpr double kStem = 0.27;  // upright stroke width
constexpr double kBar = 0.24;   // horizontal stroke height

}  // namespace

bool LetterShapeOf(char letter, LetterShape& shape) {
  switch (letter) {
    case 'T':
      shape.width = 0.92;
      shape.contours = {{{0.0, 0.0}, {0.92, 0.0}, {0.92, kBar}, {0.46 + kStem / 2, kBar}, {0.46 + kStem / 2, 1.0},
                         {0.46 - kStem / 2, 1.0}, {0.46 - kStem / 2, kBar}, {0.0, kBar}}};
      return true;
    case 'A':
      // A block A: chamfered top, crossbar, open legs.
      shape.width = 0.96;
      shape.contours = {{{0.22, 0.0}, {0.74, 0.0}, {0.96, 0.22}, {0.96, 1.0}, {0.96 - kStem, 1.0}, {0.96 - kStem, 0.74},
                         {kStem, 0.74}, {kStem, 1.0}, {0.0, 1.0}, {0.0, 0.22}},
                        Reversed(RectContour(kStem, kBar, 0.96 - kStem, 0.74 - kBar))};
      return true;
    case 'R':
      // The A's bowl with a leg kicked out to the right.
      shape.width = 0.98;
      shape.contours = {{{0.0, 0.0}, {0.74, 0.0}, {0.96, 0.22}, {0.96, 0.52}, {0.84, 0.64}, {0.98, 1.0},
                         {0.98 - kStem - 0.02, 1.0}, {0.55, 0.74}, {kStem, 0.74}, {kStem, 1.0}, {0.0, 1.0}},
                        Reversed(RectContour(kStem, kBar, 0.96 - kStem, 0.74 - kBar))};
      return true;
    case 'N':
      shape.width = 0.96;
      shape.contours = {{{0.0, 0.0}, {kStem, 0.0}, {0.96 - kStem, 0.56}, {0.96 - kStem, 0.0}, {0.96, 0.0}, {0.96, 1.0},
                         {0.96 - kStem, 1.0}, {kStem, 0.44}, {kStem, 1.0}, {0.0, 1.0}}};
      return true;
    case 'V':
      shape.width = 0.98;
      shape.contours = {{{0.0, 0.0}, {0.29, 0.0}, {0.49, 0.64}, {0.69, 0.0}, {0.98, 0.0}, {0.64, 1.0}, {0.34, 1.0}}};
      return true;
    case 'I':
      shape.width = kStem;
      shape.contours = {RectContour(0.0, 0.0, kStem, 1.0)};
      return true;
    case 'K':
      shape.width = 0.96;
      shape.contours = {{{0.0, 0.0}, {kStem, 0.0}, {kStem, 0.38}, {0.62, 0.0}, {0.96, 0.0}, {0.5, 0.47}, {0.97, 1.0},
                         {0.63, 1.0}, {0.33, 0.66}, {kStem, 0.72}, {kStem, 1.0}, {0.0, 1.0}}};
      return true;
    default:
      return false;
  }
}

}  // namespace logo
