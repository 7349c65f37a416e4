// LOW TIDE: a melancholic ballad in F minor, 92 BPM. Electric piano chords, a soft flute-like
// lead with vibrato and a quarter-note echo, brushed drums, and surf washing in now and then.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {

constexpr int kDrums = 0, kShaker = 1, kBass = 2, kEpA = 3, kEpB = 4, kEpC = 5, kPadA = 6, kPadB = 7, kLead = 8,
              kEcho = 9, kHarp = 10, kSurf = 11, kPedalLow = 12, kPedalHigh = 13;

}  // namespace

SongResult ComposeLowTide(const SongContext& context) {
  SongSetup setup;
  setup.channels = 14;
  setup.bpm = 92;
  setup.speed = 12;
  setup.rowsPerBeat = 2;
  setup.key = Key{kF, Mode::kMinor};
  setup.globalVolume = 64;
  setup.volumeScale = 1.16;
  setup.limitVolumes = true;
  Composer c(setup);

  int kick = c.Add(Instrument("soft kick", Kick({.rate = 11025, .startHz = 110, .endHz = 46, .sweepSeconds = 0.03,
                                                 .decaySeconds = 0.25, .click = 0.1, .drive = 1.2, .lengthSeconds = 0.32}, 31),
                              {}, 50, 128, false));
  int brush = c.Add(Instrument("brush", Snare({.rate = 22050, .toneHz = 180, .toneDecay = 0.03, .noiseDecay = 0.12,
                                              .noiseHighPass = 2500, .noiseShare = 0.92, .lengthSeconds = 0.22}, 32),
                               {}, 40, 140, false));
  int rim = c.Add(Instrument("rim", Tick(22050, 1700, 33), {}, 30, 150, false));
  int shaker = c.Add(Instrument("shaker", Shaker(22050, 34), {}, 24, 176, false));
  int bass = c.Add(WaveInstrument("round bass", {WaveKind::kTriangle, 0.5, 15, 8}, kNoteC1, kNoteC4,
                                  AdsrEnvelope(0.01, 0.4, 0.7, 0.15), 44, 128));
  int ep = c.Add(Instrument("e.piano", EPianoTone(41, 32, 0.5), DecayEnvelope(2.6, 0.35), 34, 128, true));
  // The mist pad breathes: sea air through the chords.
  int pad = c.Add(PadInstrument("mist pad", {WaveKind::kSaw, 0.5, 14, 17}, 32, 128, {-1, 0, 1}, AdsrEnvelope(1.2, 1.0, 0.8, 1.2),
                                18, 128, false, 42, 0.25));
  // One voice with the breath of the player in it.
  InstrumentPatch flutePatch = PadInstrument("flute by ODD", {WaveKind::kTriangle, 0.5, 15, 12}, 32, 64, {0},
                                             AdsrEnvelope(0.05, 0.3, 0.8, 0.25), 44, 116, false, 43, 0.12);
  flutePatch.vibratoDepth = 4;
  flutePatch.vibratoRate = 18;
  flutePatch.vibratoSweep = 0.5;
  int flute = c.Add(flutePatch);
  int echo = c.Add(WaveInstrument("flute echo", {WaveKind::kSine, 0.5, 1}, kNoteC4, kNoteC6,
                                  AdsrEnvelope(0.05, 0.3, 0.8, 0.3), 44, 168));
  int surf = c.AddFitter(
      [](size_t frames) { return Instrument("surf", Surf(frames, 5000, 1500, 35), {}, 40, 96, false); }, 6000, 60000);

  DrumMap kit = {{'k', {kick, 60, 58}}, {'s', {brush, 60, 42}}, {'g', {brush, 60, 20}}};
  DrumMap light = {{'r', {rim, 60, 34}}, {'h', {shaker, 60, 38}}, {'x', {shaker, 60, 22}}, {'s', {surf, 48, 40}}};
  // The mist pad holds the tonic and fifth under the verses and choruses, whatever the chord.
  auto pedal = [&](int volume) {
    c.Pedal(kPedalLow, pad, c.CurrentKey().Pitch(0, 0, 3), volume);
    c.Pedal(kPedalHigh, pad, c.CurrentKey().Pitch(4, 0, 3), volume - 6);
  };
  const std::vector<int> ep3 = {kEpA, kEpB, kEpC};
  const std::vector<int> pad2 = {kPadA, kPadB};

  // The first verse brightens for a bar to F major with its seventh, leading into B flat minor.
  const std::string verseChart = "1m 6 3 7 1m 17 4m 5";
  // The chorus's second half opens on the flat second, G flat major under the held F.
  const std::string chorusChart = "6 7 3 1m b2 7 5sus4 5";

  // --- Intro: piano and the sea. ---
  c.Section("intro", "1m 6 3 7");
  c.SectionLevel(-4);
  c.Chords(ep3, ep, 53, 72, 1, "x - - - x - - -", -1, {5, 8, 11});
  c.Hit(kSurf, 0, 0, surf, 60, 40);
  c.Arp(kHarp, ep, 65, 1, "0 1 2 3 2 1 2 1", 22, 2, 2);
  pedal(34);

  auto verse = [&](const std::string& name, const std::string& chart, const std::string& melody, bool drums) {
    c.Section(name, chart, setup.key);
    // A wave breaks every two bars.
    c.Beat(kSurf, light, 16, "s");
    c.Chords(ep3, ep, 53, 72, 1, "x - - - x - - x", -1, {5, 8, 11});
    c.Bass(kBass, bass, 29, 1, "R - - - - - R 5", 40);
    c.Melody(kLead, flute, 4, 1, melody, 44);
    pedal(40);
    if (drums) {
      c.Beat(kDrums, kit, 1, "k...g.k.", "k...s.ss");
      c.Sixteenths(kShaker, light, "h..xh.h.h..xh.hx");
    } else {
      c.Beat(kShaker, light, 1, "h . h . r . h .");
      c.Beat(kDrums, kit, 1, "k.......", "k...s.s.");
    }
  };
  const std::string verseA =
      "5 - - 4 3 - - - | 3 - - 2 1 - - - | 3 - - 2 3 - 5 - | 4 - - - - - . . | "
      "5 - - 4 3 - - - | #3 - - 2 1 - - - | 4 - - 3 4 - 6 - | 5 - - - 2 - #7, - ";
  const std::string verseB =
      "5 - - 4 3 - 5 - | 3 - - 2 1 - - - | 5 - - 4 3 - 1 - | b2 - 4 - 6, - . . | "
      "5 - - 4 3 - 5 - | 6 - - 5 4 - 3 - | 4 - - 3 4 - 6 - | 5 - - - 2 - #7, - ";

  auto chorus = [&](const std::string& name, const std::string& melody, int octave, bool arp, const Key& key) {
    c.Section(name, chorusChart, key);
    c.Chords(ep3, ep, 55, 74, 1, "x - - x - - x -", -1, {5, 8, 11});
    c.Chords(pad2, pad, 60, 76, 1, "x - - - - - - -", -1, {3, 12});
    c.Bass(kBass, bass, 29, 1, "R - - R - - 5 A", 42);
    c.Beat(kDrums, kit, 1, "k...s..k", "k...s.sS");
    c.Sixteenths(kShaker, light, "h.h.h..xh.h.h.x.");
    c.Melody(kLead, flute, octave, 1, melody, 46);
    pedal(44);
    if (arp) c.Arp(kHarp, ep, 65, 1, "0 1 2 3 4 3 2 1", 20);
    c.Hit(kSurf, 0, 0, surf, 60, 36);
    c.Beat(kSurf, light, 16, ". s");
  };
  const std::string hook =
      "1' - - 7 6 - - - | 7 - - 1' 7 - 4 - | 5 - - 6 5 - 3 - | 3 - - 2 1 - . . | "
      "1' - - 7 6 - - - | 7 - - 1' 2' - 7 - | 1' - - - 2' - 1' - | #7 - - - - - . . ";
  const std::string hookHigh =
      "1' - - 7 6 - 1' - | 7 - - 1' 7 - 4 - | 5 - - 6 5 - 1' - | 3' - - 2' 1' - . . | "
      "1' - - 7 6 - 4' - | 3' - - 2' 1' - 7 - | 1' - - - 2' - 1' - | #7 - - - - - . . ";

  auto bridge = [&]() {
    // The bridge clears into D minor (F major's own minor: the sky over the water brightens),
    // and its A major steps aside into the solo chorus's D flat.
    c.Section("bridge", "4m 1m 6 3 4m 1m 2m7b5 5", setup.key.Transposed(9));
    c.Chords(ep3, ep, 53, 72, 1, "x - - - x - - -", -1, {5, 8, 11});
    c.Chords(pad2, pad, 60, 76, 1, "x - - - - - - -", -1, {3, 12});
    c.Arp(kHarp, ep, 65, 1, "0 1 2 3 4 3 2 1", 22);
    c.Bass(kBass, bass, 29, 1, "R - - - - - - -", 40, 0, 4);
    c.Bass(kBass, bass, 29, 1, "R - - - R - 5 -", 40, 4, 4);
    c.Beat(kShaker, light, 1, "h . h . h . h .");
    c.Beat(kDrums, kit, 1, "k.......", "k...ssSS", 4, 4);
    // The mist pad keeps home's F and C over D minor's first six bars, its third and seventh,
    // and lets go where the half-diminished two and the major five would rub against them.
    c.Pedal(kPedalLow, pad, setup.key.Pitch(0, 0, 3), 38, 0, 6);
    c.Pedal(kPedalHigh, pad, setup.key.Pitch(4, 0, 3), 32, 0, 6);
    c.Melody(kLead, flute, 4, 1,
             ". . . . . . . . | . . . . . . . . | . . . . . . . . | . . . . 1 2 3 5 | "
             "4 - - - 6 - 4 - | 3 - - - 5 - 1' - | 1' - - 7 6 - 5 - | 5 - - - #7, - 2 - ",
             42);
  };

  auto outro = [&](const Key& key) {
    c.Section("ebb", "1m 6 3 7", key);
    c.SectionLevel(-3);
    c.Chords(ep3, ep, 53, 72, 1, "x - - - x - - -", -1, {5, 8, 11});
    c.Chords(pad2, pad, 60, 76, 1, "x - - - - - - -", -1, {3, 12});
    c.Bass(kBass, bass, 29, 1, "R - - - - - R 5", 38);
    c.Beat(kShaker, light, 1, "h . h . r . h .");
    c.Beat(kDrums, kit, 1, "k.......", "k...g.g.");
    c.Melody(kLead, flute, 4, 1, "5 - - 4 3 - - - | 3 - - 2 1 - - - | 3 - - 2 3 - 5 - | 4 - - - - - . . ", 40);
    c.Hit(kSurf, 0, 0, surf, 60, 40);
  };

  verse("verse", verseChart, verseA, false);
  c.LoopHere();
  chorus("chorus", hook, 4, false, setup.key);
  // The second verse turns aside to the flat second (the Neapolitan) before coming home.
  verse("verse 2", "1m 6 3 b2 1m 6 4m 5", verseB, true);
  // The second chorus carries the hook an octave up.
  chorus("chorus 2", hook, 5, true, setup.key);
  bridge();
  chorus("solo chorus", hookHigh, 4, true, setup.key);
  // The last chorus rises a tone to G minor and the ebb stays there; F major, its last chord,
  // turns to F minor as the song comes round.
  const Key lifted = setup.key.Transposed(2);
  chorus("last chorus", hook, 4, true, lifted);
  outro(lifted);

  // The shaker swings its off-beats a quarter of an eighth late.
  c.Swing(kShaker, 1, 3);
  // Downbeats after a held note are led into from a half step below.
  c.ChromaticApproach(kLead, 0.8);
  c.PassingNotes(kLead, 0.7);
  c.Echo(kLead, kEcho, echo, 2, 0.35);
  c.Vibrato(kLead, 4, 2, 4, 3);
  return {c.Build(context.title, context.musician, context.targetBytes), c.Report()};
}
