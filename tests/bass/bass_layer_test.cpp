// The BASS layer on the headless host: device set-up, loading, playing, stopping and freeing,
// and what is heard.
#include <bass.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "../support/audio_probe.h"
#include "../support/tiny_xm.h"
#include "platform/bass/bass_test_control.h"
#include "platform/host/headless_host.h"

namespace {

using test_support::PitchOf;
using test_support::Peak;
using test_support::TinyXm;
using test_support::ToneFrequency;

constexpr int kRate = 44100;
constexpr DWORD kLoopFlags = BASS_MUSIC_RAMP | BASS_MUSIC_LOOP;
// Louder than any rounding noise, far quieter than the test tone.
constexpr int kAudible = 500;
// Frames skipped before measuring pitch, so the note's ramp-in does not count.
constexpr size_t kSettleFrames = 1024;
// C-4 and C-5: an octave apart.
constexpr int kLowNote = 49;
constexpr int kHighNote = 61;

class BassLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    bass_test::Reset();
    host::SetActiveHost(&host_);
  }
  void TearDown() override {
    BASS_Free();
    host::SetActiveHost(nullptr);
  }

  void InitAndStart() {
    ASSERT_TRUE(BASS_Init(-1, kRate, 0x120, nullptr));
    ASSERT_TRUE(BASS_Start());
  }

  static HMUSIC Load(std::vector<unsigned char>& module, DWORD flags = kLoopFlags) {
    return BASS_MusicLoad(TRUE, module.data(), 0, static_cast<DWORD>(module.size()), flags);
  }

  std::vector<int16_t> Pull(int frames) {
    std::vector<int16_t> stereo(2 * static_cast<size_t>(frames));
    host_.PullAudio(stereo.data(), frames);
    return stereo;
  }

  host::HeadlessHost host_;
};

TEST_F(BassLayer, InitOpensTheDefaultOutputOrFailsAsWithoutSound) {
  struct Case {
    const char* name;
    int device;
    DWORD frequency;
    bool hostInstalled;
    bool hostHasAudio;
    bool injectNoDevice;
    bool succeeds;
    DWORD error;
    bool audioOpen;
  };
  const Case cases[] = {
      {"default output", -1, 44100, true, true, false, true, BASS_OK, true},
      {"first device", 1, 22050, true, true, false, true, BASS_OK, true},
      {"no-sound device", 0, 44100, true, true, false, true, BASS_OK, false},
      {"machine without sound", -1, 44100, true, false, false, false, BASS_ERROR_DRIVER, false},
      {"injected: no device", -1, 44100, true, true, true, false, BASS_ERROR_DRIVER, false},
      {"no host at all", -1, 44100, false, true, false, false, BASS_ERROR_DRIVER, false},
      {"unknown device", 7, 44100, true, true, false, false, BASS_ERROR_DEVICE, false},
      {"no frequency", -1, 0, true, true, false, false, BASS_ERROR_FORMAT, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host::HeadlessHost machine;
    machine.SetAudioAvailable(c.hostHasAudio);
    host::SetActiveHost(c.hostInstalled ? &machine : nullptr);
    bass_test::SetNoDevice(c.injectNoDevice);

    EXPECT_EQ(BASS_GetVersion(), 0x00070001u);
    EXPECT_EQ(BASS_Init(c.device, c.frequency, 0x120, nullptr) != FALSE, c.succeeds);
    EXPECT_EQ(BASS_ErrorGetCode(), c.error);
    EXPECT_EQ(machine.audioOpen(), c.audioOpen);
    if (c.audioOpen) {
      EXPECT_EQ(machine.audioFrequency(), static_cast<int>(c.frequency));
      EXPECT_TRUE(machine.audioPaused()) << "silent until BASS_Start";
    }
    EXPECT_EQ(bass_test::Initialized(), c.succeeds);
    BASS_Free();
    EXPECT_FALSE(machine.audioOpen());
    bass_test::SetNoDevice(false);
  }
}

TEST_F(BassLayer, CallsOutsideInitFailHarmlessly) {
  std::vector<unsigned char> module = TinyXm(kLowNote);
  EXPECT_FALSE(BASS_Start());
  EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_ERROR_INIT));
  EXPECT_FALSE(BASS_Stop());
  EXPECT_EQ(Load(module), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_ERROR_INIT));
  EXPECT_FALSE(BASS_MusicPlayEx(1, 0, -1, TRUE));
  BASS_MusicFree(1);
  BASS_Free();

  InitAndStart();
  EXPECT_FALSE(BASS_Init(-1, kRate, 0, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_ERROR_ALREADY));
}

