// The bank's titles and musician, read from data/music/titles.txt.
#pragma once

#include <string>
#include <vector>

struct TitleList {
  std::string musician;
  std::string handle;
  std::vector<std::string> titles;  // entry 0..15
};

// Reads "musician\tNAME", "handle\tNAME" and "NN\tTITLE" lines; '#' starts a comment line.
// Throws std::runtime_error unless all sixteen entries are present exactly once.
TitleList ReadTitleList(const std::string& path);
