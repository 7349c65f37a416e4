// Writes chosen frames as DIR/frame_NNNNNN.png (RGB, optionally enlarged by a whole number,
// nearest neighbour). Each file is written under a temporary name and renamed when complete; when
// the capture fails or is interrupted, Rollback removes every frame this run wrote and every
// directory it created, so a run delivers all the frames asked for or leaves nothing of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pending_file.h"

class PngSequence {
 public:
  // Creates `directory` and its missing parents. False with the reason.
  bool Begin(const std::string& directory, int scale, std::string* error);
  bool Write(long frame, const uint32_t* pixels, int width, int height, int pitch, std::string* error);
  void Rollback();

 private:
  bool Encode(FILE* file, const uint32_t* pixels, int width, int height, int pitch, std::string* why);

  std::string directory_;
  int scale_ = 1;
  std::vector<std::string> createdDirectories_;  // deepest last
  std::vector<std::string> written_;             // files renamed into place
  std::vector<unsigned char> row_;               // one enlarged RGB row, allocated once
  PendingFile file_;
};
