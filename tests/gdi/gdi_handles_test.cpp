// GDI handle kinds, selection and deletion, and refusal of null, stale and made-up handles.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/gdi/gdi_object_table.h"
#include "text_canvas.h"

namespace {

HFONT SystemFont() {
  return CreateFontA(8, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, VARIABLE_PITCH, "System");
}

HBITMAP Dib(int width, int height, void** bits = nullptr) {
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* ignored = nullptr;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits != nullptr ? bits : &ignored, nullptr, 0);
}

// Every call given a handle it cannot use fails with its documented failure value, and nothing
// is read through the handle.
void ExpectRefusedEverywhere(void* handle) {
  HDC dc = static_cast<HDC>(handle);
  SIZE size{};
  EXPECT_EQ(SelectObject(dc, handle), nullptr);
  EXPECT_FALSE(DeleteObject(handle));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(SetMapMode(dc, MM_TEXT), 0);
  EXPECT_EQ(SetTextAlign(dc, 0), static_cast<UINT>(GDI_ERROR));
  EXPECT_FALSE(GetTextExtentPoint32A(dc, "x", 1, &size));
  EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
  EXPECT_EQ(SetBkColor(dc, 0), CLR_INVALID);
  EXPECT_FALSE(ExtTextOutA(dc, 0, 0, ETO_OPAQUE, nullptr, "x", 1, nullptr));
  if (handle != nullptr) {  // null asks for a screen DC
    EXPECT_EQ(CreateCompatibleDC(dc), nullptr);
  }
}

TEST(GdiHandles, NullStaleAndMadeUpHandlesAreRefused) {
  ExpectRefusedEverywhere(nullptr);
  for (uintptr_t made : {uintptr_t{1}, uintptr_t{4}, uintptr_t{0x1234}, uintptr_t{0xFFFF0}, ~uintptr_t{0}}) {
    SCOPED_TRACE(made);
    ExpectRefusedEverywhere(reinterpret_cast<void*>(made));
  }
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = SystemFont();
  HBITMAP bitmap = Dib(4, 4);
  ASSERT_TRUE(DeleteDC(dc));
  ASSERT_TRUE(DeleteObject(font));
  ASSERT_TRUE(DeleteObject(bitmap));
  ExpectRefusedEverywhere(dc);
  ExpectRefusedEverywhere(font);
  ExpectRefusedEverywhere(bitmap);
}

TEST(GdiHandles, HandlesOfTheWrongKindAreRefused) {
  HDC dc = CreateCompatibleDC(nullptr);
  HDC other = CreateCompatibleDC(dc);
  ASSERT_NE(other, nullptr);
  HFONT font = SystemFont();
  SIZE size{};
  EXPECT_EQ(SelectObject(dc, other), nullptr);
  EXPECT_FALSE(DeleteObject(other));  // a DC goes with DeleteDC only
  EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(font)));
  EXPECT_FALSE(GetTextExtentPoint32A(reinterpret_cast<HDC>(font), "x", 1, &size));
  EXPECT_EQ(SetMapMode(other, MM_TEXT), MM_TEXT);  // still alive
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_TRUE(DeleteDC(other));
  EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiHandles, SelectObjectReturnsThePreviousObjectOfTheSameKind) {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT first = SystemFont();
  HFONT second = SystemFont();
  HBITMAP bitmap = Dib(8, 8);
  ASSERT_NE(first, second);

  HGDIOBJ stockFont = SelectObject(dc, first);
  ASSERT_NE(stockFont, nullptr);
  EXPECT_EQ(SelectObject(dc, second), first);
  HGDIOBJ stockBitmap = SelectObject(dc, bitmap);
  ASSERT_NE(stockBitmap, nullptr);
  EXPECT_NE(stockBitmap, stockFont);
  EXPECT_EQ(SelectObject(dc, bitmap), bitmap);  // selecting the selected object changes nothing
  EXPECT_EQ(SelectObject(dc, stockFont), second);
  EXPECT_EQ(SelectObject(dc, stockBitmap), bitmap);
  // Stock objects outlive any attempt to delete them.
  EXPECT_TRUE(DeleteObject(stockFont));
  EXPECT_EQ(SelectObject(dc, first), stockFont);

  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_TRUE(DeleteObject(first));
  EXPECT_TRUE(DeleteObject(second));
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(GdiHandles, ABitmapIsSelectedIntoOneDcAtATime) {
  HDC a = CreateCompatibleDC(nullptr);
  HDC b = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = Dib(8, 8);
  ASSERT_NE(SelectObject(a, bitmap), nullptr);
  EXPECT_EQ(SelectObject(b, bitmap), nullptr);
  DeleteDC(a);
  EXPECT_NE(SelectObject(b, bitmap), nullptr);
  DeleteDC(b);
  EXPECT_TRUE(DeleteObject(bitmap));
}

// Deleting the font and the bitmap while they are still selected, then the DC, is the order the
// effects use: the objects stay usable by their DC and go with it, leaving nothing behind.
TEST(GdiHandles, ObjectsDeletedWhileSelectedGoWhenTheirDcLetsGo) {
  const size_t before = gdi::Objects().Size();
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = SystemFont();
  void* memory = nullptr;
  HBITMAP bitmap = Dib(32, 16, &memory);
  SelectObject(dc, font);
  SelectObject(dc, bitmap);
  SetTextColor(dc, 0x00FFFFFF);

  EXPECT_TRUE(DeleteObject(font));
  EXPECT_TRUE(DeleteObject(bitmap));
  // Deleted handles cannot be selected or deleted again...
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, font), nullptr);
  EXPECT_FALSE(DeleteObject(font));
  EXPECT_FALSE(DeleteObject(bitmap));
  // ...but the DC still draws with them.
  ASSERT_TRUE(ExtTextOutA(dc, 0, 0, ETO_OPAQUE, nullptr, "Hi", 2, nullptr));
  const uint32_t* pixels = static_cast<const uint32_t*>(memory);
  int lit = 0;
  for (int k = 0; k < 32 * 16; ++k) lit += pixels[k] != 0;
  EXPECT_GT(lit, 0);

  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_TRUE(DeleteDC(other));
  EXPECT_EQ(gdi::Objects().Size(), before);

  // Selecting another object in its place also completes a pending deletion.
  dc = CreateCompatibleDC(nullptr);
  font = SystemFont();
  HGDIOBJ stock = SelectObject(dc, font);
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_EQ(SelectObject(dc, stock), font);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_EQ(gdi::Objects().Size(), before);
}

