// Named timbres built from the tone and drum generators, shared by the songs. Each returns a
// complete instrument; a song adjusts volume, panning, envelope or bit depth as it needs.
#pragma once

#include <cstdint>
#include <string>

#include "drum_synth.h"
#include "instrument_spec.h"
#include "tone_synth.h"

// XM note numbers of the C's, for zone ranges.
inline constexpr int kNoteC1 = 13, kNoteC2 = 25, kNoteC3 = 37, kNoteC4 = 49, kNoteC5 = 61, kNoteC6 = 73, kNoteC7 = 85;

InstrumentSpec Instrument(std::string name, SynthSample sample, EnvelopeSpec envelope, int volume, int panning,
                          bool sixteenBit);

// Band-limited wave played over [lowNote, highNote] (XM notes), one zone per octave.
InstrumentSpec WaveInstrument(std::string name, const WaveSpec& wave, int lowNote, int highNote, EnvelopeSpec envelope,
                              int volume, int panning);
// Detuned voices of a wave in a long loop.
InstrumentSpec PadInstrument(std::string name, const WaveSpec& wave, int period, int cycles,
                             const std::vector<int>& offsets, EnvelopeSpec envelope, int volume, int panning,
                             bool sixteenBit, uint64_t seed);

// Plucked string: bright onset mellowing to its fundamental. decay in seconds at middle C.
SynthSample PluckTone(const WaveSpec& spectrum, double decay, double brightness, double pickNoise, uint64_t seed);
// Electric piano: round fundamental with a short metallic tine.
SynthSample EPianoTone(uint64_t seed);
// Glockenspiel / music box: inharmonic upper partials over a pure hum.
SynthSample BellTone(double decay, uint64_t seed);
// Vibraphone: struck bar with its fourth and tenth partials.
SynthSample VibesTone();
// Marimba: short woody bar.
SynthSample MarimbaTone();
// Slap / finger bass: percussive attack over a warm sustained body.
SynthSample SlapBassTone(uint64_t seed);
