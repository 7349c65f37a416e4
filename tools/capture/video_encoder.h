// Encodes captured frames with ffmpeg and muxes them with the soundtrack: H.264 (yuv420p, BT.709)
// and AAC in .mp4 with the index at the front, the form video sites take; FFV1 and FLAC in .mkv,
// lossless. Frames can be enlarged by a whole number, nearest neighbour, so pixels stay sharp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ffmpeg_process.h"
#include "pending_file.h"

class VideoEncoder {
 public:
  // Creates the temporary of the picture stream beside `path` (a .mp4 or .mkv name, as the options
  // check). False with a one-line reason.
  bool Open(const std::string& path, int fps, int scale, std::string* error);
  bool isOpen() const { return !path_.empty(); }
  // Adds one frame; the first one starts ffmpeg with its size. False with the reason when ffmpeg
  // cannot start, has failed, or a signal interrupted the capture.
  bool Write(const uint32_t* pixels, int width, int height, int pitch, std::string* error);
  // Finishes the picture stream and muxes it with the WAV file `wavPath` into a temporary of the
  // video; false with the reason when ffmpeg failed.
  bool Finish(const std::string& wavPath, std::string* error);
  // Renames the finished video into place.
  bool Commit(std::string* error) { return output_.Commit(error); }
  // Ends ffmpeg and removes every temporary.
  void Abandon();

 private:
  bool Start(int width, int height, std::string* error);
  std::string Failed(const std::string& why) const;

  std::string path_;
  bool mp4_ = false;
  int fps_ = 0;
  int scale_ = 1;
  int width_ = 0;   // of the program's frames, 0 until the first
  int height_ = 0;
  PendingFile pictures_;  // the encoded picture stream, deleted once muxed
  PendingFile output_;
  FfmpegProcess ffmpeg_;
  // `scale_` copies of one enlarged row, allocated once when the first frame arrives.
  std::vector<uint32_t> rows_;
};
