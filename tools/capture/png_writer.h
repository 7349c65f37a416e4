// Writes an X8R8G8B8 frame as an RGB PNG file.
#pragma once

#include <cstdint>
#include <string>

bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitch);
