// Test helper: a memory DC with a font and a 32-bit DIB section, made and deleted through the GDI
// calls in the order the effects use them (font and bitmap deleted before the DC).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>
#include <utility>

class TextCanvas {
 public:
  TextCanvas() : dc_(CreateCompatibleDC(nullptr)) {}
  ~TextCanvas() {
    if (font_ != nullptr) DeleteObject(font_);
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  TextCanvas(const TextCanvas&) = delete;
  TextCanvas& operator=(const TextCanvas&) = delete;

  // CreateFontA with the effects' arguments apart from face, height and weight.
  bool UseFont(const char* face, int height, int weight) {
    font_ = CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, VARIABLE_PITCH, face);
    if (font_ == nullptr) return false;
    SetMapMode(dc_, MM_TEXT);
    SelectObject(dc_, font_);
    SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    return true;
  }

  SIZE Measure(std::string_view text) {
    SIZE size{-1, -1};
    GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
    return size;
  }

  // A DIB of width by |height| (height > 0: rows bottom-up in memory), selected into the DC, with
  // white text on black as the masks use.
  uint32_t* MakeDib(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap_ == nullptr) return nullptr;
    SelectObject(dc_, bitmap_);
    SetTextColor(dc_, 0x00FFFFFF);
    SetBkColor(dc_, 0);
    width_ = width;
    height_ = height < 0 ? -height : height;
    bits_ = static_cast<uint32_t*>(bits);
    return bits_;
  }

  BOOL Draw(std::string_view text, int x = 0, int y = 0) {
    return ExtTextOutA(dc_, x, y, ETO_OPAQUE | ETO_CLIPPED, nullptr, text.data(), static_cast<UINT>(text.size()),
                       nullptr);
  }

  // Memory rows (0 = first in memory) holding at least one non-zero pixel, as {first, last};
  // {-1, -1} when nothing is lit.
  std::pair<int, int> LitMemoryRows() const {
    int first = -1, last = -1;
    for (int r = 0; r < height_; ++r) {
      for (int x = 0; x < width_; ++x) {
        if (bits_[r * width_ + x] != 0) {
          if (first < 0) first = r;
          last = r;
          break;
        }
      }
    }
    return {first, last};
  }

  HDC dc() const { return dc_; }
  uint32_t* bits() const { return bits_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  HDC dc_;
  HFONT font_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};
