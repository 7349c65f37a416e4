// Checks of the picture painters: they regenerate the committed bytes, and the quantiser packs,
// dithers and keeps black the way the pictures rely on.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "embedded_data.h"
#include "emblem_painter.h"
#include "linear_image.h"
#include "portrait_painter.h"
#include "sprite_ball_painter.h"
#include "texel_quantiser.h"

namespace {

std::vector<uint8_t> Bytes(const unsigned char* data, unsigned int size) { return {data, data + size}; }

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint16_t Texel(const std::vector<uint8_t>& bytes, size_t index) {
  return static_cast<uint16_t>(bytes[index * 2] | (bytes[index * 2 + 1] << 8));
}

// A scratch directory removed again when the test ends.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "musidisk-pictures-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

int RunPainter(const std::string& dir) {
  const std::string command = std::string("\"") + MUSIDISK_PICTURE_PAINTER + "\" \"" + dir + "\" 2>/dev/null";
  return std::system(command.c_str());
}

TEST(PicturePainter, PaintersRegenerateTheEmbeddedBytes) {
  EXPECT_EQ(painter::PaintPortrait(), Bytes(embedded::images_rotozoom_a_raw, embedded::images_rotozoom_a_raw_size));
  EXPECT_EQ(painter::PaintEmblem(), Bytes(embedded::images_rotozoom_b_raw, embedded::images_rotozoom_b_raw_size));
  EXPECT_EQ(painter::PaintSpriteBall(), Bytes(embedded::images_sprite_ball_raw, embedded::images_sprite_ball_raw_size));
}

TEST(PicturePainter, ToolWritesTheCommittedFilesAndPreviews) {
  ScratchDir scratch;
  ASSERT_FALSE(scratch.path().empty());
  ASSERT_EQ(RunPainter(scratch.path().string()), 0);
  const std::filesystem::path committed = std::filesystem::path(MUSIDISK_SOURCE_DIR) / "data" / "images";
  for (const char* name : {"rotozoom_a.raw", "rotozoom_b.raw", "sprite_ball.raw"}) {
    const std::vector<uint8_t> made = ReadFile(scratch.path() / name);
    EXPECT_FALSE(made.empty()) << name;
    EXPECT_EQ(made, ReadFile(committed / name)) << name;
  }
  // Previews: PNG files whose header gives the enlarged size (4x single, 3x3 tiles at 2x).
  struct Preview {
    const char* name;
    uint32_t side;
  };
  for (const Preview& p : {Preview{"rotozoom_a.png", 512}, Preview{"rotozoom_a_tiled.png", 768},
                           Preview{"rotozoom_b.png", 512}, Preview{"rotozoom_b_tiled.png", 768},
                           Preview{"sprite_ball.png", 64}}) {
    const std::vector<uint8_t> png = ReadFile(scratch.path() / p.name);
    ASSERT_GE(png.size(), 24u) << p.name;
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG") << p.name;
    const uint32_t width = (uint32_t{png[16]} << 24) | (uint32_t{png[17]} << 16) | (uint32_t{png[18]} << 8) | png[19];
    const uint32_t height = (uint32_t{png[20]} << 24) | (uint32_t{png[21]} << 16) | (uint32_t{png[22]} << 8) | png[23];
    EXPECT_EQ(width, p.side) << p.name;
    EXPECT_EQ(height, p.side) << p.name;
  }
}

TEST(PicturePainter, ToolFailsClearlyWithoutAWritableDirectory) {
  ScratchDir scratch;
  ASSERT_FALSE(scratch.path().empty());
  EXPECT_NE(RunPainter((scratch.path() / "missing" / "deeper").string()), 0);
  EXPECT_NE(std::system((std::string("\"") + MUSIDISK_PICTURE_PAINTER + "\" 2>/dev/null").c_str()), 0);
}

TEST(TexelQuantiser, PacksChannelsInTheirBitsLittleEndian) {
  struct Case {
    painter::Vec3 colour;
    uint16_t r5g6b5;
    uint16_t a1r5g5b5;
  };
  const Case cases[] = {
      {{1, 0, 0}, 0xF800, 0xFC00},
      {{0, 1, 0}, 0x07E0, 0x83E0},
      {{0, 0, 1}, 0x001F, 0x801F},
      {{1, 1, 1}, 0xFFFF, 0xFFFF},
  };
  for (const Case& c : cases) {
    painter::LinearImage image(1, 1);
    image.At(0, 0) = c.colour;
    const std::vector<uint8_t> packed = painter::QuantiseR5G6B5(image);
    ASSERT_EQ(packed.size(), 2u);
    EXPECT_EQ(packed[0], c.r5g6b5 & 0xFF);
    EXPECT_EQ(packed[1], c.r5g6b5 >> 8);
    const std::vector<uint8_t> sprite = painter::QuantiseA1R5G5B5(image, {true});
    EXPECT_EQ(Texel(sprite, 0), c.a1r5g5b5);
    EXPECT_EQ(Texel(painter::QuantiseA1R5G5B5(image, {false}), 0), 0);
  }
}

// A flat colour between two 5-bit steps must come out as a mix of both whose average is the colour:
// that is what keeps slow gradients from banding.
TEST(TexelQuantiser, DitherKeepsTheAverageBetweenLevels) {
  const float srgbTarget = 15.5f / 31.0f;
  // Inverse of the sRGB curve for the target.
  const float linear = std::pow((srgbTarget + 0.055f) / 1.055f, 2.4f);
  painter::LinearImage image(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) image.At(x, y) = painter::Vec3(linear, 0.0f, 0.0f);
  const std::vector<uint8_t> packed = painter::QuantiseR5G6B5(image);
  int low = 0;
  int high = 0;
  double sum = 0;
  for (size_t i = 0; i < 32 * 32; ++i) {
    const int red = Texel(packed, i) >> 11;
    low += red == 15;
    high += red == 16;
    sum += red;
  }
  EXPECT_EQ(low + high, 32 * 32);
  EXPECT_GT(low, 300);
  EXPECT_GT(high, 300);
  EXPECT_NEAR(sum / (32 * 32), 15.5, 0.05);
}

TEST(TexelQuantiser, ExactBlackStaysBlackBesideDitheredPaint) {
  painter::LinearImage image(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x) image.At(x, y) = painter::Vec3(0.0123f, 0.0456f, 0.0789f);
  const std::vector<uint8_t> packed = painter::QuantiseR5G6B5(image);
  for (int y = 0; y < 16; ++y)
    for (int x = 8; x < 16; ++x) EXPECT_EQ(Texel(packed, static_cast<size_t>(y * 16 + x)), 0) << x << "," << y;
}

TEST(TexelQuantiser, ExpansionReachesFullScale) {
  const std::vector<uint8_t> white = {0xFF, 0xFF};
  EXPECT_EQ(painter::ExpandR5G6B5(white), (std::vector<uint8_t>{255, 255, 255, 255}));
  EXPECT_EQ(painter::ExpandA1R5G5B5(white), (std::vector<uint8_t>{255, 255, 255, 255}));
  EXPECT_EQ(painter::ExpandA1R5G5B5({0x00, 0x00}), (std::vector<uint8_t>{0, 0, 0, 0}));
}

}  // namespace
