// Streams 16-bit stereo samples into a WAV file.
#include "wav_writer.h"

namespace {

void PutU32(FILE* f, uint32_t v) {
  unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                        static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
  std::fwrite(b, 1, 4, f);
}

void PutU16(FILE* f, uint16_t v) {
  unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
  std::fwrite(b, 1, 2, f);
}

void PutHeader(FILE* f, int frequency, uint32_t dataBytes) {
  std::fwrite("RIFF", 1, 4, f);
  PutU32(f, 36 + dataBytes);
  std::fwrite("WAVEfmt ", 1, 8, f);
  PutU32(f, 16);
  PutU16(f, 1);  // PCM
  PutU16(f, 2);  // stereo
  PutU32(f, static_cast<uint32_t>(frequency));
  PutU32(f, static_cast<uint32_t>(frequency) * 4);
  PutU16(f, 4);
  PutU16(f, 16);
  std::fwrite("data", 1, 4, f);
  PutU32(f, dataBytes);
}

}  // namespace

WavWriter::~WavWriter() { Close(); }

bool WavWriter::Open(const std::string& path, int frequency) {
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) return false;
  frequency_ = frequency;
  PutHeader(file_, frequency, 0);
  return true;
}

void WavWriter::Write(const int16_t* stereo, int frames) {
  if (file_ == nullptr) return;
  // Samples are stored little-endian, the byte order of this machine.
  dataBytes_ += static_cast<uint32_t>(std::fwrite(stereo, 4, static_cast<size_t>(frames), file_)) * 4;
}

bool WavWriter::Close() {
  if (file_ == nullptr) return true;
  std::fseek(file_, 0, SEEK_SET);
  PutHeader(file_, frequency_, dataBytes_);
  bool ok = std::fclose(file_) == 0;
  file_ = nullptr;
  return ok;
}
