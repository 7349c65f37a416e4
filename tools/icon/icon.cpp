// Paints the program icon, data/icon/program_icon.raw, and its preview.
// Usage: musidisk-icon <source root> <output root>
//
// 32 by 32 texels, 4 bytes each in the order B, G, R, A, rows top to bottom, straight (not
// premultiplied) alpha. The emblem is the logo's chrome T standing on a black record; the record's
// round edge is smoothed through alpha, which icons may use freely.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "byte_file.h"
#include "png_file.h"
#include "rgba_image.h"
#include "sample_mask.h"
#include "tool_roots.h"

namespace {

constexpr int kSize = 32;          // texels per side
constexpr int kSamples = 16;       // supersampling per axis
constexpr int kPreviewScale = 8;

constexpr double kCentre = 16.0;
constexpr double kDiscRadius = 15.6;
constexpr double kGrooveRadii[] = {13.2, 11.0};  // two lighter rings on the record
constexpr double kGrooveWidth = 0.7;
// The T: bar and stem in texels, and its dark rim.
constexpr double kBarLeft = 5.5, kBarRight = 26.5, kBarTop = 5.5, kBarBottom = 12.0;
constexpr double kStemLeft = 12.5, kStemRight = 19.5, kStemBottom = 27.0;
constexpr double kRim = 1.3;

struct Colour {
  double r, g, b;
};
constexpr Colour kRecord = {22, 22, 34};
constexpr Colour kGroove = {70, 70, 96};
constexpr Colour kRimColour = {8, 6, 24};
constexpr Colour kShine = {255, 255, 255};
constexpr double kSheen = 46.0;  // brightening of the record where the light catches its grooves

// The record's colour: a vinyl sheen along the diagonal from top left to bottom right.
Colour RecordAt(double x, double y) {
  const double angle = std::atan2(y - kCentre, x - kCentre);
  const double sheen = kSheen * std::pow(std::max(0.0, std::cos(2.0 * (angle + 0.75 * std::numbers::pi))), 4.0);
  return {kRecord.r + sheen, kRecord.g + sheen, kRecord.b + sheen * 1.2};
}

// The logo's chrome, by texel row of the T: bright sky above a dark horizon, warm ground below.
Colour Chrome(double y) {
  const double v = (y - kBarTop) / (kStemBottom - kBarTop);
  auto mix = [](Colour a, Colour b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return Colour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
  };
  if (v < 0.48) return mix({250, 252, 255}, {70, 130, 230}, v / 0.48);
  if (v < 0.56) return {28, 20, 70};
  return mix({190, 70, 20}, {255, 230, 120}, (v - 0.56) / 0.44);
}

// Paints `colour` over `dst` (straight alpha) with `coverage` as its opacity.
void Over(Colour& dst, double& alpha, Colour colour, double coverage) {
  if (coverage <= 0.0) return;
  const double out = coverage + alpha * (1.0 - coverage);
  dst = {(colour.r * coverage + dst.r * alpha * (1.0 - coverage)) / out,
         (colour.g * coverage + dst.g * alpha * (1.0 - coverage)) / out,
         (colour.b * coverage + dst.b * alpha * (1.0 - coverage)) / out};
  alpha = out;
}

}  // namespace

int main(int argc, char** argv) {
  artkit::ToolRoots roots;
  if (!artkit::ParseToolRoots(argc, argv, roots)) return 2;

  artkit::SampleMask disc(kSize, kSize, kSamples);
  disc.Fill({artkit::CircleContour(kCentre, kCentre, kDiscRadius, 128)});
  artkit::SampleMask grooves(kSize, kSize, kSamples);
  for (double r : kGrooveRadii)
    grooves.Fill({artkit::CircleContour(kCentre, kCentre, r + kGrooveWidth / 2, 128),
                  artkit::Reversed(artkit::CircleContour(kCentre, kCentre, r - kGrooveWidth / 2, 128))});
  artkit::SampleMask letter(kSize, kSize, kSamples);
  letter.Fill({artkit::RectContour(kBarLeft, kBarTop, kBarRight, kBarBottom),
               artkit::RectContour(kStemLeft, kBarTop, kStemRight, kStemBottom)});
  artkit::SampleMask rim = letter.Dilated(kRim);
  rim.Subtract(letter);
  // The top texel row of the bar catches the light, as on the logo.
  artkit::SampleMask shine = letter;
  shine.Subtract(letter.Shifted(0, kSamples));
  letter.Subtract(shine);

  std::vector<uint8_t> raw(kSize * kSize * 4);
  artkit::RgbaImage image(kSize, kSize);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      Colour c = {0, 0, 0};
      double alpha = 0.0;
      Over(c, alpha, RecordAt(x + 0.5, y + 0.5), disc.Coverage(x, y));
      Over(c, alpha, kGroove, grooves.Coverage(x, y));
      Over(c, alpha, kRimColour, rim.Coverage(x, y));
      Over(c, alpha, Chrome(y + 0.5), letter.Coverage(x, y));
      Over(c, alpha, kShine, shine.Coverage(x, y));
      auto byte = [](double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); };
      const artkit::Rgba texel = alpha > 0.0 ? artkit::Rgba{byte(c.r), byte(c.g), byte(c.b), byte(alpha * 255.0)}
                                             : artkit::Rgba{};
      image.Set(x, y, texel);
      uint8_t* out = &raw[(y * kSize + x) * 4];
      out[0] = texel.b;
      out[1] = texel.g;
      out[2] = texel.r;
      out[3] = texel.a;
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

  if (!artkit::WriteBytes(roots.output / "data/icon/program_icon.raw", raw)) return 1;
  if (!artkit::WritePng(roots.output / "data/icon/program_icon.png", preview)) return 1;
  return 0;
}
