// VOLTAGE: driving electro in G minor, 128 BPM. Four-on-the-floor, rolling saw bass on the
// off-sixteenths, a pumping pad retriggered on every beat, and a detuned saw lead.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {

constexpr int kKick = 0, kClap = 1, kHats = 2, kBass = 3, kPadA = 4, kPadB = 5, kLead = 6, kEcho = 7, kPedal = 8, kSpare = 9;

}  // namespace

SongResult ComposeVoltage(const SongContext& context) {
  SongSetup setup;
  setup.channels = 10;
  setup.bpm = 128;
  setup.key = Key{kG, Mode::kMinor};
  setup.globalVolume = 64;
  setup.volumeScale = 1.156;
  setup.limitVolumes = true;
  Composer c(setup);

  int kick = c.Add(Instrument("kick", Kick({.rate = 11025, .startHz = 170, .endHz = 48, .sweepSeconds = 0.035,
                                           .decaySeconds = 0.22, .click = 0.4, .drive = 2.2, .lengthSeconds = 0.28}, 51),
                              {}, 60, 128, false));
  int clap = c.Add(Instrument("clap", Clap(12000, 0.04, 52), {}, 46, 140, false));
  int hat = c.Add(Instrument("hat", Hat({.rate = 33452, .decaySeconds = 0.025, .lengthSeconds = 0.05}, 53), {}, 30, 176, false));
  int open = c.Add(Instrument("open hat", Hat({.rate = 12000, .decaySeconds = 0.1, .lengthSeconds = 0.2, .highPass = 4000}, 54),
                              {}, 26, 176, false));
  int bass = c.Add(WaveInstrument("saw bass", {WaveKind::kSaw, 0.5, 60, 9}, kNoteC1, kNoteC4 - 1,
                                  AdsrEnvelope(0.002, 0.12, 0.6, 0.04), 44, 128));
  // The swell on every retrigger is the pump.
  int pad = c.Add(PadInstrument("pump pad", {WaveKind::kSaw, 0.5, 15, 8}, 32, 48, {-1, 0, 2}, AdsrEnvelope(0.2, 0.2, 0.85, 0.15),
                                26, 128, false, 55));
  InstrumentPatch leadPatch = WaveInstrument("saw lead by ODD", {WaveKind::kSaw, 0.5, 40, 14}, kNoteC4, kNoteC6,
                                           AdsrEnvelope(0.003, 0.3, 0.65, 0.08), 42, 104);
  leadPatch.vibratoDepth = 3;
  leadPatch.vibratoRate = 28;
  leadPatch.vibratoSweep = 0.25;
  int lead = c.Add(leadPatch);
  int echo = c.Add(WaveInstrument("lead echo", {WaveKind::kPulse, 0.5, 40, 6}, kNoteC4, kNoteC6,
                                  AdsrEnvelope(0.003, 0.3, 0.6, 0.08), 42, 184));
  int crash = c.AddFitter(
      [](size_t frames) { return Instrument("crash", Crash(frames, 16000, 56), {}, 34, 96, false); }, 3000, 40000);

  DrumMap kicks = {{'k', {kick, 60, 60}}, {'c', {crash, 60, 38}}};
  DrumMap claps = {{'c', {clap, 60, 64}}, {'g', {clap, 60, 30}}};
  DrumMap hats = {{'h', {hat, 60, 44}}, {'o', {open, 60, 40}}, {'x', {hat, 60, 24}}};
  const std::vector<int> pad2 = {kPadA, kPadB};

  const std::string roll16 = "R R R R R R R R R R R R R R R R";
  const std::string rolling = ". R R R . R 8 R . R R R . 8 R A";
  const std::string riff =
      "1 . . 1 . . 5 . . 1 . . 4 . 3 . | 1 . . 1 . . 6 . . 1 . . 5 . 3 . | "
      "3 . . 3 . . 5 . . 3 . . 2 . 1 . | 2 . . 2 . . 7, . . 2 . . 1 . 7, . ";
  const std::string hook =
      "3 - 1 3 - 5 - - | 4 - 2 4 - 7, - - | 5 - 3 5 - 1' - - | 1' - - 7 1' - . . | "
      "3 - 1 3 - 5 - - | 4 - 2 4 - 7 - - | 5 - 3 5 - 3 - 2 | 2 - - - #7, - . . ";

  // --- Intro: kick and hats, the bass arriving halfway. ---
  c.Section("intro", "1m 6 3 7");
  c.Beat(kKick, kicks, 4, "k", "kkkkk.k.");
  c.Beat(kHats, hats, 2, ".h.h.h.h", "", 0, 2);
  c.Beat(kHats, hats, 1, "h.hoh.hhh.hoh.hh", "", 2, 2);
  c.Bass(kBass, bass, 31, 1, rolling, 40, 2, 2);
  c.Beat(kClap, claps, 1, "....c.......c...", "....c.......cccC", 2, 2);

  auto groove = [&](bool clapFill) {
    c.Beat(kKick, kicks, 4, "k");
    c.Beat(kClap, claps, 1, "....c.......c..g", clapFill ? "....c...c.c.cCCC" : "");
    c.Beat(kHats, hats, 1, "h.hoh.hhh.hoh.hh");
    c.Sixteenths(kHats, hats, ".x...x...x...x..");
  };

  auto partA = [&]() {
    c.Section("riff", "1m 6 3 7 1m 6 3 7");
    groove(true);
    c.Bass(kBass, bass, 31, 1, rolling, 44);
    c.Chords(pad2, pad, 55, 72, 4, "x", -1, {4, 11});
    // A held tonic in the pad under the riff: the chords pump, the bed stays.
    c.Pedal(kPedal, pad, 55, 30);
    c.Melody(kLead, lead, 4, 1, riff + "| " + riff, 38);
    c.Hit(kKick, 0, 0, crash, 60, 38);
  };
  auto partB = [&](const std::string& name, const std::string& melody, int octave) {
    c.Section(name, "6 7 1m 1m 6 7 3 5");
    groove(true);
    c.Bass(kBass, bass, 31, 1, ". R R R . R 8 R . R R R . 8 R A", 46);
    c.Chords(pad2, pad, 55, 72, 4, "x", -1, {4, 11});
    c.Pedal(kPedal, pad, 62, 30);
    c.Melody(kLead, lead, octave, 2, melody, 44);
  };
  auto breakdown = [&]() {
    c.Section("breakdown", "6 7 3 1m 6 7 4m 5");
    c.SectionLevel(-4.5);
    c.Chords(pad2, pad, 55, 72, 16, "x", -1, {4, 11});
    c.Arp(kLead, lead, 67, 1, "0 2 1 3 2 4 3 5 4 3 2 1 3 2 1 0", 26);
    c.Bass(kBass, bass, 31, 4, "R - - -", 38, 4, 4);
    c.Beat(kHats, hats, 2, ".h.h.h.h", "", 0, 6);
    c.Beat(kClap, claps, 4, "c...c...c...c...", "cccc", 4, 3);
    c.Beat(kClap, claps, 1, "c.c.c.c.cccccCCC", "", 7, 1);
  };
  auto drive = [&]() {
    c.Section("drive", "1m 6 3 7 1m 6 4m 5");
    groove(true);
    c.Bass(kBass, bass, 31, 1, roll16, 42);
    c.Chords(pad2, pad, 55, 72, 4, "x", -1, {4, 11});
    c.Pedal(kPedal, pad, 55, 30);
    c.Melody(kLead, lead, 4, 2,
             "5 . 5 . 6 . 5 . | 3 . 3 . 1 . 3 . | 5 . 5 . 6 . 1' . | 7 - - - 5 - - - | "
             "5 . 5 . 6 . 5 . | 3 . 3 . 1 . 3 . | 4 - 3 - 4 - 6 - | 5 - - - #7, - . . ",
             40);
  };

  partA();
  c.LoopHere();
  partB("hook", hook, 4);
  breakdown();
  // After the breakdown the hook comes back an octave higher.
  partB("hook 2", hook, 5);
  drive();
  partB("last hook", hook, 4);

  c.Echo(kLead, kEcho, echo, 3, 0.4);
  c.Vibrato(kLead, 6, 3, 6, 2);
  (void)kSpare;
  return {c.Build(context.title, context.musician, context.targetBytes), c.Report()};
}
