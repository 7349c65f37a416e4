// Describes one instrument as the composer wants it (sound, envelope in seconds, mix defaults)
// and turns it into an XM instrument for a given tempo.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tone_synth.h"
#include "xm_module.h"

struct EnvelopeShape {
  std::vector<std::pair<double, double>> points;  // (seconds, level 0..1); empty = no envelope
  int sustain = -1;                               // point held while the key is down
  int loopStart = -1, loopEnd = -1;               // points the envelope cycles between (tremolo)
  double releaseSeconds = 0.25;                   // fade after key-off
};

// Attack, decay to the sustain level, held until key-off, then faded over release.
EnvelopeShape AdsrEnvelope(double attack, double decay, double sustainLevel, double release);
// Dies away over about decay seconds even while held (plucks, bells, drums); key-off
// shortens it to release.
EnvelopeShape DecayEnvelope(double decay, double release, double attack = 0.0);

struct InstrumentPatch {
  std::string name;
  std::vector<ToneZone> zones;  // one zone with firstNote 1 for a single sample
  EnvelopeShape envelope;
  int volume = 64;        // default volume 0..64
  int panning = 128;      // 0..255
  bool sixteenBit = true;
  double gain = 0.97;     // peak of the quantized wave against full scale
  double transpose = 0;   // semitones added to the tuning (e.g. -12 plays an octave down)
  // Auto-vibrato: sweep in seconds until full depth, so short notes stay steady.
  int vibratoDepth = 0;   // 0..15
  int vibratoRate = 0;    // 0..63
  double vibratoSweep = 0;
};

InstrumentPatch SingleZone(std::string name, SynthSample sample);
XmInstrument BuildInstrument(const InstrumentPatch& patch, int bpm);
// Quantizes one sound to 8 or 16 bits with loop and tuning fields set.
XmSample QuantizeSample(const SynthSample& s, bool sixteenBit, double gain, double transpose, uint64_t seed);
