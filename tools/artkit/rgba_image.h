// An 8-bit RGBA picture in memory: the working surface of the art tools and their previews.
#pragma once

#include <cstdint>
#include <vector>

namespace artkit {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 0;
};

class RgbaImage {
 public:
  RgbaImage(int width, int height, Rgba fill = {});

  int width() const { return width_; }
  int height() const { return height_; }
  // Texels in R, G, B, A byte order, row-major, rows top to bottom.
  const std::vector<uint8_t>& bytes() const { return bytes_; }

  Rgba Get(int x, int y) const;
  // Writes outside the picture are dropped, so callers can draw shapes that overhang the edges.
  void Set(int x, int y, Rgba colour);
  void FillRect(int x, int y, int w, int h, Rgba colour);
  // Draws `source` at (x, y), each texel as a factor x factor block, blended over by its alpha.
  void Draw(const RgbaImage& source, int x, int y, int factor = 1);

 private:
  int width_;
  int height_;
  std::vector<uint8_t> bytes_;
};

// A checkerboard of `cell` texels in two colours, the usual backdrop that shows transparency.
RgbaImage Checkerboard(int width, int height, int cell, Rgba light = {0x99, 0x99, 0x99, 0xFF},
                       Rgba dark = {0x66, 0x66, 0x66, 0xFF});

}  // namespace artkit
