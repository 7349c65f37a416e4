// A supersampled coverage mask: shapes are filled at several samples per texel and then read
// back as texel coverage, so hard-edged art can still place its edges precisely.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace artkit {

// A point in texel units: (0, 0) is the top-left corner of texel (0, 0), y grows downwards.
struct Point {
  double x = 0.0;
  double y = 0.0;
};
using Contour = std::vector<Point>;

class SampleMask {
 public:
  // width x height texels, `factor` x `factor` samples each; sample (sx, sy) sits at texel
  // coordinates ((sx + 0.5) / factor, (sy + 0.5) / factor).
  SampleMask(int width, int height, int factor);

  int width() const { return width_; }
  int height() const { return height_; }
  int factor() const { return factor_; }
  int sampleWidth() const { return width_ * factor_; }
  int sampleHeight() const { return height_ * factor_; }

  bool At(int sx, int sy) const;
  void Set(int sx, int sy, bool value);

  // Sets (or clears) every sample inside the contours, taken together under the nonzero winding
  // rule, so a contour wound the other way cuts a hole.
  void Fill(const std::vector<Contour>& contours, bool value = true);
  // Fraction 0..1 of texel (x, y)'s samples that are set; 0 outside the mask.
  double Coverage(int x, int y) const;
  bool Empty() const;

  // Every sample within `radius` texels of a set sample.
  SampleMask Dilated(double radius) const;
  // The mask moved by (dx, dy) samples; what moves in from outside is clear.
  SampleMask Shifted(int dx, int dy) const;
  void Unite(const SampleMask& other);
  void Subtract(const SampleMask& other);

 private:
  int width_;
  int height_;
  int factor_;
  std::vector<uint8_t> samples_;  // 1 set, 0 clear, row-major over sampleWidth x sampleHeight
};

// Contour helpers, all in texel units.
Contour RectContour(double x0, double y0, double x1, double y1);
// A regular polygon approximating a circle, `segments` corners, wound like RectContour.
Contour CircleContour(double cx, double cy, double radius, int segments = 64);
// The same contour wound the other way round (a hole under the nonzero rule).
Contour Reversed(Contour contour);

}  // namespace artkit
