// Chord symbol parsing against a key.
#include "chord.h"

#include <stdexcept>
#include <string>

namespace {

int Mod12(int v) { return (v % 12 + 12) % 12; }

// Reads [b|#]*digit from s at pos; returns the pitch class in key.
int ReadDegree(const Key& key, std::string_view s, size_t& pos) {
  int accidental = 0;
  while (pos < s.size() && (s[pos] == 'b' || s[pos] == '#')) {
    accidental += s[pos] == 'b' ? -1 : 1;
    ++pos;
  }
  if (pos >= s.size() || s[pos] < '1' || s[pos] > '7')
    throw std::runtime_error("chord symbol needs a degree 1..7: " + std::string(s));
  int degree = s[pos] - '1';
  ++pos;
  return Mod12(key.tonic + key.DegreeSemitones(degree) + accidental);
}

std::vector<int> Quality(std::string_view q, std::string_view whole) {
  if (q.empty()) return {0, 4, 7};
  if (q == "m") return {0, 3, 7};
  if (q == "7") return {0, 4, 7, 10};
  if (q == "maj7") return {0, 4, 7, 11};
  if (q == "m7") return {0, 3, 7, 10};
  if (q == "m7b5") return {0, 3, 6, 10};
  if (q == "dim") return {0, 3, 6};
  if (q == "dim7") return {0, 3, 6, 9};
  if (q == "aug") return {0, 4, 8};
  if (q == "sus2") return {0, 2, 7};
  if (q == "sus4") return {0, 5, 7};
  if (q == "7sus4") return {0, 5, 7, 10};
  if (q == "add9") return {0, 4, 7, 14};
  if (q == "madd9") return {0, 3, 7, 14};
  if (q == "6") return {0, 4, 7, 9};
  if (q == "m6") return {0, 3, 7, 9};
  if (q == "9") return {0, 4, 7, 10, 14};
  if (q == "m9") return {0, 3, 7, 10, 14};
  if (q == "maj9") return {0, 4, 7, 11, 14};
  if (q == "5") return {0, 7};
  throw std::runtime_error("unknown chord quality in " + std::string(whole));
}

}  // namespace

bool Chord::Contains(int pitchClass) const {
  for (int i : intervals)
    if (Mod12(root + i) == Mod12(pitchClass)) return true;
  return false;
}

int Chord::Tone(int i) const { return Mod12(root + intervals[static_cast<size_t>(i) % intervals.size()]); }

Chord ParseChord(const Key& key, std::string_view symbol) {
  size_t pos = 0;
  Chord c;
  c.root = ReadDegree(key, symbol, pos);
  size_t slash = symbol.find('/', pos);
  std::string_view quality = symbol.substr(pos, slash == std::string_view::npos ? std::string_view::npos : slash - pos);
  c.intervals = Quality(quality, symbol);
  c.bass = c.root;
  if (slash != std::string_view::npos) {
    size_t p = slash + 1;
    c.bass = ReadDegree(key, symbol, p);
    if (p != symbol.size()) throw std::runtime_error("trailing text in chord symbol " + std::string(symbol));
  }
  return c;
}
