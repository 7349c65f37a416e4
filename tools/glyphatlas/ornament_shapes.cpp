// The ornaments, arrows and marks of the glyph atlas. All sit inside the 16 by 16 cell with their
// strokes at least five texels thick, so an interior of three texels is left for the stripes.
#include "ornament_shapes.h"

#include <cmath>
#include <numbers>

namespace glyphatlas {
namespace {

using artkit::Contour;

// Glyph codes of the shapes drawn here.
constexpr int kStar = 41;
constexpr int kSquare = 42;
constexpr int kDisc = 43;
constexpr int kArrowRight = 44;
constexpr int kArrowLeft = 45;
constexpr int kSmallTriangle = 46;
constexpr int kColon = 47;
constexpr int kLargeTriangle = 50;

// A five-pointed star with one point up. The inner radius is half the outer one, fatter than a
// geometric star, so the centre keeps a good patch of stripes.
Contour Star(double cx, double cy, double outer, double inner) {
  Contour star;
  for (int i = 0; i < 10; ++i) {
    double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
    double r = (i % 2 == 0) ? outer : inner;
    star.push_back({cx + r * std::cos(angle), cy + r * std::sin(angle)});
  }
  return star;
}

Contour MirroredX(Contour contour) {
  for (artkit::Point& p : contour) p.x = 16.0 - p.x;
  return artkit::Reversed(contour);
}

Contour RightArrow() {
  // Shaft from the left edge into the head, head as tall as the cell, tip at the right edge.
  return {{1.0, 5.0}, {8.0, 5.0}, {8.0, 1.0}, {15.5, 8.0}, {8.0, 15.0}, {8.0, 11.0}, {1.0, 11.0}};
}

}  // namespace

std::vector<Contour> OrnamentContours(int code) {
  switch (code) {
    case kStar:
      return {Star(8.0, 8.7, 8.3, 4.2)};
    case kSquare:
      return {artkit::RectContour(1.5, 1.5, 14.5, 14.5)};
    case kDisc:
      return {artkit::CircleContour(8.0, 8.0, 6.9)};
    case kArrowRight:
      return {RightArrow()};
    case kArrowLeft:
      return {MirroredX(RightArrow())};
    case kSmallTriangle:  // a small play sign
      return {{{3.5, 2.0}, {14.0, 8.0}, {3.5, 14.0}}};
    case kColon:
      return {artkit::RectContour(5.5, 3.0, 10.5, 8.0), artkit::RectContour(5.5, 10.5, 10.5, 15.5)};
    case kLargeTriangle:  // pointing up, filling the cell
      return {{{8.0, 0.5}, {15.5, 15.5}, {0.5, 15.5}}};
    default:
      return {};
  }
}

}  // namespace glyphatlas
