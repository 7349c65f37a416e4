// Encodes captured frames with ffmpeg.
#include "video_encoder.h"

#include <unistd.h>

#include <cstring>

#include "capture_options.h"

namespace {

// ffmpeg reads "name:rest" as a protocol; "file:" keeps every path a plain file. Every run has
// -xerror: without it ffmpeg 5.1 reports a failed write of the file's end and still exits with 0.
std::string FileUrl(const std::string& path) { return "file:" + path; }

}  // namespace

bool VideoEncoder::Open(const std::string& path, int fps, int scale, std::string* error) {
  mp4_ = EndsWith(path, ".mp4");
  fps_ = fps;
  scale_ = scale;
  // The picture stream is an intermediate: it lives beside the video, where the space is.
  int fd = pictures_.Create(path + ".picture.mkv", error);
  if (fd < 0) return false;
  close(fd);
  // The video's own temporary is made now too, so that a path that cannot be written fails
  // before the show rather than after it.
  fd = output_.Create(path, error);
  if (fd < 0) return false;
  close(fd);
  path_ = path;
  return true;
}

std::string VideoEncoder::Failed(const std::string& why) const { return "cannot write " + path_ + ": " + why; }

bool VideoEncoder::Start(int width, int height, std::string* error) {
  std::vector<std::string> arguments = {"-nostdin",    "-hide_banner", "-loglevel",    "error", "-xerror", "-y",
                                        "-f",          "rawvideo",     "-pix_fmt",     "bgr0",  "-video_size",
                                        std::to_string(width * scale_) + "x" + std::to_string(height * scale_),
                                        "-framerate",  std::to_string(fps_), "-i", "pipe:0"};
  if (mp4_) {
    // BT.709 is what players assume for HD sizes; converting with it and saying so keeps the
    // colours right at every scale. veryfast at CRF 16 is near-transparent and quick.
    for (const char* argument :
         {"-vf", "scale=out_color_matrix=bt709:out_range=tv,format=yuv420p", "-c:v", "libx264", "-preset",
          "veryfast", "-crf", "16", "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709",
          "-color_range", "tv"}) {
      arguments.push_back(argument);
    }
  } else {
    arguments.insert(arguments.end(), {"-c:v", "ffv1"});
  }
  arguments.insert(arguments.end(), {"-f", "matroska", FileUrl(pictures_.writePath())});
  std::string why;
  if (!ffmpeg_.Start(arguments, true, &why)) {
    *error = Failed(why);
    return false;
  }
  width_ = width;
  height_ = height;
  rows_.assign(static_cast<size_t>(width) * scale_ * scale_, 0);
  return true;
}

bool VideoEncoder::Write(const uint32_t* pixels, int width, int height, int pitch, std::string* error) {
  if (width_ == 0 && !Start(width, height, error)) return false;
  if (width != width_ || height != height_) {
    *error = Failed("the frame size changed from " + std::to_string(width_) + "x" + std::to_string(height_) +
                    " to " + std::to_string(width) + "x" + std::to_string(height));
    return false;
  }
  std::string why;
  const uint8_t* row = reinterpret_cast<const uint8_t*>(pixels);
  size_t rowBytes = static_cast<size_t>(width) * 4;
  if (scale_ == 1 && static_cast<size_t>(pitch) == rowBytes) {
    if (!ffmpeg_.Write(row, rowBytes * static_cast<size_t>(height), &why)) {
      *error = Failed(why);
      return false;
    }
    return true;
  }
  size_t scaledWidth = static_cast<size_t>(width) * scale_;
  for (int y = 0; y < height; ++y, row += pitch) {
    const uint32_t* from = reinterpret_cast<const uint32_t*>(row);
    uint32_t* to = rows_.data();
    for (int x = 0; x < width; ++x) {
      for (int i = 0; i < scale_; ++i) *to++ = from[x];
    }
    for (int i = 1; i < scale_; ++i) std::memcpy(rows_.data() + i * scaledWidth, rows_.data(), scaledWidth * 4);
    if (!ffmpeg_.Write(rows_.data(), scaledWidth * 4 * scale_, &why)) {
      *error = Failed(why);
      return false;
    }
  }
  return true;
}

bool VideoEncoder::Finish(const std::string& wavPath, std::string* error) {
  std::string why;
  if (width_ == 0) {
    *error = Failed("no frame was captured");
    return false;
  }
  if (!ffmpeg_.Finish(&why)) {
    *error = Failed(why);
    return false;
  }
  std::vector<std::string> arguments = {"-nostdin", "-hide_banner", "-loglevel", "error", "-xerror", "-y",
                                        "-i", FileUrl(pictures_.writePath()), "-i", FileUrl(wavPath),
                                        "-map", "0:v", "-map", "1:a", "-c:v", "copy"};
  if (mp4_) {
    arguments.insert(arguments.end(), {"-c:a", "aac", "-b:a", "192k", "-movflags", "+faststart", "-f", "mp4"});
  } else {
    arguments.insert(arguments.end(), {"-c:a", "flac", "-f", "matroska"});
  }
  arguments.insert(arguments.end(), {"-shortest", FileUrl(output_.writePath())});
  bool muxed = ffmpeg_.Start(arguments, false, &why) && ffmpeg_.Finish(&why);
  pictures_.Discard();
  if (!muxed) {
    output_.Discard();
    *error = Failed(why);
    return false;
  }
  return true;
}

void VideoEncoder::Abandon() {
  ffmpeg_.Kill();
  pictures_.Discard();
  output_.Discard();
}
