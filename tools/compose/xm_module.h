// In-memory model of an extended module (XM 1.04) and its exact byte layout.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One pattern cell. Zero in a field means "nothing there".
struct XmCell {
  uint8_t note = 0;        // 1..96 (49 = C-4), 97 = key-off
  uint8_t instrument = 0;  // 1..128
  uint8_t volume = 0;      // volume column: 0x10..0x50 set volume 0..64, 0x60.. commands
  uint8_t effect = 0;      // effect type 0..35 (0 with a nonzero param is arpeggio)
  uint8_t param = 0;
  bool operator==(const XmCell&) const = default;
  bool Empty() const { return note == 0 && instrument == 0 && volume == 0 && effect == 0 && param == 0; }
  bool HasEffect() const { return effect != 0 || param != 0; }
};

inline constexpr uint8_t kXmKeyOff = 97;
// Volume-column command bases.
inline constexpr uint8_t kXmVolumeSet = 0x10;     // + 0..64
inline constexpr uint8_t kXmVolumePanning = 0xC0;  // + 0..15, panning in steps of 16

struct XmPattern {
  int rows = 64;
  std::vector<XmCell> cells;  // rows * channels, row-major
  bool operator==(const XmPattern&) const = default;
};

struct XmEnvelopePoint {
  uint16_t tick;
  uint16_t value;  // 0..64 for volume, 0..64 (32 centre) for panning
};

struct XmEnvelope {
  std::vector<XmEnvelopePoint> points;  // at most 12, ticks ascending, first at 0
  int sustain = -1;                     // point index, -1 for none
  int loopStart = -1;                   // point indices, -1 for no loop
  int loopEnd = -1;
  bool Enabled() const { return !points.empty(); }
};

struct XmSample {
  std::string name;
  bool sixteenBit = false;
  std::vector<int> frames;  // signed: -128..127 or -32768..32767
  uint32_t loopStart = 0;   // in frames
  uint32_t loopLength = 0;  // in frames; 0 = no loop
  bool pingPong = false;
  uint8_t volume = 64;       // 0..64
  int8_t finetune = 0;       // 1/128 semitone
  uint8_t panning = 128;     // 0..255
  int8_t relativeNote = 0;   // semitones
  uint32_t ByteLength() const { return static_cast<uint32_t>(frames.size()) * (sixteenBit ? 2u : 1u); }
};

struct XmInstrument {
  std::string name;
  std::vector<XmSample> samples;
  std::array<uint8_t, 96> keymap{};  // sample index per note
  XmEnvelope volumeEnvelope;
  XmEnvelope panningEnvelope;
  uint8_t vibratoType = 0;  // 0 sine, 1 square, 2 ramp down, 3 ramp up
  uint8_t vibratoSweep = 0;  // ticks until full depth
  uint8_t vibratoDepth = 0;  // 0..15
  uint8_t vibratoRate = 0;   // 0..63
  uint16_t fadeout = 0;      // subtracted from 32768 per tick after key-off
};

struct XmModule {
  std::string name;         // up to 20 characters
  std::string trackerName;  // up to 20 characters
  int channels = 8;         // even, 2..32
  int speed = 6;            // ticks per row
  int bpm = 125;            // tick rate = bpm * 2 / 5 Hz
  int restart = 0;          // order index the song loops to
  std::vector<uint8_t> orders;
  std::vector<XmPattern> patterns;
  std::vector<XmInstrument> instruments;
};

// The packed bytes of one pattern's cells.
std::vector<uint8_t> PackXmPattern(const XmPattern& pattern, int channels);
// The complete file. Throws std::runtime_error on a model that cannot be written.
std::vector<uint8_t> SerializeXm(const XmModule& module);
// Bytes the instrument contributes: headers and sample data.
size_t XmInstrumentBytes(const XmInstrument& instrument);
