// Build step: renders the GDI layer's bitmap faces from an outline font with FreeType and writes
// them as tables (gdi::bakedFaces), so drawing text at run time reads no font file.
// Usage: musidisk-fontbake <out.cpp> <font.ttf>
//
// Each glyph is rendered hinted in 8-bit coverage and thresholded at half coverage, so a pixel is
// ink or not: the faces are drawn without anti-aliasing. The output depends only on the font file
// and the FreeType version, never on the machine or the run.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kFirstChar = 32;
constexpr int kLastChar = 126;
// Coverage (0..255) from which a pixel counts as ink.
constexpr int kInkThreshold = 128;

struct FaceRecipe {
  const char* name;        // face name CreateFontA asks for
  const char* identifier;  // stem of the generated arrays' names
  int pixelSize;           // em size the outlines are rendered at
  int cellHeight;          // rows of one text line
  int maxInkRows;          // ink is kept in the bottom maxInkRows rows of the cell
  int weight;
  bool rasterFace;
  // Set letters with the raster face's spacing: ink from the pen position on, then exactly one
  // blank column. Otherwise the outline's own side bearings are kept.
  bool rasterSpacing;
};

// "System" imitates the raster system face: bold, proportional, a 16-row cell of which the
// letters use at most 14 rows, one blank column between letters. At 13 pixels the bold outlines
// keep 10 rows above the baseline and 3 below. "Tahoma" stands in for the bold sans face at a
// 32-row cell: 27 pixels to the em puts ascender plus descender just inside it.
const FaceRecipe kFaces[] = {
    {"System", "system", 13, 16, 14, 700, true, true},
    {"Tahoma", "tahomaBold32", 27, 32, 32, 700, false, false},
};

struct Glyph {
  int advance = 0;
  int inkLeft = 0;
  int inkWidth = 0;
  std::vector<std::vector<bool>> rows;  // cellHeight rows of inkWidth columns
};

struct BakedFace {
  const FaceRecipe* recipe;
  int ascent;
  std::vector<Glyph> glyphs;  // codes 32..126, then the box glyph
};

// The cell's rows above the baseline, in the font's own proportion of ascender to descender.
int CellAscent(FT_Face face, int cellHeight) {
  long ascender = face->ascender;
  long total = face->ascender - face->descender;
  return static_cast<int>((2 * cellHeight * ascender + total) / (2 * total));
}

bool RenderGlyph(FT_Face face, const FaceRecipe& recipe, int ascent, int code, Glyph& glyph) {
  if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.rows > 0 && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return false;
  int advance = static_cast<int>((slot->advance.x + 32) >> 6);

  // Ink pixels in pen coordinates: x from the pen position, row from the top of the cell.
  const int firstRow = recipe.cellHeight - recipe.maxInkRows;
  std::vector<std::pair<int, int>> ink;
  for (unsigned r = 0; r < bitmap.rows; ++r) {
    for (unsigned c = 0; c < bitmap.width; ++c) {
      int coverage = bitmap.buffer[static_cast<long>(r) * bitmap.pitch + c];
      int row = ascent - slot->bitmap_top + static_cast<int>(r);
      if (coverage < kInkThreshold || row < firstRow || row >= recipe.cellHeight) continue;
      ink.emplace_back(slot->bitmap_left + static_cast<int>(c), row);
    }
  }
  glyph = Glyph();
  glyph.rows.assign(recipe.cellHeight, {});
  if (ink.empty()) {
    glyph.advance = advance;
    return true;
  }
  int left = ink[0].first, right = ink[0].first + 1;
  for (const auto& p : ink) {
    left = std::min(left, p.first);
    right = std::max(right, p.first + 1);
  }
  glyph.inkWidth = right - left;
  if (recipe.rasterSpacing) {
    glyph.inkLeft = 0;
    glyph.advance = glyph.inkWidth + 1;
  } else {
    // Widen the advance box over ink that overhangs it, as a raster face would have it.
    int boxLeft = std::min(0, left);
    int boxRight = std::max(advance, right);
    glyph.advance = boxRight - boxLeft;
    glyph.inkLeft = left - boxLeft;
  }
  for (auto& row : glyph.rows) row.assign(glyph.inkWidth, false);
  for (const auto& p : ink) glyph.rows[p.second][p.first - left] = true;
  return true;
}

// The glyph drawn for bytes without a character of their own: the outline of the ink box of "H".
Glyph BoxGlyph(const Glyph& h) {
  Glyph box = h;
  int top = -1, bottom = -1;
  for (int r = 0; r < static_cast<int>(h.rows.size()); ++r) {
    if (std::find(h.rows[r].begin(), h.rows[r].end(), true) == h.rows[r].end()) continue;
    if (top < 0) top = r;
    bottom = r;
  }
  for (int r = 0; r < static_cast<int>(box.rows.size()); ++r) {
    for (int c = 0; c < box.inkWidth; ++c) {
      bool inside = top >= 0 && r >= top && r <= bottom;
      bool edge = r == top || r == bottom || c == 0 || c == box.inkWidth - 1;
      box.rows[r][c] = inside && edge;
    }
  }
  return box;
}

