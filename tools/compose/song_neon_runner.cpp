// NEON RUNNER: synth-pop in C-sharp minor, 118 BPM. Gated eighth-note bass, a sixteenth-note
// arpeggio through the chords, a wide pad, and a bright lead that slides in the breakdown.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {

constexpr int kDrums = 0, kHats = 1, kBass = 2, kArp = 3, kPadA = 4, kPadB = 5, kLead = 6, kEcho = 7, kPedalLow = 8,
              kPedalHigh = 9;
constexpr double kOpenHatRate = 16000;

}  // namespace

SongResult ComposeNeonRunner(const SongContext& context) {
  SongSetup setup;
  setup.channels = 10;
  setup.bpm = 118;
  setup.key = Key{kCs, Mode::kMinor};
  setup.globalVolume = 64;
  setup.volumeScale = 1.027;
  Composer c(setup);

  int kick = c.Add(Instrument("kick", Kick({.rate = 11025, .startHz = 150, .endHz = 50, .sweepSeconds = 0.04,
                                           .decaySeconds = 0.2, .click = 0.3, .drive = 1.8, .lengthSeconds = 0.21}, 91),
                              {}, 58, 128, false));
  int snare = c.Add(Instrument("snare", Snare({.rate = 12000, .toneHz = 200, .toneDecay = 0.05, .noiseDecay = 0.1,
                                              .noiseHighPass = 1200, .noiseShare = 0.7, .lengthSeconds = 0.2}, 92),
                               {}, 50, 132, false));
  int hat = c.Add(Instrument("hat", Hat({.rate = 33452, .decaySeconds = 0.02, .lengthSeconds = 0.045}, 93), {}, 30, 172, false));
  int bass = c.Add(WaveInstrument("gate bass", {WaveKind::kPulse, 0.25, 48, 18}, kNoteC1, kNoteC4 - 1,
                                  AdsrEnvelope(0.002, 0.1, 0.7, 0.03), 44, 128));
  int arp = c.Add(WaveInstrument("arp", {WaveKind::kPulse, 0.125, 40}, kNoteC4, kNoteC6, DecayEnvelope(0.35, 0.05), 30, 80));
  int pad = c.Add(PadInstrument("neon pad", {WaveKind::kSaw, 0.5, 15, 18}, 32, 48, {-1, 0, 1}, AdsrEnvelope(0.3, 0.6, 0.8, 0.6),
                                22, 128, false, 94));
  InstrumentPatch leadPatch = WaveInstrument("lead by ODD", {WaveKind::kPulse, 0.5, 40, 12}, kNoteC4, kNoteC6,
                                           AdsrEnvelope(0.005, 0.3, 0.7, 0.1), 44, 118);
  leadPatch.vibratoDepth = 3;
  leadPatch.vibratoRate = 22;
  leadPatch.vibratoSweep = 0.35;
  int lead = c.Add(leadPatch);
  int echo = c.Add(WaveInstrument("lead echo", {WaveKind::kPulse, 0.5, 30, 10}, kNoteC4, kNoteC6, AdsrEnvelope(0.005, 0.3, 0.6, 0.1),
                                  44, 180));
  int open = c.AddFitter(
      [](size_t frames) {
        double seconds = (static_cast<double>(frames) + 0.5) / kOpenHatRate;
        return Instrument("open hat", Hat({.rate = kOpenHatRate, .decaySeconds = seconds / 3.0, .lengthSeconds = seconds,
                                           .highPass = 5500}, 95),
                          {}, 26, 172, false);
      },
      1500, 12000);

  DrumMap kit = {{'k', {kick, 60, 58}}, {'s', {snare, 60, 48}}, {'g', {snare, 60, 18}}};
  DrumMap hats = {{'h', {hat, 60, 42}}, {'o', {open, 60, 38}}, {'x', {hat, 60, 22}}};
  // The pad holds the tonic and its fifth under the moving chords.
  auto pedal = [&](int volume) {
    c.Pedal(kPedalLow, pad, c.CurrentKey().Pitch(0, 0, 3), volume);
    c.Pedal(kPedalHigh, pad, c.CurrentKey().Pitch(4, 0, 3), volume - 6);
  };

  const std::vector<int> pad2 = {kPadA, kPadB};
  const std::string arpLine = "0 1 2 3 4 3 2 1 0 1 2 3 4 3 2 1";

  // --- Intro: arpeggio and pad. ---
  c.Section("intro", "1m 6 3 7");
  c.SectionLevel(-3.5);
  c.Chords(pad2, pad, 52, 71, 16, "x", -1, {3, 12});
  c.Arp(kArp, arp, 61, 1, arpLine, 26);
  c.Beat(kHats, hats, 2, "h h h h h h h o", "", 2, 2);
  c.Beat(kDrums, kit, 1, "................", "k.s.k.s.s.s.sSsS", 3, 1);

  auto verse = [&]() {
    c.Section("verse", "1m 6 3 7 1m 6 3 7");
    c.Chords(pad2, pad, 52, 71, 16, "x", -1, {3, 12});
    c.Arp(kArp, arp, 61, 1, arpLine, 24);
    c.Bass(kBass, bass, 37, 2, "R R R R R R R A", 42);
    c.Beat(kDrums, kit, 1, "k...s...k.k.s...", "k...s...s.s.sSSS");
    c.Beat(kHats, hats, 2, "h h h h h h h o");
    c.Sixteenths(kHats, hats, "...x.......x.x..");
    pedal(30);
    c.Melody(kLead, lead, 4, 2,
             "3 - 3 2 3 - 5 - | 3 - 3 2 1 - . . | 5 - 5 4 5 - 7 - | 4 - - - 2 - . . | "
             "3 - 3 2 3 - 5 - | 3 - 3 2 1 - . . | 5 - 5 4 3 - 5 - | 4 - - - . 5 6 7 ",
             37);
  };
  auto chorus = [&](int octave) {
    c.Section("chorus", "6 7 1m 1m 6 7 3 5");
    c.Chords(pad2, pad, 52, 71, 8, "x -", -1, {3, 12});
    c.Arp(kArp, arp, 61, 1, arpLine, 22);
    c.Bass(kBass, bass, 37, 1, "R . R . 8 . R . R . R . 8 . R A", 44);
    c.Beat(kDrums, kit, 1, "k...s..kk.k.s.g.", "k.k.s.s.k.s.sSSS");
    c.Beat(kHats, hats, 1, "h.hoh.hhh.hoh.hh");
    c.Sixteenths(kHats, hats, ".x...x...x...x..");
    pedal(32);
    c.Melody(kLead, lead, octave, 2,
             "1' - - 7 6 - 3 - | 7 - - 6 7 - 4 - | 5 - - - 3 - 5 - | 1 - - - - - . . | "
             "1' - - 7 6 - 3 - | 7 - - 6 7 - 2' - | 3' - - 2' 3' - 7 - | 5 - - - 2 - #7, - ",
             38);
  };
  auto breakdown = [&]() {
    c.Section("breakdown", "6 3 7 1m 6 3 4m 5");
    c.SectionLevel(-3);
    c.Chords(pad2, pad, 52, 71, 16, "x", -1, {3, 12});
    c.Arp(kArp, arp, 73, 2, "0 1 2 1 0 1 2 1", 18);
    c.Bass(kBass, bass, 37, 8, "R -", 38, 0, 4);
    c.Bass(kBass, bass, 37, 2, "R R R R R R R A", 40, 4, 4);
    c.Beat(kDrums, kit, 1, "k.......s.......", "k.s.s.s.ssssSSSS", 4, 4);
    c.Beat(kHats, hats, 2, "h . h . h . h .", "", 4, 4);
    c.Melody(kLead, lead, 4, 2,
             "3 - - - 1' - - - | 7 - - - 5 - - - | 4 - - - 2 - 4 - | 5 - - - - - . . | "
             "3 - - - 1'~ - - - | 7 - - - 3'~ - - - | 1' - - - 6 - 4 - | 5 - - - - - . . ",
             35);
  };

  verse();
  c.LoopHere();
  chorus(4);
  verse();
  // The second chorus and the very last run an octave above the others.
  chorus(5);
  breakdown();
  chorus(4);
  chorus(5);

  // Downbeats after a held note are led into from a half step below.
  c.ChromaticApproach(kLead, 0.8);
  c.Echo(kLead, kEcho, echo, 3, 0.4);
  c.Vibrato(kLead, 6, 3, 5, -1);
  return {c.Build(context.title, context.musician, context.targetBytes), c.Report()};
}
