// Writes an X8R8G8B8 frame as an RGB PNG file.
#include "png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitch) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    const uint32_t* from = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixels) + y * pitch);
    for (int x = 0; x < width; ++x) {
      row[3 * x] = static_cast<png_byte>(from[x] >> 16);
      row[3 * x + 1] = static_cast<png_byte>(from[x] >> 8);
      row[3 * x + 2] = static_cast<png_byte>(from[x]);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}
