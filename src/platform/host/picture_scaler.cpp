// Places and scales the back buffer in a window's client area.
#include "platform/host/picture_scaler.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace host {

PictureRect FitPicture(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight) {
  PictureRect rect;
  if (areaWidth <= 0 || areaHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return rect;
  if (static_cast<int64_t>(areaWidth) * pictureHeight > static_cast<int64_t>(areaHeight) * pictureWidth) {
    rect.height = areaHeight;
    rect.width = static_cast<int>(static_cast<int64_t>(areaHeight) * pictureWidth / pictureHeight);
  } else {
    rect.width = areaWidth;
    rect.height = static_cast<int>(static_cast<int64_t>(areaWidth) * pictureHeight / pictureWidth);
  }
  rect.x = (areaWidth - rect.width) / 2;
  rect.y = (areaHeight - rect.height) / 2;
  return rect;
}

void PictureScaler::Scale(const uint32_t* source, int sourceWidth, int sourceHeight, int sourcePitch,
                          uint32_t* target, int targetPitch, const PictureRect& rect) {
  if (rect.width <= 0 || rect.height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return;
  const auto* sourceBytes = reinterpret_cast<const uint8_t*>(source);
  auto* targetBytes = reinterpret_cast<uint8_t*>(target) + static_cast<std::ptrdiff_t>(rect.y) * targetPitch;
  const size_t rowBytes = static_cast<size_t>(rect.width) * 4;

  // Destination pixel d samples the source pixel whose cell holds d's centre:
  // floor((d + 1/2) * source / destination), which is d / k at a whole-number scale k.
  if (columnsFor_ != rect.width || columnsOf_ != sourceWidth) {
    columns_.resize(static_cast<size_t>(rect.width));
    for (int x = 0; x < rect.width; ++x) {
      columns_[static_cast<size_t>(x)] =
          static_cast<int>((2 * static_cast<int64_t>(x) + 1) * sourceWidth / (2 * static_cast<int64_t>(rect.width)));
    }
    columnsFor_ = rect.width;
    columnsOf_ = sourceWidth;
  }
  const int scale = rect.width % sourceWidth == 0 ? rect.width / sourceWidth : 0;

  int previousRow = -1;
  uint8_t* previousLine = nullptr;
  for (int y = 0; y < rect.height; ++y) {
    int sy = static_cast<int>((2 * static_cast<int64_t>(y) + 1) * sourceHeight / (2 * static_cast<int64_t>(rect.height)));
    uint8_t* line = targetBytes + static_cast<std::ptrdiff_t>(y) * targetPitch;
    auto* out = reinterpret_cast<uint32_t*>(line) + rect.x;
    if (sy == previousRow) {
      // A row drawn again at a larger scale: copy the line just made.
      std::memcpy(out, reinterpret_cast<uint32_t*>(previousLine) + rect.x, rowBytes);
      continue;
    }
    const auto* in = reinterpret_cast<const uint32_t*>(sourceBytes + static_cast<std::ptrdiff_t>(sy) * sourcePitch);
    if (scale == 1) {
      std::memcpy(out, in, rowBytes);
    } else if (scale == 2) {
      for (int x = 0; x < sourceWidth; ++x) out[2 * x] = out[2 * x + 1] = in[x];
    } else if (scale > 2) {
      for (int x = 0; x < sourceWidth; ++x) std::fill_n(out + x * scale, scale, in[x]);
    } else {
      for (int x = 0; x < rect.width; ++x) out[x] = in[columns_[static_cast<size_t>(x)]];
    }
    previousRow = sy;
    previousLine = line;
  }
}

}  // namespace host
