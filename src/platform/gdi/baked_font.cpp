// Font mapping onto the baked faces, and text measured and drawn from their glyph tables.
#include "platform/gdi/baked_font.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace gdi {
namespace {

// Requests from this weight up ask for a bold face (FW_SEMIBOLD); below it, a regular one.
constexpr int kFirstBoldWeight = 600;

bool SameFaceName(const char* a, const char* b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (lower(*a) != lower(*b)) return false;
  }
  return *a == *b;
}

bool ServesSize(const BakedFace& face, const FontRequest& request) {
  if (face.rasterFace) return true;
  bool wantsBold = request.weight >= kFirstBoldWeight;
  bool isBold = face.weight >= kFirstBoldWeight;
  if (wantsBold != isBold) return false;
  return request.height == face.cellHeight || request.height == -face.pixelSize;
}

}  // namespace

const BakedFace* MatchBakedFace(const FontRequest& request) {
  if (request.faceName == nullptr) return nullptr;
  if (request.width != 0 || request.escapement != 0 || request.orientation != 0 || request.italic ||
      request.underline || request.strikeOut) {
    return nullptr;
  }
  if (request.charSet != ANSI_CHARSET && request.charSet != DEFAULT_CHARSET) return nullptr;
  // Every baked face is proportional.
  if ((request.pitchAndFamily & 3) == FIXED_PITCH) return nullptr;
  for (int f = 0; f < bakedFaceCount; ++f) {
    const BakedFace& face = bakedFaces[f];
    if (SameFaceName(face.name, request.faceName) && ServesSize(face, request)) return &face;
  }
  return nullptr;
}

const BakedGlyph& GlyphFor(const BakedFace& face, unsigned char code) {
  if (code < kFirstBakedChar || code > kLastBakedChar) return face.glyphs[kBakedGlyphCount - 1];
  return face.glyphs[code - kFirstBakedChar];
}

bool GlyphInk(const BakedFace& face, const BakedGlyph& glyph, int row, int column) {
  if (row < 0 || row >= face.cellHeight || column < 0 || column >= glyph.inkWidth) return false;
  int stride = (glyph.inkWidth + 7) / 8;
  uint32_t index = glyph.bitsOffset + static_cast<uint32_t>(row * stride + column / 8);
  return index < face.bitsSize && (face.bits[index] & (0x80 >> (column % 8))) != 0;
}

bool MeasureText(const BakedFace& face, const char* text, int count, int32_t* width) {
  int64_t sum = 0;
  for (int i = 0; i < count; ++i) {
    sum += GlyphFor(face, static_cast<unsigned char>(text[i])).advance;
    if (sum > std::numeric_limits<int32_t>::max()) return false;
  }
  *width = static_cast<int32_t>(sum);
  return true;
}

void DrawText(const BakedFace& face, const TextTarget& target, int x, int y, const char* text, int count,
              const int32_t* advances, bool opaque, uint32_t textPixel, uint32_t backPixel) {
  if (target.clipLeft >= target.clipRight || target.clipTop >= target.clipBottom) return;
  auto row = [&target](int64_t surfaceY) {
    int64_t memoryRow = target.topDown ? surfaceY : target.height - 1 - surfaceY;
    return target.pixels + memoryRow * target.width;
  };
  // Rows of the cells that lie inside the clip rectangle.
  const int64_t top = std::max<int64_t>(y, target.clipTop);
  const int64_t bottom = std::min<int64_t>(static_cast<int64_t>(y) + face.cellHeight, target.clipBottom);
  if (top >= bottom) return;
  // Without an advance array every advance is positive, so drawing can stop at the clip's right.
  const bool forwardOnly = advances == nullptr;

  // Backgrounds first, so that no cell hides ink of its neighbour drawn with overlapping advances.
  if (opaque) {
    int64_t pen = x;
    for (int i = 0; i < count; ++i) {
      int64_t advance = advances != nullptr ? advances[i] : GlyphFor(face, static_cast<unsigned char>(text[i])).advance;
      int64_t left = std::max<int64_t>(std::min(pen, pen + advance), target.clipLeft);
      int64_t right = std::min<int64_t>(std::max(pen, pen + advance), target.clipRight);
      for (int64_t sy = top; left < right && sy < bottom; ++sy) std::fill(row(sy) + left, row(sy) + right, backPixel);
      pen += advance;
      if (forwardOnly && pen >= target.clipRight) break;
    }
  }

  int64_t pen = x;
  for (int i = 0; i < count; ++i) {
    const BakedGlyph& glyph = GlyphFor(face, static_cast<unsigned char>(text[i]));
    int64_t inkLeft = pen + glyph.inkLeft;
    int64_t firstColumn = std::max<int64_t>(0, target.clipLeft - inkLeft);
    int64_t endColumn = std::min<int64_t>(glyph.inkWidth, target.clipRight - inkLeft);
    for (int64_t sy = top; firstColumn < endColumn && sy < bottom; ++sy) {
      uint32_t* line = row(sy);
      int glyphRow = static_cast<int>(sy - y);
      for (int64_t c = firstColumn; c < endColumn; ++c) {
        if (GlyphInk(face, glyph, glyphRow, static_cast<int>(c))) line[inkLeft + c] = textPixel;
      }
    }
    pen += advances != nullptr ? advances[i] : glyph.advance;
    if (forwardOnly && pen >= target.clipRight) break;
  }
}

}  // namespace gdi
