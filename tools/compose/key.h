// A key: tonic and mode, mapping scale degrees to MIDI pitches.
#pragma once

#include <array>

enum class Mode { kMajor, kMinor, kDorian, kMixolydian, kLydian, kPhrygian, kHarmonicMinor };

// Pitch classes: C = 0 ... B = 11.
enum PitchClass { kC = 0, kCs = 1, kDb = 1, kD = 2, kDs = 3, kEb = 3, kE = 4, kF = 5, kFs = 6, kGb = 6,
                  kG = 7, kGs = 8, kAb = 8, kA = 9, kAs = 10, kBb = 10, kB = 11 };

struct Key {
  int tonic = kC;
  Mode mode = Mode::kMajor;

  // Semitones above the tonic of 0-based degree d (any integer; 7 is the tonic an octave up).
  int DegreeSemitones(int degree) const;
  // MIDI pitch of a degree with an accidental, counted from the tonic in MIDI octave `octave`
  // (the tonic of octave 4 is the one at or above middle C).
  int Pitch(int degree, int accidental, int octave) const;
  bool InScale(int pitchClass) const;
  Key Transposed(int semitones) const;
};

// XM note number (1..96, 49 = C-4 = middle C) of a MIDI pitch (60 = middle C).
inline int XmNote(int midi) { return midi - 11; }
