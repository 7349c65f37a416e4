// musidisk-capture: runs the real program on the headless host with show time stepping exactly
// 1/fps per frame, and writes what a viewer would see and hear.
#include <windows.h>

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "capture_options.h"
#include "key_script.h"
#include "platform/host/headless_host.h"
#include "png_writer.h"
#include "scenes/effect_scheduler.h"
#include "video_encoder.h"
#include "wav_writer.h"

namespace {

constexpr int kAudioFrequency = 44100;
constexpr double kTransitionLength = 4.0;

uint64_t HashPixels(const uint32_t* pixels, int width, int height, int pitch) {
  uint64_t hash = 1469598103934665603ull;  // FNV-1a, 64 bits
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixels) + y * pitch);
    for (int x = 0; x < width; ++x) {
      hash ^= row[x] & 0x00FFFFFFu;
      hash *= 1099511628211ull;
    }
  }
  return hash;
}

class Capture {
 public:
  explicit Capture(const CaptureOptions& options)
      : options_(options), keys_(options.keys, options.fps),
        totalFrames_(static_cast<long>(options.seconds * options.fps + 0.5)) {
    ParseFrameList(options.frames, &pngRanges_, &pngAll_);
  }

  int Run() {
    std::string error;
    if (!options_.pngDir.empty()) std::filesystem::create_directories(options_.pngDir);
    wavPath_ = !options_.wavFile.empty() ? options_.wavFile
                                          : (!options_.videoFile.empty() ? options_.videoFile + ".sound.wav" : "");
    if (!wavPath_.empty() && !wav_.Open(wavPath_, kAudioFrequency)) {
      std::fprintf(stderr, "musidisk-capture: cannot write %s\n", wavPath_.c_str());
      return 1;
    }
    if (!options_.videoFile.empty() && !video_.Open(options_.videoFile, 640, 480, options_.fps, &error)) {
      std::fprintf(stderr, "musidisk-capture: %s\n", error.c_str());
      return 1;
    }

    uint32_t start = options_.seedGiven
                         ? options_.seed
                         : static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    host_.SetCounter(start);
    host_.SetPresentHandler([this](const uint32_t* p, int w, int h, int pitch) { OnFrame(p, w, h, pitch); });
    host_.SetFrameRate(options_.fps);
    host::SetActiveHost(&host_);
    currentEffect = options_.effect;
    holdSeconds = static_cast<float>(options_.hold);
    keys_.Apply(host_, 0);

    int result = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);
    host::SetActiveHost(nullptr);
    if (showProgress()) std::fprintf(stderr, "\n");

    bool ok = wav_.Close();
    if (!options_.videoFile.empty()) {
      ok = video_.Finish(wavPath_, &error) && ok;
      if (options_.wavFile.empty()) std::remove(wavPath_.c_str());
      if (!error.empty()) std::fprintf(stderr, "musidisk-capture: %s\n", error.c_str());
    }
    if (result != 0) {
      std::fprintf(stderr, "musidisk-capture: the program ended with status %d\n", result);
      return 1;
    }
    return ok ? 0 : 1;
  }

 private:
  bool showProgress() const { return options_.seconds > 10.0; }

  bool PngWanted(long frame) const {
    if (options_.pngDir.empty()) return false;
    if (pngAll_) return true;
    for (const auto& range : pngRanges_) {
      if (frame >= range.first && frame <= range.second) return true;
    }
    return false;
  }

  // Frame n has just been presented: record it and set up the keys of frame n + 1 (the host then
  // advances the show time by one frame).
  void OnFrame(const uint32_t* pixels, int width, int height, int pitch) {
    long n = frame_++;
    if (options_.hash) std::printf("%ld %016" PRIx64 "\n", n, HashPixels(pixels, width, height, pitch));
    if (PngWanted(n)) {
      char name[32];
      std::snprintf(name, sizeof name, "frame_%06ld.png", n);
      WritePng((std::filesystem::path(options_.pngDir) / name).string(), pixels, width, height, pitch);
    }
    video_.Write(pixels, pitch);

    long audioFrames = (n + 1) * kAudioFrequency / options_.fps - n * kAudioFrequency / options_.fps;
    audio_.resize(static_cast<size_t>(audioFrames) * 2);
    host_.PullAudio(audio_.data(), static_cast<int>(audioFrames));
    wav_.Write(audio_.data(), static_cast<int>(audioFrames));

    SteerTransitions();

    keys_.Apply(host_, n + 1);
    if (n + 1 >= totalFrames_) host_.PushEvent({host::HostEvent::Kind::kClose, false, 0});
    if (showProgress() && (n + 1) % (options_.fps * 5) == 0) {
      std::fprintf(stderr, "\rmusidisk-capture: %.0f of %.0f s", static_cast<double>(n + 1) / options_.fps,
                   options_.seconds);
    }
  }

  // A transition has just started when its clock stands at its full length: the first mixed
  // frame is the next one, so the incoming effect and pattern can still be chosen here.
  void SteerTransitions() {
    if (transitionSeconds != static_cast<float>(kTransitionLength)) return;
    if (options_.next != 0 && !firstTransitionSteered_) nextEffect = options_.next;
    firstTransitionSteered_ = true;
    if (options_.transition >= 0) transitionKind = options_.transition;
  }

  const CaptureOptions& options_;
  KeyScript keys_;
  long totalFrames_;
  long frame_ = 0;
  std::vector<std::pair<long, long>> pngRanges_;
  bool pngAll_ = false;
  host::HeadlessHost host_;
  std::string wavPath_;
  WavWriter wav_;
  VideoEncoder video_;
  std::vector<int16_t> audio_;
  bool firstTransitionSteered_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  CaptureOptions options;
  std::string error;
  if (!ParseCaptureOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "musidisk-capture: %s\n%s", error.c_str(), CaptureUsage());
    return 2;
  }
  return Capture(options).Run();
}
