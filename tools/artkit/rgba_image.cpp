// An 8-bit RGBA picture in memory.
#include "rgba_image.h"

#include <cstddef>

namespace artkit {

RgbaImage::RgbaImage(int width, int height, Rgba fill)
    : width_(width), height_(height), bytes_(static_cast<size_t>(width) * height * 4) {
  FillRect(0, 0, width, height, fill);
}

Rgba RgbaImage::Get(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  const uint8_t* p = &bytes_[(static_cast<size_t>(y) * width_ + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

void RgbaImage::Set(int x, int y, Rgba colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  uint8_t* p = &bytes_[(static_cast<size_t>(y) * width_ + x) * 4];
  p[0] = colour.r;
  p[1] = colour.g;
  p[2] = colour.b;
  p[3] = colour.a;
}

void RgbaImage::FillRect(int x, int y, int w, int h, Rgba colour) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) Set(i, j, colour);
}

void RgbaImage::Draw(const RgbaImage& source, int x, int y, int factor) {
  for (int sy = 0; sy < source.height(); ++sy) {
    for (int sx = 0; sx < source.width(); ++sx) {
      Rgba s = source.Get(sx, sy);
      for (int dy = 0; dy < factor; ++dy) {
        for (int dx = 0; dx < factor; ++dx) {
          int tx = x + sx * factor + dx, ty = y + sy * factor + dy;
          Rgba d = Get(tx, ty);
          auto mix = [&](uint8_t sc, uint8_t dc) {
            return static_cast<uint8_t>((sc * s.a + dc * (255 - s.a) + 127) / 255);
          };
          Set(tx, ty, {mix(s.r, d.r), mix(s.g, d.g), mix(s.b, d.b), static_cast<uint8_t>(s.a + d.a * (255 - s.a) / 255)});
        }
      }
    }
  }
}

RgbaImage Checkerboard(int width, int height, int cell, Rgba light, Rgba dark) {
  RgbaImage image(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.Set(x, y, ((x / cell + y / cell) % 2) ? light : dark);
  return image;
}

}  // namespace artkit
