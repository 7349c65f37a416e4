// Paints the program icon.
// Usage:
//   musidisk-icon <source root> <output root>   data/icon/program_icon.raw and its preview
//   musidisk-icon --ico FILE                    a Windows icon file: 16, 32, 48 and 256 texels
//   musidisk-icon --png SIZE FILE               one size as a PNG (desktop icon themes)
// --ico and --png may be given together and repeated.
//
// program_icon.raw: 32 by 32 texels, 4 bytes each in the order B, G, R, A, rows top to bottom,
// straight (not premultiplied) alpha.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "byte_file.h"
#include "ico_file.h"
#include "icon_painter.h"
#include "png_file.h"
#include "rgba_image.h"
#include "tool_roots.h"

namespace {

constexpr int kPreviewScale = 8;
// The sizes of the Windows icon: title bar and small views, the taskbar, large views, Explorer's
// largest view.
constexpr int kIcoSizes[] = {16, 32, 48, 256};
constexpr int kMaxPngSize = 1024;

int Usage() {
  std::fprintf(stderr,
               "usage: musidisk-icon <source root> <output root>\n"
               "       musidisk-icon [--ico FILE] [--png SIZE FILE]...\n");
  return 2;
}

bool WriteDataFiles(const artkit::ToolRoots& roots) {
  constexpr int kSize = icon::kDesignSize;
  const artkit::RgbaImage image = icon::PaintProgramIcon(kSize);
  std::vector<uint8_t> raw;
  raw.reserve(kSize * kSize * 4);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const artkit::Rgba t = image.Get(x, y);
      raw.insert(raw.end(), {t.b, t.g, t.r, t.a});
    }
  }

  // Preview: enlarged over a checkerboard, and at its real size on light and dark title bars.
  artkit::RgbaImage preview(kSize * kPreviewScale + 16 + kSize, kSize * kPreviewScale, {0x30, 0x30, 0x30, 0xFF});
  preview.Draw(artkit::Checkerboard(kSize * kPreviewScale, kSize * kPreviewScale, kPreviewScale), 0, 0);
  preview.Draw(image, 0, 0, kPreviewScale);
  preview.FillRect(kSize * kPreviewScale + 8, 8, kSize + 8, kSize + 8, {0xE8, 0xE8, 0xE8, 0xFF});
  preview.Draw(image, kSize * kPreviewScale + 12, 12);
  preview.FillRect(kSize * kPreviewScale + 8, 56, kSize + 8, kSize + 8, {0x20, 0x20, 0x28, 0xFF});
  preview.Draw(image, kSize * kPreviewScale + 12, 60);

  return artkit::WriteBytes(roots.output / "data/icon/program_icon.raw", raw) &&
         artkit::WritePng(roots.output / "data/icon/program_icon.png", preview);
}

bool WriteIco(const std::string& path) {
  std::vector<artkit::RgbaImage> images;
  for (int size : kIcoSizes) images.push_back(icon::PaintProgramIcon(size));
  std::vector<uint8_t> ico;
  if (!icon::EncodeIco(images, &ico)) {
    std::fprintf(stderr, "musidisk-icon: cannot encode the icon file\n");
    return false;
  }
  return artkit::WriteBytes(path, ico);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argv[1][0] != '-') {
    artkit::ToolRoots roots;
    if (!artkit::ParseToolRoots(argc, argv, roots)) return 2;
    return WriteDataFiles(roots) ? 0 : 1;
  }
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--ico" && i + 1 < argc) {
      if (!WriteIco(argv[++i])) return 1;
    } else if (option == "--png" && i + 2 < argc) {
      char* end = nullptr;
      const long size = std::strtol(argv[i + 1], &end, 10);
      if (end == argv[i + 1] || *end != '\0' || size < 1 || size > kMaxPngSize) {
        std::fprintf(stderr, "musidisk-icon: --png takes a size from 1 to %d, not '%s'\n", kMaxPngSize, argv[i + 1]);
        return 2;
      }
      if (!artkit::WritePng(argv[i + 2], icon::PaintProgramIcon(static_cast<int>(size)))) return 1;
      i += 2;
    } else {
      return Usage();
    }
  }
  return 0;
}
