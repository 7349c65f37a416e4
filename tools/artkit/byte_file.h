// Whole-file reads and writes for the art tools, which make their outputs in one piece.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace artkit {

// Reads a whole file; false (with a message on stderr) when it cannot be read.
bool ReadBytes(const std::filesystem::path& path, std::vector<uint8_t>& bytes);
bool ReadText(const std::filesystem::path& path, std::string& text);

// Writes a whole file, creating its folder; false (with a message on stderr) on failure.
bool WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

}  // namespace artkit
