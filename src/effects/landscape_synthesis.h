// The greetings landscape: white noise shaped in the frequency domain into a fractal height
// field, then halved and tiled two by two so that it repeats every 128 rows and columns.
#pragma once

#include <cstdint>

// Rows and columns of the height map, and its size in bytes.
constexpr int kLandscapeSide = 256;
constexpr int kLandscapeSize = kLandscapeSide * kLandscapeSide;
// The generator seed the noise always starts from, so every run builds the same landscape.
constexpr uint32_t kLandscapeSeed = 44608;  // 0xAE40

// Reseeds the shared random generator with kLandscapeSeed, draws 65,536 values from it and writes
// the heights 0..255 (row-major) into `heights`, kLandscapeSize bytes. False, with the heights
// untouched, when the working memory (512 KiB) cannot be had.
bool SynthesizeLandscape(uint8_t* heights);

// Replaces the map, in place, by its 2 by 2 box average (128 by 128) tiled two by two.
void ShrinkAndTile(uint8_t* heights);
