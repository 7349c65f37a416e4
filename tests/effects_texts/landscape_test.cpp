// The landscape under the greetings: the FFT it is made with, checked against a direct DFT, and
// the height map it gives: the same on every run, full range, tiled two by two.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <vector>

#include "app/random_generator.h"
#include "effects/fourier_transform.h"
#include "effects/landscape_synthesis.h"

namespace {

using Cd = std::complex<double>;

// sum over n of x[n] e^(sign 2πi kn/N), in doubles.
std::vector<Cd> DirectDft(const std::vector<Cd>& x, int sign) {
  const int n = static_cast<int>(x.size());
  std::vector<Cd> out(n);
  for (int k = 0; k < n; ++k) {
    Cd sum = 0;
    for (int j = 0; j < n; ++j) sum += x[j] * std::polar(1.0, sign * 2.0 * M_PI * ((k * j) % n) / n);
    out[k] = sum;
  }
  return out;
}

// Signals with structure at several frequencies, an impulse off the origin, and noise.
std::vector<Cd> Signal(int which) {
  std::vector<Cd> x(kFftSize);
  for (int i = 0; i < kFftSize; ++i) {
    switch (which) {
      case 0:
        x[i] = i == 37 ? Cd(1.0, 0.0) : Cd(0.0, 0.0);
        break;
      case 1:
        x[i] = Cd(std::cos(2 * M_PI * 5 * i / 256.0) + 0.5 * std::sin(2 * M_PI * 77 * i / 256.0), 0.0);
        break;
      default:
        x[i] = Cd(((i * 7919) % 257) / 128.0 - 1.0, ((i * 104729) % 263) / 131.0 - 1.0);
        break;
    }
  }
  return x;
}

TEST(Fft, MatchesTheDirectTransformBothWays) {
  for (int which = 0; which < 3; ++which) {
    for (int direction : {kFftForward, kFftInverse}) {
      SCOPED_TRACE(std::to_string(which) + (direction == kFftForward ? " forward" : " inverse"));
      std::vector<Cd> x = Signal(which);
      float re[kFftSize], im[kFftSize];
      for (int i = 0; i < kFftSize; ++i) {
        re[i] = static_cast<float>(x[i].real());
        im[i] = static_cast<float>(x[i].imag());
      }
      Fft256(re, im, direction);
      // Forward: e^(-...) and divided by 256; inverse: e^(+...) unscaled.
      std::vector<Cd> expected = DirectDft(x, direction == kFftForward ? -1 : 1);
      double scale = direction == kFftForward ? 1.0 / kFftSize : 1.0;
      double tolerance = 2e-5 * (direction == kFftForward ? 1.0 : kFftSize);
      for (int k = 0; k < kFftSize; ++k) {
        ASSERT_NEAR(re[k], expected[k].real() * scale, tolerance) << k;
        ASSERT_NEAR(im[k], expected[k].imag() * scale, tolerance) << k;
      }
    }
  }
}

// The grid transform goes over columns and rows: a few bins against the direct two-dimensional
// DFT, and the inverse brings the grid back.
TEST(Fft, GridTransformMatchesTheDirectTwoDimensionalTransform) {
  std::vector<Complex> grid(kFftSize * kFftSize);
  for (int e = 0; e < kFftSize * kFftSize; ++e) {
    grid[e] = {static_cast<float>(((e * 7919) % 1009) / 504.5 - 1.0), static_cast<float>(((e * 31) % 17) / 8.0 - 1.0)};
  }
  const std::vector<Complex> original = grid;
  Fft256x256(grid.data(), kFftForward);

  const int bins[][2] = {{0, 0}, {0, 1}, {1, 0}, {3, 200}, {128, 128}, {255, 17}};
  for (auto [ku, kv] : bins) {
    Cd sum = 0;
    for (int u = 0; u < kFftSize; ++u) {
      for (int v = 0; v < kFftSize; ++v) {
        const Complex& c = original[u * kFftSize + v];
        sum += Cd(c.re, c.im) * std::polar(1.0, -2.0 * M_PI * ((ku * u + kv * v) % kFftSize) / kFftSize);
      }
    }
    sum /= double(kFftSize) * kFftSize;
    const Complex& got = grid[ku * kFftSize + kv];
    EXPECT_NEAR(got.re, sum.real(), 1e-5) << ku << "," << kv;
    EXPECT_NEAR(got.im, sum.imag(), 1e-5) << ku << "," << kv;
  }

  Fft256x256(grid.data(), kFftInverse);
  for (int e = 0; e < kFftSize * kFftSize; ++e) {
    ASSERT_NEAR(grid[e].re, original[e].re, 1e-4) << e;
    ASSERT_NEAR(grid[e].im, original[e].im, 1e-4) << e;
  }
}

// The synthesis reseeds the shared generator, so whatever state it finds the map is the same, and
// afterwards the generator continues from the fixed seed's sequence.
TEST(Landscape, IsTheSameOnEveryRunAndLeavesTheGeneratorAtAFixedPlace) {
  std::vector<uint8_t> first(kLandscapeSize), second(kLandscapeSize, 0xAA);
  SeedRandom(1);
  ASSERT_TRUE(SynthesizeLandscape(first.data()));
  int after = NextRandom();
  SeedRandom(987654321);
  for (int i = 0; i < 1000; ++i) NextRandom();
  ASSERT_TRUE(SynthesizeLandscape(second.data()));
  EXPECT_EQ(first, second);
  EXPECT_EQ(NextRandom(), after);

  SeedRandom(kLandscapeSeed);
  for (int i = 0; i < kLandscapeSize; ++i) NextRandom();
  EXPECT_EQ(NextRandom(), after);

  // The heights are stretched over the whole byte range.
  uint8_t lowest = 255, highest = 0;
  for (uint8_t h : first) {
    lowest = std::min(lowest, h);
    highest = std::max(highest, h);
  }
  EXPECT_EQ(lowest, 0);
  EXPECT_GE(highest, 254);
}

TEST(Landscape, ShrinkAndTileAveragesTwoByTwoAndTilesTwoByTwo) {
  std::vector<uint8_t> map(kLandscapeSize);
  for (int e = 0; e < kLandscapeSize; ++e) map[e] = static_cast<uint8_t>((e * 2654435761u) >> 24);
  const std::vector<uint8_t> input = map;
  ShrinkAndTile(map.data());
  for (int r = 0; r < 256; ++r) {
    for (int c = 0; c < 256; ++c) {
      int rr = r % 128, cc = c % 128;
      int sum = input[(2 * rr) * 256 + 2 * cc] + input[(2 * rr) * 256 + 2 * cc + 1] +
                input[(2 * rr + 1) * 256 + 2 * cc] + input[(2 * rr + 1) * 256 + 2 * cc + 1];
      ASSERT_EQ(map[r * 256 + c], sum >> 2) << r << "," << c;
    }
  }
}

// The landscape the effect shows: the synthesis then the shrink, with both sea and land in it.
TEST(Landscape, TheShownMapTilesAndHoldsSeaAndLand) {
  std::vector<uint8_t> map(kLandscapeSize);
  ASSERT_TRUE(SynthesizeLandscape(map.data()));
  ShrinkAndTile(map.data());
  int water = 0;
  for (int r = 0; r < 128; ++r) {
    for (int c = 0; c < 128; ++c) {
      uint8_t h = map[r * 256 + c];
      ASSERT_EQ(map[r * 256 + c + 128], h);
      ASSERT_EQ(map[(r + 128) * 256 + c], h);
      ASSERT_EQ(map[(r + 128) * 256 + c + 128], h);
      water += h < 64;
    }
  }
  std::printf("landscape: %d of 16384 samples under the sea\n", water);
  EXPECT_GT(water, 16384 / 20);
  EXPECT_LT(water, 16384 * 19 / 20);
}

}  // namespace
