// The BASS layer's output on Windows: WinMM's waveOut, fed from the mixer by a thread of its own.
#include "platform/windows/wave_out_audio_output.h"

namespace bass {

namespace {

constexpr WORD kChannels = 2;
constexpr WORD kBitsPerSample = 16;
constexpr DWORD kBytesPerFrame = kChannels * kBitsPerSample / 8;

}  // namespace

AudioOutput& SystemAudioOutput() {
  static WaveOutAudioOutput output;
  return output;
}

WaveOutAudioOutput::WaveOutAudioOutput() { InitializeCriticalSection(&lock_); }

WaveOutAudioOutput::~WaveOutAudioOutput() {
  Close();
  DeleteCriticalSection(&lock_);
}

bool WaveOutAudioOutput::Open(int frequency, MixCallback callback, void* user) {
  if (device_ != nullptr || waveOutGetNumDevs() == 0) return false;
  callback_ = callback;
  user_ = user;
  stopping_ = false;

  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = kChannels;
  format.nSamplesPerSec = static_cast<DWORD>(frequency);
  format.wBitsPerSample = kBitsPerSample;
  format.nBlockAlign = static_cast<WORD>(kBytesPerFrame);
  format.nAvgBytesPerSec = format.nSamplesPerSec * kBytesPerFrame;

  wake_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (wake_ == nullptr) return false;
  if (waveOutOpen(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(wake_), 0, CALLBACK_EVENT) !=
      MMSYSERR_NOERROR) {
    device_ = nullptr;
    Release();
    return false;
  }
  // Held until Pause(false): the buffers queued below wait on the device.
  waveOutPause(device_);

  samples_.assign(static_cast<size_t>(kBufferCount) * kBufferFrames * kChannels, 0);
  for (int i = 0; i < kBufferCount; ++i) {
    WAVEHDR& header = headers_[i];
    header = {};
    header.lpData = reinterpret_cast<LPSTR>(&samples_[static_cast<size_t>(i) * kBufferFrames * kChannels]);
    header.dwBufferLength = kBufferFrames * kBytesPerFrame;
    if (waveOutPrepareHeader(device_, &header, sizeof header) != MMSYSERR_NOERROR) {
      Release();
      return false;
    }
  }
  // The first round is silence; the thread fills every buffer the device gives back.
  for (WAVEHDR& header : headers_) waveOutWrite(device_, &header, sizeof header);

  thread_ = CreateThread(nullptr, 0, &WaveOutAudioOutput::FeedThread, this, 0, nullptr);
  if (thread_ == nullptr) {
    Release();
    return false;
  }
  // The frame loop never sleeps: the feeder must not wait behind it.
  SetThreadPriority(thread_, THREAD_PRIORITY_HIGHEST);
  return true;
}

void WaveOutAudioOutput::Close() {
  if (device_ == nullptr) return;
  if (thread_ != nullptr) {
    stopping_ = true;
    SetEvent(wake_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  Release();
}

void WaveOutAudioOutput::Release() {
  if (device_ != nullptr) {
    // Hands every queued buffer back, so each can be unprepared.
    waveOutReset(device_);
    for (WAVEHDR& header : headers_) {
      if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device_, &header, sizeof header);
    }
    waveOutClose(device_);
    device_ = nullptr;
  }
  if (wake_ != nullptr) {
    CloseHandle(wake_);
    wake_ = nullptr;
  }
  headers_ = {};
  samples_.clear();
  samples_.shrink_to_fit();
  callback_ = nullptr;
  user_ = nullptr;
}

void WaveOutAudioOutput::Pause(bool paused) {
  if (device_ == nullptr) return;
  if (paused) {
    waveOutPause(device_);
  } else {
    waveOutRestart(device_);
  }
}

DWORD WINAPI WaveOutAudioOutput::FeedThread(LPVOID self) {
  auto* output = static_cast<WaveOutAudioOutput*>(self);
  while (!output->stopping_) {
    WaitForSingleObject(output->wake_, INFINITE);
    if (output->stopping_) break;
    output->Refill();
  }
  return 0;
}

// Runs on the feeder thread; allocates nothing.
void WaveOutAudioOutput::Refill() {
  for (WAVEHDR& header : headers_) {
    if (!(header.dwFlags & WHDR_DONE)) continue;
    header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
    Lock();
    callback_(user_, reinterpret_cast<int16_t*>(header.lpData), kBufferFrames);
    Unlock();
    waveOutWrite(device_, &header, sizeof header);
  }
}

}  // namespace bass
