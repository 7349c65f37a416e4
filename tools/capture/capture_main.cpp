// musidisk-capture: runs the real program on the headless host with show time stepping exactly
// 1/fps per frame, and writes what a viewer would see and hear.
#include <windows.h>

#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "capture_options.h"
#include "interrupt_signal.h"
#include "key_script.h"
#include "pending_file.h"
#include "platform/host/headless_host.h"
#include "png_sequence.h"
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

// One capture. Every output is written under a temporary name and renamed into place only after
// the whole capture succeeded; the first failure or an interrupting signal stops the show at the
// next frame, and then nothing of this run's is left behind.
class Capture {
 public:
  explicit Capture(const CaptureOptions& options)
      : options_(options), keys_(options.keys, options.fps),
        totalFrames_(CaptureFrameCount(options.seconds, options.fps)) {
    ParseFrameList(options.frames, &pngRanges_, &pngAll_);
    audio_.reserve(static_cast<size_t>(kAudioFrequency / options.fps + 1) * 2);
  }

  // Runs the capture: 0 when everything was written, 1 after a failure (reported on stderr).
  // After an interrupting signal, interruptedBy() names it.
  int Run() {
    Prepare();
    if (failure_.empty()) {
      int result = RunProgram();
      if (result != 0) Fail("the program ended with status " + std::to_string(result));
    }
    if (failure_.empty() && InterruptSignal::Received() == 0) Deliver();
    if (delivered_) return 0;
    interruptedBy_ = InterruptSignal::Received();
    Abandon();
    if (interruptedBy_ != 0) {
      std::fprintf(stderr, "musidisk-capture: interrupted by SIG%s%s\n", sigabbrev_np(interruptedBy_),
                   HasFileOutputs() ? "; its unfinished files are removed" : "");
    } else {
      std::fprintf(stderr, "musidisk-capture: %s\n", failure_.c_str());
    }
    return 1;
  }

  int interruptedBy() const { return interruptedBy_; }

 private:
  bool showProgress() const { return options_.seconds > 10.0; }
  bool HasFileOutputs() const {
    return !options_.pngDir.empty() || !options_.wavFile.empty() || !options_.videoFile.empty();
  }

  // Opens every output before the show starts, so a bad path fails at once.
  void Prepare() {
    std::string error;
    if (!options_.pngDir.empty() && !pngs_.Begin(options_.pngDir, options_.scale, &error)) return Fail(error);
    if (!options_.wavFile.empty() || !options_.videoFile.empty()) {
      std::string target = !options_.wavFile.empty() ? options_.wavFile : options_.videoFile + ".sound.wav";
      // The per-frame sample counts below add up to exactly this.
      int64_t frames = static_cast<int64_t>(totalFrames_) * kAudioFrequency / options_.fps;
      int fd = wavFile_.Create(target, &error);
      if (fd < 0 || !wav_.Open(fd, target, kAudioFrequency, frames, &error)) return Fail(error);
    }
    if (!options_.videoFile.empty() && !video_.Open(options_.videoFile, options_.fps, options_.scale, &error)) {
      return Fail(error);
    }
  }

