// A supersampled coverage mask filled by scanline polygon filling.
#include "sample_mask.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace artkit {

SampleMask::SampleMask(int width, int height, int factor)
    : width_(width), height_(height), factor_(factor), samples_(static_cast<size_t>(width * factor) * height * factor) {}

bool SampleMask::At(int sx, int sy) const {
  if (sx < 0 || sy < 0 || sx >= sampleWidth() || sy >= sampleHeight()) return false;
  return samples_[static_cast<size_t>(sy) * sampleWidth() + sx] != 0;
}

void SampleMask::Set(int sx, int sy, bool value) {
  if (sx < 0 || sy < 0 || sx >= sampleWidth() || sy >= sampleHeight()) return;
  samples_[static_cast<size_t>(sy) * sampleWidth() + sx] = value ? 1 : 0;
}

void SampleMask::Fill(const std::vector<Contour>& contours, bool value) {
  struct Crossing {
    double x;
    int direction;
  };
  std::vector<Crossing> crossings;
  for (int sy = 0; sy < sampleHeight(); ++sy) {
    const double y = (sy + 0.5) / factor_;
    crossings.clear();
    for (const Contour& contour : contours) {
      for (size_t i = 0; i < contour.size(); ++i) {
        Point a = contour[i], b = contour[(i + 1) % contour.size()];
        if (a.y == b.y) continue;
        int direction = b.y > a.y ? 1 : -1;
        if (a.y > b.y) std::swap(a, b);
        // Half-open in y, so a vertex shared by two edges is crossed once.
        if (y < a.y || y >= b.y) continue;
        crossings.push_back({a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y), direction});
      }
    }
    std::sort(crossings.begin(), crossings.end(), [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += crossings[i].direction;
      if (winding == 0) continue;
      // Samples whose centre lies in [left, right).
      int first = static_cast<int>(std::ceil(crossings[i].x * factor_ - 0.5));
      int last = static_cast<int>(std::ceil(crossings[i + 1].x * factor_ - 0.5)) - 1;
      for (int sx = std::max(first, 0); sx <= std::min(last, sampleWidth() - 1); ++sx) Set(sx, sy, value);
    }
  }
}

double SampleMask::Coverage(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0.0;
  int count = 0;
  for (int sy = y * factor_; sy < (y + 1) * factor_; ++sy)
    for (int sx = x * factor_; sx < (x + 1) * factor_; ++sx) count += At(sx, sy) ? 1 : 0;
  return static_cast<double>(count) / (factor_ * factor_);
}

bool SampleMask::Empty() const {
  return std::none_of(samples_.begin(), samples_.end(), [](uint8_t s) { return s != 0; });
}

SampleMask SampleMask::Dilated(double radius) const {
  const int w = sampleWidth(), h = sampleHeight();
  const double r = radius * factor_;
  const int reach = static_cast<int>(std::floor(r));
  // Row prefix sums answer "is any sample set in this run of a row" in constant time.
  std::vector<int> prefix(static_cast<size_t>(w + 1) * h);
  for (int sy = 0; sy < h; ++sy)
    for (int sx = 0; sx < w; ++sx)
      prefix[static_cast<size_t>(sy) * (w + 1) + sx + 1] = prefix[static_cast<size_t>(sy) * (w + 1) + sx] + (At(sx, sy) ? 1 : 0);
  std::vector<int> halfWidth(2 * reach + 1);
  for (int dy = -reach; dy <= reach; ++dy)
    halfWidth[dy + reach] = static_cast<int>(std::floor(std::sqrt(std::max(0.0, r * r - dy * dy))));
  SampleMask out(width_, height_, factor_);
  for (int sy = 0; sy < h; ++sy) {
    for (int sx = 0; sx < w; ++sx) {
      bool hit = false;
      for (int dy = -reach; dy <= reach && !hit; ++dy) {
        int row = sy + dy;
        if (row < 0 || row >= h) continue;
        int lo = std::max(sx - halfWidth[dy + reach], 0), hi = std::min(sx + halfWidth[dy + reach], w - 1);
        const int* p = &prefix[static_cast<size_t>(row) * (w + 1)];
        hit = p[hi + 1] - p[lo] > 0;
      }
      out.Set(sx, sy, hit);
    }
  }
  return out;
}

SampleMask SampleMask::Shifted(int dx, int dy) const {
  SampleMask out(width_, height_, factor_);
  for (int sy = 0; sy < sampleHeight(); ++sy)
    for (int sx = 0; sx < sampleWidth(); ++sx) out.Set(sx, sy, At(sx - dx, sy - dy));
  return out;
}

void SampleMask::Unite(const SampleMask& other) {
  for (size_t i = 0; i < samples_.size() && i < other.samples_.size(); ++i) samples_[i] |= other.samples_[i];
}

void SampleMask::Subtract(const SampleMask& other) {
  for (size_t i = 0; i < samples_.size() && i < other.samples_.size(); ++i)
    if (other.samples_[i] != 0) samples_[i] = 0;
}

Contour RectContour(double x0, double y0, double x1, double y1) { return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}; }

Contour CircleContour(double cx, double cy, double radius, int segments) {
  Contour contour;
  for (int i = 0; i < segments; ++i) {
    double a = 2.0 * std::numbers::pi * i / segments;
    contour.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a)});
  }
  return contour;
}

Contour Reversed(Contour contour) {
  std::reverse(contour.begin(), contour.end());
  return contour;
}

}  // namespace artkit
