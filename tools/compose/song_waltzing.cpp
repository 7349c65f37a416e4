// WALTZING: a waltz in B-flat major, 160 BPM in 3/4. A musette accordion sings over tuba
// bass and pizzicato "pah-pahs"; a glockenspiel answers; the trio moves to E-flat.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {

constexpr int kDrums = 0, kBass = 1, kPizzA = 2, kPizzB = 3, kPizzC = 4, kLead = 5, kEcho = 6, kGlock = 7, kCrash = 8,
              kSecond = 9, kPedalLow = 10, kPedalHigh = 11;

}  // namespace

SongResult ComposeWaltzing(const SongContext& context) {
  SongSetup setup;
  setup.channels = 12;
  setup.bpm = 160;
  setup.speed = 12;
  setup.rowsPerBeat = 2;
  setup.beatsPerBar = 3;
  setup.key = Key{kBb, Mode::kMajor};
  setup.globalVolume = 64;
  setup.volumeScale = 1.46;
  setup.limitVolumes = true;
  Composer c(setup);

  int kick = c.Add(Instrument("soft kick", Kick({.rate = 11025, .startHz = 100, .endHz = 50, .sweepSeconds = 0.03,
                                                 .decaySeconds = 0.18, .click = 0.1, .drive = 1.1, .lengthSeconds = 0.26}, 81),
                              {}, 40, 128, false));
  int brush = c.Add(Instrument("brush", Hat({.rate = 22050, .decaySeconds = 0.06, .lengthSeconds = 0.14, .highPass = 4000,
                                             .metal = 0.2}, 82),
                               {}, 24, 160, false));
  int tuba = c.Add(WaveInstrument("tuba", {WaveKind::kSaw, 0.5, 30, 6}, kNoteC1, kNoteC4, AdsrEnvelope(0.02, 0.25, 0.55, 0.1),
                                  44, 128));
  int pizz = c.Add(Instrument("pizzicato", PluckTone({WaveKind::kSaw, 0.5, 24, 16}, 0.12, 0.35, 0.03, 83, 64),
                              DecayEnvelope(0.6, 0.08), 30, 128, true));
  InstrumentPatch accordionPatch = PadInstrument("musette by ODD", {WaveKind::kPulse, 0.3, 28, 18}, 64, 96, {-1, 0, 1},
                                               AdsrEnvelope(0.03, 0.2, 0.8, 0.12), 42, 116, true, 84);
  accordionPatch.vibratoDepth = 2;
  accordionPatch.vibratoRate = 20;
  accordionPatch.vibratoSweep = 0.3;
  int accordion = c.Add(accordionPatch);
  int echo = c.Add(WaveInstrument("echo reed", {WaveKind::kPulse, 0.3, 20, 10}, kNoteC3, kNoteC6, AdsrEnvelope(0.03, 0.2, 0.7, 0.15),
                                  42, 170));
  int glock = c.Add(Instrument("glockenspiel", BellTone(0.8, 85, 128), DecayEnvelope(1.8, 0.3), 34, 150, false));
  int second = c.Add(WaveInstrument("second reed", {WaveKind::kPulse, 0.5, 20, 12}, kNoteC3, kNoteC6,
                                    AdsrEnvelope(0.03, 0.2, 0.75, 0.12), 30, 140));
  int cymbal = c.AddFitter(
      [](size_t frames) { return Instrument("cymbal", Crash(frames, 22050, 86), {}, 26, 100, false); }, 4000, 40000);

  DrumMap kit = {{'k', {kick, 60, 46}}, {'h', {brush, 60, 28}}, {'x', {brush, 60, 16}}};
  // The musette's drone: the second reed holds the tonic and fifth under the tune, softly enough
  // that the harmony moving above it is heard.
  auto pedal = [&](int volume) {
    c.Pedal(kPedalLow, second, c.CurrentKey().Pitch(0, 0, 3), volume);
    c.Pedal(kPedalHigh, second, c.CurrentKey().Pitch(4, 0, 3), volume - 6);
  };
  DrumMap crash = {{'c', {cymbal, 60, 26}}};
  const std::vector<int> pizz3 = {kPizzA, kPizzB, kPizzC};
  const std::vector<int> pizzPans = {5, 9, 12};

  // Oom-pah-pah: tuba on one (root, then fifth below in the next bar), strings on two and three.
  auto accompany = [&](bool drums) {
    c.Bass(kBass, tuba, 34, 2, "R . . 5, . .", 44);
    c.Chords(pizz3, pizz, 62, 77, 2, ". x x", -1, pizzPans);
    if (drums) {
      c.Beat(kDrums, kit, 1, "k . h . h .");
      c.Sixteenths(kDrums, kit, "...x.......x");
    }
  };

  // --- Intro: the band vamps, the glockenspiel hints at the tune. ---
  c.Section("intro", "1 1 57 57 57 57 1 1");
  c.SectionLevel(-3.5);
  accompany(false);
  c.Beat(kDrums, kit, 1, "k . . . . .", "", 0, 4);
  c.Beat(kDrums, kit, 1, "k . h . h .", "", 4, 4);
  // The drone's fifth comes in under the vamp.
  c.Pedal(kPedalHigh, second, setup.key.Pitch(4, 0, 3), 18);
  c.Melody(kGlock, glock, 5, 1, "5 - - - 6 5 | 3 - - - 1 - | 2 - - - 3 2 | 7, - - - 5, - | . . . . . . | . . . . . . | . . . . . . | . . . . . . ", 30);

  // The tonic rises through its augmented chord into C minor (the F sharp climbing to G under
  // the tune's D); the subdominant turns minor for a bar (borrowed from B flat minor) before
  // the cadence.
  const std::string chartA = "1 1aug 2m7 57 57 57 1 1 1 17 4 4m 1 57 1 1";
  const std::string tuneA =
      "5 - - - 6 5 | 3 - - - 1 - | 2 - - - 3 2 | 7, - - - 5, - | 4 - - - 5 4 | 2 - - - 7, - | 1 - 2 - 3 - | 5 - - - . . | "
      "5 - - - 6 5 | b7 - - - 6 5 | 4 - - - 5 6 | 1' - - - b6 - | 5 - - - 3 - | 4 - 3 - 2 - | 1 - - - - - | - - - - . . ";
  const std::string tuneA2 =
      "5 - 4 5 6 5 | 3 - - - 1 - | 2 - 1 2 3 2 | 7, - - - 5, - | 4 - 3 4 5 4 | 2 - - - 7, - | 1 - 2 - 3 - | 5 - - - . . | "
      "1' - - - 2' 1' | b7 - - - 6 5 | 4 - - - 5 6 | 1' - - - b6 - | 5 - - - 3 - | 4 - 3 - 2 - | 1 - - - - - | - - - - . . ";
  auto partA = [&](const std::string& name, const std::string& tune, bool glockCounter, bool harmony, int octave) {
    c.Section(name, chartA);
    accompany(true);
    pedal(24);
    c.Melody(kLead, accordion, octave, 1, tune, 44);
    if (glockCounter)
      c.Arp(kGlock, glock, 82, 2, "0 - - 2 - - 1 - - 0 - -", 26);
    if (harmony) c.Harmony(kLead, kSecond, second, 15);
    c.Beat(kCrash, crash, 6, "c . . . . . . .", "", 0, 16);
  };

  auto partB = [&]() {
    // The strain turns to B flat minor, the home key's own minor (its chart read in D flat, the
    // relative major); its first half closes through the half-diminished two and the seventh
    // of D flat, and its last dominant, A flat seven, falls back home to B flat.
    c.Section("minor strain", "6m 6m 37 37 2m7b5 57 1 17 6m 6m 37 37 2m 57 1 57", setup.key.Transposed(3));
    c.SectionLevel(-2);
    accompany(true);
    // The drone keeps home's F, the minor key's own fifth, under every chord of the strain.
    c.Pedal(kPedalHigh, second, setup.key.Pitch(4, 0, 3), 20);
    c.Melody(kLead, accordion, 4, 1,
             "6 - - - 5 6 | 1' - - - 6 - | 7 - - - #5 - | 3 - - - . . | 4 - - - 2 4 | 5 - - - 7, - | 1 - 3 - 5 - | 1' - - - . . | "
             "6 - - - 5 6 | 1' - - - 6 - | 3' - - - 2' 1' | 7 - - - #5 - | 6 - - - 1' - | 2' - - - 7 - | 3' - - - 2' 1' | 2' - - - . . ",
             44);
    c.Melody(kGlock, glock, 5, 1,
             ". . . . . . | . . . . 3 - | . . . . . . | . . . . 7, - | . . . . . . | . . . . 2 - | . . . . . . | . . . . 5 - | "
             ". . . . . . | . . . . 3 - | . . . . . . | . . . . 7, - | . . . . . . | . . . . 2 - | . . . . . . | . . . . 2 - ",
             28);
  };

  auto trio = [&](const std::string& name, const std::string& chart, const std::string& tune) {
    c.Section(name, chart, Key{kEb, Mode::kMajor});
    c.Bass(kBass, tuba, 34, 2, "R . . 5, . .", 42);
    c.Chords(pizz3, pizz, 60, 75, 2, ". x x", -1, pizzPans);
    c.Beat(kDrums, kit, 1, "k . . . h .");
    // The drone stays on home's B flat and F, the trio's five and its ninth; the B flat lets go
    // for the last two bars, where the second trio turns to F seven and its A.
    c.Pedal(kPedalLow, second, setup.key.Pitch(0, 0, 3), 22, 0, 14);
    c.Pedal(kPedalHigh, second, setup.key.Pitch(4, 0, 3), 16);
    c.Melody(kLead, accordion, 4, 1, tune, 42);
    c.Arp(kGlock, glock, 75, 1, "0 - 1 - 2 - 3 - 2 - 1 -", 20);
  };
  const std::string trioTune =
      "3 - - - - - | 5 - - - 3 - | 2 - - - - - | 5, - - - - - | 4 - - - 2 - | 5, - - - 7, - | 1 - - - 3 - | 5 - - - . . | "
      "6 - - - - - | 1' - - - 6 - | 5 - - - 3 - | 1 - - - 3 - | 2 - - - 4 - | 7, - - - 2 - | 1 - - - - - | - - - - . . ";
  const std::string trioTune2 =
      "3 - - - - - | 5 - - - 3 - | 2 - - - - - | 5, - - - - - | 4 - - - 2 - | 5, - - - 7, - | 1 - - - 3 - | 5 - - - . . | "
      "6 - - - - - | 1' - - - b6 - | 5 - - - 3 - | 1 - - - 3 - | 2 - - - 4 - | 7, - - - 2 - | 6 - - - 2 - | 1 - - - . . ";

  auto coda = [&]() {
    c.Section("turn", "1 1 57 57 57 57 57 57");
    accompany(true);
    c.Melody(kLead, accordion, 4, 1,
             "1' - - - 7 6 | 5 - - - 3 - | 4 - - - 3 2 | 7, - - - 5, - | 2 - 3 - 4 - | 5 - 6 - 7 - | 2' - - - 1' 7 | 6 - - - . . ",
             40);
  };

  partA("waltz", tuneA, false, false, 4);
  c.LoopHere();
  // The second time through the musette climbs an octave over the glockenspiel.
  partA("waltz again", tuneA2, true, false, 5);
  partB();
  partA("waltz 3", tuneA, false, true, 4);
  // Each trio turns to its four through the tonic's seventh; the second darkens that four to
  // minor for a bar, its C flat in the tune.
  trio("trio", "1 1 5 5 57 57 1 17 4 4 1 1 57 57 1 1", trioTune);
  trio("trio 2", "1 1 5 5 57 57 1 17 4 4m 1 1 57 57 27 27", trioTune2);
  partA("waltz 4", tuneA2, true, true, 5);
  coda();

  // Downbeats after a held note are led into from a half step below.
  c.ChromaticApproach(kLead, 0.8);
  // Whole steps from a held note pass through the half step between.
  c.PassingNotes(kLead, 0.7);
  c.Echo(kLead, kEcho, echo, 3, 0.3);
  c.Vibrato(kLead, 4, 2, 5, 2);
  return {c.Build(context.title, context.musician, context.targetBytes), c.Report()};
}