  int RunProgram() {
    uint32_t start = options_.seedGiven
                         ? options_.seed
                         : static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    host_.SetCounter(start);
    host_.SetPresentHandler([this](const uint32_t* p, int w, int h, int pitch) { OnFrame(p, w, h, pitch); });
    // A program that stops presenting still polls for events: a signal is noticed there too.
    host_.SetIdleHandler([this] {
      if (InterruptSignal::Received() != 0) Stop();
    });
    host_.SetFrameRate(options_.fps);
    host::SetActiveHost(&host_);
    currentEffect = options_.effect;
    holdSeconds = static_cast<float>(options_.hold);
    keys_.Apply(host_, 0);

    int result = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);
    host::SetActiveHost(nullptr);
    if (progressShown_) std::fprintf(stderr, "\n");
    return result;
  }

  // Finishes every output and renames them into place; the first failure is kept.
  void Deliver() {
    std::string error;
    if (options_.hash && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
      return Fail(std::string("cannot write the frame hashes: ") + std::strerror(errno != 0 ? errno : EIO));
    }
    if (wav_.isOpen() && !wav_.Close(&error)) return Fail(error);
    if (video_.isOpen() && !video_.Finish(wavFile_.writePath(), &error)) return Fail(error);
    // Past this point the run is complete; a late signal no longer undoes it.
    if (InterruptSignal::Received() != 0) return;
    if (!options_.wavFile.empty() && !wavFile_.Commit(&error)) return Fail(error);
    if (video_.isOpen() && !video_.Commit(&error)) {
      if (wavFile_.renamed()) std::remove(wavFile_.finalPath().c_str());
      return Fail(error);
    }
    wavFile_.Discard();  // the video's own soundtrack, when no --wav asked to keep it
    delivered_ = true;
  }

  void Abandon() {
    video_.Abandon();
    std::string ignored;
    wav_.Close(&ignored);
    wavFile_.Discard();
    pngs_.Rollback();
  }

  // Keeps the first failure and ends the show.
  void Fail(const std::string& message) {
    if (failure_.empty()) failure_ = message;
    Stop();
  }

  void Stop() {
    if (stopped_) return;
    stopped_ = true;
    host_.PushEvent({host::HostEvent::Kind::kClose, false, 0});
  }

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
    if (stopped_) return;
    if (InterruptSignal::Received() != 0) return Stop();
    long n = frame_++;
    std::string error;
    if (options_.hash) {
      std::printf("%ld %016" PRIx64 "\n", n, HashPixels(pixels, width, height, pitch));
      if (std::ferror(stdout)) return Fail(std::string("cannot write the frame hashes: ") + std::strerror(errno));
    }
    if (PngWanted(n) && !pngs_.Write(n, pixels, width, height, pitch, &error)) return Fail(error);
    if (video_.isOpen() && !video_.Write(pixels, width, height, pitch, &error)) return Fail(error);

    long audioFrames = (n + 1) * kAudioFrequency / options_.fps - n * kAudioFrequency / options_.fps;
    audio_.resize(static_cast<size_t>(audioFrames) * 2);
    host_.PullAudio(audio_.data(), static_cast<int>(audioFrames));
    if (wav_.isOpen() && !wav_.Write(audio_.data(), static_cast<int>(audioFrames), &error)) return Fail(error);

    SteerTransitions();

    keys_.Apply(host_, n + 1);
    if (n + 1 >= totalFrames_) Stop();
    if (showProgress() && (n + 1) % (options_.fps * 5) == 0) {
      std::fprintf(stderr, "\rmusidisk-capture: %.0f of %.0f s", static_cast<double>(n + 1) / options_.fps,
                   options_.seconds);
      progressShown_ = true;
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
  PngSequence pngs_;
  PendingFile wavFile_;  // --wav, or the video's soundtrack beside it
  WavWriter wav_;
  VideoEncoder video_;
  std::vector<int16_t> audio_;
  bool firstTransitionSteered_ = false;
  bool stopped_ = false;
  bool delivered_ = false;
  bool progressShown_ = false;  // the progress line is on stderr and wants its newline
  std::string failure_;
  int interruptedBy_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  InterruptSignal::Install();
  CaptureOptions options;
  std::string error;
  if (!ParseCaptureOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "musidisk-capture: %s\n%s", error.c_str(), CaptureUsage());
    return 2;
  }
  if (options.help) {
    std::fputs(CaptureUsage(), stdout);
    if (std::fflush(stdout) != 0) {
      std::fprintf(stderr, "musidisk-capture: cannot write the usage: %s\n", std::strerror(errno));
      return 1;
    }
    return 0;
  }
  int status;
  int signal;
  {
    Capture capture(options);
    status = capture.Run();
    signal = capture.interruptedBy();
  }
  if (signal != 0) InterruptSignal::DieOf(signal);
  return status;
}
