// Places and scales the back buffer in a window's client area.
#include "platform/host/picture_scaler.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace host {

namespace {

// The whole-number scale 2, the common one (a 640x480 picture on a 1280x1024 screen): each source
// row is written straight into both its target rows. The window surface is the X server's shared
// memory, read by nobody here: streaming stores skip reading each line into the cache first,
// which otherwise costs more than the scaling itself.
void DoubleRow(const uint32_t* in, int count, uint32_t* out0, uint32_t* out1) {
  int x = 0;
#if defined(__SSE2__)
  if (((reinterpret_cast<uintptr_t>(out0) | reinterpret_cast<uintptr_t>(out1)) & 15) == 0) {
    for (; x + 4 <= count; x += 4) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
      const __m128i low = _mm_unpacklo_epi32(v, v);
      const __m128i high = _mm_unpackhi_epi32(v, v);
      _mm_stream_si128(reinterpret_cast<__m128i*>(out0 + 2 * x), low);
      _mm_stream_si128(reinterpret_cast<__m128i*>(out0 + 2 * x + 4), high);
      _mm_stream_si128(reinterpret_cast<__m128i*>(out1 + 2 * x), low);
      _mm_stream_si128(reinterpret_cast<__m128i*>(out1 + 2 * x + 4), high);
    }
  }
#endif
  for (; x < count; ++x) out0[2 * x] = out0[2 * x + 1] = out1[2 * x] = out1[2 * x + 1] = in[x];
}

}  // namespace

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

  if (scale == 2) {
    for (int sy = 0; sy < sourceHeight; ++sy) {
      const auto* in = reinterpret_cast<const uint32_t*>(sourceBytes + static_cast<std::ptrdiff_t>(sy) * sourcePitch);
      uint8_t* line = targetBytes + static_cast<std::ptrdiff_t>(2 * sy) * targetPitch;
      DoubleRow(in, sourceWidth, reinterpret_cast<uint32_t*>(line) + rect.x,
                reinterpret_cast<uint32_t*>(line + targetPitch) + rect.x);
    }
#if defined(__SSE2__)
    // The streamed lines are in memory before anyone is told the picture is there.
    _mm_sfence();
#endif
    return;
  }

  int previousRow = -1;
  uint8_t* previousLine = nullptr;
  for (int y = 0; y < rect.height; ++y) {
    int sy = static_cast<int>((2 * static_cast<int64_t>(y) + 1) * sourceHeight / (2 * static_cast<int64_t>(rect.height)));
    uint8_t* line = targetBytes + static_cast<std::ptrdiff_t>(y) * targetPitch;
    auto* out = reinterpret_cast<uint32_t*>(line) + rect.x;
    const auto* in = reinterpret_cast<const uint32_t*>(sourceBytes + static_cast<std::ptrdiff_t>(sy) * sourcePitch);
    if (scale == 1) {
      std::memcpy(out, in, rowBytes);
    } else if (scale > 2 && sy == previousRow) {
      // A row drawn again at a larger whole scale: copy the line just made.
      std::memcpy(out, reinterpret_cast<uint32_t*>(previousLine) + rect.x, rowBytes);
    } else if (scale > 2) {
      for (int x = 0; x < sourceWidth; ++x) std::fill_n(out + x * scale, scale, in[x]);
      previousRow = sy;
      previousLine = line;
    } else {
      // Other scales: every line straight from the source, streamed past the cache as at 2x.
      for (int x = 0; x < rect.width; ++x) {
        uint32_t pixel = in[columns_[static_cast<size_t>(x)]];
#if defined(__SSE2__)
        _mm_stream_si32(reinterpret_cast<int*>(out + x), static_cast<int>(pixel));
#else
        out[x] = pixel;
#endif
      }
    }
  }
#if defined(__SSE2__)
  _mm_sfence();
#endif
}

}  // namespace host
