// What a listener hears in a rendered song, as numbers that can be set beside tracker music
// written by people: how the harmony holds and moves, how far it leaves the key, where the
// energy sits in the spectrum, how noisy the sound is, and how the onsets sit on the beat.
#pragma once

#include <vector>

struct AudioMeasures {
  double seconds = 0;
  double tempo = 0;            // beats per minute found in the onsets
  int keyTonic = 0;            // pitch class of the key that fits the chroma best
  bool keyMinor = false;
  // Mean cosine similarity of beat chroma vectors at least eight beats (two 4/4 bars) apart:
  // high when a harmonic bed holds under the moving lines.
  double chromaHold = 0;
  // Mean of 1 - cosine similarity between neighbouring beats: how much the pitches move.
  double chromaChange = 0;
  // Share of chroma energy on the five pitch classes outside the key's scale.
  double outOfKey = 0;
  // Shares of the spectral power above 4 kHz and below 150 Hz.
  double highShare = 0, lowShare = 0;
  // Median spectral flatness (geometric over arithmetic mean of the power, 60 Hz to 8 kHz) of
  // sounding frames.
  double flatness = 0;
  double onsetsPerSecond = 0;
  // Share of onsets within an eighth of an eighth note of the eighth-note grid of the beats.
  double onGrid = 0;
  // Share of 8-second windows (every 4 s) whose own tempo lies within 4% of the song's.
  double tempoAgreement = 0;
};

// Mono audio at `rate` Hz.
AudioMeasures MeasureAudio(const std::vector<float>& mono, double rate);
