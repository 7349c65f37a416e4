// Finds a seed whose first draw is a chosen track.
#include "platform/host/first_track_seed.h"

#include "app/random_generator.h"
#include "music/music_bank.h"

namespace host {

// Asks the program's own generator (the program seeds it again before it draws the first track),
// since the first track is the first draw after seeding, modulo the number of ordinary tracks.
uint32_t SeedForFirstTrack(int track, uint32_t from) {
  uint32_t seed = from;
  for (;;) {
    SeedRandom(seed);
    if (NextRandom() % MusicBank::kOrdinaryTracks == track - 1) return seed;
    ++seed;
  }
}

}  // namespace host