bool Bake(FT_Library library, const char* fontPath, const FaceRecipe& recipe, BakedFace& baked) {
  FT_Face face;
  if (FT_New_Face(library, fontPath, 0, &face) != 0) {
    std::fprintf(stderr, "musidisk-fontbake: cannot open font %s\n", fontPath);
    return false;
  }
  bool ok = FT_IS_SCALABLE(face) && FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(recipe.pixelSize)) == 0;
  if (!ok) std::fprintf(stderr, "musidisk-fontbake: %s is not a scalable font\n", fontPath);
  baked.recipe = &recipe;
  baked.ascent = ok ? CellAscent(face, recipe.cellHeight) : 0;
  for (int code = kFirstChar; ok && code <= kLastChar; ++code) {
    Glyph glyph;
    ok = RenderGlyph(face, recipe, baked.ascent, code, glyph) && glyph.advance < 65536 && glyph.inkLeft < 256 &&
         glyph.inkWidth < 256;
    if (!ok) std::fprintf(stderr, "musidisk-fontbake: cannot render code %d of %s\n", code, fontPath);
    baked.glyphs.push_back(glyph);
  }
  if (ok) baked.glyphs.push_back(BoxGlyph(baked.glyphs['H' - kFirstChar]));
  FT_Done_Face(face);
  return ok;
}

void Emit(const BakedFace& baked, std::string& out) {
  const FaceRecipe& recipe = *baked.recipe;
  std::vector<uint8_t> bits;
  std::string glyphs;
  for (size_t g = 0; g < baked.glyphs.size(); ++g) {
    const Glyph& glyph = baked.glyphs[g];
    glyphs += "    {" + std::to_string(glyph.advance) + ", " + std::to_string(glyph.inkLeft) + ", " +
              std::to_string(glyph.inkWidth) + ", " + std::to_string(bits.size()) + "},";
    glyphs += g + kFirstChar <= kLastChar ? "  // " + std::to_string(g + kFirstChar) + "\n" : "  // box\n";
    int stride = (glyph.inkWidth + 7) / 8;
    for (const auto& row : glyph.rows) {
      for (int b = 0; b < stride; ++b) {
        uint8_t byte = 0;
        for (int k = 0; k < 8; ++k) {
          int c = 8 * b + k;
          if (c < glyph.inkWidth && row[c]) byte |= static_cast<uint8_t>(0x80 >> k);
        }
        bits.push_back(byte);
      }
    }
  }
  std::string id = recipe.identifier;
  out += "const BakedGlyph " + id + "Glyphs[" + std::to_string(baked.glyphs.size()) + "] = {\n" + glyphs + "};\n\n";
  out += "const uint8_t " + id + "Bits[" + std::to_string(bits.size() + 1) + "] = {";
  for (size_t k = 0; k < bits.size(); ++k) {
    if (k % 24 == 0) out += "\n   ";
    out += ' ';
    out += std::to_string(bits[k]);
    out += ',';
  }
  out += "\n    0};\n\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: musidisk-fontbake <out.cpp> <font.ttf>\n");
    return 2;
  }
  FT_Library library;
  if (FT_Init_FreeType(&library) != 0) {
    std::fprintf(stderr, "musidisk-fontbake: cannot start FreeType\n");
    return 1;
  }
  std::vector<BakedFace> faces;
  for (const FaceRecipe& recipe : kFaces) {
    faces.emplace_back();
    if (!Bake(library, argv[2], recipe, faces.back())) {
      FT_Done_FreeType(library);
      return 1;
    }
  }
  FT_Done_FreeType(library);

  std::string out =
      "// Generated by musidisk-fontbake from an outline font. Do not edit.\n"
      "#include \"platform/gdi/baked_font.h\"\n\nnamespace gdi {\nnamespace {\n\n";
  for (const BakedFace& baked : faces) Emit(baked, out);
  out += "}  // namespace\n\nconst BakedFace bakedFaces[] = {\n";
  std::vector<uint32_t> sizes;
  for (const BakedFace& baked : faces) {
    const FaceRecipe& recipe = *baked.recipe;
    std::string id = recipe.identifier;
    out += "    {\"" + std::string(recipe.name) + "\", " + std::to_string(recipe.cellHeight) + ", " +
           std::to_string(baked.ascent) + ", " + std::to_string(recipe.pixelSize) + ", " + std::to_string(recipe.weight) +
           ", " + (recipe.rasterFace ? "true" : "false") + ", " + id + "Glyphs, " + id + "Bits, sizeof(" + id +
           "Bits) - 1},\n";
  }
  out += "};\nconst int bakedFaceCount = " + std::to_string(faces.size()) + ";\n\n}  // namespace gdi\n";

  std::ofstream file(argv[1], std::ios::binary);
  file << out;
  file.close();
  if (!file) {
    std::fprintf(stderr, "musidisk-fontbake: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
