// Encodes captured frames with ffmpeg.
#include "video_encoder.h"

#include <cstdlib>

namespace {

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Single-quotes a path for the shell.
std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

VideoEncoder::~VideoEncoder() {
  if (pipe_ != nullptr) pclose(pipe_);
}

bool VideoEncoder::Open(const std::string& path, int width, int height, int fps, std::string* error) {
  if (EndsWith(path, ".mp4")) {
    mp4_ = true;
  } else if (!EndsWith(path, ".mkv")) {
    *error = "--video wants a .mp4 or .mkv file";
    return false;
  }
  path_ = path;
  videoPath_ = path + ".picture.mkv";
  width_ = width;
  height_ = height;
  std::string codec = mp4_ ? "-c:v libx264 -preset veryfast -crf 16 -pix_fmt yuv420p" : "-c:v ffv1";
  std::string command = "ffmpeg -y -loglevel error -f rawvideo -pix_fmt bgr0 -s " + std::to_string(width) + "x" +
                        std::to_string(height) + " -r " + std::to_string(fps) + " -i - " + codec + " " +
                        Quote(videoPath_);
  pipe_ = popen(command.c_str(), "w");
  if (pipe_ == nullptr) {
    *error = "cannot start ffmpeg";
    return false;
  }
  return true;
}

void VideoEncoder::Write(const uint32_t* pixels, int pitch) {
  if (pipe_ == nullptr) return;
  const unsigned char* row = reinterpret_cast<const unsigned char*>(pixels);
  for (int y = 0; y < height_; ++y, row += pitch) std::fwrite(row, 4, static_cast<size_t>(width_), pipe_);
}

bool VideoEncoder::Finish(const std::string& wavPath, std::string* error) {
  if (pipe_ == nullptr) return false;
  int encoded = pclose(pipe_);
  pipe_ = nullptr;
  if (encoded != 0) {
    *error = "ffmpeg failed to encode the frames";
    return false;
  }
  std::string audio = mp4_ ? "-c:a aac -b:a 192k" : "-c:a flac";
  std::string command = "ffmpeg -y -loglevel error -i " + Quote(videoPath_) + " -i " + Quote(wavPath) +
                        " -c:v copy " + audio + " -shortest " + Quote(path_);
  int muxed = std::system(command.c_str());
  std::remove(videoPath_.c_str());
  if (muxed != 0) {
    *error = "ffmpeg failed to mux the soundtrack";
    return false;
  }
  return true;
}
