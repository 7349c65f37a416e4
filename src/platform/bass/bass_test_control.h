// Test controls of the BASS layer: faults to inject, and what was loaded and asked to play.
#pragma once

#include <bass.h>

#include <vector>

namespace bass_test {

// BASS_GetVersion reports this instead of 1.7, as another bass.dll would.
void SetReportedVersion(DWORD version);
// BASS_Init fails as on a machine without a sound device.
void SetNoDevice(bool noDevice);
// The BASS_MusicLoad call with this index, counted from now (0 = the next one), fails as on data
// the library cannot decode; -1 fails none.
void FailMusicLoadCall(int callIndex);
// The BASS_MusicPlayEx call with this index, counted from now, fails; -1 fails none.
void FailMusicPlayCall(int callIndex);
// Clears every fault and the record of plays; loaded musics stay loaded.
void Reset();

// One BASS_MusicPlayEx that succeeded: which music, from which order and row, clean start or not.
struct PlayRecord {
  HMUSIC handle;
  int order;
  int row;
  bool reset;
};
// Every successful BASS_MusicPlayEx since the process started or the last Reset, oldest first.
std::vector<PlayRecord> Plays();
// The musics loaded and not freed, and those of them playing now.
std::vector<HMUSIC> LoadedMusics();
std::vector<HMUSIC> PlayingMusics();
// Between a successful BASS_Init and BASS_Free.
bool Initialized();

}  // namespace bass_test
