// Paints the logo banner's picture, data/images/logo.raw, and its preview.
// Usage: musidisk-logo <source root> <output root>
//
// 512 by 64 texels, 4 bytes each in the order B, G, R, A, rows top to bottom. The logo reads
// TARNVIK in columns 9..309 of the 320 the banner maps; every other texel is transparent. Alpha
// is 0 or 255 only: the banner fades the whole cut-out in and out with its vertex alpha, so the
// outline and the drop shadow are opaque colours too.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "byte_file.h"
#include "logo_letters.h"
#include "png_file.h"
#include "rgba_image.h"
#include "sample_mask.h"
#include "tool_roots.h"

namespace {

constexpr int kWidth = 512;   // texels across the stored image
constexpr int kHeight = 64;   // texel rows
constexpr int kFirstColumn = 9;    // the logo's leftmost opaque column...
constexpr int kLastColumn = 309;   // ...and its rightmost
constexpr int kMappedWidth = 320;  // columns the banner shows
constexpr int kSamples = 8;        // supersampling per axis

constexpr char kWord[] = "TARNVIK";
constexpr double kLetterTop = 6.0;        // texel row of the cap line
constexpr double kLetterHeight = 44.0;    // texels from cap line to baseline
constexpr double kGap = 0.11;             // design units between letters
constexpr double kSlant = 0.18;           // forward lean: design units the top moves right
constexpr double kOutline = 2.0;          // texels of dark rim around the letters
constexpr int kShadowX = 4;               // drop shadow offset, texels right...
constexpr int kShadowY = 4;               // ...and down

// The chrome: a bright sky reflection above a dark horizon line, warm ground below. v runs from
// 0 on the cap line to 1 on the baseline.
constexpr double kHorizonTop = 0.50;
constexpr double kHorizonBottom = 0.57;

struct Colour {
  double r, g, b;
};
constexpr Colour kSkyTop = {250, 252, 255};
constexpr Colour kSkyLow = {70, 130, 230};
constexpr Colour kHorizon = {28, 20, 70};
constexpr Colour kGroundHigh = {190, 70, 20};
constexpr Colour kGroundLow = {255, 230, 120};
constexpr Colour kRim = {8, 6, 24};
constexpr Colour kShadow = {36, 20, 72};
constexpr Colour kShine = {255, 255, 255};  // top edge of every stroke, and the glints

// Two glints of light catching corners of the chrome: the letter (index into the word), the
// corner in that letter's design units, and the arm length in texels.
struct Glint {
  int letter;
  double x, y, arm;
};
constexpr Glint kGlints[] = {{0, 0.92, 0.0, 8.0}, {3, 0.96, 1.0, 7.0}};
constexpr double kGlintWaist = 1.5;  // half-width of a glint at its centre

Colour Mix(Colour a, Colour b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

Colour ChromeAt(double v) {
  if (v < kHorizonTop) return Mix(kSkyTop, kSkyLow, std::clamp(v / kHorizonTop, 0.0, 1.0));
  if (v < kHorizonBottom) return kHorizon;
  return Mix(kGroundHigh, kGroundLow, std::clamp((v - kHorizonBottom) / (1.0 - kHorizonBottom), 0.0, 1.0));
}

// Where a letter's design point lands in the word's design units, leaning forward.
artkit::Point Lean(double pen, artkit::Point p) { return {pen + p.x + (1.0 - p.y) * kSlant, p.y}; }

// Lays the word out in design units (letter height 1), leaning forward, and returns its contours
// moved to start at x 0, the width they span and where each letter's origin went.
std::vector<artkit::Contour> WordContours(double& width, std::vector<double>& pens) {
  std::vector<artkit::Contour> word;
  double pen = 0.0;
  pens.clear();
  for (const char* c = kWord; *c != '\0'; ++c) {
    logo::LetterShape shape;
    if (!logo::LetterShapeOf(*c, shape)) return {};
    pens.push_back(pen);
    for (artkit::Contour contour : shape.contours) {
      for (artkit::Point& p : contour) p = Lean(pen, p);
      word.push_back(contour);
    }
    pen += shape.width + kGap;
  }
  double minX = word[0][0].x, maxX = minX;
  for (const artkit::Contour& contour : word)
    for (const artkit::Point& p : contour) {
      minX = std::min(minX, p.x);
      maxX = std::max(maxX, p.x);
    }
  for (artkit::Contour& contour : word)
    for (artkit::Point& p : contour) p.x -= minX;
  for (double& p : pens) p -= minX;
  width = maxX - minX;
  return word;
}

// A four-pointed sparkle centred on (x, y) texels: long thin arms along the axes.
artkit::Contour GlintContour(double x, double y, double arm) {
  const double w = kGlintWaist;
  return {{x, y - arm}, {x + w, y - w}, {x + arm, y}, {x + w, y + w}, {x, y + arm}, {x - w, y + w}, {x - arm, y}, {x - w, y - w}};
}

}  // namespace

int main(int argc, char** argv) {
  artkit::ToolRoots roots;
  if (!artkit::ParseToolRoots(argc, argv, roots)) return 2;

  double designWidth = 0.0;
  std::vector<double> pens;
  std::vector<artkit::Contour> word = WordContours(designWidth, pens);
  if (word.empty()) {
    std::fprintf(stderr, "logo: a letter of %s has no shape\n", kWord);
    return 1;
  }
  // Letters are stretched across so that letters, rim and shadow together span the columns.
  const double span = (kLastColumn + 1 - kFirstColumn) - 2 * kOutline - kShadowX;
  const double scaleX = span / designWidth;
  const double left = kFirstColumn + kOutline;
  auto toTexels = [&](artkit::Point p) { return artkit::Point{left + p.x * scaleX, kLetterTop + p.y * kLetterHeight}; };
  for (artkit::Contour& contour : word)
    for (artkit::Point& p : contour) p = toTexels(p);

  artkit::SampleMask letters(kWidth, kHeight, kSamples);
  letters.Fill(word);
  artkit::SampleMask rim = letters.Dilated(kOutline);
  artkit::SampleMask shadow = rim.Shifted(kShadowX * kSamples, kShadowY * kSamples);
  shadow.Subtract(rim);
  rim.Subtract(letters);
  // The shine is the top texel of every stroke: what the letters cover and the row above does not.
  artkit::SampleMask shine = letters;
  shine.Subtract(letters.Shifted(0, kSamples));
  letters.Subtract(shine);
  std::vector<artkit::Contour> glints;
  for (const Glint& g : kGlints) {
    const artkit::Point centre = toTexels(Lean(pens[g.letter], {g.x, g.y}));
    glints.push_back(GlintContour(centre.x, centre.y, g.arm));
  }
  artkit::SampleMask sparkle(kWidth, kHeight, kSamples);
  sparkle.Fill(glints);
  for (artkit::SampleMask* layer : {&letters, &rim, &shadow}) layer->Subtract(sparkle);
  shine.Unite(sparkle);

  std::vector<uint8_t> raw(kWidth * kHeight * 4, 0);
  artkit::RgbaImage image(kWidth, kHeight);
  int firstOpaque = kWidth, lastOpaque = -1;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double fill = letters.Coverage(x, y), edge = rim.Coverage(x, y), dark = shadow.Coverage(x, y);
      const double light = shine.Coverage(x, y);
      const double total = fill + edge + dark + light;
      // The cut-out keeps texels at least half covered; inside it the three layers blend, so the
      // letters' own edges stay smooth although the silhouette is hard.
      if (total < 0.5) continue;
      const Colour chrome = ChromeAt((y + 0.5 - kLetterTop) / kLetterHeight);
      const Colour c = {(chrome.r * fill + kRim.r * edge + kShadow.r * dark + kShine.r * light) / total,
                        (chrome.g * fill + kRim.g * edge + kShadow.g * dark + kShine.g * light) / total,
                        (chrome.b * fill + kRim.b * edge + kShadow.b * dark + kShine.b * light) / total};
      auto byte = [](double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); };
      const artkit::Rgba texel = {byte(c.r), byte(c.g), byte(c.b), 255};
      image.Set(x, y, texel);
      uint8_t* out = &raw[(y * kWidth + x) * 4];
      out[0] = texel.b;
      out[1] = texel.g;
      out[2] = texel.r;
      out[3] = 255;
      firstOpaque = std::min(firstOpaque, x);
      lastOpaque = std::max(lastOpaque, x);
    }
  }
  if (firstOpaque < kFirstColumn || lastOpaque > kLastColumn) {
    std::fprintf(stderr, "logo: the art spans columns %d..%d, outside %d..%d\n", firstOpaque, lastOpaque, kFirstColumn,
                 kLastColumn);
    return 1;
  }
  std::printf("logo: opaque columns %d..%d\n", firstOpaque, lastOpaque);

  // Preview: the stored image doubled over a checkerboard, and below it the banner as the screen
  // shows it (the mapped 320 columns stretched to 640 by 128) over a colourful backdrop.
  artkit::RgbaImage preview(kWidth * 2, kHeight * 4 + 8, {0x20, 0x20, 0x20, 0xFF});
  preview.Draw(artkit::Checkerboard(kWidth * 2, kHeight * 2, 8), 0, 0);
  preview.Draw(image, 0, 0, 2);
  artkit::RgbaImage screen(kMappedWidth * 2, kHeight * 2);
  for (int y = 0; y < screen.height(); ++y)
    for (int x = 0; x < screen.width(); ++x) {
      const double t = (x + 2.0 * y) / 40.0;
      screen.Set(x, y, {static_cast<uint8_t>(110 + 100 * std::sin(t)), static_cast<uint8_t>(60 + 50 * std::sin(t * 0.7 + 2)),
                        static_cast<uint8_t>(140 + 100 * std::sin(t * 0.5 + 4)), 255});
    }
  artkit::RgbaImage mapped(kMappedWidth, kHeight);
  mapped.Draw(image, 0, 0);
  screen.Draw(mapped, 0, 0, 2);
  preview.Draw(screen, 0, kHeight * 2 + 8);

  if (!artkit::WriteBytes(roots.output / "data/images/logo.raw", raw)) return 1;
  if (!artkit::WritePng(roots.output / "data/images/logo.png", preview)) return 1;
  return 0;
}
