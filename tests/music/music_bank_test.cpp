// The music bank over the BASS layer and the headless host, with a bank of sixteen tiny modules that
// each sound their own pitch, so a test can hear which entry plays.
#include "music/music_bank.h"

#include <bass.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "../support/audio_probe.h"
#include "../support/tiny_xm.h"
#include "app/random_generator.h"
#include "platform/bass/bass_test_control.h"
#include "platform/host/headless_host.h"

namespace {

using test_support::PitchOf;
using test_support::Peak;
using test_support::TinyXm;
using test_support::ToneFrequency;

constexpr int kRate = 44100;
constexpr int kAudible = 500;
constexpr size_t kSettleFrames = 1024;
constexpr char kCaption[] = "Tarnvik Musidisk";

// Entry k sounds note 25 + 4k: neighbours are a major third apart, easy to tell by pitch.
int NoteOf(int entry) { return 25 + 4 * entry; }

void Scramble(unsigned char* bytes, size_t length) {
  static const char key[] = "QELSXAR";
  for (size_t i = 0; i < length; ++i) bytes[i] ^= static_cast<unsigned char>(key[i % 7]);
}

class MusicBankTest : public ::testing::Test {
 public:
  void SetUp() override {
    bass_test::Reset();
    host::SetActiveHost(&machine_);
    InstallFixtureBank();
  }
  void TearDown() override {
    FreeMusic();
    host::SetActiveHost(nullptr);
  }

  // Sixteen scrambled modules, each in a heap block of exactly its size, so that a read past an
  // image's end is caught by the sanitizer.
  void InstallFixtureBank() {
    for (int k = 0; k < MusicBank::kEntryCount; ++k) {
      std::vector<unsigned char> module = TinyXm(NoteOf(k));
      InstallImage(k, module);
    }
    currentTrack = 0;
    savedTrack = 0;
  }

  void InstallImage(int entry, const std::vector<unsigned char>& module) {
    images_[entry] = std::make_unique<unsigned char[]>(module.size());
    std::copy(module.begin(), module.end(), images_[entry].get());
    Scramble(images_[entry].get(), module.size());
    musicBank.entries[entry] = MusicEntry{images_[entry].get(), static_cast<uint32_t>(module.size()), 0};
  }

  std::vector<int16_t> Pull(int frames) {
    std::vector<int16_t> stereo(2 * static_cast<size_t>(frames));
    machine_.PullAudio(stereo.data(), frames);
    return stereo;
  }

  // The entry whose pitch is heard now, or -1 for silence or a pitch of no entry.
  int EntryHeard() {
    std::vector<int16_t> sound = Pull(kRate / 3);
    if (Peak(sound, kSettleFrames) < kAudible) return -1;
    double pitch = PitchOf(sound, kRate, kSettleFrames);
    for (int k = 0; k < MusicBank::kEntryCount; ++k) {
      if (std::fabs(std::log2(pitch / ToneFrequency(NoteOf(k)))) < 0.05) return k;
    }
    return -1;
  }

  HMUSIC HandleOf(int entry) const { return musicBank.entries[entry].handle; }

  // Leaves exactly `entry` playing, as after the change that led to it.
  void PlayOnly(int entry) {
    for (HMUSIC handle : bass_test::LoadedMusics()) BASS_ChannelStop(handle);
    ASSERT_TRUE(BASS_MusicPlayEx(HandleOf(entry), 0, -1, TRUE));
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& box : machine_.messageBoxes()) {
      EXPECT_EQ(box.first, kCaption);
      texts.push_back(box.second);
    }
    return texts;
  }

  host::HeadlessHost machine_;
  std::unique_ptr<unsigned char[]> images_[MusicBank::kEntryCount];
};

