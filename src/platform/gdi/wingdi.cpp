// The GDI calls over the handle table and the baked faces: memory DCs that draw text into 32-bit
// DIB sections, pixels exactly the text or the background colour.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <utility>

#include "platform/gdi/baked_font.h"
#include "platform/gdi/gdi_object_table.h"

using gdi::GdiObject;
using gdi::ObjectKind;
using gdi::Objects;

namespace {

// The largest pixel memory a DIB section may have: its size must fit a DWORD-sized image, as on
// the real API, and stay well inside what one allocation can give.
constexpr uint64_t kMaxDibBytes = 0x7FFFFFFFu;
constexpr DWORD kBitmapInfoHeaderSize = 40;

uintptr_t Value(const void* handle) { return reinterpret_cast<uintptr_t>(handle); }

template <typename Handle>
Handle HandleOf(uintptr_t value) {
  return reinterpret_cast<Handle>(value);
}

GdiObject* FindDc(HDC dc) { return Objects().Find(Value(dc), ObjectKind::DeviceContext); }

ObjectKind KindOf(uintptr_t handle) { return static_cast<ObjectKind>(handle & 3); }

// A COLORREF (0x00BBGGRR) as a 32-bit BI_RGB pixel (blue in the lowest byte, top byte 0).
uint32_t PixelOf(COLORREF colour) {
  uint32_t red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
  return (red << 16) | (green << 8) | blue;
}

const gdi::BakedFace& FaceOf(const GdiObject& dc) { return *Objects().FindHeld(dc.dc.font)->font.face; }

}  // namespace

HDC WINAPI CreateCompatibleDC(HDC dc) {
  if (dc != nullptr && FindDc(dc) == nullptr) return nullptr;
  gdi::GdiObjectTable& table = Objects();
  GdiObject context;
  context.kind = ObjectKind::DeviceContext;
  context.dc.font = table.StockFont();
  context.dc.bitmap = table.StockBitmap();
  ++table.FindHeld(table.StockFont())->selectCount;
  ++table.FindHeld(table.StockBitmap())->selectCount;
  return HandleOf<HDC>(table.Add(std::move(context)));
}

BOOL WINAPI DeleteDC(HDC dc) {
  GdiObject* context = FindDc(dc);
  if (context == nullptr) return FALSE;
  uintptr_t font = context->dc.font;
  uintptr_t bitmap = context->dc.bitmap;
  Objects().Delete(Value(dc), ObjectKind::DeviceContext);
  Objects().Unselect(font);
  Objects().Unselect(bitmap);
  return TRUE;
}

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strikeOut, DWORD charSet, DWORD, DWORD, DWORD,
                         DWORD pitchAndFamily, LPCSTR faceName) {
  // Precisions and quality change nothing: the baked faces have one rendering, without
  // anti-aliasing, which is what NONANTIALIASED_QUALITY asks for.
  gdi::FontRequest request{height,         width,         escapement, orientation, weight, italic != 0,
                           underline != 0, strikeOut != 0, charSet,    pitchAndFamily, faceName};
  const gdi::BakedFace* face = gdi::MatchBakedFace(request);
  if (face == nullptr) return nullptr;
  GdiObject font;
  font.kind = ObjectKind::Font;
  font.font.face = face;
  return HandleOf<HFONT>(Objects().Add(std::move(font)));
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
  GdiObject* context = FindDc(dc);
  uintptr_t value = Value(object);
  ObjectKind kind = KindOf(value);
  if (context == nullptr || (kind != ObjectKind::Font && kind != ObjectKind::Bitmap)) return nullptr;
  GdiObject* selected = Objects().Find(value, kind);
  if (selected == nullptr) return nullptr;
  uintptr_t& slot = kind == ObjectKind::Font ? context->dc.font : context->dc.bitmap;
  uintptr_t previous = slot;
  if (previous == value) return object;
  // A bitmap is the drawing surface of at most one DC at a time; only the stock one is shared.
  if (kind == ObjectKind::Bitmap && !selected->stock && selected->selectCount > 0) return nullptr;
  ++selected->selectCount;
  slot = value;
  Objects().Unselect(previous);
  return HandleOf<HGDIOBJ>(previous);
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
  uintptr_t value = Value(object);
  ObjectKind kind = KindOf(value);
  // DCs go through DeleteDC only.
  if (kind != ObjectKind::Font && kind != ObjectKind::Bitmap) return FALSE;
  return Objects().Delete(value, kind) ? TRUE : FALSE;
}

int WINAPI SetMapMode(HDC dc, int mode) {
  GdiObject* context = FindDc(dc);
  // Only MM_TEXT, one logical unit per pixel with y growing downwards, is provided.
  if (context == nullptr || mode != MM_TEXT) return 0;
  int previous = context->dc.mapMode;
  context->dc.mapMode = mode;
  return previous;
}

