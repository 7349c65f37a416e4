// The music bank's titles and musician, read from data/music/titles.txt.
#pragma once

#include <array>
#include <string>

namespace captions {

constexpr int kTrackCount = 16;

struct TrackTitles {
  std::string musician;
  std::string handle;
  std::array<std::string, kTrackCount> titles;
};

// Parses lines "musician<TAB>name", "handle<TAB>name" and "NN<TAB>title" for NN 00..15; lines
// starting with '#' are comments. False, with the reason, when a field is missing or repeated.
bool ParseTrackTitles(const std::string& text, TrackTitles& titles, std::string& error);

}  // namespace captions
