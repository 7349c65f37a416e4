// A picture of linear-light RGB floats that the painters fill and the quantiser turns into texels.
#pragma once

#include <vector>

#include "vec3.h"

namespace painter {

class LinearImage {
 public:
  LinearImage(int width, int height);

  // Fills every pixel with the mean of supersample x supersample samples of paint(x, y), where x and y
  // run from -1 (left, top) to +1 (right, bottom) across the whole picture. Averaging happens in
  // linear light, so soft edges keep their true brightness.
  template <typename Painter>
  void PaintSupersampled(int supersample, const Painter& paint) {
    const float inverse = 1.0f / static_cast<float>(supersample * supersample);
    for (int py = 0; py < height_; ++py) {
      for (int px = 0; px < width_; ++px) {
        Vec3 sum;
        for (int sy = 0; sy < supersample; ++sy) {
          for (int sx = 0; sx < supersample; ++sx) {
            const float fx = (static_cast<float>(px * supersample + sx) + 0.5f) / static_cast<float>(width_ * supersample);
            const float fy = (static_cast<float>(py * supersample + sy) + 0.5f) / static_cast<float>(height_ * supersample);
            sum += paint(fx * 2.0f - 1.0f, fy * 2.0f - 1.0f);
          }
        }
        At(px, py) = sum * inverse;
      }
    }
  }

  // Sets the outermost `rings` rows and columns to exact black so repeated tiles meet on black.
  void ClearBorder(int rings);

  int width() const { return width_; }
  int height() const { return height_; }
  Vec3& At(int x, int y) { return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)]; }
  const Vec3& At(int x, int y) const {
    return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
  }

 private:
  int width_;
  int height_;
  std::vector<Vec3> pixels_;  // rows top to bottom, linear light, 1.0 = full channel
};

}  // namespace painter
