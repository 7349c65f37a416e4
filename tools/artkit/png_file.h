// PNG output of the art tools' review previews.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "rgba_image.h"

namespace artkit {

// Writes `image` as an 8-bit RGBA PNG without timestamps, so the same picture gives the same file.
// False (with a message on stderr) on failure.
bool WritePng(const std::filesystem::path& path, const RgbaImage& image);
// The same PNG file in memory (an icon file holds its large sizes so); false when libpng fails.
bool EncodePng(const RgbaImage& image, std::vector<uint8_t>* png);

}  // namespace artkit
