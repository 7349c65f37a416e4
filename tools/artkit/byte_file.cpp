// Whole-file reads and writes for the art tools.
#include "byte_file.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

namespace artkit {

bool ReadBytes(const std::filesystem::path& path, std::vector<uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
    return false;
  }
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool ReadText(const std::filesystem::path& path, std::string& text) {
  std::vector<uint8_t> bytes;
  if (!ReadBytes(path, bytes)) return false;
  text.assign(bytes.begin(), bytes.end());
  return true;
}

bool WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::error_code error;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), error);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
    return false;
  }
  return true;
}

}  // namespace artkit
