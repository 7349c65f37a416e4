// Scales of the modes the composer uses.
#include "key.h"

namespace {

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

const std::array<int, 7>& Scale(Mode m) {
  static const std::array<int, 7> kMajor = {0, 2, 4, 5, 7, 9, 11};
  static const std::array<int, 7> kMinor = {0, 2, 3, 5, 7, 8, 10};
  static const std::array<int, 7> kDorian = {0, 2, 3, 5, 7, 9, 10};
  static const std::array<int, 7> kMixolydian = {0, 2, 4, 5, 7, 9, 10};
  static const std::array<int, 7> kLydian = {0, 2, 4, 6, 7, 9, 11};
  static const std::array<int, 7> kPhrygian = {0, 1, 3, 5, 7, 8, 10};
  static const std::array<int, 7> kHarmonicMinor = {0, 2, 3, 5, 7, 8, 11};
  switch (m) {
    case Mode::kMajor: return kMajor;
    case Mode::kMinor: return kMinor;
    case Mode::kDorian: return kDorian;
    case Mode::kMixolydian: return kMixolydian;
    case Mode::kLydian: return kLydian;
    case Mode::kPhrygian: return kPhrygian;
    case Mode::kHarmonicMinor: return kHarmonicMinor;
  }
  return kMajor;
}

}  // namespace

int Key::DegreeSemitones(int degree) const {
  int octave = FloorDiv(degree, 7);
  int d = degree - octave * 7;
  return Scale(mode)[d] + 12 * octave;
}

int Key::Pitch(int degree, int accidental, int octave) const {
  return 12 * (octave + 1) + tonic + DegreeSemitones(degree) + accidental;
}

bool Key::InScale(int pitchClass) const {
  int rel = ((pitchClass - tonic) % 12 + 12) % 12;
  for (int s : Scale(mode))
    if (s == rel) return true;
  return false;
}

Key Key::Transposed(int semitones) const { return Key{((tonic + semitones) % 12 + 12) % 12, mode}; }
