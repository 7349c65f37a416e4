// PNG output of the art tools' review previews.
#pragma once

#include <filesystem>

#include "rgba_image.h"

namespace artkit {

// Writes `image` as an 8-bit RGBA PNG without timestamps, so the same picture gives the same file.
// False (with a message on stderr) on failure.
bool WritePng(const std::filesystem::path& path, const RgbaImage& image);

}  // namespace artkit
