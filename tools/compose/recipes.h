// Named timbres built from the tone and drum generators, shared by the songs. Each returns a
// complete instrument; a song adjusts volume, panning, envelope or bit depth as it needs.
#pragma once

#include <cstdint>
#include <string>

#include "drum_synth.h"
#include "instrument_patch.h"
#include "tone_synth.h"

// XM note numbers of the C's, for zone ranges.
inline constexpr int kNoteC1 = 13, kNoteC2 = 25, kNoteC3 = 37, kNoteC4 = 49, kNoteC5 = 61, kNoteC6 = 73, kNoteC7 = 85;

InstrumentPatch Instrument(std::string name, SynthSample sample, EnvelopeShape envelope, int volume, int panning,
                           bool sixteenBit);

// Band-limited wave played over [lowNote, highNote] (XM notes), one zone per octave.
InstrumentPatch WaveInstrument(std::string name, const WaveShape& wave, int lowNote, int highNote,
                               EnvelopeShape envelope, int volume, int panning);
// Detuned voices of a wave in a long loop, with breath (see DetunedPad) if asked.
InstrumentPatch PadInstrument(std::string name, const WaveShape& wave, int period, int cycles,
                              const std::vector<int>& offsets, EnvelopeShape envelope, int volume, int panning,
                              bool sixteenBit, uint64_t seed, double breath = 0.0);

// The decaying tones are made at 261.6 Hz * period frames per second (period frames per cycle
// of middle C); their sample holds the settling time plus one looped cycle, so period and
// settle time set the size: about period * 262 * settle frames.
// Plucked string: bright onset mellowing to its fundamental. decay in seconds at middle C;
// partials stop below period / 2.
SynthSample PluckTone(const WaveShape& spectrum, double decay, double brightness, double pickNoise, uint64_t seed,
                      int period = 128);
// Electric piano: round fundamental with a short metallic tine.
SynthSample EPianoTone(uint64_t seed, int period = 128, double settle = 0.9);
// Glockenspiel / music box: inharmonic upper partials over a pure hum. period is four cycles of the
// pitch (256 = 64 frames per cycle).
SynthSample BellTone(double decay, uint64_t seed, int period = 256);
// Vibraphone: struck bar with its fourth and tenth partials.
SynthSample VibesTone(int period = 128, double settle = 0.7);
// Marimba: short woody bar.
SynthSample MarimbaTone(int period = 128, double settle = 0.35);
// Slap / finger bass: percussive attack over a warm sustained body.
SynthSample SlapBassTone(uint64_t seed, int period = 256, double settle = 0.35);
