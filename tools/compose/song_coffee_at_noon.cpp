// COFFEE AT NOON: jazzy swing in F major at 120 BPM on a triplet grid (three rows a beat, so
// swung eighths fall on the first and third row). A 32-bar AABA head on vibraphone with a
// tremolo motor, walking bass, Charleston comping on electric piano, ride cymbal and brushes;
// the second chorus goes to a muted trumpet while the vibes answer; a second horn holds the
// dominant under it all.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {

constexpr int kDrums = 0, kRide = 1, kBass = 2, kCompA = 3, kCompB = 4, kCompC = 5, kVibes = 6, kEcho = 7, kHorn = 8,
              kHeldHorn = 9;
constexpr double kRideRate = 16000;

}  // namespace

SongResult ComposeCoffeeAtNoon(const SongContext& context) {
  SongSetup setup;
  setup.channels = 10;
  setup.bpm = 90;  // speed 6, three rows a beat: 120 beats a minute
  setup.rowsPerBeat = 3;
  setup.key = Key{kF, Mode::kMajor};
  setup.globalVolume = 64;
  setup.volumeScale = 1.548;
  setup.limitVolumes = true;
  Composer c(setup);

  int kick = c.Add(Instrument("feather kick", Kick({.rate = 11025, .startHz = 90, .endHz = 48, .sweepSeconds = 0.03,
                                                    .decaySeconds = 0.15, .click = 0.05, .drive = 1.0, .lengthSeconds = 0.22}, 121),
                              {}, 30, 128, false));
  int brush = c.Add(Instrument("brush", Snare({.rate = 16000, .toneHz = 190, .toneDecay = 0.02, .noiseDecay = 0.1,
                                              .noiseHighPass = 2500, .noiseShare = 0.95, .lengthSeconds = 0.16}, 122),
                               {}, 30, 140, false));
  int pedal = c.Add(Instrument("pedal hat", Hat({.rate = 22050, .decaySeconds = 0.02, .lengthSeconds = 0.05, .highPass = 5000}, 123),
                               {}, 24, 170, false));
  int bass = c.Add(Instrument("upright", PluckTone({WaveKind::kTriangle, 0.5, 20}, 0.12, 0.4, 0.05, 124, 64),
                              DecayEnvelope(1.4, 0.08), 50, 128, false));
  int ep = c.Add(Instrument("e.piano", EPianoTone(125, 32, 0.5), DecayEnvelope(2.2, 0.12), 26, 128, false));
  InstrumentPatch vibesPatch = Instrument("vibes by ODD", VibesTone(32, 0.6), {}, 44, 112, true);
  // The motor: volume swings between 64 and 44 about five times a second, until key-off.
  vibesPatch.envelope.points = {{0.0, 1.0}, {0.1, 0.7}, {0.2, 1.0}};
  vibesPatch.envelope.loopStart = 0;
  vibesPatch.envelope.loopEnd = 2;
  vibesPatch.envelope.releaseSeconds = 0.8;
  int vibes = c.Add(vibesPatch);
  int echo = c.Add(WaveInstrument("vibes echo", {WaveKind::kSine, 0.5, 1}, kNoteC4, kNoteC7, DecayEnvelope(0.8, 0.3), 40, 176));
  InstrumentPatch hornPatch = WaveInstrument("muted horn", {WaveKind::kPulse, 0.22, 30, 10}, kNoteC3, kNoteC6,
                                           AdsrEnvelope(0.04, 0.3, 0.7, 0.1), 40, 96);
  hornPatch.vibratoDepth = 4;
  hornPatch.vibratoRate = 20;
  hornPatch.vibratoSweep = 0.3;
  int horn = c.Add(hornPatch);
  int ride = c.AddFitter(
      [](size_t frames) {
        double seconds = (static_cast<double>(frames) + 0.5) / kRideRate;
        return Instrument("ride", Hat({.rate = kRideRate, .decaySeconds = seconds / 3.5, .lengthSeconds = seconds,
                                       .highPass = 3000, .metal = 0.75}, 126),
                          {}, 30, 100, false);
      },
      2500, 14000);

  DrumMap kit = {{'k', {kick, 60, 26}}, {'s', {brush, 60, 26}}, {'g', {brush, 60, 12}}};
  DrumMap cymbals = {{'r', {ride, 60, 26}}, {'R', {ride, 60, 34}}, {'p', {pedal, 60, 20}}};
  const std::vector<int> comp3 = {kCompA, kCompB, kCompC};

  const std::string rideLine = "R . . r . r R . . r . r";
  // The piano lets its chords ring into the next stroke: the bed under the walking bass.
  const std::string comping = "x - - - - x - - - - - -";
  // Walking bass: a chord a bar walks root, third, fifth and a step into the next bar; two
  // chords in a bar take root and approach each.
  auto walk = [&](const std::vector<bool>& split) {
    for (size_t b = 0; b < split.size(); ++b)
      c.Bass(kBass, bass, 29, 3, split[b] ? "R A R A" : "R 3 5 A", 34, static_cast<int>(b), 1);
  };
  const std::vector<bool> splitA = {false, false, false, false, false, false, true, true};
  const std::vector<bool> splitB = {true, false, true, true, false, false, false, false};

  // A second muted horn holds the dominant, C, through every bar: the one pitch that sits in
  // all the changes (the ninth of B flat, the sharp eleven of G flat seven, the seventh of D
  // seven), a bed under the walking bass and the two-beat chords.
  auto hold = [&]() { c.Pedal(kHeldHorn, horn, c.CurrentKey().Pitch(4, 0, 3), 28); };

  // --- Intro: piano, bass and ride set the table. ---
  c.Section("intro", "3m7 67 2m7 57");
  c.SectionLevel(-6);
  c.Chords(comp3, ep, 52, 67, 1, comping, 26);
  walk({false, false, false, false});
  c.Beat(kRide, cymbals, 1, rideLine);
  c.Beat(kDrums, kit, 1, "k . . . . . k . . . . .", "k . . . . s k . s . s s");
  hold();

  // The first turnaround takes the tritone substitute, G flat seven for C seven (the tune's E,
  // G and B flat sit on it as its flat seventh, flat ninth and third); A2 slides down through
  // it into the tonic as well.
  const std::string chartA1 = "1maj7 67 2m7 b27 1maj7 67 2m7_57 1maj7_57";
  const std::string chartA2 = "1maj7 67 2m7 b27 1maj7 67 2m7_b27 1maj7";
  const std::string chartB = "5m7_17 4maj7 4m7_b77 3m7_67 2m7 2m7 57 57";
  const std::string headA1 =
      "3 - 5 7 - 5 3 - . . . . | 6 - . #1' - 6 5 - 3 . . . | 2 - 4 6 - 4 2 - . . . . | 7, - 2 4 - 2 7, - . . . . | "
      "3 - 5 7 - 5 1' - - - - - | 6 - 5 #1' - 3 6 - . . . . | 4 - 2 6 - 4 5 - 7, 2 - 4 | 3 - - - - - . . . 5 - . ";
  const std::string headA2 =
      "3 - 5 7 - 5 3 - . . . . | 6 - . #1' - 6 5 - 3 . . . | 2 - 4 6 - 4 2 - . . . . | 7, - 2 4 - 2 7, - . . . . | "
      "3 - 5 7 - 5 1' - - - - - | 6 - 5 #1' - 3 6 - . . . . | 4 - 2 6 - 4 5 - 7, 2 - 4 | 1 - - - - - . . . . . . ";
  const std::string headB =
      "5 - b7 2' - b7 1' - 3' 5 - . | 4' - 3' 1' - 6 4 - - - . . | 4 - b6 1' - b6 b7 - 2' b6 - . | 3 - 5 7 - 5 6 - #1' 5 - . | "
      "2 - - 4 - 6 1' - - - - - | 6 - - 4 - 2 7, - . . . . | 7, - 2 4 - 6 5 - . . . . | 4 - 3 2 - 7, 5, - . . . . ";

  auto part = [&](const std::string& name, const std::string& chart, const std::string& tune,
                  const std::vector<bool>& split, bool hornLead, int octave = 4) {
    c.Section(name, chart);
    c.Chords(comp3, ep, 52, 67, 1, comping, 26);
    walk(split);
    c.Beat(kRide, cymbals, 1, "R . . r . r R . . r . r", "");
    c.Beat(kDrums, kit, 1, "k . . . . g k . . . . g", "k . . . . s k . s . s s");
    hold();
    if (hornLead) {
      c.Melody(kHorn, horn, octave, 1, tune, 50);
    } else {
      c.Melody(kVibes, vibes, 4, 1, tune, 56);
    }
  };

  part("head A", chartA1, headA1, splitA, false);
  c.LoopHere();
  part("head A2", chartA2, headA2, splitA, false);
  part("head B", chartB, headB, splitB, false);
  c.SectionLevel(-3);
  part("head A3", chartA2, headA2, splitA, false);
  // The horn takes the A sections an octave above the vibes' head.
  part("horn A", chartA1, headA1, splitA, true, 5);
  part("horn A2", chartA2, headA2, splitA, true, 5);
  part("horn B", chartB, headB, splitB, true);
  c.SectionLevel(-1.5);
  part("horn A3", chartA2, headA2, splitA, true);
  c.Section("tag", "3m7 67 2m7 57");
  c.Chords(comp3, ep, 52, 67, 1, comping, 26);
  walk({false, false, false, false});
  c.Beat(kRide, cymbals, 1, rideLine);
  c.Beat(kDrums, kit, 1, "k . . . . g k . . . . g", "k . s . s s k s s S s S");
  hold();
  c.Melody(kVibes, vibes, 4, 1,
           "3 - 5 1' - 5 3 - . . . . | 6 - #1' 3' - 1' 6 - . . . . | 2 - 4 6 - 4 1' - 7 6 - . | 5 - - - - - 7, - . . . . ", 52);

  // The vibes answer the horn a beat behind; in the head they echo themselves softly.
  // Downbeats after a held note are led into from a half step below.
  c.ChromaticApproach(kVibes, 0.8);
  c.ChromaticApproach(kHorn, 0.8);
  // Whole steps from a held note pass through the half step between.
  c.PassingNotes(kVibes, 0.7);
  c.PassingNotes(kHorn, 0.7);
  c.Echo(kHorn, kEcho, echo, 3, 0.5);
  c.Echo(kVibes, kEcho, echo, 3, 0.3);
  c.Vibrato(kHorn, 6, 3, 5, 3);
  return {c.Build(context.title, context.musician, context.targetBytes), c.Report()};
}
