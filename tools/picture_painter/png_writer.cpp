// PNG output over libpng for the review pictures written beside each asset.
#include "png_writer.h"

#include <png.h>

#include <cstdio>

namespace painter {

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) {
  if (width <= 0 || height <= 0 || rgba.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
    std::fprintf(stderr, "png: %s: picture size does not match its pixels\n", path.c_str());
    return false;
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr)) {
    std::fprintf(stderr, "png: cannot write %s: %s\n", path.c_str(), image.message);
    png_image_free(&image);
    return false;
  }
  png_image_free(&image);
  return true;
}

std::vector<uint8_t> ScaleAndTile(const std::vector<uint8_t>& rgba, int width, int height, int scale, int tiles) {
  const int outW = width * scale * tiles;
  const int outH = height * scale * tiles;
  std::vector<uint8_t> out(static_cast<size_t>(outW) * static_cast<size_t>(outH) * 4);
  for (int y = 0; y < outH; ++y) {
    const int sy = (y / scale) % height;
    for (int x = 0; x < outW; ++x) {
      const int sx = (x / scale) % width;
      const size_t src = (static_cast<size_t>(sy) * static_cast<size_t>(width) + static_cast<size_t>(sx)) * 4;
      const size_t dst = (static_cast<size_t>(y) * static_cast<size_t>(outW) + static_cast<size_t>(x)) * 4;
      for (int ch = 0; ch < 4; ++ch) out[dst + ch] = rgba[src + ch];
    }
  }
  return out;
}

}  // namespace painter
