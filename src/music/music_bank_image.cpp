// The walk over the packed bank image.
#include "music/music_bank_image.h"

namespace {

// Bytes of the little-endian count after each module.
constexpr uint32_t kCountBytes = 4;

uint32_t ReadCount(const unsigned char* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
         static_cast<uint32_t>(at[3]) << 24;
}

}  // namespace

MusicBank MusicBankFromImage(unsigned char* image, uint32_t size) {
  MusicBank bank = {};
  if (image == nullptr) return bank;
  // `end` is where the entry being looked for ends, counted from the start of the image.
  uint32_t end = size;
  for (int entry = MusicBank::kEntryCount - 1; entry >= 0; --entry) {
    if (end < kCountBytes) break;
    uint32_t count = ReadCount(image + end - kCountBytes);
    uint32_t room = end - kCountBytes;
    if (count > room) break;
    bank.entries[entry].image = image + room - count;
    bank.entries[entry].length = count;
    end = room - count;
  }
  return bank;
}
