// Test controls of the BASS layer over the process's one library.
#include "platform/bass/bass_test_control.h"

#include "platform/bass/bass_library.h"

namespace bass_test {

using bass::BassLibrary;

void SetReportedVersion(DWORD version) { BassLibrary::Instance().faults().reportedVersion = version; }

void SetNoDevice(bool noDevice) { BassLibrary::Instance().faults().noDevice = noDevice; }

void FailMusicLoadCall(int callIndex) { BassLibrary::Instance().FailMusicLoadCall(callIndex); }

void FailMusicPlayCall(int callIndex) { BassLibrary::Instance().FailMusicPlayCall(callIndex); }

void Reset() { BassLibrary::Instance().ResetTestState(); }

std::vector<PlayRecord> Plays() { return BassLibrary::Instance().plays(); }

std::vector<HMUSIC> LoadedMusics() { return BassLibrary::Instance().LoadedHandles(); }

std::vector<HMUSIC> PlayingMusics() { return BassLibrary::Instance().PlayingHandles(); }

bool Initialized() { return BassLibrary::Instance().initialized(); }

}  // namespace bass_test
