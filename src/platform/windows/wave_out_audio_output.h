// The BASS layer's output on Windows: WinMM's waveOut on the default device (the wave mapper),
// fed by a thread of its own from a ring of buffers that the device hands back as it plays them.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/bass/audio_output.h"

namespace bass {

class WaveOutAudioOutput : public AudioOutput {
 public:
  // Buffers queued on the device, and frames in each: 4 x 1024 frames keep about 93 ms queued at
  // 44.1 kHz, so a track change is heard within a tenth of a second and a busy frame loop cannot
  // starve the device.
  static constexpr int kBufferCount = 4;
  static constexpr int kBufferFrames = 1024;

  WaveOutAudioOutput();
  ~WaveOutAudioOutput() override;
  WaveOutAudioOutput(const WaveOutAudioOutput&) = delete;
  WaveOutAudioOutput& operator=(const WaveOutAudioOutput&) = delete;

  // Fails when the system has no wave output device or it refuses 16-bit stereo at `frequency`.
  bool Open(int frequency, MixCallback callback, void* user) override;
  void Close() override;
  void Pause(bool paused) override;
  void Lock() override { EnterCriticalSection(&lock_); }
  void Unlock() override { LeaveCriticalSection(&lock_); }

 private:
  static DWORD WINAPI FeedThread(LPVOID self);
  // Refills and queues again every buffer the device has finished playing.
  void Refill();
  // Undoes what a failed or finished Open set up.
  void Release();

  // Recursive, as Windows critical sections are: the mixer's lock nests.
  CRITICAL_SECTION lock_;
  HWAVEOUT device_ = nullptr;
  // Signalled by the device whenever it finishes a buffer, and by Close to end the thread.
  HANDLE wake_ = nullptr;
  HANDLE thread_ = nullptr;
  std::atomic<bool> stopping_{false};
  MixCallback callback_ = nullptr;
  void* user_ = nullptr;
  std::array<WAVEHDR, kBufferCount> headers_ = {};
  // kBufferCount x kBufferFrames interleaved stereo frames, allocated by Open, so feeding
  // allocates nothing.
  std::vector<int16_t> samples_;
};

}  // namespace bass
