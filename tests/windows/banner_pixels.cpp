// The logo banner's opaque pixels and picture comparison.
#include "banner_pixels.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

constexpr int kLogoWidth = 512;
constexpr int kLogoHeight = 64;
// The banner quad's right and bottom edges and texture extent.
constexpr double kQuadRight = 640.5;
constexpr double kQuadBottom = 128.5;
constexpr double kURight = 0.625;

int MaxChannelDifference(uint32_t p, uint32_t q) {
  int most = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    most = std::max(most, std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF)));
  }
  return most;
}

template <typename Expected>
PictureDifference CompareWith(const std::vector<BannerPixel>& pixels, const std::vector<uint32_t>& a, int aWidth,
                              Expected expected) {
  PictureDifference d;
  double sum = 0.0;
  for (const BannerPixel& p : pixels) {
    size_t at = static_cast<size_t>(p.y) * aWidth + p.x;
    if (at >= a.size()) continue;
    ++d.compared;
    int diff = MaxChannelDifference(a[at], expected(p));
    if (diff == 0) continue;
    ++d.differing;
    d.maxChannel = std::max(d.maxChannel, diff);
    sum += diff;
  }
  d.meanChannel = d.differing > 0 ? sum / d.differing : 0.0;
  return d;
}

}  // namespace

std::vector<BannerPixel> OpaqueBannerPixels(const std::string& logoRaw) {
  std::ifstream in(logoRaw, std::ios::binary);
  std::vector<unsigned char> texels((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<BannerPixel> pixels;
  if (texels.size() != static_cast<size_t>(kLogoWidth) * kLogoHeight * 4) return pixels;
  for (int y = 0; y < kBannerHeight; ++y) {
    const int ty = static_cast<int>(std::floor(y / kQuadBottom * kLogoHeight));
    for (int x = 0; x < kBannerWidth; ++x) {
      const int tx = static_cast<int>(std::floor(x * kURight / kQuadRight * kLogoWidth));
      const unsigned char* t = &texels[(static_cast<size_t>(ty) * kLogoWidth + tx) * 4];  // B G R A
      if (t[3] != 255) continue;
      pixels.push_back({x, y, (static_cast<uint32_t>(t[2]) << 16) | (static_cast<uint32_t>(t[1]) << 8) | t[0]});
    }
  }
  return pixels;
}

PictureDifference Compare(const std::vector<BannerPixel>& pixels, const std::vector<uint32_t>& a, int aWidth,
                          const std::vector<uint32_t>& b, int bWidth) {
  return CompareWith(pixels, a, aWidth, [&](const BannerPixel& p) {
    size_t at = static_cast<size_t>(p.y) * bWidth + p.x;
    return at < b.size() ? b[at] : 0xFFFFFFFFu;
  });
}

PictureDifference CompareWithTexels(const std::vector<BannerPixel>& pixels, const std::vector<uint32_t>& a,
                                    int aWidth) {
  return CompareWith(pixels, a, aWidth, [](const BannerPixel& p) { return p.texel; });
}

std::vector<uint32_t> ReadPng(const std::string& path, int* width, int* height) {
  std::vector<uint32_t> pixels;
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return pixels;
  image.format = PNG_FORMAT_BGRA;
  std::vector<uint32_t> buffer(static_cast<size_t>(image.width) * image.height);
  if (!png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr)) return pixels;
  *width = static_cast<int>(image.width);
  *height = static_cast<int>(image.height);
  // BGRA bytes in memory are a little-endian A8R8G8B8 word; the alpha byte is dropped.
  for (uint32_t& p : buffer) p &= 0x00FFFFFFu;
  return buffer;
}
