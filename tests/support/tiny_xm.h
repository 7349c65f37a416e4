// Test fixture: a tiny XM module that sounds one steady tone, so a test can tell by ear (by pitch)
// which module plays.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

// The sample is one period of a sine in this many steps, looped.
constexpr int kToneSampleSteps = 32;
// XM plays note 49 (C-4) of an unshifted sample at this rate, with linear frequencies.
constexpr double kMiddleCRate = 8363.0;

// The pitch of `note` (1..96, 49 = C-4) in Hz.
inline double ToneFrequency(int note) {
  return kMiddleCRate / kToneSampleSteps * std::pow(2.0, (note - 49) / 12.0);
}

// One pattern of `rows` rows on two channels; row 0 strikes `note` on channel 0 and the looped
// sample holds it. A row lasts speed * 2.5 / bpm seconds; the song loops only if asked to.
inline std::vector<unsigned char> TinyXm(int note, int rows = 16, int speed = 6, int bpm = 125) {
  std::vector<unsigned char> m;
  auto u8 = [&](int v) { m.push_back(static_cast<unsigned char>(v)); };
  auto u16 = [&](int v) { u8(v & 0xFF); u8((v >> 8) & 0xFF); };
  auto u32 = [&](uint32_t v) { u16(static_cast<int>(v & 0xFFFF)); u16(static_cast<int>(v >> 16)); };
  auto text = [&](const std::string& s, size_t width) {
    for (size_t i = 0; i < width; ++i) u8(i < s.size() ? s[i] : 0);
  };
  auto zeros = [&](size_t n) { m.insert(m.end(), n, 0); };

  // Module header: 60 bytes, then 276 counted from offset 60.
  text("Extended Module: ", 17);
  text("tone " + std::to_string(note), 20);
  u8(0x1A);
  text("musidisk tests", 20);
  u16(0x0104);
  u32(276);
  u16(1);      // song length
  u16(0);      // restart position
  u16(2);      // channels
  u16(1);      // patterns
  u16(1);      // instruments
  u16(1);      // linear frequencies
  u16(speed);
  u16(bpm);
  zeros(256);  // order table: pattern 0

  // Pattern 0.
  u32(9);
  u8(0);
  u16(rows);
  u16(3 + 1 + (rows - 1) * 2);
  u8(0x83);  // note and instrument follow
  u8(note);
  u8(1);
  u8(0x80);
  for (int r = 1; r < rows; ++r) {
    u8(0x80);
    u8(0x80);
  }

  // Instrument 1: a 263-byte header, no envelopes.
  size_t instrumentStart = m.size();
  u32(263);
  text("tone", 22);
  u8(0);
  u16(1);   // samples
  u32(40);  // sample header size
  zeros(96 + 48 + 48 + 2 + 6 + 2 + 4 + 2);  // keymap, envelopes, points, sustain and loops, types, vibrato, fadeout
  zeros(263 - (m.size() - instrumentStart));

  // Sample header and delta-encoded 8-bit data.
  u32(kToneSampleSteps);  // length
  u32(0);                 // loop start
  u32(kToneSampleSteps);  // loop length
  u8(64);                 // volume
  u8(0);                  // finetune
  u8(1);                  // forward loop, 8-bit
  u8(128);                // panning
  u8(0);                  // relative note
  u8(0);
  text("sine", 22);
  int previous = 0;
  for (int i = 0; i < kToneSampleSteps; ++i) {
    int value = static_cast<int>(std::lround(100.0 * std::sin(2.0 * M_PI * i / kToneSampleSteps)));
    u8((value - previous) & 0xFF);
    previous = value;
  }
  return m;
}

}  // namespace test_support
