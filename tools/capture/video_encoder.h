// Encodes captured frames with ffmpeg and muxes them with the soundtrack: H.264 and AAC in .mp4,
// FFV1 and FLAC in .mkv.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class VideoEncoder {
 public:
  ~VideoEncoder();
  // False with a reason when the file type is not .mp4 or .mkv or ffmpeg cannot start.
  bool Open(const std::string& path, int width, int height, int fps, std::string* error);
  void Write(const uint32_t* pixels, int pitch);
  // Finishes the picture stream and muxes it with the WAV file; false when ffmpeg failed.
  bool Finish(const std::string& wavPath, std::string* error);

 private:
  std::string path_;
  std::string videoPath_;
  bool mp4_ = false;
  int width_ = 0;
  int height_ = 0;
  FILE* pipe_ = nullptr;
};