TEST_F(MusicBankTest, LoadsEveryModuleAndPlaysARandomOrdinaryFirstTrack) {
  for (uint32_t seed : {1u, 2u, 3u, 17u, 4357u, 65536u, 123456789u, 0xFFFFFFFEu}) {
    SCOPED_TRACE(seed);
    SeedRandom(seed);
    int expected = NextRandom() % 15;
    SeedRandom(seed);

    ASSERT_EQ(LoadMusic(), 0);
    EXPECT_EQ(currentTrack, expected);
    std::vector<HMUSIC> handles;
    for (const MusicEntry& entry : musicBank.entries) handles.push_back(entry.handle);
    std::vector<HMUSIC> loaded = bass_test::LoadedMusics();
    std::sort(handles.begin(), handles.end());
    EXPECT_EQ(handles, loaded) << "sixteen distinct handles, all loaded";
    EXPECT_EQ(loaded.size(), 16u);
    EXPECT_TRUE(machine_.audioOpen());
    EXPECT_EQ(machine_.audioFrequency(), kRate);
    EXPECT_FALSE(machine_.audioPaused()) << "output started";

    ASSERT_EQ(PlayCurrentTrack(), 0);
    EXPECT_EQ(EntryHeard(), expected);
    ASSERT_FALSE(bass_test::Plays().empty());
    bass_test::PlayRecord play = bass_test::Plays().back();
    EXPECT_EQ(play.handle, HandleOf(expected));
    EXPECT_EQ(play.order, 0);
    EXPECT_EQ(play.row, 0);
    EXPECT_TRUE(play.reset);
    EXPECT_TRUE(Messages().empty());

    FreeMusic();
    InstallFixtureBank();
  }
}

using TrackChange = int (*)();

struct ChangeCase {
  const char* name;
  int current;
  int saved;
  TrackChange change;
  int expectCurrent;
  int expectSaved;
};

TEST_F(MusicBankTest, TrackChangesFollowTheOrderAndTheHiddenTrack) {
  const ChangeCase cases[] = {
      {"next", 3, 0, NextTrack, 4, 3},
      {"next wraps after the last ordinary track", 14, 2, NextTrack, 0, 14},
      {"previous", 5, 9, PreviousTrack, 4, 5},
      {"previous wraps before the first", 0, 6, PreviousTrack, 14, 0},
      {"into the hidden track", 7, 2, PlayHiddenTrack, 15, 7},
      {"next leaves the hidden track for the saved one", 15, 7, NextTrack, 7, 15},
      {"previous leaves it for the saved one too", 15, 7, PreviousTrack, 7, 15},
      {"leaving returns to the saved track, not its neighbour", 15, 14, NextTrack, 14, 15},
      {"after leaving, the next press steps normally", 7, 15, NextTrack, 8, 7},
      {"after leaving, previous steps normally", 7, 15, PreviousTrack, 6, 7},
  };
  ASSERT_EQ(LoadMusic(), 0);
  for (const ChangeCase& c : cases) {
    SCOPED_TRACE(c.name);
    PlayOnly(c.current);
    currentTrack = c.current;
    savedTrack = c.saved;
    bass_test::Reset();

    EXPECT_EQ(c.change(), 0);
    EXPECT_EQ(currentTrack, c.expectCurrent);
    EXPECT_EQ(savedTrack, c.expectSaved);
    EXPECT_EQ(bass_test::PlayingMusics(), std::vector<HMUSIC>{HandleOf(c.expectCurrent)}) << "the old one stopped";
    std::vector<bass_test::PlayRecord> plays = bass_test::Plays();
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_EQ(plays[0].handle, HandleOf(c.expectCurrent));
    EXPECT_EQ(plays[0].order, 0);
    EXPECT_EQ(plays[0].row, 0);
    EXPECT_TRUE(plays[0].reset);
  }
  EXPECT_TRUE(Messages().empty());
}

