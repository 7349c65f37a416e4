// The BASS layer's output on Linux, over the active host's audio device.
#include "platform/bass/host_audio_output.h"

#include "platform/host/host.h"

namespace bass {

AudioOutput& SystemAudioOutput() {
  static HostAudioOutput output;
  return output;
}

bool HostAudioOutput::Open(int frequency, MixCallback callback, void* user) {
  host::Host* active = host::ActiveHost();
  if (active == nullptr || !active->OpenAudio(frequency, callback, user)) return false;
  host_ = active;
  return true;
}

void HostAudioOutput::Close() {
  if (host_ == nullptr) return;
  host_->CloseAudio();
  host_ = nullptr;
}

void HostAudioOutput::Pause(bool paused) {
  if (host_ != nullptr) host_->PauseAudio(paused);
}

void HostAudioOutput::Lock() {
  if (host_ != nullptr) host_->LockAudio();
}

void HostAudioOutput::Unlock() {
  if (host_ != nullptr) host_->UnlockAudio();
}

}  // namespace bass
