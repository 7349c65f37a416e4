// ONE MORE TIME BEFORE WE GO: the anthem and finale, D-flat major, 126 BPM on an eighth-note
// grid. Big three-voice chords with a tracker arpeggio on top, driving bass, claps on the
// backbeat, a lead doubled a third below in the choruses, and a last chorus lifted a whole
// step to E-flat before the afterglow turns home again.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {

constexpr int kDrums = 0, kHats = 1, kBass = 2, kPadA = 3, kPadB = 4, kPadC = 5, kLead = 6, kHarmony = 7, kEcho = 8, kChip = 9,
              kPedalLow = 10, kPedalHigh = 11;

}  // namespace

SongResult ComposeOneMoreTime(const SongContext& context) {
  SongSetup setup;
  setup.channels = 12;
  setup.bpm = 126;
  setup.speed = 12;
  setup.rowsPerBeat = 2;
  setup.key = Key{kDb, Mode::kMajor};
  setup.globalVolume = 64;
  setup.volumeScale = 1.112;
  setup.limitVolumes = true;
  Composer c(setup);

  int kick = c.Add(Instrument("kick", Kick({.rate = 11025, .startHz = 150, .endHz = 48, .sweepSeconds = 0.035,
                                           .decaySeconds = 0.2, .click = 0.3, .drive = 1.8, .lengthSeconds = 0.26}, 171),
                              {}, 58, 128, false));
  int clap = c.Add(Instrument("clap", Clap(16000, 0.035, 172), {}, 56, 136, false));
  int hat = c.Add(Instrument("hat", Hat({.rate = 22050, .decaySeconds = 0.025, .lengthSeconds = 0.045, .highPass = 5500}, 173),
                             {}, 30, 176, false));
  int bass = c.Add(WaveInstrument("drive bass", {WaveKind::kSaw, 0.5, 40, 14}, kNoteC1, kNoteC4 - 1,
                                  AdsrEnvelope(0.003, 0.15, 0.6, 0.05), 44, 128));
  int pad = c.Add(PadInstrument("anthem pad", {WaveKind::kSaw, 0.5, 15, 18}, 32, 48, {-1, 0, 1}, AdsrEnvelope(0.08, 0.5, 0.8, 0.4),
                                24, 128, false, 174));
  InstrumentPatch leadPatch = WaveInstrument("lead by ODD", {WaveKind::kSaw, 0.5, 30, 18}, kNoteC4, kNoteC6,
                                           AdsrEnvelope(0.01, 0.3, 0.75, 0.15), 42, 120);
  leadPatch.vibratoDepth = 3;
  leadPatch.vibratoRate = 22;
  leadPatch.vibratoSweep = 0.35;
  int lead = c.Add(leadPatch);
  int harmony = c.Add(WaveInstrument("harmony", {WaveKind::kPulse, 0.25, 24, 16}, kNoteC3, kNoteC6,
                                     AdsrEnvelope(0.01, 0.3, 0.7, 0.15), 30, 150));
  int echo = c.Add(WaveInstrument("lead echo", {WaveKind::kSaw, 0.5, 16, 8}, kNoteC4, kNoteC6, AdsrEnvelope(0.01, 0.3, 0.7, 0.2),
                                  42, 70));
  int chip = c.Add(WaveInstrument("chip chords", {WaveKind::kPulse, 0.125, 30}, kNoteC5, kNoteC7,
                                  AdsrEnvelope(0.002, 0.2, 0.6, 0.1), 20, 190));
  int crash = c.AddFitter(
      [](size_t frames) { return Instrument("crash", Crash(frames, 16000, 175), {}, 30, 100, false); }, 3000, 30000);

  DrumMap kit = {{'k', {kick, 60, 58}}, {'c', {clap, 60, 52}}, {'x', {crash, 60, 36}}};
  DrumMap hats = {{'h', {hat, 60, 30}}, {'H', {hat, 60, 38}}, {'x', {hat, 60, 18}}};
  // The anthem pad holds the tonic and its fifth under the moving chords.
  auto pedal = [&](int volume) {
    c.Pedal(kPedalLow, pad, c.CurrentKey().Pitch(0, 0, 3), volume);
    c.Pedal(kPedalHigh, pad, c.CurrentKey().Pitch(4, 0, 3), volume - 6);
  };

  const std::vector<int> pad3 = {kPadA, kPadB, kPadC};
  const std::vector<int> pans = {4, 8, 12};

  // --- Intro: chords and sparkle. ---
  c.Section("intro", "1 5 6m 4");
  c.SectionLevel(-4);
  c.Chords(pad3, pad, 56, 75, 2, "x - x - x - x -", -1, pans);
  c.ChipArp(kChip, chip, 61, 1, "x - - - x - - -", 20);
  c.Beat(kDrums, kit, 1, "k . . . k . . .", "k . c . c c c c", 2, 2);

  auto verse = [&](const std::string& name, bool full) {
    c.Section(name, "1 5 6m 4 1 5 4 4");
    c.Chords(pad3, pad, 56, 75, 4, "x -", -1, pans);
    c.Bass(kBass, bass, 37, 1, "R R R R R R R A", 42);
    c.Beat(kDrums, kit, 1, full ? "k . c . k k c ." : "k . c . k . c .", "k . c . c c c c");
    c.Beat(kHats, hats, 1, full ? "h H h H h H h H" : "h . h . h . h .");
    if (full) c.Sixteenths(kHats, hats, "...x.......x..x.");
    pedal(30);
    c.Melody(kLead, lead, 4, 1,
             "1' - - 1' 5 - 3 - | 7 - - 7 5 - 2 - | 6 - - 6 1' - 3 - | 4 - - - - - . . | "
             "1' - - 1' 5 - 3 - | 7 - - 7 5 - 2 - | 4 - - 4 6 - 1' - | 1' - - - 6 - 5 - ",
             40);
  };
  const std::string hook =
      "6 - - - 1' - 6 - | 7 - - - 2' - 1' - | 1' - - - 3' - 1' - | 3' - - - 2' - 1' - | "
      "6 - - - 1' - 6 - | 7 - - - 5 - 2' - | 1' - - - - - 3' - | 1' - - - - - . . ";
  auto chorus = [&](const std::string& name, const Key& key, int octave) {
    c.Section(name, "4 5 6m 1/3 4 5 1 1", key);
    c.Chords(pad3, pad, 56, 75, 2, "x - x - x - x -", -1, pans);
    c.ChipArp(kChip, chip, 61, 1, "x - - - x - - -", 18);
    c.Bass(kBass, bass, 37, 1, "R 8 R 8 R 8 R A", 44);
    c.Beat(kDrums, kit, 1, "x . c . k k c .", "k . c . c c c c", 0, 1);
    c.Beat(kDrums, kit, 1, "k . c . k k c .", "k . c . c c c c", 1, 7);
    c.Beat(kHats, hats, 1, "h H h H h H h H");
    pedal(32);
    c.Melody(kLead, lead, octave, 1, hook, 44);
    c.Harmony(kLead, kHarmony, harmony, 30);
  };
  auto bridge = [&]() {
    c.Section("bridge", "6m 4 1 5 6m 4 5sus4 5");
    c.SectionLevel(-2.5);
    c.Chords(pad3, pad, 56, 75, 8, "x", -1, pans);
    c.ChipArp(kChip, chip, 61, 1, "x - - - - - - -", 18);
    c.Bass(kBass, bass, 37, 4, "R -", 40, 0, 4);
    c.Bass(kBass, bass, 37, 1, "R R R R R R R A", 42, 4, 4);
    c.Beat(kDrums, kit, 1, "k . . . k . . .", "c c c c c c C C", 4, 4);
    c.Beat(kHats, hats, 1, "h . h . h . h .", "", 4, 4);
    c.Melody(kLead, lead, 4, 1,
             "3 - - - 1 - - - | 1 - - - 6, - - - | 3 - - - 5 - - - | 5 - - - - - . . | "
             "6 - - - 1' - - - | 1' - - - 6 - - - | 1' - - - 2' - - - | 1' - - - 7 - . . ",
             40);
  };
  auto afterglow = [&]() {
    c.Section("afterglow", "4 5 4 5sus4");
    c.Chords(pad3, pad, 56, 75, 2, "x - x - x - x -", -1, pans);
    c.ChipArp(kChip, chip, 61, 1, "x - - - x - - -", 18);
    c.Bass(kBass, bass, 37, 1, "R R R R R R R A", 42);
    c.Beat(kDrums, kit, 1, "x . c . k k c .", "k . c . c c C C", 0, 1);
    c.Beat(kDrums, kit, 1, "k . c . k k c .", "k . c . c c C C", 1, 3);
    c.Beat(kHats, hats, 1, "h H h H h H h H");
    c.Melody(kLead, lead, 4, 1, "6 - - - 1' - 6 - | 7 - - - 2' - 1' - | 6 - - - 4 - 6 - | 1' - - - 2' - . . ", 40);
  };

  verse("verse", false);
  c.LoopHere();
  chorus("chorus", setup.key, 4);
  verse("verse 2", true);
  // The second chorus goes up an octave; the last one up a whole tone.
  chorus("chorus 2", setup.key, 5);
  bridge();
  chorus("chorus 3", setup.key, 4);
  chorus("last chorus", Key{kEb, Mode::kMajor}, 4);
  afterglow();

  // The hats push their off-beats a quarter of an eighth late.
  c.Swing(kHats, 1, 3);
  // Downbeats after a held note are led into from a half step below.
  c.ChromaticApproach(kLead, 0.8);
  c.Echo(kLead, kEcho, echo, 3, 0.4);
  c.Vibrato(kLead, 4, 2, 5, 3);
  return {c.Build(context.title, context.musician, context.targetBytes), c.Report()};
}
