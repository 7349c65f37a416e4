// LETTERS FROM A QUIET TOWN: gentle and nostalgic, A-flat major, 100 BPM on an eighth-note
// grid. Two interleaved channels pick a nylon guitar pattern so the notes ring into each other,
// a clarinet sings with a music-box echo, a string pad glows, and the chorus turns to the
// borrowed minor four for a moment of remembering.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {

constexpr int kDrums = 0, kShaker = 1, kBass = 2, kGuitarA = 3, kGuitarB = 4, kPadA = 5, kPadB = 6, kLead = 7, kEcho = 8,
              kBox = 9, kPedalLow = 10, kPedalHigh = 11;

}  // namespace

SongResult ComposeLetters(const SongContext& context) {
  SongSetup setup;
  setup.channels = 12;
  setup.bpm = 100;
  setup.speed = 12;
  setup.rowsPerBeat = 2;
  setup.key = Key{kAb, Mode::kMajor};
  setup.globalVolume = 64;
  setup.volumeScale = 1.1;
  Composer c(setup);

  int kick = c.Add(Instrument("soft kick", Kick({.rate = 11025, .startHz = 100, .endHz = 46, .sweepSeconds = 0.03,
                                                 .decaySeconds = 0.2, .click = 0.05, .drive = 1.1, .lengthSeconds = 0.28}, 131),
                              {}, 40, 128, false));
  int brush = c.Add(Instrument("brush", Snare({.rate = 16000, .toneHz = 180, .toneDecay = 0.02, .noiseDecay = 0.13,
                                              .noiseHighPass = 700, .noiseShare = 0.93, .lengthSeconds = 0.24}, 132),
                               {}, 32, 144, false));
  int shaker = c.Add(Instrument("shaker", Shaker(16000, 133), {}, 20, 176, false));
  int bass = c.Add(WaveInstrument("soft bass", {WaveKind::kTriangle, 0.5, 9, 6}, kNoteC1, kNoteC4 - 1,
                                  AdsrEnvelope(0.02, 0.5, 0.6, 0.2), 46, 128));
  int guitar = c.Add(Instrument("nylon", PluckTone({WaveKind::kSaw, 0.5, 15, 14}, 0.3, 0.25, 0.04, 134, 32),
                                DecayEnvelope(1.6, 0.25), 34, 128, true));
  int pad = c.Add(PadInstrument("strings", {WaveKind::kSaw, 0.5, 15, 12}, 32, 128, {-1, 0, 1}, AdsrEnvelope(0.6, 0.8, 0.8, 0.9),
                                28, 128, false, 135));
  InstrumentPatch clarinetPatch = WaveInstrument("clarinet by ODD", {WaveKind::kPulse, 0.5, 24, 18}, kNoteC3, kNoteC6,
                                               AdsrEnvelope(0.04, 0.3, 0.8, 0.15), 40, 120);
  clarinetPatch.vibratoDepth = 3;
  clarinetPatch.vibratoRate = 16;
  clarinetPatch.vibratoSweep = 0.5;
  int clarinet = c.Add(clarinetPatch);
  int box = c.Add(Instrument("music box", BellTone(0.7, 136, 128), DecayEnvelope(2.0, 0.4), 32, 160, true));
  int boxEcho = c.Add(WaveInstrument("echo chime", {WaveKind::kTriangle, 0.5, 7}, kNoteC3, kNoteC7, DecayEnvelope(0.9, 0.3),
                                     30, 86));
  int crash = c.AddFitter(
      [](size_t frames) { return Instrument("soft cymbal", Crash(frames, 22050, 138), {}, 18, 110, false); }, 3000, 40000);

  DrumMap kit = {{'k', {kick, 60, 54}}, {'s', {brush, 60, 44}}, {'g', {brush, 60, 22}}};
  DrumMap shake = {{'h', {shaker, 60, 30}}, {'H', {shaker, 60, 38}}, {'x', {shaker, 60, 20}}, {'c', {crash, 60, 22}}};
  const std::vector<int> pad2 = {kPadA, kPadB};

  // Two channels pick alternately so each string rings until the next-but-one note.
  auto pick = [&](int volume) {
    c.Arp(kGuitarA, guitar, 44, 2, "0 - 1 - 0 - 1 -", volume);
    c.Arp(kGuitarB, guitar, 55, 2, ". 1 - 2 - 1 - 3", volume - 4);
  };

  // --- Intro: guitar and music box remember the chorus. ---
  c.Section("intro", "4 b7 1 1");
  c.SectionLevel(-4.5);
  pick(32);
  c.Melody(kBox, box, 5, 1, "6 - - - 4 - 3 4 | 5 - - - - - . . | 3 - - - 2 - 1 - | 1 - - - - - . . ", 40);

  // The tonic's seventh leads into the four; the two turns major, the dominant of the
  // dominant, its D natural in the tune on the way up to E flat.
  const std::string chartA = "1 17 4 4m b6 27 5sus4 5";
  const std::string verseTune =
      "3 - - 2 1 - 3 - | 5 - - 4 3 - - - | 4 - - 3 4 - 6 - | b6 - - - 5 - . . | "
      "b6 - - 5 b6 - 1' - | 2' - - 1' 6 - #4 - | 5 - - - 1' - 2' - | 7 - - - 5 - . . ";
  const std::string verseTune2 =
      "3 - - 2 1 - 3 - | 5 - - 4 3 - 5 - | 6 - - 5 4 - 6 - | b6 - - - 5 - . . | "
      "b6 - - 5 b6 - 1' - | 2' - - 1' 6 - #4 - | 5 - - - 1' - 2' - | 7 - - - 2' - . . ";
  auto verse = [&](const std::string& name, const std::string& tune, bool beat) {
    c.Section(name, chartA);
    pick(34);
    c.Bass(kBass, bass, 32, 1, "R - - - 5 - - A", 38);
    c.Melody(kLead, clarinet, 4, 1, tune, 30);
    // The strings hold each chord under the tune.
    c.Chords(pad2, pad, 56, 72, 8, "x", -1, {4, 11});
    // Under the tune the strings also hold the tonic and its fifth, whatever the chord.
    c.Pedal(kPedalLow, pad, c.CurrentKey().Pitch(0, 0, 3), 46);
    c.Pedal(kPedalHigh, pad, c.CurrentKey().Pitch(4, 0, 3), 38);
    if (beat) {
      c.Beat(kDrums, kit, 1, "k . . . s . k .", "k . . . s . s g");
      c.Sixteenths(kShaker, shake, "h..xH.h.h.x.H..x");
    } else {
      c.Sixteenths(kShaker, shake, "h...H..xh...H.x.");
    }
  };

  const std::string chartB = "4 4m 1 6m 27 5 b6 b7";
  const std::string chorusTune =
      "6 - - - 4 - 3 4 | b6 - - - 4 - - - | 3 - - - 2 - 1 - | 1 - - - - - . . | "
      "2 - - 3 #4 - 6 - | 5 - - 4 5 - 7 - | 1' - - - b6 - 1' - | 2' - - - - - . . ";
  auto chorus = [&](const std::string& name, int octave, const Key& key) {
    c.Section(name, chartB, key);
    pick(34);
    c.Chords(pad2, pad, 60, 79, 8, "x", -1, {4, 11});
    c.Bass(kBass, bass, 32, 1, "R - - 5 8 - 5 A", 38);
    c.Melody(kLead, clarinet, octave, 1, chorusTune, 32);
    c.Arp(kBox, box, 80, 2, "2 - 1 - 0 - 1 -", 30);
    c.Pedal(kPedalLow, pad, c.CurrentKey().Pitch(0, 0, 3), 46);
    c.Pedal(kPedalHigh, pad, c.CurrentKey().Pitch(4, 0, 3), 38);
    c.Beat(kDrums, kit, 1, "k . . . s . k .", "k . s . s . s s");
    c.Beat(kShaker, shake, 1, "c h H h h h H h", "h h H h h h H h", 0, 1);
    c.Sixteenths(kShaker, shake, "h.h.H..xh.h.H.x.", 1, 7);
  };

  auto bridge = [&]() {
    // The bridge turns to the home key's own minor over the same tonic and fifth: the colour
    // darkens while the strings' bed holds.
    c.Section("bridge", "1m 6 3 7 1m 6 4m 5", Key{kAb, Mode::kMinor});
    c.SectionLevel(-2.5);
    c.Chords(pad2, pad, 60, 79, 8, "x", -1, {4, 11});
    c.Pedal(kPedalLow, pad, c.CurrentKey().Pitch(0, 0, 3), 40);
    c.Pedal(kPedalHigh, pad, c.CurrentKey().Pitch(4, 0, 3), 32);
    c.Arp(kGuitarA, guitar, 44, 4, "0 - 2 -", 30);
    c.Bass(kBass, bass, 32, 8, "R", 42);
    c.Melody(kBox, box, 5, 1,
             "1 - 5, - 1 - 3 - | 3 - 1 - 6, - 1 - | 5 - - - 3 - - - | 4 - - - - - . . | "
             "1 - 5, - 1 - 3 - | 3 - 1 - 6, - 1 - | 4 - - - 1 - 6, - | 5, - - - #7, - 2 - ",
             42);
    c.Melody(kLead, clarinet, 3, 1,
             ". . . . . . . . | . . . . . . . . | 5 - - - - - 3 - | 4 - - - - - . . | "
             ". . . . . . . . | . . . . . . . . | 4 - - - - - 6, - | #7, - - - - - . . ",
             32);
    c.Beat(kShaker, shake, 1, "h . H . h . H .");
  };

  auto turn = [&]() {
    c.Section("turn", "6m 4 2m 5");
    pick(32);
    c.Chords(pad2, pad, 60, 79, 8, "x", -1, {4, 11});
    c.Bass(kBass, bass, 32, 1, "R - - - 5 - - -", 38);
    c.Melody(kLead, clarinet, 4, 1, "1' - - - 7 - 6 - | 6 - - - 4 - - - | 2 - - - 3 - 4 - | 5 - - - - - . . ", 28);
    c.Beat(kShaker, shake, 1, "h h H h h h H h");
    c.Beat(kDrums, kit, 1, "k . . . s . k .", "k . . . s . s g");
  };

  verse("verse", verseTune, false);
  c.LoopHere();
  chorus("chorus", 4, setup.key);
  verse("verse 2", verseTune2, true);
  // The second chorus sings an octave higher; the last comes home to the first's register.
  chorus("chorus 2", 5, setup.key);
  bridge();
  chorus("chorus 3", 4, setup.key);
  turn();

  // The shaker swings its off-beats a quarter of an eighth late.
  c.Swing(kShaker, 1, 3);
  // Downbeats after a held note are led into from a half step below.
  c.ChromaticApproach(kLead, 0.8);
  // Whole steps from a held note pass through the half step between.
  c.PassingNotes(kLead, 0.7);
  c.Echo(kLead, kEcho, boxEcho, 3, 0.45);
  c.Vibrato(kLead, 4, 2, 4, 2);
  return {c.Build(context.title, context.musician, context.targetBytes), c.Report()};
}
