// Starting the music disk on a chosen track without changing how it picks one: the program seeds
// its random generator from the performance counter and draws its first track from it, so the
// host can make the counter's first reading a seed that draws the wanted track.
#pragma once

#include <cstdint>

namespace host {

// The first seed from `from` on (counting up, wrapping) for which the program's generator, seeded
// with it, draws ordinary track `track` (1..15) first.
uint32_t SeedForFirstTrack(int track, uint32_t from);

}  // namespace host