TEST_F(MusicBankTest, TheHiddenTrackDoesNotRestart) {
  ASSERT_EQ(LoadMusic(), 0);
  currentTrack = 4;
  ASSERT_EQ(PlayCurrentTrack(), 0);
  ASSERT_EQ(PlayHiddenTrack(), 0);
  bass_test::Reset();
  EXPECT_EQ(PlayHiddenTrack(), 0);
  EXPECT_EQ(currentTrack, 15);
  EXPECT_EQ(savedTrack, 4);
  EXPECT_TRUE(bass_test::Plays().empty());
  EXPECT_EQ(bass_test::PlayingMusics(), std::vector<HMUSIC>{HandleOf(15)});
}

TEST_F(MusicBankTest, WhatIsHeardFollowsTheKeysAndReturnsFromTheHiddenTrackToTheTop) {
  struct Case {
    const char* name;
    TrackChange leave;
  };
  const Case cases[] = {{"leave with next", NextTrack}, {"leave with previous", PreviousTrack}};
  ASSERT_EQ(LoadMusic(), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    currentTrack = 6;
    savedTrack = 0;
    ASSERT_EQ(PlayCurrentTrack(), 0);
    std::vector<int16_t> opening = Pull(4096);
    EXPECT_EQ(EntryHeard(), 6);

    ASSERT_EQ(PlayHiddenTrack(), 0);
    EXPECT_EQ(EntryHeard(), 15);
    ASSERT_EQ(c.leave(), 0);
    EXPECT_EQ(Pull(4096), opening) << "track 6 again, from its beginning";
    EXPECT_EQ(EntryHeard(), 6);
  }
  ASSERT_EQ(NextTrack(), 0);
  EXPECT_EQ(EntryHeard(), 7);
  PlayOnly(14);
  currentTrack = 14;
  ASSERT_EQ(NextTrack(), 0);
  EXPECT_EQ(EntryHeard(), 0);
  ASSERT_EQ(PreviousTrack(), 0);
  EXPECT_EQ(EntryHeard(), 14);
  // Long after its 1.9-second song ended, the track still plays: it loops.
  Pull(3 * kRate);
  EXPECT_EQ(EntryHeard(), 14);
}

struct LoadFault {
  const char* name;
  void (*arrange)(host::HeadlessHost& machine);
  const char* message;
  // Entries loaded before the failure.
  int loadedBefore;
};

TEST_F(MusicBankTest, EachLoadFailureTellsTheUserAndLeavesNothingBehind) {
  const LoadFault cases[] = {
      {"other library version", [](host::HeadlessHost&) { bass_test::SetReportedVersion(0x00060002); },
       "BASS version 1.7 was not loaded", 0},
      {"machine without sound", [](host::HeadlessHost& machine) { machine.SetAudioAvailable(false); },
       "Can't initialize digital sound system", 0},
      {"device refused", [](host::HeadlessHost&) { bass_test::SetNoDevice(true); },
       "Can't initialize digital sound system", 0},
      {"first module fails", [](host::HeadlessHost&) { bass_test::FailMusicLoadCall(0); }, "Can't load music", 0},
      {"seventh module fails", [](host::HeadlessHost&) { bass_test::FailMusicLoadCall(6); }, "Can't load music", 6},
      {"hidden module fails", [](host::HeadlessHost&) { bass_test::FailMusicLoadCall(15); }, "Can't load music",
       15},
  };
  for (const LoadFault& c : cases) {
    SCOPED_TRACE(c.name);
    host::HeadlessHost machine;
    host::SetActiveHost(&machine);
    InstallFixtureBank();
    bass_test::Reset();
    c.arrange(machine);

    EXPECT_EQ(LoadMusic(), -1);
    ASSERT_EQ(machine.messageBoxes().size(), 1u);
    EXPECT_EQ(machine.messageBoxes()[0].first, kCaption);
    EXPECT_EQ(machine.messageBoxes()[0].second, c.message);
    for (int k = 0; k < MusicBank::kEntryCount; ++k) {
      EXPECT_EQ(HandleOf(k) != 0, k < c.loadedBefore) << "entry " << k;
    }
    EXPECT_EQ(bass_test::LoadedMusics().size(), static_cast<size_t>(c.loadedBefore));

    FreeMusic();
    EXPECT_TRUE(bass_test::LoadedMusics().empty());
    EXPECT_FALSE(bass_test::Initialized());
    EXPECT_FALSE(machine.audioOpen());
    for (int k = 0; k < MusicBank::kEntryCount; ++k) EXPECT_EQ(HandleOf(k), 0u);
    EXPECT_EQ(machine.messageBoxes().size(), 1u) << "freeing says nothing";
    bass_test::Reset();
    host::SetActiveHost(&machine_);
  }
}

