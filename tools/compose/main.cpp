// musidisk-compose: writes the sixteen modules of the music bank, track00.xm .. track15.xm.
// Usage: musidisk-compose [--out DIR] [--titles FILE] [--only N] [--quiet]
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

#include "songs.h"
#include "title_list.h"

namespace {

constexpr int kTrackCount = 16;

// The byte count each entry of the bank must have.
constexpr size_t kTrackBytes[kTrackCount] = {88709, 53151, 33602, 38701, 34835, 65698, 28644, 23054,
                                             25810, 42940, 51424, 51253, 54189, 29562, 30614, 71182};

constexpr SongFunction kSongs[kTrackCount] = {
    ComposeSunbeams,      ComposeLowTide,       ComposeVoltage,        ComposeSlinky,
    ComposeDriftwood,     ComposeWaltzing,      ComposeNeonRunner,     ComposePaperKites,
    ComposeNorthernLights, ComposeCoffeeAtNoon, ComposeLetters,        ComposeMidnightTrain,
    ComposeClockworkGarden, ComposeEchoesOfSummer, ComposeOneMoreTime, ComposeJoyride};

int Usage() {
  std::fprintf(stderr, "usage: musidisk-compose [--out DIR] [--titles FILE] [--only N] [--quiet]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string out = MUSIDISK_SOURCE_DIR "/data/music";
  std::string titles = MUSIDISK_SOURCE_DIR "/data/music/titles.txt";
  int only = -1;
  bool quiet = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--out" && i + 1 < argc) out = argv[++i];
    else if (a == "--titles" && i + 1 < argc) titles = argv[++i];
    else if (a == "--only" && i + 1 < argc) only = std::atoi(argv[++i]);
    else if (a == "--quiet") quiet = true;
    else return Usage();
  }
  if (only >= kTrackCount) return Usage();
  try {
    TitleList list = ReadTitleList(titles);
    for (int t = 0; t < kTrackCount; ++t) {
      if (only >= 0 && t != only) continue;
      SongContext context{list.titles[t], list.musician, kTrackBytes[t]};
      SongResult song = kSongs[t](context);
      std::vector<uint8_t> bytes = SerializeXm(song.module);
      if (bytes.size() != kTrackBytes[t]) {
        std::fprintf(stderr, "musidisk-compose: track %02d is %zu bytes, not %zu\n", t, bytes.size(), kTrackBytes[t]);
        return 1;
      }
      char name[32];
      std::snprintf(name, sizeof name, "/track%02d.xm", t);
      std::ofstream file(out + name, std::ios::binary);
      file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
      if (!file) {
        std::fprintf(stderr, "musidisk-compose: cannot write %s%s\n", out.c_str(), name);
        return 1;
      }
      if (!quiet) std::printf("track%02d %s", t, song.report.c_str());
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "musidisk-compose: %s\n", e.what());
    return 1;
  }
  return 0;
}
