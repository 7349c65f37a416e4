// The logo banner's pixels on a 640 by 480 screen: which of them show an opaque logo texel (and
// so do not depend on what is drawn behind the banner), and how two pictures differ there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The banner stretches texels 0..319 x 0..63 of the logo over screen pixels 0..639 x 0..127.
constexpr int kBannerWidth = 640;
constexpr int kBannerHeight = 128;

struct BannerPixel {
  int x;
  int y;
  uint32_t texel;  // X8R8G8B8 colour of the opaque logo texel this pixel shows
};

// The pixels whose texel, by Direct3D's point-sampling rule for the banner's quad (pixel centre
// (x, y), u = x * 0.625 / 640.5, texel floor(u * 512), likewise in v over 128.5 rows), is opaque.
// Empty when data/images/logo.raw cannot be read.
std::vector<BannerPixel> OpaqueBannerPixels(const std::string& logoRaw);

struct PictureDifference {
  long compared = 0;
  long differing = 0;  // pixels where any channel differs
  int maxChannel = 0;  // the largest difference of one channel, 0..255
  double meanChannel = 0.0;  // mean over the differing pixels of their largest channel difference
};

// Compares pictures a and b (X8R8G8B8, row widths given) at the given pixels.
PictureDifference Compare(const std::vector<BannerPixel>& pixels, const std::vector<uint32_t>& a, int aWidth,
                          const std::vector<uint32_t>& b, int bWidth);
// Compares picture a with the texels the pixels should show.
PictureDifference CompareWithTexels(const std::vector<BannerPixel>& pixels, const std::vector<uint32_t>& a,
                                    int aWidth);

// Reads an 8-bit RGB or RGBA PNG as X8R8G8B8; empty on failure.
std::vector<uint32_t> ReadPng(const std::string& path, int* width, int* height);
