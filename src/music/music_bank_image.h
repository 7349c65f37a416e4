// Finds the sixteen modules in the packed bank image the build compiles into the program.
#pragma once

#include <cstdint>

#include "music/music_bank.h"

// The image holds the modules back to back, each module's bytes followed by its byte count as a
// 32-bit little-endian number; a count therefore tells where its module starts, and the walk runs
// from the end of the image. Entries whose bytes cannot be found in a damaged image stay empty
// (null image, length 0), which BASS_MusicLoad refuses. Every handle is 0.
MusicBank MusicBankFromImage(unsigned char* image, uint32_t size);
