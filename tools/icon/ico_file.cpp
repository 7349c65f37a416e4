// Windows icon files: a directory of entries, each a bottom-up BGRA bitmap with a 1-bit AND mask
// or a PNG file.
#include "ico_file.h"

#include "png_file.h"

namespace icon {

namespace {

constexpr size_t kDirectoryHeaderBytes = 6;  // reserved, type (1 = icon), count: three u16
constexpr size_t kDirectoryEntryBytes = 16;
constexpr uint32_t kBitmapInfoHeaderBytes = 40;

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A bitmap entry: BITMAPINFOHEADER with twice the height (colour rows, then mask rows), the colour
// rows bottom-up in B G R A, then the AND mask bottom-up, a set bit = transparent, rows padded to
// 32 bits. The mask matters only to systems that ignore the alpha channel.
std::vector<uint8_t> BitmapEntry(const artkit::RgbaImage& image) {
  const int size = image.width();
  const uint32_t maskStride = static_cast<uint32_t>((size + 31) / 32 * 4);
  const uint32_t colourBytes = static_cast<uint32_t>(size * size * 4);
  const uint32_t maskBytes = maskStride * static_cast<uint32_t>(size);
  std::vector<uint8_t> out;
  Put32(out, kBitmapInfoHeaderBytes);
  Put32(out, static_cast<uint32_t>(size));
  Put32(out, static_cast<uint32_t>(2 * size));
  Put16(out, 1);   // planes
  Put16(out, 32);  // bits per pixel
  Put32(out, 0);   // BI_RGB
  Put32(out, colourBytes + maskBytes);
  for (int i = 0; i < 4; ++i) Put32(out, 0);  // resolution and palette: unused
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) {
      const artkit::Rgba t = image.Get(x, y);
      out.insert(out.end(), {t.b, t.g, t.r, t.a});
    }
  }
  for (int y = size - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskStride, 0);
    for (int x = 0; x < size; ++x) {
      if (image.Get(x, y).a == 0) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

bool EncodeIco(const std::vector<artkit::RgbaImage>& images, std::vector<uint8_t>* ico) {
  ico->clear();
  if (images.empty()) return false;
  std::vector<std::vector<uint8_t>> entries;
  for (const artkit::RgbaImage& image : images) {
    const int size = image.width();
    if (size < 1 || size > kMaxIcoSize || image.height() != size) return false;
    std::vector<uint8_t> entry;
    if (size >= kFirstPngSize) {
      if (!artkit::EncodePng(image, &entry)) return false;
    } else {
      entry = BitmapEntry(image);
    }
    entries.push_back(std::move(entry));
  }

  Put16(*ico, 0);
  Put16(*ico, 1);
  Put16(*ico, static_cast<uint32_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(kDirectoryHeaderBytes + kDirectoryEntryBytes * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const int size = images[i].width();
    const uint8_t sizeByte = size == kMaxIcoSize ? 0 : static_cast<uint8_t>(size);
    ico->push_back(sizeByte);  // width
    ico->push_back(sizeByte);  // height
    ico->push_back(0);         // palette colours: none
    ico->push_back(0);         // reserved
    Put16(*ico, 1);            // planes
    Put16(*ico, 32);           // bits per pixel
    Put32(*ico, static_cast<uint32_t>(entries[i].size()));
    Put32(*ico, offset);
    offset += static_cast<uint32_t>(entries[i].size());
  }
  for (const std::vector<uint8_t>& entry : entries) ico->insert(ico->end(), entry.begin(), entry.end());
  return true;
}

}  // namespace icon
