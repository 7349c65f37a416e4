// Streams 16-bit stereo samples into a WAV file, fixing the header sizes when closed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class WavWriter {
 public:
  ~WavWriter();
  bool Open(const std::string& path, int frequency);
  void Write(const int16_t* stereo, int frames);
  bool Close();

 private:
  FILE* file_ = nullptr;
  int frequency_ = 0;
  uint32_t dataBytes_ = 0;
};
