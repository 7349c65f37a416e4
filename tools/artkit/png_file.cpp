// PNG output of the art tools' review previews, through libpng.
#include "png_file.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <system_error>

namespace artkit {

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

}  // namespace

bool EncodePng(const RgbaImage& image, std::vector<uint8_t>* out) {
  out->clear();
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
    png_set_write_fn(png, out, &AppendBytes, &NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t stride = static_cast<size_t>(image.width()) * 4;
    for (int y = 0; y < image.height(); ++y)
      png_write_row(png, const_cast<png_bytep>(image.bytes().data() + stride * y));
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
  return ok;
}

bool WritePng(const std::filesystem::path& path, const RgbaImage& image) {
  std::vector<uint8_t> bytes;
  bool ok = EncodePng(image, &bytes);
  if (ok) {
    std::error_code error;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), error);
    FILE* file = std::fopen(path.string().c_str(), "wb");
    ok = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file != nullptr && std::fclose(file) != 0) ok = false;
  }
  if (!ok) std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
  return ok;
}

}  // namespace artkit
