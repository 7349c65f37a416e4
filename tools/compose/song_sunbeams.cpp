// SUNBEAMS: bright chip-pop in D major, 132 BPM. Square bass, chip arpeggios, a detuned saw
// pad and a quarter-pulse lead with a dotted-eighth echo.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {

// Channels.
constexpr int kDrums = 0, kHats = 1, kBass = 2, kArp = 3, kPadA = 4, kPadB = 5, kPadC = 6, kLead = 7, kEcho = 8,
              kHarmony = 9, kCrash = 10, kGhosts = 11;

}  // namespace

SongResult ComposeSunbeams(const SongContext& context) {
  SongSetup setup;
  setup.channels = 12;
  setup.bpm = 132;
  setup.key = Key{kD, Mode::kMajor};
  setup.globalVolume = 57;
  Composer c(setup);

  int kick = c.Add(Instrument("kick", Kick({.rate = 16726, .startHz = 160, .endHz = 50, .lengthSeconds = 0.36}, 11), {}, 60, 128, true));
  int snare = c.Add(Instrument("snare", Snare({.rate = 22050, .lengthSeconds = 0.26}, 12), {}, 50, 136, true));
  int hat = c.Add(Instrument("closed hat", Hat({.rate = 33452, .decaySeconds = 0.035, .lengthSeconds = 0.08}, 13), {}, 30, 168, false));
  int open = c.Add(Instrument("open hat", Hat({.rate = 33452, .decaySeconds = 0.16, .lengthSeconds = 0.36}, 14), {}, 26,
                              168, false));
  int bass = c.Add(WaveInstrument("square bass", {WaveKind::kPulse, 0.5, 40, 10}, kNoteC1, kNoteC4,
                                  AdsrEnvelope(0.003, 0.15, 0.75, 0.06), 40, 128));
  int pad = c.Add(PadInstrument("saw pad", {WaveKind::kSaw, 0.5, 24, 8}, 64, 96, {-2, 0, 1, 3},
                                AdsrEnvelope(0.35, 0.5, 0.8, 0.5), 24, 128, true, 21));
  int arp = c.Add(WaveInstrument("chip arp", {WaveKind::kPulse, 0.125, 48}, kNoteC4, kNoteC6,
                                 AdsrEnvelope(0.002, 0.2, 0.6, 0.1), 28, 84));
  InstrumentPatch leadPatch = WaveInstrument("lead by ODD", {WaveKind::kPulse, 0.25, 48}, kNoteC4, kNoteC7,
                                           AdsrEnvelope(0.004, 0.25, 0.7, 0.12), 40, 112);
  leadPatch.vibratoDepth = 3;
  leadPatch.vibratoRate = 24;
  leadPatch.vibratoSweep = 0.3;
  int lead = c.Add(leadPatch);
  int echo = c.Add(WaveInstrument("lead echo", {WaveKind::kPulse, 0.25, 48, 6}, kNoteC4, kNoteC7,
                                  AdsrEnvelope(0.004, 0.25, 0.6, 0.12), 40, 176));
  int harmony = c.Add(WaveInstrument("harmony", {WaveKind::kTriangle, 0.5, 31}, kNoteC3, kNoteC6,
                                     AdsrEnvelope(0.01, 0.3, 0.7, 0.15), 30, 150));
  int crash = c.AddFitter(
      [](size_t frames) { return Instrument("crash", Crash(frames, 26000, 15), {}, 30, 100, false); }, 8000, 80000);

  DrumMap kit = {{'k', {kick, 60, 64}}, {'s', {snare, 60, 56}}, {'g', {snare, 60, 24}}};
  DrumMap hats = {{'h', {hat, 60, 44}}, {'o', {open, 60, 40}}};
  // Ghost notes on the off-sixteenths between the hats: the lift under the chorus.
  DrumMap ghosts = {{'x', {hat, 60, 22}}, {'g', {snare, 60, 16}}};
  DrumMap crashes = {{'c', {crash, 60, 36}}};
  const std::vector<int> pad3 = {kPadA, kPadB, kPadC};
  const std::vector<int> padPans = {4, 8, 11};

  // --- Intro: the arpeggio and pad alone, the beat creeping in. ---
  c.Section("intro", "1 5 6m 4");
  c.SectionLevel(-4);
  c.Chords(pad3, pad, 57, 76, 2, "x - - - - - - -", -1, padPans);
  c.ChipArp(kArp, arp, 64, 2, "x - - - - - - -", 28);
  c.Beat(kHats, hats, 2, "h.h.h.h.", "", 2, 2);
  c.Bass(kBass, bass, 38, 2, "R - - - R - - -", 32, 2, 2);
  c.Beat(kDrums, kit, 2, "........", "k.s.k.s.sSsS", 2, 2);

  // --- Verse. ---
  auto verse = [&](const std::string& name, const std::string& melody) {
    c.Section(name, "1 5 6m 4 1 5 6m 4");
    c.Chords(pad3, pad, 57, 76, 2, "x - - - - - - -", -1, padPans);
    c.ChipArp(kArp, arp, 64, 2, "x - - x - - x -", 26);
    c.Bass(kBass, bass, 38, 2, "R . R 8 . R 8 A", 36);
    c.Beat(kDrums, kit, 1, "k...s...k.k.s...", "k...s...s.s.sSsS");
    c.Beat(kHats, hats, 2, "h h h h h h h o");
    c.Melody(kLead, lead, 4, 2, melody, 52);
    c.Sixteenths(kGhosts, ghosts, "...x.......x..g.");
  };
  const std::string verseA =
      "5 . 5 6 5 3 - . | 2 - 2 3 2 - 7, - | 3 . 3 4 3 1 - . | 1 - - 2 1 - 6, - | "
      "5 . 5 6 5 3 - . | 2 - 2 3 2 - 7, - | 3 . 3 4 3 6 - 5 | 6, - 1 - 2 - 4 3 ";
  const std::string verseB =
      "5 . 5 6 5 3 - 2 | 2 - 2 3 2 - 7, - | 3 . 3 4 3 5 - . | 6 - 1' - 6 - - . | "
      "5 . 5 6 5 3 - 2 | 2 - 2 3 2 - 7, - | 3 . 3 4 3 6 - 1' | 1' - 6 - 4 - 3 - ";

  auto pre = [&]() {
    // The flat seventh, borrowed from the minor, darkens the climb for a bar.
    c.Section("pre-chorus", "2m b7 5sus4 5");
    c.Chords(pad3, pad, 57, 76, 2, "x - - - x - - -", -1, padPans);
    c.ChipArp(kArp, arp, 64, 1, "x x x x x x x x x x x x x x x x", 26);
    c.Bass(kBass, bass, 38, 2, "R R R R R R R R", 36);
    c.Beat(kDrums, kit, 1, "k...s...k...s...", "s.s.s.s.sssssSSS");
    c.Beat(kHats, hats, 1, "h.hhh.hhh.hhh.hh");
    c.Melody(kLead, lead, 4, 2, "2 - 2 3 4 - 2 - | 4 - 4 5 6 - 4 - | 5 - 5 6 5 - 1' - | 5 - - - . 5 6 7", 52);
  };

  const std::string hook =
      "1' - 6 1' - 5 - - | 2' - 7 2' - 1' - - | 3' - 2' 3' - 5' - - | 3' - - 2' 1' - 6 - | "
      "1' - 6 1' - 5 - - | 2' - 7 2' - 3' 2' - | 3' - - 2' 1' - - - | - - - - . 5 6 7 ";
  const std::string hookLast =
      "1' - 6 1' - 5 - - | 2' - 7 2' - 1' - - | 3' - 2' 3' - 5' - - | 3' - - 2' 1' - 6 - | "
      "1' - 6 1' - 5 - - | 2' - 7 2' - 3' 2' - | 3' - - 2' 1' - - - | - - - - - - . . ";
  auto chorus = [&](const std::string& melody, bool crashIn, int octave) {
    c.Section("chorus", "4 5 3m 6m 4 5 1 1");
    c.Chords(pad3, pad, 59, 79, 2, "x - - - - - - -", -1, padPans);
    c.ChipArp(kArp, arp, 64, 1, "x - x - x - x - x - x - x - x -", 28);
    c.Bass(kBass, bass, 38, 2, "R R 8 R R 8 R A", 38);
    c.Beat(kDrums, kit, 1, "k...s..kk.k.s.k.", "k.k.s.s.k.s.sSSS");
    c.Beat(kHats, hats, 1, "h.hoh.hhh.hoh.hh");
    c.Melody(kLead, lead, octave, 2, melody, 54);
    c.Harmony(kLead, kHarmony, harmony, 28);
    c.Sixteenths(kGhosts, ghosts, ".x.x...x.x.x..gx");
    if (crashIn) c.Beat(kCrash, crashes, 16, "c.......", "", 0, 8);
  };

  auto bridge = [&]() {
    c.Section("bridge", "6m 4 1 5 6m 4 5sus4 5");
    c.SectionLevel(-3);
    c.Chords(pad3, pad, 57, 76, 2, "x - - - - - - -", -1, padPans);
    c.Arp(kArp, arp, 62, 1, "0 1 2 3 4 3 2 1", 24);
    c.Bass(kBass, bass, 38, 2, "R - - - - - - -", 34, 0, 4);
    c.Bass(kBass, bass, 38, 2, "R - - R - - R A", 36, 4, 4);
    c.Beat(kHats, hats, 2, "h . h . h . h .", "", 4, 4);
    c.Beat(kDrums, kit, 1, "k.......k.......", "k.k.s.s.sSsSsSSS", 4, 4);
    c.Melody(kLead, lead, 4, 2,
             "6 - - - 1' - 6 - | 1' - - - 6 - 4 - | 3 - - - - - 5 - | 5 - - - 2 - 7, - | "
             "6 - - - 1' - 3' - | 1' - - 2' 1' - 6 - | 2' - - - 1' - - - | 7 - - - . 5 6 7",
             44);
  };

  auto outro = [&]() {
    c.Section("turnaround", "1 5 6m 4");
    c.Chords(pad3, pad, 57, 76, 2, "x - - - - - - -", -1, padPans);
    c.ChipArp(kArp, arp, 64, 1, "x - x - x - x - x - x - x - x -", 34);
    c.Bass(kBass, bass, 38, 2, "R R 8 R R 8 R A", 36);
    c.Beat(kDrums, kit, 1, "k...s..kk.k.s.k.", "k...s...s.s.sSsS");
    c.Beat(kHats, hats, 1, "h.hoh.hhh.hoh.hh");
    c.Melody(kLead, lead, 4, 2, "5 . 5 6 5 3 - . | 2 - 2 3 2 - 7, - | 3 . 3 4 3 1 - . | 1 - - 2 1 - 6, .", 50);
  };

  verse("verse", verseA);
  c.LoopHere();
  pre();
  chorus(hook, true, 4);
  verse("verse 2", verseB);
  pre();
  chorus(hook, true, 4);
  bridge();
  chorus(hook, true, 4);
  // The last chorus takes the hook up an octave over the same band.
  chorus(hookLast, false, 5);
  outro();

  // Downbeats after a held note are led into from a half step below.
  c.ChromaticApproach(kLead, 0.8);
  c.Echo(kLead, kEcho, echo, 3, 0.45);
  c.Vibrato(kLead, 6, 3, 5, 3);

  SongResult r{c.Build(context.title, context.musician, context.targetBytes), c.Report()};
  return r;
}
