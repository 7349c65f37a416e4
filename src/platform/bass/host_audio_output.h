// The BASS layer's output on Linux: the audio device of the active host (SDL or headless).
#pragma once

#include "platform/bass/audio_output.h"

namespace host {
class Host;
}

namespace bass {

class HostAudioOutput : public AudioOutput {
 public:
  // Fails when no host is active or the host has no output device.
  bool Open(int frequency, MixCallback callback, void* user) override;
  void Close() override;
  void Pause(bool paused) override;
  void Lock() override;
  void Unlock() override;

 private:
  // The host whose device is open; null while closed, so a host installed later is the one used.
  host::Host* host_ = nullptr;
};

}  // namespace bass
