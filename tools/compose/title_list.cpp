// Parser for the titles file: tab-separated key and value per line.
#include "title_list.h"

#include <fstream>
#include <stdexcept>

namespace {

constexpr int kEntries = 16;

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r");
  size_t b = s.find_last_not_of(" \t\r");
  return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

}  // namespace

TitleList ReadTitleList(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  TitleList list;
  list.titles.resize(kEntries);
  std::vector<bool> seen(kEntries, false);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (Trim(line).empty() || Trim(line)[0] == '#') continue;
    size_t tab = line.find('\t');
    if (tab == std::string::npos) throw std::runtime_error(path + ":" + std::to_string(number) + ": expected key<TAB>value");
    std::string key = Trim(line.substr(0, tab)), value = Trim(line.substr(tab + 1));
    if (key == "musician") {
      list.musician = value;
    } else if (key == "handle") {
      list.handle = value;
    } else {
      if (key.size() != 2 || key[0] < '0' || key[0] > '9' || key[1] < '0' || key[1] > '9')
        throw std::runtime_error(path + ":" + std::to_string(number) + ": unknown key " + key);
      int entry = (key[0] - '0') * 10 + (key[1] - '0');
      if (entry >= kEntries || seen[entry] || value.empty())
        throw std::runtime_error(path + ":" + std::to_string(number) + ": bad or repeated entry " + key);
      seen[entry] = true;
      list.titles[entry] = value;
    }
  }
  for (int i = 0; i < kEntries; ++i)
    if (!seen[i]) throw std::runtime_error(path + ": entry " + std::to_string(i) + " is missing");
  if (list.musician.empty()) throw std::runtime_error(path + ": no musician line");
  return list;
}
