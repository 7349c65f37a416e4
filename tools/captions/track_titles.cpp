// Reading the bank's titles file.
#include "track_titles.h"

#include <cctype>
#include <sstream>

namespace captions {

bool ParseTrackTitles(const std::string& text, TrackTitles& titles, std::string& error) {
  titles = {};
  std::array<bool, kTrackCount> seen{};
  std::istringstream in(text);
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const size_t tab = line.find('\t');
    if (tab == std::string::npos || tab + 1 >= line.size()) {
      error = "line " + std::to_string(lineNumber) + ": expected a key, a tab and a value";
      return false;
    }
    const std::string key = line.substr(0, tab), value = line.substr(tab + 1);
    if (key == "musician") {
      titles.musician = value;
    } else if (key == "handle") {
      titles.handle = value;
    } else if (key.size() == 2 && std::isdigit(static_cast<unsigned char>(key[0])) &&
               std::isdigit(static_cast<unsigned char>(key[1])) && std::stoi(key) < kTrackCount) {
      const int track = std::stoi(key);
      if (seen[track]) {
        error = "line " + std::to_string(lineNumber) + ": track " + key + " named twice";
        return false;
      }
      seen[track] = true;
      titles.titles[track] = value;
    } else {
      error = "line " + std::to_string(lineNumber) + ": unknown key \"" + key + "\"";
      return false;
    }
  }
  for (int track = 0; track < kTrackCount; ++track) {
    if (!seen[track]) {
      error = "no title for track " + std::to_string(track);
      return false;
    }
  }
  if (titles.handle.empty()) {
    error = "no handle for the musician";
    return false;
  }
  return true;
}

}  // namespace captions
