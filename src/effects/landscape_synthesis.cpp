// Spectral synthesis of the greetings landscape.
#include "effects/landscape_synthesis.h"

#include <cstring>
#include <memory>
#include <new>

#include "app/random_generator.h"
#include "effects/fourier_transform.h"

static_assert(kLandscapeSide == kFftSize, "the landscape is one FFT grid");

namespace {

constexpr float kRandomMax = 32767.0f;  // largest NextRandom value
// The filter's centre, in grid coordinates: half-way between the middle rows and columns, so no
// weight divides by zero.
constexpr float kFilterCentre = 127.5f;
constexpr float kHeightRange = 255.0f;
constexpr int kHalfSide = kLandscapeSide / 2;

}  // namespace

bool SynthesizeLandscape(uint8_t* heights) {
  std::unique_ptr<Complex[]> grid(new (std::nothrow) Complex[kLandscapeSize]);
  if (grid == nullptr) return false;

  SeedRandom(kLandscapeSeed);
  for (int e = 0; e < kLandscapeSize; ++e) {
    int v = NextRandom();
    grid[e] = {1.0f - static_cast<float>(2 * v) / kRandomMax, 0.0f};
  }

  Fft256x256(grid.get(), kFftForward);
  // 1/f² weight, f measured from the grid's centre.
  for (int i = 0; i < kLandscapeSide; ++i) {
    float di = static_cast<float>(i) - kFilterCentre;
    for (int j = 0; j < kLandscapeSide; ++j) {
      float dj = static_cast<float>(j) - kFilterCentre;
      float weight = di * di + dj * dj;
      Complex& c = grid[i * kLandscapeSide + j];
      c.re /= weight;
      c.im /= weight;
    }
  }
  Fft256x256(grid.get(), kFftInverse);

  // The power of each element, kept in the grid's real parts.
  float minimum = 0.0f;
  float maximum = 0.0f;
  for (int e = 0; e < kLandscapeSize; ++e) {
    Complex& c = grid[e];
    float power = c.re * c.re + c.im * c.im;
    c.re = power;
    if (e == 0 || power < minimum) minimum = power;
    if (e == 0 || power > maximum) maximum = power;
  }
  // A flat field has no range to stretch: every height is 0 rather than 0/0.
  float scale = maximum > minimum ? kHeightRange / (maximum - minimum) : 0.0f;
  for (int e = 0; e < kLandscapeSize; ++e) {
    float height = scale * (grid[e].re - minimum);
    heights[e] = static_cast<uint8_t>(height > kHeightRange ? kHeightRange : height);
  }
  return true;
}

void ShrinkAndTile(uint8_t* heights) {
  // In place: output row r is written after its input rows 2r and 2r + 1 have been read, and
  // only rows at or above r are written.
  for (int r = 0; r < kHalfSide; ++r) {
    uint8_t* out = heights + r * kLandscapeSide;
    const uint8_t* upper = heights + 2 * r * kLandscapeSide;
    const uint8_t* lower = upper + kLandscapeSide;
    for (int j = 0; j < kHalfSide; ++j) {
      out[j] = static_cast<uint8_t>((upper[2 * j] + upper[2 * j + 1] + lower[2 * j] + lower[2 * j + 1]) >> 2);
    }
    std::memcpy(out + kHalfSide, out, kHalfSide);
  }
  std::memcpy(heights + kHalfSide * kLandscapeSide, heights, kHalfSide * kLandscapeSide);
}
