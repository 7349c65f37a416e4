// JOYRIDE: the hidden track, fast and joyful chiptune in E major at 172 BPM. Tracker arpeggios,
// an octave-bouncing square bass, a quarter-pulse lead with sixteenth-note runs, and a detour
// into C major before the last chorus comes home.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {

constexpr int kDrums = 0, kHats = 1, kBass = 2, kChip = 3, kLead = 4, kEcho = 5, kHarmony = 6, kCrash = 7;

}  // namespace

SongResult ComposeJoyride(const SongContext& context) {
  SongSetup setup;
  setup.channels = 8;
  setup.bpm = 172;
  setup.key = Key{kE, Mode::kMajor};
  setup.globalVolume = 64;
  setup.volumeScale = 1.037;
  Composer c(setup);

  int kick = c.Add(Instrument("kick", Kick({.rate = 16726, .startHz = 180, .endHz = 55, .sweepSeconds = 0.025,
                                           .decaySeconds = 0.14, .click = 0.4, .drive = 1.8, .lengthSeconds = 0.24}, 181),
                              {}, 58, 128, true));
  int snare = c.Add(Instrument("snare", Snare({.rate = 22050, .toneHz = 220, .toneDecay = 0.04, .noiseDecay = 0.08,
                                              .noiseHighPass = 1500, .noiseShare = 0.7, .lengthSeconds = 0.18}, 182),
                               {}, 48, 136, true));
  int hat = c.Add(Instrument("hat", Hat({.rate = 33452, .decaySeconds = 0.02, .lengthSeconds = 0.045}, 183), {}, 30, 170, false));
  int open = c.Add(Instrument("open hat", Hat({.rate = 22050, .decaySeconds = 0.09, .lengthSeconds = 0.2, .highPass = 6000}, 184),
                              {}, 26, 170, false));
  int bass = c.Add(WaveInstrument("square bass", {WaveKind::kPulse, 0.5, 40, 9}, kNoteC1, kNoteC4 - 1,
                                  AdsrEnvelope(0.002, 0.1, 0.7, 0.03), 42, 128));
  int chip = c.Add(WaveInstrument("chip arp", {WaveKind::kPulse, 0.125, 40}, kNoteC4, kNoteC7, AdsrEnvelope(0.002, 0.15, 0.6, 0.05),
                                  22, 88));
  InstrumentPatch leadPatch = WaveInstrument("joy lead by ODD", {WaveKind::kPulse, 0.25, 40}, kNoteC4, kNoteC7,
                                           AdsrEnvelope(0.003, 0.2, 0.7, 0.06), 38, 120);
  leadPatch.vibratoDepth = 3;
  leadPatch.vibratoRate = 30;
  leadPatch.vibratoSweep = 0.2;
  int lead = c.Add(leadPatch);
  int echo = c.Add(WaveInstrument("lead echo", {WaveKind::kPulse, 0.25, 30, 7}, kNoteC4, kNoteC7, AdsrEnvelope(0.003, 0.2, 0.6, 0.08),
                                  38, 184));
  int harmony = c.Add(WaveInstrument("harmony", {WaveKind::kPulse, 0.5, 30, 8}, kNoteC3, kNoteC6, AdsrEnvelope(0.003, 0.2, 0.7, 0.06),
                                     26, 150));
  int crash = c.AddFitter(
      [](size_t frames) { return Instrument("crash", Crash(frames, 24000, 185), {}, 32, 100, false); }, 4000, 60000);

  DrumMap kit = {{'k', {kick, 60, 58}}, {'s', {snare, 60, 46}}, {'g', {snare, 60, 18}}};
  DrumMap hats = {{'h', {hat, 60, 26}}, {'o', {open, 60, 28}}};
  DrumMap crashes = {{'c', {crash, 60, 34}}};

  // --- Intro: arpeggios rev the engine. ---
  c.Section("ignition", "1 4 6m 5");
  c.SectionLevel(-4);
  c.ChipArp(kChip, chip, 64, 1, "x - - - x - - - x - - - x - - -", 22);
  c.Beat(kHats, hats, 2, "h h h h h h h h", "", 1, 3);
  c.Beat(kDrums, kit, 1, "k...............", "k.s.k.s.s.s.sSsS", 2, 2);
  c.Bass(kBass, bass, 40, 2, "R 8 R 8 R 8 R 8", 32, 2, 2);

  const std::string tuneA =
      "5 3 5 1' - 7 1' 5 | 1' 6 4 6 1' - 6 - | 6 5 3 5 6 - 1' - | 7 - 5 - 2 - . . | "
      "5 3 5 1' - 7 1' 5 | 1' 6 4 6 1' - 6 - | 2 4 5 7 2' - 7 - | 5 - - - . 5 6 7 ";
  auto cruise = [&](const std::string& name, bool harmonyLine) {
    c.Section(name, "1 4 6m 5 1 4 5 5");
    c.ChipArp(kChip, chip, 64, 1, "x - x - x - x - x - x - x - x -", 20);
    c.Bass(kBass, bass, 40, 2, "R 8 R 8 R 8 R A", 36);
    c.Beat(kDrums, kit, 1, "k...s...k.k.s...", "k...s...s.s.sSSS");
    c.Beat(kHats, hats, 1, "h.h.h.h.h.h.h.ho");
    c.Melody(kLead, lead, 4, 2, tuneA, 46);
    if (harmonyLine) c.Harmony(kLead, kHarmony, harmony, 17);
  };

  const std::string hook =
      "1' - - 7 1' - 3' - | 2' - - 1' 7 - 5 - | 6 - - 5 6 - 1' - | 7 - - 6 5 - 3 - | "
      "4 - - 3 4 - 6 - | 5 - - 4 3 - 1 - | 2 - - 1 2 - 4 - | 5 - - - 7, - 2 - ";
  auto chorus = [&](const std::string& name, int octave) {
    c.Section(name, "1 5 6m 3m 4 1/3 2m 5");
    c.ChipArp(kChip, chip, 64, 1, "x - x - x - x - x - x - x - x -", 22);
    c.Bass(kBass, bass, 40, 2, "R 8 R 8 R 8 R A", 38);
    c.Beat(kDrums, kit, 1, "k...s..kk.k.s.k.", "k.k.s.s.k.s.sSSS");
    c.Beat(kHats, hats, 1, "h.hoh.hhh.hoh.hh");
    c.Melody(kLead, lead, octave, 2, hook, 48);
    c.Harmony(kLead, kHarmony, harmony, 18);
    c.Beat(kCrash, crashes, 16, "c . . .");
  };

  auto runs = [&]() {
    c.Section("runs", "1 4 6m 5 1 4 6m 5");
    c.SectionLevel(-2);
    c.ChipArp(kChip, chip, 64, 4, "x - x -", 18);
    c.Bass(kBass, bass, 40, 2, "R 8 R 8 R 8 R A", 36);
    c.Beat(kDrums, kit, 1, "k...s...k.k.s...", "k.s.s.s.sSsSsSSS");
    c.Beat(kHats, hats, 1, "hhhhhhhhhhhhhhho");
    c.Melody(kLead, lead, 4, 1,
             "1 3 5 1' 3' 1' 5 3 1 3 5 1' 3' 1' 5 3 | 1 4 6 1' 4' 1' 6 4 1 4 6 1' 4' 1' 6 4 | "
             "3 6 1' 3' 6' 3' 1' 6 3 6 1' 3' 6' 3' 1' 6 | 2 5 7 2' 5' 2' 7 5 2 5 7 2' 7 5 2 7, | "
             "1 3 5 1' 3' 1' 5 3 1 3 5 1' 3' 1' 5 3 | 1 4 6 1' 4' 1' 6 4 1 4 6 1' 4' 1' 6 4 | "
             "3 6 1' 3' 6' 3' 1' 6 3 6 1' 3' 6' 3' 1' 6 | 5 - - - - - - - . . . . . . . . ",
             34);
  };

  auto detour = [&]() {
    c.Section("detour", "1 5 6m 4 1 5 4 7", Key{kC, Mode::kMajor});
    c.ChipArp(kChip, chip, 72, 1, "x - x - x - x - x - x - x - x -", 26);
    c.Bass(kBass, bass, 40, 2, "R - 8 - R - 8 -", 34);
    c.Beat(kDrums, kit, 1, "k.......s.......", "k.s.k.s.sSsSsSSS");
    c.Beat(kHats, hats, 2, "h h h h h h h h");
    c.Melody(kLead, lead, 4, 2,
             "3 - 5 - 1' - 5 - | 2 - 5 - 7 - 5 - | 3 - 6 - 1' - 6 - | 4 - 6 - 1' - 6 - | "
             "3 - 5 - 1' - 5 - | 2 - 5 - 7 - 5 - | 4 - 6 - 1' - 2' - | 7 - #2' - #4' - 7 - ",
             38);
  };

  auto homeStretch = [&]() {
    c.Section("home stretch", "1 4 1 5");
    c.ChipArp(kChip, chip, 64, 1, "x - x - x - x - x - x - x - x -", 28);
    c.Bass(kBass, bass, 40, 2, "R 8 R 8 R 8 R A", 36);
    c.Beat(kDrums, kit, 1, "k...s..kk.k.s.k.", "k.s.s.s.sSsSsSSS");
    c.Beat(kHats, hats, 1, "h.hoh.hhh.hoh.hh");
    c.Melody(kLead, lead, 4, 2, "1' - - 7 1' - 3' - | 1' - - 6 4 - 6 - | 1' - - 7 1' - 5 - | 7 - - - 2' - 5' - ", 46);
    c.Harmony(kLead, kHarmony, harmony, 17);
  };

  cruise("cruise", false);
  c.LoopHere();
  chorus("chorus", 4);
  cruise("cruise 2", true);
  // The second chorus flies an octave higher.
  chorus("chorus 2", 5);
  runs();
  detour();
  chorus("chorus 3", 4);
  cruise("cruise 3", true);
  chorus("chorus 4", 5);
  homeStretch();

  c.Echo(kLead, kEcho, echo, 3, 0.4);
  c.Vibrato(kLead, 6, 3, 6, 3);
  return {c.Build(context.title, context.musician, context.targetBytes), c.Report()};
}
