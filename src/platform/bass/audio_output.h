// The sound output the BASS layer plays through: a stream of 16-bit stereo frames pulled from the
// mixer. Linux plays through the active host (host_audio_output.cpp), Windows through WinMM's
// waveOut (platform/windows).
#pragma once

#include <cstdint>

namespace bass {

// Fills `frames` interleaved stereo 16-bit frames; runs under the output's lock, on the output's
// own thread (or on whichever thread pulls audio in a headless run).
typedef void (*MixCallback)(void* user, int16_t* stereo, int frames);

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;

  // Opens the default output device at `frequency` Hz, paused; false when there is no device.
  virtual bool Open(int frequency, MixCallback callback, void* user) = 0;
  // Stops pulling and closes the device; the callback never runs again afterwards.
  virtual void Close() = 0;
  virtual void Pause(bool paused) = 0;
  // Excludes the callback while held; taken again by the same thread it nests.
  virtual void Lock() = 0;
  virtual void Unlock() = 0;
};

// The system's output, owned by the platform; it is opened by BASS_Init and closed by BASS_Free.
AudioOutput& SystemAudioOutput();

}  // namespace bass
