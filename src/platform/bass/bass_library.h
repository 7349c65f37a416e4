// The state behind the BASS calls: the output device, the table of loaded musics, the mixer that
// the output's callback runs, and the faults tests can inject.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/bass/audio_output.h"
#include "platform/bass/bass_test_control.h"
#include "platform/bass/module_instance.h"

namespace bass {

class BassLibrary {
 public:
  // MAKELONG(1, 7): version 1.7.
  static constexpr DWORD kVersion = 0x00070001;
  // The mixer renders at most this many frames at a time: one whole buffer of the SDL host or of
  // the waveOut output.
  static constexpr int kMixChunkFrames = 1024;
  // Output rates BASS_Init accepts, in Hz.
  static constexpr DWORD kMinFrequency = 1000;
  static constexpr DWORD kMaxFrequency = 192000;

  // What tests make go wrong. A call index counts calls from the moment it was set, from 0;
  // -1 fails none.
  struct Faults {
    DWORD reportedVersion = kVersion;
    bool noDevice = false;
    int failMusicLoadCall = -1;
    int failMusicPlayCall = -1;
  };

  // The one library of the process, as bass.dll is.
  static BassLibrary& Instance();

  DWORD errorCode() const { return errorCode_; }
  DWORD Version() const { return faults_.reportedVersion; }
  bool Init(int device, DWORD frequency, DWORD flags);
  bool Start();
  bool Stop();
  void Free();
  DWORD MusicLoad(bool fromMemory, const void* file, DWORD length, DWORD flags);
  void MusicFree(DWORD handle);
  bool MusicPlayEx(DWORD handle, DWORD position, int flags, bool reset);
  bool ChannelStop(DWORD handle);

  // ---- Test controls and observation (bass_test_control.h) ----
  Faults& faults() { return faults_; }
  void FailMusicLoadCall(int callIndex);
  void FailMusicPlayCall(int callIndex);
  // Clears the faults and the record of plays; loaded musics stay.
  void ResetTestState();
  const std::vector<bass_test::PlayRecord>& plays() const { return plays_; }
  std::vector<DWORD> LoadedHandles();
  std::vector<DWORD> PlayingHandles();
  bool initialized() const { return initialized_; }

  // ---- For the desktop's media controls (no BASS 1.7 call asks this) ----
  // Seconds of one pass through a loaded music, or a negative value for an unknown handle.
  double MusicLengthSeconds(DWORD handle);

 private:
  struct Music {
    // A copy of the module's bytes: a clean restart decodes them again.
    std::vector<unsigned char> bytes;
    DWORD flags = 0;
    // One pass through the song, measured at load, before the audio callback can see the music.
    double lengthSeconds = 0;
    // Rendered only by the audio callback, under the audio lock.
    std::unique_ptr<ModuleInstance> instance;
    // Written under the audio lock; the callback clears it when a song that does not loop ends.
    bool playing = false;
  };

  // Holds the output's lock for a scope; nothing to hold when there is no output.
  class AudioLock {
   public:
    explicit AudioLock(AudioOutput* output);
    ~AudioLock();
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;

   private:
    AudioOutput* output_;
  };

  static void AudioCallback(void* user, int16_t* stereo, int frames);
  void Mix(int16_t* stereo, int frames);
  bool Fail(DWORD code);
  Music* Find(DWORD handle);

  DWORD errorCode_ = 0;
  bool initialized_ = false;
  // The output that is open; null before BASS_Init and for the no-sound device.
  AudioOutput* output_ = nullptr;
  int frequency_ = 0;
  // Handles count up from 1 and are never reused, so a stale handle never reaches a newer music.
  DWORD nextHandle_ = 1;
  std::map<DWORD, std::unique_ptr<Music>> musics_;
  Faults faults_;
  int musicLoadCalls_ = 0;
  int musicPlayCalls_ = 0;
  std::vector<bass_test::PlayRecord> plays_;
  // Mixer scratch, used only by the audio callback: the sum of all playing musics and one music's
  // render, kMixChunkFrames interleaved stereo frames each.
  std::array<float, 2 * kMixChunkFrames> mixBuffer_ = {};
  std::array<float, 2 * kMixChunkFrames> musicBuffer_ = {};
};

}  // namespace bass
