// Writes chosen frames as PNG files.
#include "png_sequence.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

std::string FrameName(const std::string& directory, long frame) {
  char name[32];
  std::snprintf(name, sizeof name, "frame_%06ld.png", frame);
  return (std::filesystem::path(directory) / name).string();
}

// libpng reports through these: the message is kept for ours, nothing is printed. A failed write
// says only "Write Error"; the stream's errno says why.
void OnPngError(png_structp png, png_const_charp message) {
  FILE* file = static_cast<FILE*>(png_get_io_ptr(png));
  int cause = errno;
  *static_cast<std::string*>(png_get_error_ptr(png)) =
      file != nullptr && std::ferror(file) && cause != 0 ? std::strerror(cause) : message;
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

}  // namespace

bool PngSequence::Begin(const std::string& directory, int scale, std::string* error) {
  directory_ = directory;
  scale_ = scale;
  // Remember which levels are new, top first, so that a rollback removes exactly those.
  std::vector<std::filesystem::path> missing;
  std::error_code code;
  std::filesystem::path full = std::filesystem::absolute(directory, code).lexically_normal();
  if (!full.has_filename()) full = full.parent_path();  // "frames/" names "frames"
  for (std::filesystem::path p = full;
       !p.empty() && !std::filesystem::exists(std::filesystem::symlink_status(p, code)); p = p.parent_path()) {
    missing.insert(missing.begin(), p);
    if (p == p.parent_path()) break;
  }
  for (const std::filesystem::path& level : missing) {
    if (!std::filesystem::create_directory(level, code) && code) {
      *error = "cannot create the directory " + directory + ": " + code.message();
      Rollback();
      return false;
    }
    createdDirectories_.push_back(level.string());
  }
  if (!std::filesystem::is_directory(directory, code)) {
    *error = "cannot create the directory " + directory + ": " + std::strerror(ENOTDIR);
    Rollback();
    return false;
  }
  return true;
}

bool PngSequence::Encode(FILE* file, const uint32_t* pixels, int width, int height, int pitch, std::string* why) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, why, OnPngError, OnPngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (png == nullptr || info == nullptr) {
    png_destroy_write_struct(&png, &info);
    *why = "out of memory";
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width * scale_), static_cast<png_uint_32>(height * scale_), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    const uint32_t* from = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixels) + y * pitch);
    unsigned char* to = row_.data();
    for (int x = 0; x < width; ++x) {
      for (int i = 0; i < scale_; ++i) {
        *to++ = static_cast<unsigned char>(from[x] >> 16);
        *to++ = static_cast<unsigned char>(from[x] >> 8);
        *to++ = static_cast<unsigned char>(from[x]);
      }
    }
    for (int i = 0; i < scale_; ++i) png_write_row(png, row_.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool PngSequence::Write(long frame, const uint32_t* pixels, int width, int height, int pitch, std::string* error) {
  std::string name = FrameName(directory_, frame);
  int fd = file_.Create(name, error);
  if (fd < 0) return false;
  row_.resize(static_cast<size_t>(width) * scale_ * 3);  // allocates on the first frame only
  std::string why;
  FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    why = std::strerror(errno);
    close(fd);
  } else {
    errno = 0;
    bool encoded = Encode(file, pixels, width, height, pitch, &why);
    if (encoded && (std::fflush(file) != 0 || std::ferror(file))) {
      encoded = false;
      why = std::strerror(errno != 0 ? errno : EIO);
    }
    if (std::fclose(file) != 0 && encoded) {
      encoded = false;
      why = std::strerror(errno);
    }
    if (encoded && file_.Commit(error)) {
      if (file_.renamed()) written_.push_back(file_.finalPath());
      return true;
    }
  }
  file_.Discard();
  if (!why.empty()) *error = "cannot write " + name + ": " + why;
  return false;
}

void PngSequence::Rollback() {
  file_.Discard();
  for (const std::string& path : written_) std::remove(path.c_str());
  written_.clear();
  // Deepest first; a directory that holds anything not ours stays.
  for (auto it = createdDirectories_.rbegin(); it != createdDirectories_.rend(); ++it) rmdir(it->c_str());
  createdDirectories_.clear();
}
