// Writes 8-bit RGBA pictures as PNG files for reviewing the painted assets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace painter {

// rgba holds width x height pixels, 4 bytes each, rows top to bottom. Returns false (and writes a
// message to stderr) when the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);

// Nearest-neighbour enlargement by an integer factor, then `tiles` x `tiles` repetition: the review
// picture of a texture as the program repeats it.
std::vector<uint8_t> ScaleAndTile(const std::vector<uint8_t>& rgba, int width, int height, int scale, int tiles);

}  // namespace painter
