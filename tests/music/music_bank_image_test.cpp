// Finding the modules in a packed bank image: the walk over well-formed and damaged images.
#include "music/music_bank_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Packs blobs as the build does: each one's bytes, then its byte count, 32-bit little-endian.
std::vector<unsigned char> Pack(const std::vector<std::vector<unsigned char>>& blobs) {
  std::vector<unsigned char> image;
  for (const auto& blob : blobs) {
    image.insert(image.end(), blob.begin(), blob.end());
    uint32_t count = static_cast<uint32_t>(blob.size());
    for (int b = 0; b < 4; ++b) image.push_back(static_cast<unsigned char>(count >> (8 * b)));
  }
  return image;
}

// Sixteen blobs of different lengths (one of them 300 bytes, so its count needs two bytes), each
// filled with its own entry number.
std::vector<std::vector<unsigned char>> SixteenBlobs() {
  std::vector<std::vector<unsigned char>> blobs;
  for (int k = 0; k < MusicBank::kEntryCount; ++k) {
    blobs.emplace_back(k == 3 ? 300 : 5 + 7 * k, static_cast<unsigned char>(k));
  }
  return blobs;
}

TEST(MusicBankImage, FindsEveryModuleOfAWellFormedImage) {
  auto blobs = SixteenBlobs();
  std::vector<unsigned char> image = Pack(blobs);
  MusicBank bank = MusicBankFromImage(image.data(), static_cast<uint32_t>(image.size()));
  size_t offset = 0;
  for (int k = 0; k < MusicBank::kEntryCount; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(bank.entries[k].image, image.data() + offset);
    EXPECT_EQ(bank.entries[k].length, blobs[k].size());
    EXPECT_EQ(bank.entries[k].handle, 0u);
    offset += blobs[k].size() + 4;
  }
}

TEST(MusicBankImage, DamagedImagesLeaveTheUnfoundEntriesEmpty) {
  struct Case {
    const char* name;
    // Damage done to a well-formed image of sixteen blobs.
    void (*damage)(std::vector<unsigned char>& image);
    // Entries below this one cannot be found.
    int firstFound;
  };
  const Case cases[] = {
      {"intact", [](std::vector<unsigned char>&) {}, 0},
      {"last count beyond the image", [](std::vector<unsigned char>& image) { image.back() = 0x7F; }, 16},
      {"shorter than one count", [](std::vector<unsigned char>& image) { image.resize(3); }, 16},
      {"empty", [](std::vector<unsigned char>& image) { image.clear(); }, 16},
      {"only the last three modules",
       [](std::vector<unsigned char>& image) {
         auto blobs = SixteenBlobs();
         image = Pack({blobs[13], blobs[14], blobs[15]});
       },
       13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto blobs = SixteenBlobs();
    std::vector<unsigned char> image = Pack(blobs);
    c.damage(image);
    MusicBank bank = MusicBankFromImage(image.data(), static_cast<uint32_t>(image.size()));
    for (int k = 0; k < MusicBank::kEntryCount; ++k) {
      SCOPED_TRACE(k);
      if (k < c.firstFound) {
        EXPECT_EQ(bank.entries[k].image, nullptr);
        EXPECT_EQ(bank.entries[k].length, 0u);
      } else {
        ASSERT_NE(bank.entries[k].image, nullptr);
        EXPECT_EQ(bank.entries[k].length, blobs[k].size());
        EXPECT_EQ(bank.entries[k].image[0], k);
        EXPECT_GE(bank.entries[k].image, image.data());
        EXPECT_LE(bank.entries[k].image + bank.entries[k].length + 4, image.data() + image.size());
      }
    }
  }
}

TEST(MusicBankImage, NoImageAtAll) {
  MusicBank bank = MusicBankFromImage(nullptr, 100);
  for (const MusicEntry& entry : bank.entries) {
    EXPECT_EQ(entry.image, nullptr);
    EXPECT_EQ(entry.length, 0u);
  }
}

}  // namespace
