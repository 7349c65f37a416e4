// Windows icon files (.ico): several sizes of one picture, the small ones as 32-bit bitmaps with
// their transparency mask, the large ones as PNG, as Windows Vista and later read them.
#pragma once

#include <cstdint>
#include <vector>

#include "rgba_image.h"

namespace icon {

// Sizes from this one up are stored as PNG: a 256 by 256 bitmap would take 260 KiB.
constexpr int kFirstPngSize = 256;
// The largest size an .ico entry can state (its width byte 0 means 256).
constexpr int kMaxIcoSize = 256;

// The .ico bytes holding `images` in the given order; each square, 1 to 256 texels a side. False
// for an empty list, a size out of range or a failed PNG encoding.
bool EncodeIco(const std::vector<artkit::RgbaImage>& images, std::vector<uint8_t>* ico);

}  // namespace icon
