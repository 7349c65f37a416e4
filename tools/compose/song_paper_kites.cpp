// PAPER KITES: playful and light, G major, 140 BPM on an eighth-note grid. Marimba broken
// chords, a hopping bass, shaker and claps, and a whistled staccato tune with its echo.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {

constexpr int kDrums = 0, kShaker = 1, kBass = 2, kMarimba = 3, kPluck = 4, kLead = 5, kEcho = 6, kChime = 7, kPedalLow = 8,
              kPedalHigh = 9;

}  // namespace

SongResult ComposePaperKites(const SongContext& context) {
  SongSetup setup;
  setup.channels = 10;
  setup.bpm = 140;
  setup.speed = 12;
  setup.rowsPerBeat = 2;
  setup.key = Key{kG, Mode::kMajor};
  setup.globalVolume = 64;
  setup.volumeScale = 1.268;
  setup.limitVolumes = true;
  Composer c(setup);

  int kick = c.Add(Instrument("kick", Kick({.rate = 11025, .startHz = 140, .endHz = 55, .sweepSeconds = 0.03,
                                           .decaySeconds = 0.14, .click = 0.3, .drive = 1.4, .lengthSeconds = 0.2}, 101),
                              {}, 54, 128, false));
  int clap = c.Add(Instrument("clap", Clap(16000, 0.025, 102), {}, 50, 150, false));
  int shaker = c.Add(Instrument("shaker", Shaker(12000, 103), {}, 26, 180, false));
  int bass = c.Add(WaveInstrument("hop bass", {WaveKind::kTriangle, 0.5, 15}, kNoteC1, kNoteC4 - 1, DecayEnvelope(0.5, 0.05),
                                  48, 128));
  int marimba = c.Add(Instrument("marimba", MarimbaTone(64, 0.12), DecayEnvelope(0.9, 0.1), 40, 96, false));
  int pluck = c.Add(Instrument("pluck", PluckTone({WaveKind::kPulse, 0.5, 15, 12}, 0.1, 0.3, 0.0, 104, 32),
                               DecayEnvelope(0.4, 0.05), 30, 160, false));
  InstrumentPatch whistlePatch = WaveInstrument("whistle by ODD", {WaveKind::kSine, 0.5, 3, 1.5}, kNoteC4, kNoteC7,
                                              AdsrEnvelope(0.02, 0.15, 0.75, 0.06), 42, 120);
  whistlePatch.vibratoDepth = 4;
  whistlePatch.vibratoRate = 26;
  whistlePatch.vibratoSweep = 0.25;
  int whistle = c.Add(whistlePatch);
  int echo = c.Add(WaveInstrument("whistle echo", {WaveKind::kSine, 0.5, 1}, kNoteC4, kNoteC7, AdsrEnvelope(0.02, 0.15, 0.7, 0.08),
                                  42, 70));
  int chime = c.AddFitter(
      [](size_t frames) { return Instrument("chime", Crash(frames, 16000, 105), {}, 22, 200, false); }, 1500, 12000);

  DrumMap kit = {{'k', {kick, 60, 54}}, {'c', {clap, 60, 44}}};
  DrumMap shake = {{'h', {shaker, 60, 28}}, {'H', {shaker, 60, 36}}, {'x', {shaker, 60, 18}}};
  // A soft whistle holds the tonic and its fifth under the moving chords.
  auto pedal = [&](int volume) {
    c.Pedal(kPedalLow, whistle, c.CurrentKey().Pitch(0, 0, 4), volume);
    c.Pedal(kPedalHigh, whistle, c.CurrentKey().Pitch(4, 0, 4), volume - 6);
  };

  DrumMap chimes = {{'c', {chime, 72, 24}}};

  // --- Intro: marimba alone, then the bass hops in. ---
  c.Section("intro", "17 4 5 1");
  c.SectionLevel(-3.5);
  c.Arp(kMarimba, marimba, 55, 1, "0 1 2 1 3 1 2 1", 40);
  c.Bass(kBass, bass, 31, 1, "R . 8 . R . 8 .", 44, 2, 2);
  c.Beat(kShaker, shake, 1, "h h H h h h H h", "", 2, 2);
  c.Beat(kChime, chimes, 8, "c", "", 0, 1);

  // Chromatic neighbours skip into the tune's notes: the blue third into the third, the flat
  // six between six and five, the sharp one into the two.
  const std::string tuneA =
      "5 . #2 3 5 6 5 . | 6 . 1' . 6 b6 5 . | 5 . #1 2 5 7 5 . | 1' - - . #2 3 5 - | "
      "5 . #2 3 5 6 5 . | 6 . 1' . 6 b6 5 . | 6 . #1' . 2' #1' 6 . | 7 - 6 - 5 - . . ";
  const std::string tuneA2 =
      "5 . #2 3 5 6 5 . | 6 . 1' . 6 b6 5 . | 5 . #1 2 5 7 5 . | 1' - - . #2 3 5 - | "
      "5 . #2 3 5 6 5 . | 6 . 1' . 6 b6 5 . | 6 . #1' . 2' #1' 6 . | 5 - 7, - 2 - 4 - ";
  auto verse = [&](const std::string& name, const std::string& tune, bool counter, int octave, const Key& key) {
    // The tonic takes its flat seventh into the four; the second degree turns major, the
    // dominant of the dominant, leaning into the cadence.
    c.Section(name, "17 4 5 1 17 4 2 5", key);
    c.Arp(kMarimba, marimba, 55, 1, "0 1 2 1 3 1 2 1", 38);
    c.Bass(kBass, bass, 31, 1, "R . 8 . R . 8 A", 46);
    c.Beat(kDrums, kit, 1, "k . c . k k c .", "k . c . c c c c");
    c.Sixteenths(kShaker, shake, "h.h.H..xh.h.H.x.");
    pedal(22);
    c.Melody(kLead, whistle, octave, 1, tune, 42);
    if (counter) c.Arp(kPluck, pluck, 62, 2, "2 . 1 . 0 . 1 .", 26);
  };

  auto lift = [&](const std::string& name, const Key& key) {
    // The three turns major, the dominant of the six, its D sharp in the tune; the flat seventh
    // and the minor four are borrowed from G minor.
    c.Section(name, "4 b7 3 6m 4m 5 1 b7", key);
    c.Arp(kMarimba, marimba, 55, 1, "0 2 1 3 2 1 2 1", 38);
    c.Bass(kBass, bass, 31, 2, "R 5 8 A", 46);
    c.Beat(kDrums, kit, 1, "k . c . k . c k", "k k c . c c c c");
    c.Sixteenths(kShaker, shake, "h..xH.h.h..xH.hx");
    pedal(24);
    c.Melody(kLead, whistle, 4, 1,
             "1' - - - 6 - 4 - | 2' - - - b7 - 4 - | 3' - - - 7 - #5 - | 6 - - - - - . . | "
             "1' - - - b6 - 4 - | 2' - - - 7 - 2' - | 3' - - - 2' - 1' - | 1' - - - b7 - . . ",
             40);
    c.Beat(kChime, chimes, 8, "c . . . . . . .");
  };

  auto bridge = [&]() {
    // The bridge flies off a minor third, to B flat major, its four turning minor for a bar
    // (the tune's flat six, G flat, its third); its F major steps back into the lift's C.
    c.Section("bridge", "6m 2m 5 1 6m 2m 4m 5", setup.key.Transposed(3));
    c.SectionLevel(-3);
    c.Arp(kMarimba, marimba, 55, 2, "0 1 2 1", 34);
    c.Arp(kPluck, pluck, 67, 1, ". 0 . 1 . 2 . 1", 26);
    c.Bass(kBass, bass, 31, 2, "R . 5 A", 44);
    c.Beat(kDrums, kit, 1, "k . . . c . . .", "k . c . c c c c");
    c.Beat(kShaker, shake, 2, "h h h h");
    // The whistle still holds home's G and D: the bridge's B flat sounds as G minor's relative.
    // Both rest where the four turns minor (its G flat and E flat would rub against them).
    c.Pedal(kPedalLow, whistle, setup.key.Pitch(0, 0, 4), 20, 0, 6);
    c.Pedal(kPedalHigh, whistle, setup.key.Pitch(4, 0, 4), 14, 0, 6);
    c.Pedal(kPedalLow, whistle, setup.key.Pitch(0, 0, 4), 20, 7, 1);
    c.Pedal(kPedalHigh, whistle, setup.key.Pitch(4, 0, 4), 14, 7, 1);
    c.Melody(kLead, whistle, 4, 1,
             "3 . 5 . 6 . . . | 6 . 4 . 6 . . . | 5 . 7 . 2' . . . | 1' - - - . . . . | "
             "3 . 5 . 6 . . . | 6 . 4 . 6 . . . | 1' . b6 . 4 . . . | 2 - 5 - 7 - . . ",
             40);
  };

  verse("verse", tuneA, true, 4, setup.key);
  c.LoopHere();
  // The second and last verses are whistled an octave higher.
  verse("verse 2", tuneA2, true, 5, setup.key);
  lift("lift", setup.key);
  verse("verse 3", tuneA, true, 4, setup.key);
  bridge();
  lift("lift 2", setup.key);
  verse("verse 4", tuneA2, true, 5, setup.key);

  // Shaker and marimba swing their off-beats a quarter of an eighth late.
  c.Swing(kShaker, 1, 3);
  c.Swing(kMarimba, 1, 3);
  // Downbeats after a held note are led into from a half step below.
  c.ChromaticApproach(kLead, 0.8);
  // Whole steps from a held note pass through the half step between.
  c.PassingNotes(kLead, 0.7);
  c.Echo(kLead, kEcho, echo, 3, 0.35);
  c.Vibrato(kLead, 4, 2, 6, 2);
  return {c.Build(context.title, context.musician, context.targetBytes), c.Report()};
}
