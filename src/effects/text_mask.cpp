// Text masks drawn through GDI.
#include "effects/text_mask.h"

#include <windows.h>

#include <new>

namespace {

constexpr COLORREF kTextColour = 0x00FFFFFF;  // white: lit pixels read 0x00FFFFFF
constexpr COLORREF kBackColour = 0x00000000;  // black: dark pixels read 0
constexpr DWORD kBitmapInfoHeaderSize = 40;

HFONT CreateMaskFont(const TextMaskRecipe& recipe) {
  for (int f = 0; f < recipe.source.faceCount; ++f) {
    HFONT font = CreateFontA(recipe.fontHeight, 0, 0, 0, recipe.fontWeight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, VARIABLE_PITCH,
                             recipe.source.faces[f]);
    if (font != nullptr) return font;
  }
  return nullptr;
}

// The mask bytes from the drawn image, or null when the memory is not there.
std::unique_ptr<uint8_t[]> CopyMask(const TextMaskRecipe& recipe, const uint32_t* pixels, int width, int height) {
  size_t maskSize = static_cast<size_t>(recipe.maskRows) * static_cast<size_t>(width);
  std::unique_ptr<uint8_t[]> mask(new (std::nothrow) uint8_t[maskSize]);
  if (mask == nullptr) return mask;
  if (!recipe.searchLitRows) {
    // The DIB is exactly maskRows high.
    for (size_t k = 0; k < maskSize; ++k) mask[k] = pixels[k] != 0 ? 0xFF : 0x00;
    return mask;
  }
  int start = MaskStartRow(FindLitRows(pixels, width, height), recipe.maskRows);
  // Rows at or past the top of the image (a text with nothing lit, or lit only in its top rows)
  // are not there to copy: they stay dark.
  size_t available = static_cast<size_t>(height - start) * static_cast<size_t>(width);
  const uint32_t* source = pixels + static_cast<size_t>(start) * static_cast<size_t>(width);
  for (size_t k = 0; k < maskSize; ++k) mask[k] = k < available ? static_cast<uint8_t>(source[k] & 0xFF) : 0x00;
  return mask;
}

}  // namespace

int MaskWidthFor(int textWidth) {
  int width = 1;
  while (width < textWidth) {
    if (width >= kMaxMaskWidth) return 0;
    width *= 2;
  }
  return width;
}

LitRows FindLitRows(const uint32_t* pixels, int width, int height) {
  LitRows rows{height - 1, 0};
  for (int r = 0; r < height; ++r) {
    const uint32_t* row = pixels + static_cast<size_t>(r) * static_cast<size_t>(width);
    for (int x = 0; x < width; ++x) {
      if (row[x] == 0) continue;
      if (r < rows.first) {
        rows.first = r;
      } else if (r > rows.last) {
        rows.last = r;
      }
    }
  }
  return rows;
}

int MaskStartRow(LitRows rows, int maskRows) {
  return rows.last - rows.first <= maskRows ? rows.first : rows.last - maskRows;
}

TextMask BuildTextMask(const TextMaskRecipe& recipe) {
  TextMask result;
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) return result;
  HFONT font = CreateMaskFont(recipe);
  if (font == nullptr) {
    DeleteDC(dc);
    return result;
  }
  SetMapMode(dc, MM_TEXT);
  SelectObject(dc, font);
  SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);

  HBITMAP bitmap = nullptr;
  SIZE extent{0, 0};
  if (GetTextExtentPoint32A(dc, recipe.source.text, recipe.source.length, &extent)) {
    int width = MaskWidthFor(extent.cx);
    int height = recipe.searchLitRows ? extent.cy : recipe.maskRows;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = kBitmapInfoHeaderSize;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: rows bottom-up in memory
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    // A zero width (a text too wide for any mask) or height is refused here.
    if (width > 0 && height > 0) bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr && bits != nullptr) {
      SelectObject(dc, bitmap);
      SetTextColor(dc, kTextColour);
      SetBkColor(dc, kBackColour);
      ExtTextOutA(dc, 0, 0, ETO_OPAQUE | ETO_CLIPPED, nullptr, recipe.source.text,
                  static_cast<UINT>(recipe.source.length), nullptr);
      result.bytes = CopyMask(recipe, static_cast<const uint32_t*>(bits), width, height);
      if (result.bytes != nullptr) result.width = width;
    }
  }

  DeleteObject(font);
  if (bitmap != nullptr) DeleteObject(bitmap);
  DeleteDC(dc);
  return result;
}
