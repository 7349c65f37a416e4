// CLOCKWORK GARDEN: quirky and staccato, C major, 112 BPM. A clock ticks and tocks, a celesta
// picks out a tune full of chromatic turns over a descending line-cliche bass, pizzicato
// strings chop off-beats, and the bridge wanders into whole-tone augmented chords.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {

constexpr int kTicks = 0, kDrums = 1, kBass = 2, kPizzA = 3, kPizzB = 4, kLead = 5, kEcho = 6, kMarimba = 7, kCounter = 8,
              kChip = 9;

}  // namespace

SongResult ComposeClockworkGarden(const SongContext& context) {
  SongSetup setup;
  setup.channels = 10;
  setup.bpm = 112;
  setup.key = Key{kC, Mode::kMajor};
  setup.globalVolume = 64;
  setup.volumeScale = 1.55;
  setup.limitVolumes = true;
  Composer c(setup);

  int tick = c.Add(Instrument("clock tick", Tick(22050, 2200, 151), {}, 30, 150, false));
  int kick = c.Add(Instrument("kick", Kick({.rate = 11025, .startHz = 120, .endHz = 55, .sweepSeconds = 0.025,
                                           .decaySeconds = 0.12, .click = 0.3, .drive = 1.3, .lengthSeconds = 0.2}, 152),
                              {}, 46, 128, false));
  int block = c.Add(Instrument("wood block", Tick(22050, 800, 153), {}, 40, 100, false));
  InstrumentPatch bassoonPatch = WaveInstrument("bassoon", {WaveKind::kPulse, 0.4, 30, 10}, kNoteC1, kNoteC4,
                                              AdsrEnvelope(0.01, 0.15, 0.6, 0.05), 42, 128);
  int bassoon = c.Add(bassoonPatch);
  int pizz = c.Add(Instrument("pizzicato", PluckTone({WaveKind::kSaw, 0.5, 30, 16}, 0.1, 0.35, 0.03, 154, 64),
                              DecayEnvelope(0.5, 0.15), 30, 128, true));
  int celesta = c.Add(Instrument("celesta by ODD", BellTone(0.7, 155, 128), DecayEnvelope(1.4, 0.4), 40, 120, true));
  int echo = c.Add(WaveInstrument("celesta echo", {WaveKind::kTriangle, 0.5, 7}, kNoteC4, kNoteC7, DecayEnvelope(0.5, 0.1), 40,
                                  180));
  int marimba = c.Add(Instrument("marimba", MarimbaTone(32, 0.3), DecayEnvelope(0.8, 0.08), 34, 80, true));
  int counter = c.Add(WaveInstrument("oboe", {WaveKind::kPulse, 0.25, 24, 12}, kNoteC3, kNoteC6, AdsrEnvelope(0.02, 0.2, 0.7, 0.06),
                                     30, 150));
  int chip = c.Add(WaveInstrument("clockwork chip", {WaveKind::kPulse, 0.125, 30}, kNoteC5, kNoteC7,
                                  AdsrEnvelope(0.002, 0.1, 0.5, 0.05), 20, 200));
  int chime = c.AddFitter(
      [](size_t frames) { return Instrument("chime", Crash(frames, 22050, 156), {}, 20, 60, false); }, 3000, 40000);

  // Tick high, tock low: the same click at two pitches.
  DrumMap clock = {{'t', {tick, 72, 36}}, {'T', {tick, 60, 41}}, {'c', {chime, 60, 26}}};
  DrumMap kit = {{'k', {kick, 60, 44}}, {'b', {block, 60, 26}}, {'B', {block, 67, 30}}};
  const std::vector<int> pizz2 = {kPizzA, kPizzB};

  const std::string tickTock = "t . T . t . T . t . T . t . T .";
  // The bass steps down from C through B flat (the tune's B flat with it) to A and G; the
  // tune skips into its thirds from the blue third.
  const std::string chartA = "1 1/b7 6m 6m/5 4 4m 1 5";
  const std::string tuneA =
      "5 . 5 . #2 3 . . 1 . 2 . 3 . . . | 5 . 5 . #2 3 . . b7, . 1 . 2 . . . | 6 . 6 . 1' . . . 6 . 5 . #4 . 5 . | "
      "1' . 7 . 6 . . . 3 . . . . . . . | 4 . 4 . 6 . . . 1' . . . 6 . . . | 4 . 4 . b6 . . . 1' . . . b6 . . . | "
      "5 . 3 . 1 . 3 . 5 . 1' . . . . . | 7 . 2' . 7 . 5 . 4 . 2 . 7, . . . ";

  // --- Intro: the clock alone, then the strings. ---
  c.Section("winding", "1 1/b7 6m 6m/5");
  c.SectionLevel(-4);
  c.Beat(kTicks, clock, 1, tickTock);
  c.Chords(pizz2, pizz, 60, 76, 1, ". . x . . . x . . . x . . . x .", 28, {}, 2, 2);
  c.Beat(kDrums, kit, 1, "................", "k.b.k.b.bbbbBBBB", 3, 1);

  auto partA = [&](const std::string& name, bool counterLine, bool chipLine, const Key& key) {
    c.Section(name, chartA, key);
    c.Beat(kTicks, clock, 1, tickTock);
    c.Beat(kDrums, kit, 1, "k...b...k.k.b...", "k...b...b.b.bBbB");
    c.Bass(kBass, bassoon, 36, 1, "R . . . 5 . . . R . . . 5 . R .", 38);
    c.Chords(pizz2, pizz, 60, 76, 1, ". . x . . . x . . . x . . . x .", 46);
    c.Melody(kLead, celesta, 5, 1, tuneA, 41);
    // Without its counter-line the oboe holds the tonic: the mainspring under the gears.
    if (counterLine) c.Harmony(kLead, kCounter, counter, 24);
    else c.Pedal(kCounter, counter, c.CurrentKey().Pitch(0, 0, 4), 40);
    if (chipLine) c.ChipArp(kChip, chip, 84, 2, "x . x . x . x .", 18);
    else c.Pedal(kChip, counter, c.CurrentKey().Pitch(4, 0, 3), 34);
  };

  auto partB = [&](const std::string& name) {
    c.Section(name, "b6 b7 1 1 b6 b7 5 5");
    c.Beat(kTicks, clock, 1, "c . T . t . T . t . T . t . T .", "", 0, 1);
    c.Beat(kTicks, clock, 1, tickTock, "", 1, 7);
    c.Beat(kDrums, kit, 1, "k.......b.......", "k.b.b.b.bbbbBBBB");
    c.Bass(kBass, bassoon, 36, 2, "R . 5 . 8 . 5 .", 36);
    c.Arp(kMarimba, marimba, 60, 1, "0 . 2 . 1 . 3 . 2 . 4 . 3 . 1 .", 44);
    // The oboe holds the C alone: the G would rub against the borrowed A flat and B flat.
    c.Pedal(kCounter, counter, 60, 40);
    c.Melody(kLead, celesta, 5, 1,
             "b6 . . . 1' . . . b3' . . . 1' . . . | b7 . . . 2' . . . 4' . . . 2' . . . | "
             "1' . 3' . 5' . 3' . 1' . 5 . 3 . 5 . | 1' . . . . . . . 7 . b7 . 6 . b6 . | "
             "b6 . . . 1' . . . b3' . . . 1' . . . | b7 . . . 2' . . . 4' . . . 2' . . . | "
             "2' . 7 . 5 . 7 . 2' . 4' . 2' . 7 . | 5 . . . 4 . . . 2 . . . 7, . . . ",
             45);
  };

  auto bridge = [&]() {
    c.Section("whole-tone bridge", "1aug b7 b6 b7 1aug b7 4 5");
    c.SectionLevel(-3);
    c.Pedal(kCounter, counter, 60, 38);
    c.Beat(kTicks, clock, 2, "t . T . t . T .");
    c.Bass(kBass, bassoon, 36, 4, "R . R .", 34);
    c.Arp(kMarimba, marimba, 60, 1, "0 1 2 3 4 3 2 1 0 1 2 3 4 3 2 1", 34);
    c.ChipArp(kChip, chip, 84, 1, "x - - - . . . . x - - - . . . .", 18);
    c.Melody(kLead, celesta, 5, 1,
             "1 . 3 . #5 . 1' . 3' . #5' . . . . . | b7 . 2' . 4' . . . 2' . b7 . . . . . | "
             "b6 . 1' . b3' . . . 1' . b6 . . . . . | b7 . . . . . . . 2' . . . 4' . . . | "
             "1 . 3 . #5 . 1' . 3' . #5' . . . . . | b7 . 2' . 4' . . . 2' . b7 . . . . . | "
             "4 . 6 . 1' . . . 6 . 4 . . . . . | 5 . . . 7 . . . 2' . . . 4' . . . ",
             44);
  };

  partA("garden", false, false, setup.key);
  c.LoopHere();
  partA("garden 2", true, false, setup.key);
  partB("greenhouse");
  partA("garden 3", false, true, setup.key);
  bridge();
  partB("greenhouse 2");
  partA("garden 4", true, true, setup.key);

  // Downbeats after a held note are led into from a half step below.
  c.ChromaticApproach(kLead, 0.8);
  // Whole steps from a held note pass through the half step between.
  c.PassingNotes(kLead, 0.7);
  c.Echo(kLead, kEcho, echo, 3, 0.35);
  return {c.Build(context.title, context.musician, context.targetBytes), c.Report()};
}