TEST(GdiHandles, OnlyMmTextAndTopLeftAlignmentAreProvided) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SetMapMode(dc, MM_TEXT), MM_TEXT);
  EXPECT_EQ(SetMapMode(dc, 2), 0);  // MM_LOMETRIC
  EXPECT_EQ(SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP), 0u);
  EXPECT_EQ(SetTextAlign(dc, 24), static_cast<UINT>(GDI_ERROR));  // TA_BASELINE
  EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), 0x000000u);  // a new DC writes black...
  EXPECT_EQ(SetBkColor(dc, RGB(4, 5, 6)), 0xFFFFFFu);    // ...on white
  EXPECT_EQ(SetTextColor(dc, 0), RGB(1, 2, 3));
  SIZE size{};
  EXPECT_FALSE(GetTextExtentPoint32A(dc, "x", -1, &size));
  EXPECT_FALSE(GetTextExtentPoint32A(dc, nullptr, 1, &size));
  EXPECT_FALSE(GetTextExtentPoint32A(dc, "x", 1, nullptr));
  EXPECT_FALSE(ExtTextOutA(dc, 0, 0, 0, nullptr, nullptr, 1, nullptr));
  // A new DC draws into its 1 by 1 stock bitmap without harm.
  EXPECT_TRUE(ExtTextOutA(dc, -5, -5, ETO_OPAQUE, nullptr, "Hello", 5, nullptr));
  DeleteDC(dc);
}

struct DibCase {
  const char* what;
  BITMAPINFOHEADER header;
  UINT usage;
};

TEST(GdiHandles, CreateDibSectionRefusesWhatItCannotProvide) {
  const BITMAPINFOHEADER good = {sizeof(BITMAPINFOHEADER), 16, 8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  auto with = [&good](auto change) {
    BITMAPINFOHEADER h = good;
    change(h);
    return h;
  };
  const DibCase cases[] = {
      {"24 bits", with([](BITMAPINFOHEADER& h) { h.biBitCount = 24; }), DIB_RGB_COLORS},
      {"bitfields", with([](BITMAPINFOHEADER& h) { h.biCompression = 3; }), DIB_RGB_COLORS},
      {"zero width", with([](BITMAPINFOHEADER& h) { h.biWidth = 0; }), DIB_RGB_COLORS},
      {"negative width", with([](BITMAPINFOHEADER& h) { h.biWidth = -16; }), DIB_RGB_COLORS},
      {"zero height", with([](BITMAPINFOHEADER& h) { h.biHeight = 0; }), DIB_RGB_COLORS},
      {"two planes", with([](BITMAPINFOHEADER& h) { h.biPlanes = 2; }), DIB_RGB_COLORS},
      {"short header", with([](BITMAPINFOHEADER& h) { h.biSize = 12; }), DIB_RGB_COLORS},
      {"palette usage", good, 1},
      {"too large", with([](BITMAPINFOHEADER& h) { h.biWidth = 1 << 20; h.biHeight = -(1 << 20); }), DIB_RGB_COLORS},
      {"lowest height", with([](BITMAPINFOHEADER& h) { h.biHeight = INT32_MIN; }), DIB_RGB_COLORS},
  };
  for (const DibCase& c : cases) {
    SCOPED_TRACE(c.what);
    BITMAPINFO info = {};
    info.bmiHeader = c.header;
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, c.usage, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
  }
  void* bits = reinterpret_cast<void*>(1);
  EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(bits, nullptr);

  // A good request gives zeroed pixel memory.
  BITMAPINFO info = {};
  info.bmiHeader = good;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  for (int k = 0; k < 16 * 8; ++k) ASSERT_EQ(static_cast<uint32_t*>(bits)[k], 0u);
  EXPECT_TRUE(DeleteObject(bitmap));
}

}  // namespace