TEST_F(BassLayer, LoadRefusesWhatItCannotDecodeWithinTheGivenLength) {
  std::vector<unsigned char> module = TinyXm(kLowNote);
  std::vector<unsigned char> garbage(1000, 0x5A);
  // The module's first 60 bytes, exactly, on the heap: its header announces 276 more, and a loader
  // that went to look for them would be caught by the sanitizer.
  constexpr DWORD kCut = 60;
  auto headerOnly = std::make_unique<unsigned char[]>(kCut);
  std::copy_n(module.begin(), kCut, headerOnly.get());
  InitAndStart();

  struct Case {
    const char* name;
    BOOL fromMemory;
    void* data;
    DWORD length;
    DWORD error;
  };
  const Case cases[] = {
      {"no length", TRUE, module.data(), 0, BASS_ERROR_ILLPARAM},
      {"no data", TRUE, nullptr, 100, BASS_ERROR_ILLPARAM},
      {"not a module", TRUE, garbage.data(), static_cast<DWORD>(garbage.size()), BASS_ERROR_FORMAT},
      {"header cut short", TRUE, headerOnly.get(), kCut, BASS_ERROR_FORMAT},
      {"from a file", FALSE, const_cast<char*>("track00.xm"), 0, BASS_ERROR_FILEOPEN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(BASS_MusicLoad(c.fromMemory, c.data, 0, c.length, kLoopFlags), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), c.error);
  }
  EXPECT_TRUE(bass_test::LoadedMusics().empty());

  HMUSIC first = Load(module);
  HMUSIC second = Load(module);
  EXPECT_NE(first, 0u);
  EXPECT_NE(second, 0u);
  EXPECT_NE(first, second);
  EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_OK));
}

TEST_F(BassLayer, EveryCutOfAModuleLoadsOrIsRefusedWithoutReadingPastIt) {
  std::vector<unsigned char> module = TinyXm(kLowNote);
  InitAndStart();
  for (size_t length = 1; length < module.size(); ++length) {
    auto cut = std::make_unique<unsigned char[]>(length);
    std::copy_n(module.begin(), length, cut.get());
    HMUSIC handle = BASS_MusicLoad(TRUE, cut.get(), 0, static_cast<DWORD>(length), kLoopFlags);
    if (length <= 60) {
      EXPECT_EQ(handle, 0u) << length << " bytes hold no whole header";
    }
    if (handle != 0) {
      // Whatever was accepted plays from its own copy.
      cut.reset();
      EXPECT_TRUE(BASS_MusicPlayEx(handle, 0, -1, TRUE));
      Pull(512);
      BASS_MusicFree(handle);
    }
  }
}

TEST_F(BassLayer, InjectedFaultsFailTheChosenCall) {
  std::vector<unsigned char> module = TinyXm(kLowNote);
  InitAndStart();
  bass_test::FailMusicLoadCall(1);
  HMUSIC handle = Load(module);
  EXPECT_NE(handle, 0u);
  EXPECT_EQ(Load(module), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_ERROR_FORMAT));
  EXPECT_NE(Load(module), 0u);

  bass_test::FailMusicPlayCall(1);
  EXPECT_TRUE(BASS_MusicPlayEx(handle, 0, -1, TRUE));
  EXPECT_TRUE(BASS_ChannelStop(handle));
  EXPECT_FALSE(BASS_MusicPlayEx(handle, 0, -1, TRUE));
  EXPECT_TRUE(bass_test::PlayingMusics().empty());
  EXPECT_EQ(bass_test::Plays().size(), 1u);
  EXPECT_TRUE(BASS_MusicPlayEx(handle, 0, -1, TRUE));

  bass_test::SetReportedVersion(0x00060001);
  EXPECT_EQ(BASS_GetVersion(), 0x00060001u);
}

