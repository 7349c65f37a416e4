// Storage and border clearing for the painters' linear-light canvas.
#include "linear_image.h"

namespace painter {

LinearImage::LinearImage(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * static_cast<size_t>(height)) {}

void LinearImage::ClearBorder(int rings) {
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      if (x < rings || y < rings || x >= width_ - rings || y >= height_ - rings) At(x, y) = Vec3();
    }
  }
}

}  // namespace painter