TEST_F(MusicBankTest, FreeMusicWithoutLoadMusicIsHarmless) {
  FreeMusic();
  FreeMusic();
  EXPECT_TRUE(Messages().empty());
  EXPECT_FALSE(machine_.audioOpen());
  for (int k = 0; k < MusicBank::kEntryCount; ++k) EXPECT_EQ(HandleOf(k), 0u);
}

TEST_F(MusicBankTest, PlayFailingAtStartUpTellsTheUser) {
  ASSERT_EQ(LoadMusic(), 0);
  bass_test::FailMusicPlayCall(0);
  EXPECT_EQ(PlayCurrentTrack(), -1);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Can't play music"});
  EXPECT_TRUE(bass_test::PlayingMusics().empty());
  EXPECT_EQ(Peak(Pull(4096)), 0);
}

TEST_F(MusicBankTest, PlayFailingDuringAChangeKeepsTheNewTrackNumbersAndStopsTheOld) {
  const ChangeCase cases[] = {
      {"next", 3, 0, NextTrack, 4, 3},
      {"previous", 0, 0, PreviousTrack, 14, 0},
      {"hidden", 9, 0, PlayHiddenTrack, 15, 9},
      {"leaving the hidden track", 15, 2, NextTrack, 2, 15},
  };
  ASSERT_EQ(LoadMusic(), 0);
  size_t messages = 0;
  for (const ChangeCase& c : cases) {
    SCOPED_TRACE(c.name);
    PlayOnly(c.current);
    currentTrack = c.current;
    savedTrack = c.saved;
    bass_test::FailMusicPlayCall(0);

    EXPECT_EQ(c.change(), -1);
    EXPECT_EQ(currentTrack, c.expectCurrent);
    EXPECT_EQ(savedTrack, c.expectSaved);
    EXPECT_TRUE(bass_test::PlayingMusics().empty());
    ASSERT_EQ(Messages().size(), ++messages);
    EXPECT_EQ(Messages().back(), "Can't play music");
    bass_test::Reset();
  }
}

// Damaged images are refused as they are, never read beyond their own length.
TEST_F(MusicBankTest, ADamagedImageIsRefusedWithoutReadingPastIt) {
  struct Case {
    const char* name;
    void (*damage)(MusicBankTest& test, int entry);
  };
  const Case cases[] = {
      {"damaged signature", [](MusicBankTest&, int entry) { musicBank.entries[entry].image[3] ^= 0x20; }},
      {"cut inside its header",
       [](MusicBankTest& test, int entry) {
         std::vector<unsigned char> module = TinyXm(NoteOf(entry));
         module.resize(70);
         test.InstallImage(entry, module);
       }},
      {"not found in the image", [](MusicBankTest&, int entry) { musicBank.entries[entry] = MusicEntry{}; }},
  };
  constexpr int kDamaged = 11;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host::HeadlessHost machine;
    host::SetActiveHost(&machine);
    InstallFixtureBank();
    c.damage(*this, kDamaged);

    EXPECT_EQ(LoadMusic(), -1);
    EXPECT_EQ(machine.messageBoxes().size(), 1u);
    EXPECT_EQ(machine.messageBoxes().at(0).second, "Can't load music");
    EXPECT_NE(HandleOf(kDamaged - 1), 0u);
    EXPECT_EQ(HandleOf(kDamaged), 0u);
    FreeMusic();
    host::SetActiveHost(&machine_);
  }
}

}  // namespace
