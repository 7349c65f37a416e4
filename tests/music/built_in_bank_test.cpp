// The bank built into the program: set up before the program starts, descrambled byte for byte by
// LoadMusic, and a damaged module ending the whole program cleanly. Each test needs a fresh
// process (as ctest runs them): loading descrambles the built-in image in place.
#include <bass.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "music/music_bank.h"
#include "platform/bass/bass_test_control.h"
#include "platform/host/headless_host.h"

namespace {

std::vector<unsigned char> DataModule(int entry) {
  char name[64];
  std::snprintf(name, sizeof name, "%s/data/music/track%02d.xm", MUSIDISK_SOURCE_DIR, entry);
  std::ifstream in(name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(BuiltInBank, IsReadyBeforeTheProgramStartsAndDescramblesByteForByte) {
  // Static initialisation has found every module; nothing is loaded yet.
  for (int k = 0; k < MusicBank::kEntryCount; ++k) {
    SCOPED_TRACE(k);
    ASSERT_NE(musicBank.entries[k].image, nullptr);
    EXPECT_EQ(musicBank.entries[k].length, DataModule(k).size());
    EXPECT_EQ(musicBank.entries[k].handle, 0u);
  }
  EXPECT_NE(std::memcmp(musicBank.entries[0].image, "Extended Module: ", 17), 0) << "stored scrambled";

  host::HeadlessHost machine;
  host::SetActiveHost(&machine);
  ASSERT_EQ(LoadMusic(), 0);
  for (int k = 0; k < MusicBank::kEntryCount; ++k) {
    SCOPED_TRACE(k);
    std::vector<unsigned char> original = DataModule(k);
    ASSERT_EQ(musicBank.entries[k].length, original.size());
    EXPECT_EQ(std::memcmp(musicBank.entries[k].image, original.data(), original.size()), 0);
    EXPECT_NE(musicBank.entries[k].handle, 0u);
  }
  EXPECT_TRUE(machine.messageBoxes().empty());
  FreeMusic();
  host::SetActiveHost(nullptr);
}

// The whole program on the headless host, with one thing wrong for the music.
struct ProgramFault {
  const char* name;
  void (*arrange)(host::HeadlessHost& machine);
  const char* message;
};

void PrintTo(const ProgramFault& fault, std::ostream* out) { *out << fault.name; }

class ProgramWithMusicFault : public ::testing::TestWithParam<ProgramFault> {};

TEST_P(ProgramWithMusicFault, ShowsTheMessageAndExitsWithMinusOne) {
  const ProgramFault& fault = GetParam();
  host::HeadlessHost machine;
  host::SetActiveHost(&machine);
  fault.arrange(machine);

  int result = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);

  EXPECT_EQ(result, -1);
  ASSERT_EQ(machine.messageBoxes().size(), 1u);
  EXPECT_EQ(machine.messageBoxes()[0].first, "Tarnvik Musidisk");
  EXPECT_EQ(machine.messageBoxes()[0].second, fault.message);
  // The shutdown chain ran: no window, no sound device, nothing loaded.
  EXPECT_FALSE(machine.windowCreated());
  EXPECT_FALSE(machine.audioOpen());
  EXPECT_FALSE(bass_test::Initialized());
  EXPECT_TRUE(bass_test::LoadedMusics().empty());
  for (const MusicEntry& entry : musicBank.entries) EXPECT_EQ(entry.handle, 0u);
  host::SetActiveHost(nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ProgramWithMusicFault,
    ::testing::Values(
        ProgramFault{"DamagedModuleHeader",
                     [](host::HeadlessHost&) {
                       // The sixth module's signature no longer descrambles to "Extended Module: ".
                       musicBank.entries[5].image[0] ^= 0xFF;
                     },
                     "Can't load music"},
        ProgramFault{"ModuleCutInsideItsHeader", [](host::HeadlessHost&) { musicBank.entries[9].length = 40; },
                     "Can't load music"},
        ProgramFault{"NoSoundDevice", [](host::HeadlessHost& machine) { machine.SetAudioAvailable(false); },
                     "Can't initialize digital sound system"},
        ProgramFault{"OtherBassVersion", [](host::HeadlessHost&) { bass_test::SetReportedVersion(0x00080001); },
                     "BASS version 1.7 was not loaded"}),
    [](const ::testing::TestParamInfo<ProgramFault>& info) { return std::string(info.param.name); });

}  // namespace
