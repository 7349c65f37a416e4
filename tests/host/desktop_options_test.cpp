// The desktop program's command line, and starting it on a chosen track.
#include <gtest/gtest.h>

#include <vector>

#include "app/random_generator.h"
#include "platform/host/desktop_options.h"
#include "platform/host/first_track_seed.h"

namespace {

using Action = host::DesktopOptions::Action;

TEST(DesktopOptions, ReadsTheOptionsAndRefusesAnythingElse) {
  struct Case {
    std::vector<const char*> args;
    Action action;
    bool windowed;
    int track;
  } cases[] = {
      {{}, Action::kRun, false, 0},
      {{"--windowed"}, Action::kRun, true, 0},
      {{"--track", "1"}, Action::kRun, false, 1},
      {{"--track=15", "--windowed"}, Action::kRun, true, 15},
      {{"--help"}, Action::kHelp, false, 0},
      {{"--windowed", "-h"}, Action::kHelp, true, 0},
      {{"--version"}, Action::kVersion, false, 0},
      {{"--track"}, Action::kUsageError, false, 0},
      {{"--track", "0"}, Action::kUsageError, false, 0},
      {{"--track", "16"}, Action::kUsageError, false, 0},
      {{"--track", "3x"}, Action::kUsageError, false, 0},
      {{"--track", "99999999999999999999"}, Action::kUsageError, false, 0},
      {{"--track="}, Action::kUsageError, false, 0},
      {{"--fullscreen"}, Action::kUsageError, false, 0},
      {{"track"}, Action::kUsageError, false, 0},
  };
  for (const Case& c : cases) {
    std::vector<const char*> argv{"musidisk"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    host::DesktopOptions options = host::ParseDesktopOptions(static_cast<int>(argv.size()), argv.data());
    std::string line;
    for (const char* a : c.args) line += std::string(a) + " ";
    EXPECT_EQ(options.action, c.action) << line;
    if (c.action == Action::kUsageError) {
      EXPECT_FALSE(options.error.empty()) << line;
      continue;
    }
    EXPECT_EQ(options.windowed, c.windowed) << line;
    EXPECT_EQ(options.track, c.track) << line;
  }
}

TEST(FirstTrackSeed, TheProgramsFirstDrawFromTheSeedIsTheChosenTrack) {
  for (uint32_t from : {0u, 123456789u, 0xFFFFFFF0u}) {
    for (int track = 1; track <= 15; ++track) {
      uint32_t seed = host::SeedForFirstTrack(track, from);
      SeedRandom(seed);
      EXPECT_EQ(NextRandom() % 15, track - 1) << "track " << track << " from " << from;
    }
  }
}

}  // namespace
