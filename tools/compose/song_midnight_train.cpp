// MIDNIGHT TRAIN TO KALMAR: driving and rhythmic, A dorian, 150 BPM. Shuffled sixteenth hats
// chug like wheels on rails, the bass pulses in octaves, a muted guitar ostinato rolls along,
// a harmonica tells the tune and a two-note whistle calls across the dark.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {

constexpr int kDrums = 0, kHats = 1, kBass = 2, kRiff = 3, kWhistleA = 4, kWhistleB = 5, kHarp = 6, kEcho = 7, kPedalLow = 8,
              kPedalHigh = 9;

}  // namespace

SongResult ComposeMidnightTrain(const SongContext& context) {
  SongSetup setup;
  setup.channels = 10;
  setup.bpm = 150;
  setup.key = Key{kA, Mode::kDorian};
  setup.globalVolume = 64;
  setup.volumeScale = 1.222;
  setup.limitVolumes = true;
  Composer c(setup);

  int kick = c.Add(Instrument("kick", Kick({.rate = 16726, .startHz = 140, .endHz = 50, .sweepSeconds = 0.03,
                                           .decaySeconds = 0.16, .click = 0.3, .drive = 1.6, .lengthSeconds = 0.25}, 141),
                              {}, 56, 128, false));
  int snare = c.Add(Instrument("snare", Snare({.rate = 22050, .toneHz = 200, .toneDecay = 0.04, .noiseDecay = 0.1,
                                              .noiseHighPass = 1800, .noiseShare = 0.8, .lengthSeconds = 0.15}, 142),
                               {}, 44, 136, false));
  int hat = c.Add(Instrument("rail hat", Hat({.rate = 33452, .decaySeconds = 0.022, .lengthSeconds = 0.05, .metal = 0.6}, 143),
                              {}, 30, 172, false));
  int bass = c.Add(WaveInstrument("pulse bass", {WaveKind::kSaw, 0.5, 40, 12}, kNoteC1, kNoteC4 - 1,
                                  AdsrEnvelope(0.003, 0.12, 0.5, 0.04), 44, 128));
  int riff = c.Add(Instrument("muted guitar", PluckTone({WaveKind::kSaw, 0.5, 28, 16}, 0.07, 0.35, 0.08, 144, 64),
                              DecayEnvelope(0.35, 0.04), 34, 92, true));
  int whistle = c.Add(WaveInstrument("whistle", {WaveKind::kSine, 0.5, 2}, kNoteC4, kNoteC7, AdsrEnvelope(0.15, 0.4, 0.85, 0.5),
                                     26, 128));
  int pad = c.Add(PadInstrument("night pad", {WaveKind::kSaw, 0.5, 15, 8}, 32, 128, {-1, 0, 1}, AdsrEnvelope(0.3, 0.6, 0.8, 0.5),
                                24, 128, true, 145));
  InstrumentPatch harpPatch = WaveInstrument("harmonica by ODD", {WaveKind::kPulse, 0.3, 30, 16}, kNoteC4, kNoteC6,
                                           AdsrEnvelope(0.02, 0.2, 0.8, 0.08), 40, 112);
  harpPatch.vibratoDepth = 4;
  harpPatch.vibratoRate = 24;
  harpPatch.vibratoSweep = 0.3;
  int harp = c.Add(harpPatch);
  int echo = c.Add(WaveInstrument("harmonica echo", {WaveKind::kPulse, 0.3, 20, 8}, kNoteC4, kNoteC6,
                                  AdsrEnvelope(0.02, 0.2, 0.7, 0.1), 40, 176));
  int crash = c.AddFitter(
      [](size_t frames) { return Instrument("crash", Crash(frames, 22050, 146), {}, 28, 100, false); }, 3000, 40000);

  DrumMap kit = {{'k', {kick, 60, 56}}, {'s', {snare, 60, 42}}, {'g', {snare, 60, 16}}, {'c', {crash, 60, 34}}};
  DrumMap hats = {{'h', {hat, 60, 18}}, {'H', {hat, 60, 30}}};
  const std::vector<int> whistle2 = {kWhistleA, kWhistleB};
  // The night pad holds the tonic and its fifth under the moving chords; when the train
  // climbs to B Dorian it keeps home's A and E, both in the new key's scale.
  auto pedal = [&](int volume) {
    c.Pedal(kPedalLow, pad, setup.key.Pitch(0, 0, 3), volume);
    c.Pedal(kPedalHigh, pad, setup.key.Pitch(4, 0, 3), volume - 6);
  };


  const std::string chug = "HhhhHhhhHhhhHhhh";
  const std::string beat = "k...s..gk...s.g.";
  const std::string ostinato = "0 0 2 0 1 0 2 0";

  // --- Intro: the whistle over the night pad, then the wheels gather speed. ---
  c.Section("departure", "1m 1m 7 7 1m 1m 4 4");
  c.SectionLevel(-3);
  c.Chords(whistle2, whistle, 72, 88, 16, "x . x -", -1, {4, 11}, 0, 4);
  c.Beat(kHats, hats, 4, "H h h h", "", 0, 2);
  c.Beat(kHats, hats, 2, "H h H h H h H h", "", 2, 2);
  c.Beat(kHats, hats, 1, chug, "", 4, 4);
  c.Bass(kBass, bass, 33, 2, "R 8 R 8 R 8 R 8", 40, 4, 4);
  c.Beat(kDrums, kit, 1, "k.......k.......", "k...s...s.s.sSsS", 4, 4);
  pedal(32);

  auto rails = [&](const std::string& name, int octave) {
    c.Section(name, "1m 1m 7 7 1m 1m 4 4");
    c.Beat(kDrums, kit, 1, beat, "k...s...s.s.sSSS");
    c.Beat(kHats, hats, 1, chug);
    c.Bass(kBass, bass, 33, 2, "R 8 R 8 R 8 R A", 44);
    c.Arp(kRiff, riff, 57, 2, ostinato, 34);
    pedal(38);
    c.Melody(kHarp, harp, octave, 2,
             "5 - . 5 3 - 1 - | 1 - - - . . . . | 4 - . 4 2 - 7, - | 7, - - - . . . . | "
             "5 - . 5 3 - 1 - | 1 - - - 3 - 5 - | 6 - 4 - 1 - 4 - | 1 - - - . . . . ",
             38);
  };
  auto tune = [&](const std::string& name, const Key& key) {
    c.Section(name, "1m 3 7 4 1m 3 7 5m", key);
    c.Beat(kDrums, kit, 1, beat, "k...s...s.s.sSSS");
    c.Beat(kHats, hats, 1, chug);
    c.Bass(kBass, bass, 33, 2, "R 8 R 8 R 8 R A", 44);
    c.Arp(kRiff, riff, 57, 2, ostinato, 32);
    pedal(38);
    c.Melody(kHarp, harp, 4, 2,
             "1 - 1 2 3 - 1 - | 5 - 3 - 5 - 3 - | 2 - 7, - 2 - 4 - | 4 - - 6 1' - 6 - | "
             "1 - 1 2 3 - 5 - | 5 - 3 - 5 - 7 - | 7 - 5 - 4 - 2 - | 5 - - - - - . . ",
             42);
  };
  auto chorus = [&](const std::string& name, const Key& key) {
    c.Section(name, "b6 7 1m 1m b6 7 5 5", key);
    c.Beat(kDrums, kit, 1, "k...s...k.k.s...", "k.k.s.s.k.s.sSSS");
    c.Beat(kHats, hats, 1, chug);
    c.Bass(kBass, bass, 33, 1, "R . 8 . R . 8 . R . 8 . R 8 R A", 46);
    c.Arp(kRiff, riff, 57, 1, "0 . 0 2 . 0 1 . 0 . 0 2 . 0 1 .", 32);
    c.Chords(whistle2, pad, 62, 79, 16, "x", -1, {3, 12});
    pedal(40);
    c.Melody(kHarp, harp, 4, 2,
             "3 - - - 1 - 3 - | 4 - - - 2 - 7, - | 5 - - - 3 - 1 - | 1 - - - - - . . | "
             "3 - - - 1 - 3 - | 4 - - - 2 - 7 - | #7 - - - 5 - 2 - | 5 - - - - - . . ",
             44);
    c.Hit(kDrums, 0, 0, crash, 60, 34);
  };
  auto night = [&]() {
    c.Section("night", "1m 1m 7 7 b6 b6 5 5");
    c.SectionLevel(-3);
    c.Chords(whistle2, whistle, 72, 88, 16, "x . x -", -1, {4, 11});
    c.Bass(kBass, bass, 33, 4, "R - R -", 40);
    c.Beat(kHats, hats, 2, "H h H h H h H h");
    c.Arp(kRiff, riff, 57, 4, "0 2 1 2", 28);
    // The night pad holds on through the night: the tonic rests under the major five, whose
    // G sharp it would rub against, while the fifth holds on.
    c.Pedal(kPedalLow, pad, c.CurrentKey().Pitch(0, 0, 3), 34, 0, 6);
    c.Pedal(kPedalHigh, pad, c.CurrentKey().Pitch(4, 0, 3), 28);
    c.Beat(kDrums, kit, 1, "k...............", "k...s...s.s.sSsS", 4, 4);
  };

  rails("rails", 4);
  c.LoopHere();
  tune("tune", setup.key);
  chorus("chorus", setup.key);
  // The second time down the line the harmonica plays an octave up.
  rails("rails 2", 5);
  night();
  // After the night the train climbs a tone, to B Dorian, for the rest of the line; the loop
  // brings it back down to A.
  const Key climbed = setup.key.Transposed(2);
  tune("tune 2", climbed);
  chorus("chorus 2", climbed);
  chorus("chorus 3", climbed);

  // Downbeats after a held note are led into from a half step below.
  c.ChromaticApproach(kHarp, 0.8);
  // Whole steps from a held note pass through the half step between.
  c.PassingNotes(kHarp, 0.7);
  c.Echo(kHarp, kEcho, echo, 3, 0.4);
  c.Swing(kHats, 1, 1);
  c.Vibrato(kHarp, 6, 3, 6, 3);
  return {c.Build(context.title, context.musician, context.targetBytes), c.Report()};
}
