// SLINKY: funk in E dorian, 104 BPM with swung sixteenths. Slap bass, clavinet stabs, ghost
// notes on the snare, an organ for the turnaround and a fat brass lead answering itself.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {

constexpr int kDrums = 0, kHats = 1, kBass = 2, kClavA = 3, kClavB = 4, kBrass = 5, kEcho = 6, kOrgan = 7;
constexpr double kOpenHatRate = 16000;

}  // namespace

SongResult ComposeSlinky(const SongContext& context) {
  SongSetup setup;
  setup.channels = 8;
  setup.bpm = 104;
  setup.key = Key{kE, Mode::kDorian};
  setup.globalVolume = 64;
  setup.volumeScale = 1.394;
  setup.limitVolumes = true;
  Composer c(setup);

  int kick = c.Add(Instrument("kick", Kick({.rate = 11025, .startHz = 130, .endHz = 52, .sweepSeconds = 0.03,
                                           .decaySeconds = 0.2, .click = 0.5, .drive = 1.8, .lengthSeconds = 0.28}, 61),
                              {}, 58, 128, false));
  int snare = c.Add(Instrument("snare", Snare({.rate = 22050, .toneHz = 210, .toneDecay = 0.04, .noiseDecay = 0.09,
                                              .noiseHighPass = 1500, .noiseShare = 0.7, .lengthSeconds = 0.19}, 62),
                               {}, 50, 136, false));
  int hat = c.Add(Instrument("hat", Hat({.rate = 33452, .decaySeconds = 0.025, .lengthSeconds = 0.05}, 63), {}, 32, 180, false));
  InstrumentPatch bassPatch = Instrument("slap bass", SlapBassTone(64, 128, 0.1), DecayEnvelope(1.2, 0.05), 50, 128, false);
  int bass = c.Add(bassPatch);
  int clav = c.Add(Instrument("clav", PluckTone({WaveKind::kPulse, 0.25, 30}, 0.08, 0.25, 0.05, 65, 64),
                              DecayEnvelope(0.5, 0.04), 30, 128, true));
  int brass = c.Add(PadInstrument("brass by ODD", {WaveKind::kSaw, 0.5, 15, 6}, 32, 96, {-1, 0, 1}, AdsrEnvelope(0.025, 0.25, 0.6, 0.1),
                                  44, 112, false, 66));
  int echo = c.Add(WaveInstrument("brass echo", {WaveKind::kSaw, 0.5, 30, 4}, kNoteC3, kNoteC6,
                                  AdsrEnvelope(0.025, 0.25, 0.5, 0.1), 44, 176));
  int organ = c.Add(WaveInstrument("organ", {WaveKind::kOrgan, 0.5, 8}, kNoteC3, kNoteC6, AdsrEnvelope(0.01, 0.1, 0.9, 0.1),
                                   24, 80));
  // The open hat takes up the module's spare bytes: any length from a chick to a wash.
  int open = c.AddFitter(
      [](size_t frames) {
        double seconds = (static_cast<double>(frames) + 0.5) / kOpenHatRate;
        return Instrument("open hat", Hat({.rate = kOpenHatRate, .decaySeconds = seconds / 3.0, .lengthSeconds = seconds,
                                           .highPass = 5500}, 67),
                          {}, 28, 180, false);
      },
      1600, 9000);

  DrumMap kit = {{'k', {kick, 60, 62}}, {'s', {snare, 60, 56}}, {'g', {snare, 60, 22}}};
  DrumMap hats = {{'h', {hat, 60, 36}}, {'o', {open, 60, 40}}};
  const std::vector<int> clav2 = {kClavA, kClavB};

  const std::string groove = "k.gks.g..gk.s.gk";
  const std::string hatLine = "HhhhHhhhHhhhHho.";
  const std::string slap = "R - . R . x 8 . R . . R 8 . 7 5";
  const std::string clavLine = ". . x . x . . x . . x . . x . x";

  // --- Intro: the rhythm section finds its feet. ---
  c.Section("intro", "1m7 47 1m7 47");
  c.SectionLevel(-3.5);
  c.Beat(kDrums, kit, 1, groove, "k.s.s.ssk.s.sSSS");
  c.Beat(kHats, hats, 1, hatLine, "", 0, 4);
  c.Bass(kBass, bass, 28, 1, slap, 50, 2, 2);

  auto groovePart = [&](const std::string& name, const std::string& brassLine, int octave) {
    c.Section(name, "1m7 47 1m7 47 1m7 47 1m7 47");
    c.Beat(kDrums, kit, 1, groove, "k.gks.s.s.ssSSSS");
    c.Beat(kHats, hats, 1, hatLine);
    c.Bass(kBass, bass, 28, 1, slap, 50);
    c.Chords(clav2, clav, 62, 76, 1, clavLine, 30, {4, 10});
    c.Melody(kBrass, brass, octave, 1, brassLine, 58);
  };
  const std::string callA =
      ". . . . . . . . 1' . 7 . 5 . 7 . | 1' - . . . . . . . . . . 3' . 1' . | "
      ". . . . . . . . 1' . 7 . 5 . 3 . | 4 - . . 6 - 4 . . . . . . . . . | "
      ". . . . . . . . 1' . 7 . 5 . 7 . | 1' - . . . . . . . . . . 3' . 1' . | "
      ". . . . 5 . 7 . 1' . 2' . 3' - 2' . | 1' - - - - - . . . . . . . . . . ";
  const std::string callB =
      "5 . 5 7 . 1' . . 7 . 5 . 3 . . . | 4 . 4 6 . 1' . . 7 . 6 . 4 . . . | "
      "5 . 5 7 . 1' . . 7 . 5 . 3 . 1 . | 4 - - . 3 . 4 . 6 - - - . . . . | "
      "5 . 5 7 . 1' . . 7 . 5 . 3 . . . | 4 . 4 6 . 1' . . 7 . 6 . 4 . . . | "
      "5 . 3 . 1 . 3 . 5 . 7 . 1' - - . | 1' - - - - - . . . . . . . . . . ";

  auto turnaround = [&]() {
    c.Section("turnaround", "3maj7 2m7 1m7 47 3maj7 2m7 4 5m7");
    c.Beat(kDrums, kit, 1, "k..ks.g...k.s.g.", "k.s.s.ssk.s.sSSS");
    c.Beat(kHats, hats, 1, "h.h.h.h.h.h.h.ho");
    c.Bass(kBass, bass, 28, 2, "R . R 5 . 8 . A", 48);
    c.Chords({kOrgan, kClavB}, organ, 59, 74, 8, "x -", -1, {3, 11});
    c.Melody(kBrass, brass, 4, 1,
             "3 - - - 5 - - - 7 - - - 2' - 1' - | 4 - - - 6 - - - 1' - - - 6 - 4 - | "
             "5 - - - 3 - - - 1 - 3 - 5 - - - | 4 - - - 6 - - - 1' - - - 3' - 1' - | "
             "5 - - - 7 - - - 2' - - - 1' - 7 - | 1' - - - 6 - - - 4 - - - 2 - 3 - | "
             "4 - - - 6 - - - 1' - - - 6 - - - | 5 - - - - - - - 2 - - - 4 - . . ",
             54);
    c.Hit(kClavA, 0, 0, open, 60, 26);
  };

  auto bridge = [&]() {
    c.Section("bridge", "b6maj7 77 1m7 1m7 b6maj7 77 2m7 5m7");
    c.SectionLevel(-3);
    c.Beat(kDrums, kit, 1, "k.......s.......", "k.s.s.ssk.s.sSSS");
    c.Beat(kHats, hats, 1, "h.h.h.h.h.h.h.h.");
    c.Bass(kBass, bass, 28, 2, "R - - - 5 - 8 -", 46);
    c.Chords({kOrgan, kClavB}, organ, 59, 74, 16, "x", -1, {3, 11});
    c.Arp(kClavA, clav, 64, 1, "0 . 1 . 2 . 3 . 4 . 3 . 2 . 1 .", 26);
    c.Melody(kBrass, brass, 4, 2,
             "5 - - - 3 - 5 - | b6 - - - 5 - 4 - | 3 - - - - - . . | . . . . . . . . | "
             "5 - - - 3 - 5 - | b6 - - - 1' - 7 - | 1' - - - 6 - 4 - | 5 - - - . . . . ",
             54);
  };

  groovePart("groove", callA, 4);
  c.LoopHere();
  // The second time round the horns answer an octave up.
  groovePart("groove 2", callB, 5);
  turnaround();
  groovePart("groove 3", callA, 4);
  bridge();
  groovePart("groove 4", callB, 5);
  turnaround();

  c.Echo(kBrass, kEcho, echo, 3, 0.35);
  for (int ch : {kDrums, kHats, kBass, kClavA, kClavB}) c.Swing(ch, 1, 1);
  c.Vibrato(kBrass, 8, 4, 5, 3);
  return {c.Build(context.title, context.musician, context.targetBytes), c.Report()};
}
