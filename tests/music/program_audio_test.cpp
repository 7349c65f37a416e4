// The real program, run without a display or sound card, writing what it plays through SDL's disk
// audio driver: the sound must be one of the bank's ordinary tracks, from its beginning.
#include <bass.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "../support/audio_probe.h"
#include "platform/host/headless_host.h"

namespace {

constexpr int kRate = 44100;
constexpr int kAudible = 500;
// How much of the program's sound is compared with each track's opening: half a second.
constexpr size_t kComparedFrames = kRate / 2;
// Frames per audio buffer, as the SDL host asks for.
constexpr int kBlockFrames = 1024;
// Generous bounds on waiting for the program, so a broken build fails instead of hanging.
constexpr auto kStartLimit = std::chrono::seconds(120);
constexpr auto kExitLimit = std::chrono::seconds(30);

std::vector<unsigned char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<int16_t> AsStereo(const std::vector<unsigned char>& bytes) {
  std::vector<int16_t> samples(bytes.size() / 4 * 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  }
  return samples;
}

// The frames after the leading frames that are exactly silent.
std::vector<int16_t> FromFirstSound(const std::vector<int16_t>& stereo) {
  size_t frame = 0;
  while (2 * frame + 1 < stereo.size() && stereo[2 * frame] == 0 && stereo[2 * frame + 1] == 0) ++frame;
  return std::vector<int16_t>(stereo.begin() + static_cast<std::ptrdiff_t>(2 * frame), stereo.end());
}

// The opening of bank entry `track` as our BASS layer plays it, read from data/music.
std::vector<int16_t> TrackOpening(int track) {
  char path[512];
  std::snprintf(path, sizeof path, "%s/data/music/track%02d.xm", MUSIDISK_SOURCE_DIR, track);
  std::vector<unsigned char> module = ReadBytes(path);
  HMUSIC handle = BASS_MusicLoad(TRUE, module.data(), 0, static_cast<DWORD>(module.size()), 5);
  EXPECT_NE(handle, 0u) << path;
  EXPECT_TRUE(BASS_MusicPlayEx(handle, 0, -1, TRUE));
  std::vector<int16_t> sound;
  std::vector<int16_t> block(2 * kBlockFrames);
  auto* machine = static_cast<host::HeadlessHost*>(host::ActiveHost());
  while (sound.size() < 4 * kComparedFrames) {
    machine->PullAudio(block.data(), kBlockFrames);
    sound.insert(sound.end(), block.begin(), block.end());
  }
  BASS_MusicFree(handle);
  return FromFirstSound(sound);
}

bool SameOpening(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
  size_t samples = 2 * kComparedFrames;
  return a.size() >= samples && b.size() >= samples && std::equal(a.begin(), a.begin() + samples, b.begin());
}

TEST(ProgramAudio, RealProgramPlaysTheChosenTrackThroughTheDiskDriver) {
  const std::string program = std::string(MUSIDISK_BINARY_DIR) + "/musidisk";
  const std::string raw = std::string(MUSIDISK_BINARY_DIR) + "/program_audio_test.raw";
  std::remove(raw.c_str());

  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    // The system libraries SDL loads keep one-time allocations to exit; leaks of our own code are
    // checked in process by the headless tests.
    setenv("LSAN_OPTIONS", "detect_leaks=0", 1);
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }

  // Wait until the program has played a little more than what is compared.
  int status = 0;
  bool exitedEarly = false;
  auto started = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - started < kStartLimit) {
    if (waitpid(child, &status, WNOHANG) == child) {
      exitedEarly = true;
      break;
    }
    if (FromFirstSound(AsStereo(ReadBytes(raw))).size() > 2 * (kComparedFrames + kRate)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  ASSERT_FALSE(exitedEarly) << "the program ended by itself, status " << status;

  // SDL turns SIGTERM into a quit request: the program shuts down as when its window is closed.
  kill(child, SIGTERM);
  bool exited = false;
  started = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - started < kExitLimit) {
    if (waitpid(child, &status, WNOHANG) == child) {
      exited = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  if (!exited) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  ASSERT_TRUE(exited) << "the program did not shut down";
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  std::vector<int16_t> heard = FromFirstSound(AsStereo(ReadBytes(raw)));
  ASSERT_GE(heard.size(), 2 * kComparedFrames);
  EXPECT_GT(test_support::Peak(heard), kAudible);

  host::HeadlessHost machine;
  host::SetActiveHost(&machine);
  ASSERT_TRUE(BASS_Init(-1, kRate, 0x120, nullptr));
  ASSERT_TRUE(BASS_Start());
  std::vector<int> matching;
  for (int track = 0; track < 15; ++track) {
    if (SameOpening(heard, TrackOpening(track))) matching.push_back(track);
  }
  BASS_Free();
  host::SetActiveHost(nullptr);
  EXPECT_FALSE(matching.empty()) << "the sound is none of the ordinary tracks from its beginning";
  std::remove(raw.c_str());
}

}  // namespace
