// A chord as pitch classes over a root, parsed from the composer's chart symbols.
#pragma once

#include <string_view>
#include <vector>

#include "key.h"

struct Chord {
  int root = 0;                // pitch class
  std::vector<int> intervals;  // semitones above the root, ascending, starting with 0
  int bass = 0;                // pitch class of the bass note: the root unless a slash chord

  bool Contains(int pitchClass) const;
  // Pitch class of chord tone i (0 root, 1 third, 2 fifth, 3 seventh or added tone), wrapping.
  int Tone(int i) const;
  int Size() const { return static_cast<int>(intervals.size()); }
};

// Chart symbol: [b|#]degree[quality][/[b|#]degree], degree 1..7 of the key's mode scale.
// Qualities: (major) m 7 maj7 m7 m7b5 dim dim7 aug sus2 sus4 7sus4 add9 madd9 6 m6 9 m9 maj9 5.
// Throws std::runtime_error on an unknown symbol.
Chord ParseChord(const Key& key, std::string_view symbol);