TEST_F(BassLayer, UnknownHandlesAreHarmlessAndNeverReused) {
  std::vector<unsigned char> module = TinyXm(kLowNote);
  InitAndStart();
  HMUSIC handle = Load(module);
  ASSERT_NE(handle, 0u);
  BASS_MusicFree(handle);
  EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_OK));

  for (DWORD stale : {handle, 0u, 0xDEADu}) {
    SCOPED_TRACE(stale);
    EXPECT_FALSE(BASS_ChannelStop(stale));
    EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_ERROR_HANDLE));
    EXPECT_FALSE(BASS_MusicPlayEx(stale, 0, -1, TRUE));
    EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_ERROR_HANDLE));
    BASS_MusicFree(stale);
    EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_ERROR_HANDLE));
  }
  HMUSIC again = Load(module);
  EXPECT_NE(again, handle);
  EXPECT_EQ(bass_test::LoadedMusics(), std::vector<HMUSIC>{again});
}

TEST_F(BassLayer, PlaysTheModulesToneAndASwitchIsHeard) {
  std::vector<unsigned char> low = TinyXm(kLowNote);
  std::vector<unsigned char> high = TinyXm(kHighNote);
  InitAndStart();
  HMUSIC a = Load(low);
  HMUSIC b = Load(high);

  EXPECT_EQ(Peak(Pull(4096)), 0) << "nothing plays yet";

  ASSERT_TRUE(BASS_MusicPlayEx(a, 0, -1, TRUE));
  std::vector<int16_t> first = Pull(kRate / 2);
  EXPECT_GT(Peak(first, kSettleFrames), kAudible);
  EXPECT_NEAR(PitchOf(first, kRate, kSettleFrames), ToneFrequency(kLowNote), 3.0);

  ASSERT_TRUE(BASS_ChannelStop(a));
  ASSERT_TRUE(BASS_MusicPlayEx(b, 0, -1, TRUE));
  std::vector<int16_t> second = Pull(kRate / 2);
  EXPECT_NEAR(PitchOf(second, kRate, kSettleFrames), ToneFrequency(kHighNote), 3.0);
  EXPECT_EQ(bass_test::PlayingMusics(), std::vector<HMUSIC>{b});

  ASSERT_TRUE(BASS_ChannelStop(b));
  EXPECT_EQ(Peak(Pull(4096)), 0) << "stopped";
}

TEST_F(BassLayer, OutputIsSilentBeforeStartAndAfterStop) {
  std::vector<unsigned char> low = TinyXm(kLowNote);
  ASSERT_TRUE(BASS_Init(-1, kRate, 0x120, nullptr));
  HMUSIC a = Load(low);
  ASSERT_TRUE(BASS_MusicPlayEx(a, 0, -1, TRUE));
  EXPECT_EQ(Peak(Pull(4096)), 0) << "before BASS_Start";

  ASSERT_TRUE(BASS_Start());
  EXPECT_GT(Peak(Pull(4096), kSettleFrames), kAudible);

  ASSERT_TRUE(BASS_Stop());
  EXPECT_EQ(Peak(Pull(4096)), 0);
  EXPECT_TRUE(bass_test::PlayingMusics().empty()) << "BASS_Stop stops every music";
  ASSERT_TRUE(BASS_Start());
  EXPECT_EQ(Peak(Pull(4096)), 0) << "nothing resumes by itself";
}

TEST_F(BassLayer, LoopFlagDecidesWhetherTheSongRepeats) {
  // Four rows of 0.12 s: the song is 0.48 s long.
  std::vector<unsigned char> shortSong = TinyXm(kLowNote, 4);
  struct Case {
    const char* name;
    DWORD loadFlags;
    int playFlags;
    bool repeats;
  };
  const Case cases[] = {
      {"loop from load", BASS_MUSIC_RAMP | BASS_MUSIC_LOOP, -1, true},
      {"plays once from load", BASS_MUSIC_RAMP, -1, false},
      {"loop given at play", BASS_MUSIC_RAMP, BASS_MUSIC_LOOP, true},
      {"loop taken away at play", BASS_MUSIC_LOOP, BASS_MUSIC_RAMP, false},
  };
  InitAndStart();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HMUSIC handle = Load(shortSong, c.loadFlags);
    ASSERT_TRUE(BASS_MusicPlayEx(handle, 0, c.playFlags, TRUE));
    Pull(kRate);  // one second, twice the song
    std::vector<int16_t> later = Pull(kRate / 2);
    if (c.repeats) {
      EXPECT_GT(Peak(later), kAudible);
      EXPECT_NEAR(PitchOf(later, kRate), ToneFrequency(kLowNote), 3.0);
      EXPECT_EQ(bass_test::PlayingMusics(), std::vector<HMUSIC>{handle});
    } else {
      EXPECT_EQ(Peak(later), 0);
      EXPECT_TRUE(bass_test::PlayingMusics().empty()) << "a song that ends stops its channel";
    }
    BASS_MusicFree(handle);
  }
}

