// Writes the painted pictures and their review PNGs: musidisk-picture-painter <output directory>.
// Each raw file is the texel block the program embeds; beside it a 4x enlargement, and for the
// rotozoom pictures a 3x3 tiling at 2x as the effect repeats them.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "emblem_painter.h"
#include "png_writer.h"
#include "portrait_painter.h"
#include "sprite_ball_painter.h"
#include "texel_quantiser.h"

namespace {

constexpr int kPreviewScale = 4;  // enlargement of the single previews
constexpr int kTileScale = 2;     // enlargement of the tiled previews
constexpr int kTiles = 3;         // tiles along each side of a tiled preview

bool WriteRaw(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "musidisk-picture-painter: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

bool WriteSet(const std::string& dir, const std::string& name, const std::vector<uint8_t>& raw,
              const std::vector<uint8_t>& rgba, int size, bool tiled) {
  bool ok = WriteRaw(dir + "/" + name + ".raw", raw);
  ok = painter::WritePng(dir + "/" + name + ".png", size * kPreviewScale, size * kPreviewScale,
                         painter::ScaleAndTile(rgba, size, size, kPreviewScale, 1)) && ok;
  if (tiled) {
    ok = painter::WritePng(dir + "/" + name + "_tiled.png", size * kTileScale * kTiles, size * kTileScale * kTiles,
                           painter::ScaleAndTile(rgba, size, size, kTileScale, kTiles)) && ok;
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: musidisk-picture-painter <output directory>\n");
    return 2;
  }
  const std::string dir = argv[1];
  std::error_code error;
  if (!std::filesystem::is_directory(dir, error)) {
    std::fprintf(stderr, "musidisk-picture-painter: %s is not a directory\n", dir.c_str());
    return 1;
  }
  bool ok = true;

  const std::vector<uint8_t> portrait = painter::PaintPortrait();
  ok = WriteSet(dir, "rotozoom_a", portrait, painter::ExpandR5G6B5(portrait), painter::kPortraitSize, true) && ok;

  const std::vector<uint8_t> emblem = painter::PaintEmblem();
  ok = WriteSet(dir, "rotozoom_b", emblem, painter::ExpandR5G6B5(emblem), painter::kEmblemSize, true) && ok;

  const std::vector<uint8_t> ball = painter::PaintSpriteBall();
  ok = WriteSet(dir, "sprite_ball", ball, painter::ExpandA1R5G5B5(ball), painter::kSpriteBallSize, false) && ok;

  return ok ? 0 : 1;
}
