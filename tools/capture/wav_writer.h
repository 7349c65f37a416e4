// Streams 16-bit stereo samples into a WAV file whose length is known in advance, so the header is
// written first and the file can be a pipe or a device as well.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class WavWriter {
 public:
  WavWriter() = default;
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;
  ~WavWriter();
  // Takes over `fd` (open for writing, named `name` in messages) and writes the header of
  // `frames` stereo frames at `frequency`. False with the reason when that fails.
  bool Open(int fd, const std::string& name, int frequency, int64_t frames, std::string* error);
  bool isOpen() const { return file_ != nullptr; }
  bool Write(const int16_t* stereo, int frames, std::string* error);
  // Flushes and closes; false with the reason when a write failed or fewer frames came than the
  // header promised.
  bool Close(std::string* error);

 private:
  bool Failed(std::string* error);
  bool PutHeader(int64_t frames);

  FILE* file_ = nullptr;
  std::string name_;
  int frequency_ = 0;
  int64_t framesLeft_ = 0;     // promised by the header and not yet written
  int64_t framesWritten_ = 0;
};