TEST_F(BassLayer, ResetStartsCleanFromTheTop) {
  std::vector<unsigned char> low = TinyXm(kLowNote);
  InitAndStart();
  HMUSIC a = Load(low);
  ASSERT_TRUE(BASS_MusicPlayEx(a, 0, -1, TRUE));
  std::vector<int16_t> opening = Pull(8192);
  Pull(kRate / 3);
  ASSERT_TRUE(BASS_MusicPlayEx(a, 0, -1, TRUE));
  EXPECT_EQ(Pull(8192), opening);
}

TEST_F(BassLayer, PlayStartsFromTheGivenOrderAndRow) {
  std::vector<unsigned char> song = TinyXm(kLowNote, 16);
  InitAndStart();
  HMUSIC a = Load(song);
  EXPECT_TRUE(BASS_MusicPlayEx(a, MAKELONG(0, 15), -1, TRUE));
  EXPECT_TRUE(BASS_MusicPlayEx(a, MAKELONG(0, 3), -1, FALSE));
  EXPECT_FALSE(BASS_MusicPlayEx(a, MAKELONG(0, 16), -1, TRUE));
  EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_ERROR_POSITION));
  EXPECT_FALSE(BASS_MusicPlayEx(a, MAKELONG(1, 0), -1, FALSE));
  EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_ERROR_POSITION));

  std::vector<bass_test::PlayRecord> plays = bass_test::Plays();
  ASSERT_EQ(plays.size(), 2u);
  EXPECT_EQ(plays[0].handle, a);
  EXPECT_EQ(plays[0].row, 15);
  EXPECT_TRUE(plays[0].reset);
  EXPECT_EQ(plays[1].order, 0);
  EXPECT_EQ(plays[1].row, 3);
  EXPECT_FALSE(plays[1].reset);
}

TEST_F(BassLayer, FreeClosesTheOutputAndForgetsEveryMusic) {
  std::vector<unsigned char> low = TinyXm(kLowNote);
  InitAndStart();
  HMUSIC a = Load(low);
  Load(low);
  ASSERT_TRUE(BASS_MusicPlayEx(a, 0, -1, TRUE));
  BASS_Free();
  EXPECT_FALSE(host_.audioOpen());
  EXPECT_TRUE(bass_test::LoadedMusics().empty());
  EXPECT_FALSE(BASS_ChannelStop(a));
  BASS_Free();

  InitAndStart();
  HMUSIC again = Load(low);
  ASSERT_TRUE(BASS_MusicPlayEx(again, 0, -1, TRUE));
  EXPECT_GT(Peak(Pull(4096), kSettleFrames), kAudible);
}

// The audio thread renders while the program thread loads, switches and frees musics: every
// change must wait for the lock, and no module may be destroyed while it renders.
TEST_F(BassLayer, ChangesWhileTheAudioThreadRenders) {
  std::vector<unsigned char> low = TinyXm(kLowNote);
  std::vector<unsigned char> high = TinyXm(kHighNote, 4);
  InitAndStart();
  HMUSIC steady = Load(low);
  ASSERT_TRUE(BASS_MusicPlayEx(steady, 0, -1, TRUE));

  std::atomic<bool> done{false};
  std::atomic<int> loudest{0};
  std::thread audio([&] {
    std::vector<int16_t> block(2 * 300);
    while (!done) {
      host_.PullAudio(block.data(), 300);
      loudest = std::max(loudest.load(), Peak(block));
    }
  });
  for (int i = 0; i < 60; ++i) {
    HMUSIC other = Load(high, i % 2 ? kLoopFlags : BASS_MUSIC_RAMP);
    ASSERT_NE(other, 0u);
    ASSERT_TRUE(BASS_ChannelStop(steady));
    ASSERT_TRUE(BASS_MusicPlayEx(other, 0, -1, TRUE));
    ASSERT_TRUE(BASS_MusicPlayEx(steady, 0, -1, i % 3 == 0));
    BASS_MusicFree(other);
  }
  done = true;
  audio.join();
  EXPECT_GT(loudest.load(), kAudible);
  EXPECT_EQ(bass_test::LoadedMusics(), std::vector<HMUSIC>{steady});
}

}  // namespace
