// The BASS layer over the real SDL host: SDL's own audio thread renders the musics, here through
// the disk driver so that what was played can be read back.
#include <bass.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "../support/audio_probe.h"
#include "../support/tiny_xm.h"
#include "platform/host/sdl_host.h"

namespace {

using test_support::PitchOf;
using test_support::TinyXm;
using test_support::ToneFrequency;

constexpr int kRate = 44100;
constexpr int kLowNote = 49;
constexpr int kHighNote = 61;
// Bytes per stereo 16-bit frame.
constexpr size_t kFrameBytes = 4;
// A generous bound on waiting for the audio thread, so that a stuck device fails instead of hanging.
constexpr auto kWaitLimit = std::chrono::seconds(60);

size_t FileSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  return in ? static_cast<size_t>(in.tellg()) : 0;
}

// Waits until SDL has written `frames` more frames to the file.
bool WaitForFrames(const std::string& path, size_t frames) {
  size_t target = FileSize(path) + frames * kFrameBytes;
  auto started = std::chrono::steady_clock::now();
  while (FileSize(path) < target) {
    if (std::chrono::steady_clock::now() - started > kWaitLimit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

TEST(BassOnSdl, TheAudioThreadPlaysWhatTheProgramChooses) {
  const std::string raw = std::string(MUSIDISK_BINARY_DIR) + "/bass_sdl_output_test.raw";
  std::remove(raw.c_str());
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
  host::SdlHost sdl;
  ASSERT_TRUE(sdl.Init()) << sdl.error();
  host::SetActiveHost(&sdl);

  std::vector<unsigned char> low = TinyXm(kLowNote);
  std::vector<unsigned char> high = TinyXm(kHighNote);
  ASSERT_TRUE(BASS_Init(-1, kRate, 0x120, nullptr)) << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_Start());
  HMUSIC a = BASS_MusicLoad(TRUE, low.data(), 0, static_cast<DWORD>(low.size()), 5);
  HMUSIC b = BASS_MusicLoad(TRUE, high.data(), 0, static_cast<DWORD>(high.size()), 5);
  ASSERT_TRUE(BASS_MusicPlayEx(a, 0, -1, TRUE));
  ASSERT_TRUE(WaitForFrames(raw, kRate / 2));
  size_t switchedAt = FileSize(raw) / kFrameBytes;
  ASSERT_TRUE(BASS_ChannelStop(a));
  ASSERT_TRUE(BASS_MusicPlayEx(b, 0, -1, TRUE));
  ASSERT_TRUE(WaitForFrames(raw, kRate / 2));
  BASS_Free();
  host::SetActiveHost(nullptr);

  std::ifstream in(raw, std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int16_t> stereo(bytes.size() / 2);
  for (size_t i = 0; i < stereo.size(); ++i) stereo[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  // A quarter second on either side of the switch, clear of the buffers in flight around it.
  size_t quarter = kRate / 4;
  ASSERT_GT(switchedAt, quarter + 4096);
  ASSERT_GT(stereo.size() / 2, switchedAt + 2 * quarter);
  std::vector<int16_t> before(stereo.begin() + 2 * (switchedAt - quarter - 4096), stereo.begin() + 2 * (switchedAt - 4096));
  std::vector<int16_t> after(stereo.end() - 2 * quarter, stereo.end());
  EXPECT_NEAR(PitchOf(before, kRate), ToneFrequency(kLowNote), 3.0);
  EXPECT_NEAR(PitchOf(after, kRate), ToneFrequency(kHighNote), 3.0);
  std::remove(raw.c_str());
}

}  // namespace
