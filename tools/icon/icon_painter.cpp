// The program's icon: the logo's chrome T standing on a black record. The record's round edge is
// smoothed through alpha, which icons may use freely.
#include "icon_painter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sample_mask.h"

namespace icon {

namespace {

// Supersampling per axis at the design size; larger sizes take fewer samples per texel (the
// shapes' edges are as smooth at a quarter of the cost), smaller ones no more.
constexpr int kDesignSamples = 16;
constexpr int kMinSamples = 4;
// Corners of the polygons that stand for circles at the design size; more at larger sizes.
constexpr int kDesignSegments = 128;

// The design, in texels of the 32 by 32 grid.
constexpr double kCentre = 16.0;
constexpr double kDiscRadius = 15.6;
constexpr double kGrooveRadii[] = {13.2, 11.0};  // two lighter rings on the record
constexpr double kGrooveWidth = 0.7;
// The T: bar and stem, and its dark rim.
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

// The record's colour at a design point: a vinyl sheen along the diagonal from top left to bottom right.
Colour RecordAt(double x, double y) {
  const double angle = std::atan2(y - kCentre, x - kCentre);
  const double sheen = kSheen * std::pow(std::max(0.0, std::cos(2.0 * (angle + 0.75 * std::numbers::pi))), 4.0);
  return {kRecord.r + sheen, kRecord.g + sheen, kRecord.b + sheen * 1.2};
}

// The logo's chrome, by design row of the T: bright sky above a dark horizon, warm ground below.
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

artkit::RgbaImage PaintProgramIcon(int size) {
  // Design units to texels. At the design size every product below is exact, so the embedded
  // 32 by 32 icon is the same to the byte as before the painter learned other sizes.
  const double scale = static_cast<double>(size) / kDesignSize;
  const int samples = std::clamp(kDesignSamples * kDesignSize / size, kMinSamples, kDesignSamples);
  const int segments = std::max(kDesignSegments, static_cast<int>(std::lround(kDesignSegments * scale)));
  const double centre = kCentre * scale;

  artkit::SampleMask disc(size, size, samples);
  disc.Fill({artkit::CircleContour(centre, centre, kDiscRadius * scale, segments)});
  artkit::SampleMask grooves(size, size, samples);
  for (double r : kGrooveRadii)
    grooves.Fill({artkit::CircleContour(centre, centre, (r + kGrooveWidth / 2) * scale, segments),
                  artkit::Reversed(artkit::CircleContour(centre, centre, (r - kGrooveWidth / 2) * scale, segments))});
  artkit::SampleMask letter(size, size, samples);
  letter.Fill({artkit::RectContour(kBarLeft * scale, kBarTop * scale, kBarRight * scale, kBarBottom * scale),
               artkit::RectContour(kStemLeft * scale, kBarTop * scale, kStemRight * scale, kStemBottom * scale)});
  artkit::SampleMask rim = letter.Dilated(kRim * scale);
  rim.Subtract(letter);
  // The top design row of the bar catches the light, as on the logo.
  artkit::SampleMask shine = letter;
  shine.Subtract(letter.Shifted(0, std::max(1, static_cast<int>(std::lround(samples * scale)))));
  letter.Subtract(shine);

  artkit::RgbaImage image(size, size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double designX = (x + 0.5) / scale, designY = (y + 0.5) / scale;
      Colour c = {0, 0, 0};
      double alpha = 0.0;
      Over(c, alpha, RecordAt(designX, designY), disc.Coverage(x, y));
      Over(c, alpha, kGroove, grooves.Coverage(x, y));
      Over(c, alpha, kRimColour, rim.Coverage(x, y));
      Over(c, alpha, Chrome(designY), letter.Coverage(x, y));
      Over(c, alpha, kShine, shine.Coverage(x, y));
      auto byte = [](double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); };
      image.Set(x, y, alpha > 0.0 ? artkit::Rgba{byte(c.r), byte(c.g), byte(c.b), byte(alpha * 255.0)} : artkit::Rgba{});
    }
  }
  return image;
}

}  // namespace icon
