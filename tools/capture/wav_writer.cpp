// Streams 16-bit stereo samples into a WAV file.
#include "wav_writer.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr int kBytesPerFrame = 4;  // 16-bit stereo
constexpr int kHeaderBytes = 44;

void PutU32(unsigned char* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(v >> (8 * i));
}

void PutU16(unsigned char* at, uint16_t v) {
  at[0] = static_cast<unsigned char>(v);
  at[1] = static_cast<unsigned char>(v >> 8);
}

}  // namespace

WavWriter::~WavWriter() {
  if (file_ != nullptr) std::fclose(file_);
}

bool WavWriter::Failed(std::string* error) {
  *error = "cannot write " + name_ + ": " + std::strerror(errno != 0 ? errno : EIO);
  return false;
}

bool WavWriter::Open(int fd, const std::string& name, int frequency, int64_t frames, std::string* error) {
  name_ = name;
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    int saved = errno;
    close(fd);
    errno = saved;
    return Failed(error);
  }
  frequency_ = frequency;
  framesLeft_ = frames;
  framesWritten_ = 0;
  errno = 0;
  if (!PutHeader(frames)) return Failed(error);
  return true;
}

bool WavWriter::PutHeader(int64_t frames) {
  // The options keep a capture within six hours, whose data size fits the header's 32 bits.
  uint32_t dataBytes = static_cast<uint32_t>(frames * kBytesPerFrame);
  unsigned char header[kHeaderBytes];
  std::memcpy(header, "RIFF", 4);
  PutU32(header + 4, 36 + dataBytes);
  std::memcpy(header + 8, "WAVEfmt ", 8);
  PutU32(header + 16, 16);
  PutU16(header + 20, 1);  // PCM
  PutU16(header + 22, 2);  // stereo
  PutU32(header + 24, static_cast<uint32_t>(frequency_));
  PutU32(header + 28, static_cast<uint32_t>(frequency_) * kBytesPerFrame);
  PutU16(header + 32, kBytesPerFrame);
  PutU16(header + 34, 16);
  std::memcpy(header + 36, "data", 4);
  PutU32(header + 40, dataBytes);
  return std::fwrite(header, 1, sizeof header, file_) == sizeof header;
}

bool WavWriter::Write(const int16_t* stereo, int frames, std::string* error) {
  // Samples are stored little-endian, the byte order of this machine.
  errno = 0;
  if (std::fwrite(stereo, kBytesPerFrame, static_cast<size_t>(frames), file_) != static_cast<size_t>(frames)) {
    return Failed(error);
  }
  framesLeft_ -= frames;
  framesWritten_ += frames;
  return true;
}

bool WavWriter::Close(std::string* error) {
  if (file_ == nullptr) return true;
  errno = 0;
  // The program may end before the capture does (an Escape in the key script): the header then
  // gets the length that came, which needs a file that can seek.
  if (framesLeft_ != 0 && std::fseek(file_, 0, SEEK_SET) == 0 && PutHeader(framesWritten_)) framesLeft_ = 0;
  bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
  int saved = errno;
  bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!flushed || !closed) {
    if (flushed) saved = errno;
    errno = saved;
    return Failed(error);
  }
  if (framesLeft_ != 0) {
    *error = "cannot write " + name_ + ": the show ended early and the file cannot seek to correct its length";
    return false;
  }
  return true;
}
