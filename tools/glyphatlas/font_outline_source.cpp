// Glyph outlines from a TrueType font through FreeType, flattened into polygon contours.
#include "font_outline_source.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cstdio>

namespace glyphatlas {
namespace {

// Line segments per curve: at the sizes we render (a glyph is 16 texels high from a 2048-unit
// em), 12 segments keep every chord well under a hundredth of a texel from the curve.
constexpr int kCurveSegments = 12;

struct Flattener {
  std::vector<artkit::Contour>* contours;
  artkit::Point pen;
};

artkit::Point ToPoint(const FT_Vector* v) { return {static_cast<double>(v->x), static_cast<double>(v->y)}; }

int MoveTo(const FT_Vector* to, void* user) {
  auto* f = static_cast<Flattener*>(user);
  f->contours->emplace_back();
  f->pen = ToPoint(to);
  f->contours->back().push_back(f->pen);
  return 0;
}

int LineTo(const FT_Vector* to, void* user) {
  auto* f = static_cast<Flattener*>(user);
  f->pen = ToPoint(to);
  f->contours->back().push_back(f->pen);
  return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  auto* f = static_cast<Flattener*>(user);
  artkit::Point p0 = f->pen, p1 = ToPoint(control), p2 = ToPoint(to);
  for (int i = 1; i <= kCurveSegments; ++i) {
    double t = static_cast<double>(i) / kCurveSegments, u = 1.0 - t;
    f->contours->back().push_back({u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x,
                                   u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y});
  }
  f->pen = p2;
  return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  auto* f = static_cast<Flattener*>(user);
  artkit::Point p0 = f->pen, p1 = ToPoint(c1), p2 = ToPoint(c2), p3 = ToPoint(to);
  for (int i = 1; i <= kCurveSegments; ++i) {
    double t = static_cast<double>(i) / kCurveSegments, u = 1.0 - t;
    double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    f->contours->back().push_back({a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
  }
  f->pen = p3;
  return 0;
}

}  // namespace

struct FontOutlineSource::Library {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
};

FontOutlineSource::FontOutlineSource() : library_(std::make_unique<Library>()) {}

FontOutlineSource::~FontOutlineSource() {
  if (library_->face != nullptr) FT_Done_Face(library_->face);
  if (library_->library != nullptr) FT_Done_FreeType(library_->library);
}

bool FontOutlineSource::Open(const std::string& path) {
  if (library_->library == nullptr && FT_Init_FreeType(&library_->library) != 0) {
    std::fprintf(stderr, "cannot start FreeType\n");
    return false;
  }
  if (FT_New_Face(library_->library, path.c_str(), 0, &library_->face) != 0) {
    std::fprintf(stderr, "cannot open the font %s\n", path.c_str());
    return false;
  }
  return true;
}

bool FontOutlineSource::Contours(char32_t character, double emboldenX, double emboldenY,
                                 std::vector<artkit::Contour>& contours, FontBox& box) const {
  FT_Face face = library_->face;
  if (face == nullptr) return false;
  FT_UInt index = FT_Get_Char_Index(face, character);
  if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
      face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
    return false;
  FT_Outline* outline = &face->glyph->outline;
  if (emboldenX > 0.0 || emboldenY > 0.0)
    FT_Outline_EmboldenXY(outline, static_cast<FT_Pos>(emboldenX), static_cast<FT_Pos>(emboldenY));
  contours.clear();
  Flattener flattener{&contours, {}};
  FT_Outline_Funcs funcs = {MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
  if (FT_Outline_Decompose(outline, &funcs, &flattener) != 0 || contours.empty()) return false;
  box = {contours[0][0].x, contours[0][0].y, contours[0][0].x, contours[0][0].y};
  for (const artkit::Contour& contour : contours)
    for (const artkit::Point& p : contour) {
      box.xMin = std::min(box.xMin, p.x);
      box.xMax = std::max(box.xMax, p.x);
      box.yMin = std::min(box.yMin, p.y);
      box.yMax = std::max(box.yMax, p.y);
    }
  return true;
}

}  // namespace glyphatlas