UINT WINAPI SetTextAlign(HDC dc, UINT align) {
  GdiObject* context = FindDc(dc);
  // Only the reference point at the top-left of the text, without moving a current position.
  if (context == nullptr || align != (TA_LEFT | TA_TOP | TA_NOUPDATECP)) return GDI_ERROR;
  UINT previous = context->dc.textAlign;
  context->dc.textAlign = align;
  return previous;
}

BOOL WINAPI GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, LPSIZE size) {
  GdiObject* context = FindDc(dc);
  if (context == nullptr || size == nullptr || count < 0 || (text == nullptr && count > 0)) return FALSE;
  const gdi::BakedFace& face = FaceOf(*context);
  int32_t width = 0;
  if (!gdi::MeasureText(face, text, count, &width)) return FALSE;
  size->cx = width;
  size->cy = face.cellHeight;
  return TRUE;
}

HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
  if (bits != nullptr) *bits = nullptr;
  if (info == nullptr || usage != DIB_RGB_COLORS || section != nullptr) return nullptr;
  const BITMAPINFOHEADER& header = info->bmiHeader;
  if (header.biSize < kBitmapInfoHeaderSize || header.biWidth <= 0 || header.biHeight == 0 ||
      header.biPlanes != 1 || header.biBitCount != 32 || header.biCompression != BI_RGB) {
    return nullptr;
  }
  // A negative height asks for top-down rows.
  int64_t height = header.biHeight < 0 ? -static_cast<int64_t>(header.biHeight) : header.biHeight;
  uint64_t pixelCount = static_cast<uint64_t>(header.biWidth) * static_cast<uint64_t>(height);
  if (pixelCount * 4 > kMaxDibBytes) return nullptr;

  GdiObject bitmap;
  bitmap.kind = ObjectKind::Bitmap;
  bitmap.bitmap.width = header.biWidth;
  bitmap.bitmap.height = static_cast<int>(height);
  bitmap.bitmap.topDown = header.biHeight < 0;
  bitmap.bitmap.pixels.reset(new (std::nothrow) uint32_t[pixelCount]());
  if (bitmap.bitmap.pixels == nullptr) return nullptr;
  void* memory = bitmap.bitmap.pixels.get();
  HBITMAP handle = HandleOf<HBITMAP>(Objects().Add(std::move(bitmap)));
  if (bits != nullptr) *bits = memory;
  return handle;
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF colour) {
  GdiObject* context = FindDc(dc);
  if (context == nullptr) return CLR_INVALID;
  return std::exchange(context->dc.textColour, colour);
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF colour) {
  GdiObject* context = FindDc(dc);
  if (context == nullptr) return CLR_INVALID;
  return std::exchange(context->dc.backColour, colour);
}

BOOL WINAPI ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                        const INT* dx) {
  GdiObject* context = FindDc(dc);
  if (context == nullptr || count > static_cast<UINT>(std::numeric_limits<int>::max()) ||
      (text == nullptr && count > 0)) {
    return FALSE;
  }
  gdi::BitmapState& surface = Objects().FindHeld(context->dc.bitmap)->bitmap;
  gdi::TextTarget target{surface.pixels.get(), surface.width, surface.height, surface.topDown,
                         0,                    0,             surface.width,  surface.height};
  uint32_t backPixel = PixelOf(context->dc.backColour);
  if (rect != nullptr) {
    int64_t left = std::max<int64_t>(std::min(rect->left, rect->right), 0);
    int64_t right = std::min<int64_t>(std::max(rect->left, rect->right), surface.width);
    int64_t top = std::max<int64_t>(std::min(rect->top, rect->bottom), 0);
    int64_t bottom = std::min<int64_t>(std::max(rect->top, rect->bottom), surface.height);
    if (options & ETO_OPAQUE) {
      for (int64_t row = top; row < bottom && left < right; ++row) {
        int64_t memoryRow = surface.topDown ? row : surface.height - 1 - row;
        std::fill(surface.pixels.get() + memoryRow * surface.width + left,
                  surface.pixels.get() + memoryRow * surface.width + right, backPixel);
      }
    }
    if (options & ETO_CLIPPED) {
      target.clipLeft = static_cast<int>(left);
      target.clipRight = static_cast<int>(std::max(left, right));
      target.clipTop = static_cast<int>(top);
      target.clipBottom = static_cast<int>(std::max(top, bottom));
    }
  }
  // The DC's background mode is OPAQUE (GDI's default; this layer has no SetBkMode), so the
  // characters' cells are filled with the background colour whatever the options.
  gdi::DrawText(FaceOf(*context), target, x, y, text, static_cast<int>(count), dx, true,
                PixelOf(context->dc.textColour), backPixel);
  return TRUE;
}
