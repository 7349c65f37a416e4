// The Windows icon file the build paints: four sizes, small ones as bitmaps with their mask, the
// largest as PNG, and its 32 by 32 entry the very icon the Linux program embeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ico_file.h"

namespace {

std::vector<unsigned char> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t U16(const std::vector<unsigned char>& b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t U32(const std::vector<unsigned char>& b, size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }

// Runs the icon tool with the arguments (quoted by the caller); its exit status.
int RunIconTool(const std::string& arguments) {
  std::string command = MUSIDISK_BINARY_DIR "/tools/icon/musidisk-icon ";
  command += arguments;
  command += " 2>/dev/null";
  return std::system(command.c_str());
}

TEST(WindowsIconFile, HoldsFourSizesAndTheEmbeddedIcon) {
  const std::string path = ::testing::TempDir() + "/musidisk-test.ico";
  ASSERT_EQ(RunIconTool("--ico " + path), 0);
  const std::vector<unsigned char> ico = ReadAll(path);
  std::filesystem::remove(path);
  ASSERT_GE(ico.size(), 6u + 4 * 16);
  EXPECT_EQ(U16(ico, 0), 0u);
  EXPECT_EQ(U16(ico, 2), 1u);  // an icon, not a cursor
  ASSERT_EQ(U16(ico, 4), 4u);

  const std::vector<unsigned char> embedded = ReadAll(std::string(MUSIDISK_SOURCE_DIR) + "/data/icon/program_icon.raw");
  ASSERT_EQ(embedded.size(), 32u * 32 * 4);
  const int sizes[] = {16, 32, 48, 256};
  for (int i = 0; i < 4; ++i) {
    const size_t entry = 6 + 16 * i;
    const int size = sizes[i];
    SCOPED_TRACE(size);
    EXPECT_EQ(ico[entry], size == 256 ? 0 : size);
    EXPECT_EQ(ico[entry + 1], size == 256 ? 0 : size);
    EXPECT_EQ(U16(ico, entry + 6), 32u);
    const uint32_t length = U32(ico, entry + 8), offset = U32(ico, entry + 12);
    ASSERT_LE(static_cast<size_t>(offset) + length, ico.size());
    if (size == 256) {
      const unsigned char signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
      EXPECT_TRUE(std::equal(std::begin(signature), std::end(signature), ico.begin() + offset));
      continue;
    }
    // BITMAPINFOHEADER: colour rows and mask rows, 32 bits per pixel, uncompressed.
    EXPECT_EQ(U32(ico, offset), 40u);
    EXPECT_EQ(U32(ico, offset + 4), static_cast<uint32_t>(size));
    EXPECT_EQ(U32(ico, offset + 8), static_cast<uint32_t>(2 * size));
    EXPECT_EQ(U16(ico, offset + 14), 32u);
    const size_t maskStride = (size + 31) / 32 * 4;
    ASSERT_EQ(length, 40u + size * size * 4 + maskStride * size);
    const size_t colour = offset + 40, mask = colour + size * size * 4;
    for (int y = 0; y < size; ++y) {
      const size_t row = size - 1 - y;  // bottom-up
      for (int x = 0; x < size; ++x) {
        const unsigned char* bgra = &ico[colour + (row * size + x) * 4];
        const bool transparent = (ico[mask + row * maskStride + x / 8] & (0x80 >> (x % 8))) != 0;
        EXPECT_EQ(transparent, bgra[3] == 0) << x << "," << y;
        if (size == 32) {
          ASSERT_TRUE(std::equal(bgra, bgra + 4, &embedded[(y * 32 + x) * 4])) << "texel " << x << "," << y;
        }
      }
    }
  }
}

TEST(WindowsIconFile, ToolRefusesBadSizesAndEncoderBadImages) {
  const std::string path = ::testing::TempDir() + "/musidisk-test.png";
  for (const char* size : {"0", "1025", "12x", ""}) {
    SCOPED_TRACE(size);
    EXPECT_NE(RunIconTool(std::string("--png '") + size + "' " + path), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
  }
  std::vector<uint8_t> out;
  EXPECT_FALSE(icon::EncodeIco({}, &out));
  EXPECT_FALSE(icon::EncodeIco({artkit::RgbaImage(257, 257)}, &out));
  EXPECT_FALSE(icon::EncodeIco({artkit::RgbaImage(16, 8)}, &out));
  EXPECT_TRUE(icon::EncodeIco({artkit::RgbaImage(1, 1)}, &out));
}

}  // namespace
