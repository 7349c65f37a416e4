// DRIFTWOOD: ambient in E-flat lydian, 90 BPM on an eighth-note grid. A slow glassy pad, music-box
// bells with a long echo, a sine bass and an ocarina-like lead; the beat is a heartbeat.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {

constexpr int kDrums = 0, kShaker = 1, kBass = 2, kPadA = 3, kPadB = 4, kPadC = 5, kBell = 6, kBellEcho = 7, kLead = 8,
              kLeadEcho = 9, kPedalLow = 10, kPedalHigh = 11;

}  // namespace

SongResult ComposeDriftwood(const SongContext& context) {
  SongSetup setup;
  setup.channels = 12;
  setup.bpm = 90;
  setup.speed = 12;
  setup.rowsPerBeat = 2;
  setup.key = Key{kEb, Mode::kLydian};
  setup.globalVolume = 64;
  setup.volumeScale = 1.265;
  Composer c(setup);

  int kick = c.Add(Instrument("heartbeat", Kick({.rate = 11025, .startHz = 90, .endHz = 44, .sweepSeconds = 0.04,
                                                 .decaySeconds = 0.3, .click = 0.05, .drive = 1.1, .lengthSeconds = 0.3}, 71),
                              {}, 44, 128, false));
  int rim = c.Add(Instrument("wood", Tick(22050, 900, 72), {}, 26, 90, false));
  int shaker = c.Add(Instrument("shaker", Shaker(16000, 73), {}, 20, 170, false));
  int bass = c.Add(WaveInstrument("sine bass", {WaveKind::kSine, 0.5, 1}, kNoteC1, kNoteC3, AdsrEnvelope(0.08, 0.5, 0.8, 0.6),
                                  46, 128));
  int pad = c.Add(PadInstrument("glass pad", {WaveKind::kSaw, 0.5, 15, 16}, 32, 128, {-1, 0, 1, 2}, AdsrEnvelope(1.6, 1.5, 0.8, 2.0),
                                24, 128, false, 74));
  int bell = c.Add(Instrument("music box", BellTone(0.7, 75, 128), DecayEnvelope(2.5, 0.6), 34, 150, false));
  // The echo answers in pure sine pings, darker than the bell itself.
  int bellEcho = c.Add(WaveInstrument("box echo", {WaveKind::kSine, 0.5, 1}, kNoteC4, kNoteC7, DecayEnvelope(1.2, 0.6), 34, 90));
  InstrumentPatch leadPatch = WaveInstrument("ocarina by ODD", {WaveKind::kSine, 0.5, 1}, kNoteC4, kNoteC6,
                                           AdsrEnvelope(0.12, 0.4, 0.85, 0.5), 42, 128);
  leadPatch.vibratoDepth = 5;
  leadPatch.vibratoRate = 14;
  leadPatch.vibratoSweep = 0.8;
  int lead = c.Add(leadPatch);
  int leadEcho = c.Add(WaveInstrument("ocarina echo", {WaveKind::kTriangle, 0.5, 5, 2}, kNoteC4, kNoteC6,
                                      AdsrEnvelope(0.12, 0.4, 0.8, 0.6), 42, 80));
  int wind = c.AddFitter(
      [](size_t frames) { return Instrument("tide wash", Surf(frames, 4000, 1100, 77), {}, 40, 170, false); }, 4000, 40000);

  DrumMap beat = {{'k', {kick, 60, 44}}, {'r', {rim, 60, 24}}, {'w', {wind, 60, 40}}};
  DrumMap shake = {{'h', {shaker, 60, 24}}, {'H', {shaker, 60, 32}}, {'x', {shaker, 60, 16}}};
  // The glass pad holds home's tonic and fifth under the moving chords, wherever they go.
  auto pedal = [&](int volume) {
    c.Pedal(kPedalLow, pad, setup.key.Pitch(0, 0, 3), volume);
    c.Pedal(kPedalHigh, pad, setup.key.Pitch(4, 0, 3), volume - 6);
  };

  const std::vector<int> pad3 = {kPadA, kPadB, kPadC};
  const std::vector<int> pans = {3, 8, 12};

  // The calm borrows the drift's colours before it comes: G flat (the tune's C its sharp
  // eleven) and D flat, the flat seven, with the tune's A lowered to A flat over it.
  const std::string calm = "1maj7 2 1maj7 b3 1maj7 b7 1maj7 b7";

  // --- Intro: the pad rises, a wash, the first bells. ---
  c.Section("intro", "1maj7 2 1maj7 2");
  c.Chords(pad3, pad, 55, 74, 8, "x", -1, pans);
  c.Hit(kDrums, 0, 0, wind, 60, 40);
  c.Arp(kBell, bell, 75, 1, "0 - 2 - 1 - 3 - 4 - - - 2 - - -", 30, 2, 2);
  pedal(30);

  // The second calm turns for a bar to A flat, the four of plain E flat major, its seventh the
  // melody's G: the Lydian brightness clouds over for a moment.
  const std::string calm2 = "1maj7 2 1maj7 b3 1maj7 b7 b4maj7 b7";

  auto calmPart = [&](const std::string& name, const std::string& chart, bool withBeat) {
    c.Section(name, chart);
    pedal(withBeat ? 40 : 34);
    c.Chords(pad3, pad, 55, 74, 8, "x", -1, pans);
    c.Bass(kBass, bass, 27, 8, "R", 36);
    c.Arp(kBell, bell, 75, 1, "0 - 2 - 1 - 3 - 4 - - - 2 - - -", 42);
    c.Melody(kLead, lead, 4, 1,
             "5 - - - - - 3 - | 2 - - - 4 - - - | 5 - - - 7 - - - | 6 - - - - - . . | "
             "5 - - - 3 - 5 - | 6 - - - b4 - 2 - | 3 - - - 2 - 1 - | 2 - - - - - . . ",
             40);
    if (withBeat) {
      c.Beat(kDrums, beat, 1, "k . . . r . . . | . . w . r . . .", "k . . . r . r r");
      c.Sixteenths(kShaker, shake, "h..xH.h.h.x.H..x");
    } else {
      c.Hit(kDrums, 0, 0, wind, 60, 36);
    }
  };

  // The glow's three turns major, the dominant of the C minor before it, its B natural in the
  // line as well.
  auto glow = [&](const std::string& name) {
    c.Section(name, "6m7 37 2 5 6m7 37 2 5");
    c.Chords(pad3, pad, 55, 74, 8, "x", -1, pans);
    c.Bass(kBass, bass, 27, 4, "R 5", 36);
    c.Arp(kBell, bell, 70, 1, "2 - 4 - 3 - 5 - 4 - 2 - 3 - 1 -", 40);
    c.Melody(kLead, lead, 4, 1,
             "3 - - - 5 - - - | #5 - - - 7 - - - | 6 - - - 4 - 2 - | 5, - - - - - . . | "
             "1' - - - 7 - 5 - | 7 - - - #5 - 3 - | 4 - - - 6 - - - | 7 - - - - - . . ",
             42);
    c.Beat(kDrums, beat, 1, "k . . . r . . k | . . w . r . . k", "k . . . r . r r");
    c.Sixteenths(kShaker, shake, "h.h.H..xh.h.H.x.");
    pedal(40);
  };

  auto rise = [&]() {
    // The rise leans on G major, the dominant of C minor, twice.
    c.Section("rise", "1maj9 2 37 6m7 1maj9 2 37 5sus4");
    c.Chords(pad3, pad, 57, 77, 8, "x", -1, pans);
    c.Bass(kBass, bass, 27, 4, "R 5", 36);
    c.Arp(kBell, bell, 75, 1, "0 2 1 3 2 4 3 5 4 - 3 - 2 - 1 -", 40);
    c.Melody(kLead, lead, 4, 1,
             "7 - - - - - 5 - | 6 - - - - - 4 - | #5 - - - - - 3 - | 3 - - - - - . . | "
             "7 - - - - - 1' - | 2' - - - - - 1' - | 7 - - - #5 - 3 - | 4 - - - - - . . ",
             42);
    c.Beat(kDrums, beat, 1, "k . . . r . . k | . . w . r . . k", "k . r . r r r r");
    c.Sixteenths(kShaker, shake, "h..xH.h.h..xH.hx");
    pedal(40);
  };

  auto drift = [&]() {
    // The drift floats a minor third away, in G flat Lydian, and the glow finds home again.
    c.Section("drift", "1maj7 2 6m7 5sus4 1maj7 2 6m7 5", setup.key.Transposed(3));
    c.Chords(pad3, pad, 55, 74, 8, "x", -1, pans);
    c.Bass(kBass, bass, 27, 8, "R", 40, 4, 4);
    c.Arp(kBell, bell, 82, 2, "0 - 1 - 2 - 1 -", 26);
    c.Hit(kDrums, 0, 0, wind, 60, 40);
    c.Hit(kDrums, 4, 0, wind, 60, 34);
    // Home's E flat and B flat hold under it: the sixth and third of G flat, the fifth and
    // root of its E flat minor.
    pedal(34);
  };

  calmPart("calm", calm, false);
  c.LoopHere();
  glow("glow");
  calmPart("calm 2", calm2, true);
  rise();
  drift();
  glow("glow 2");

  // The shaker swings its off-beats a quarter of an eighth late.
  c.Swing(kShaker, 1, 3);
  // Downbeats after a held note are led into from a half step below.
  c.ChromaticApproach(kLead, 0.8);
  // Whole steps from a held note pass through the half step between.
  c.PassingNotes(kLead, 0.7);
  c.Echo(kBell, kBellEcho, bellEcho, 3, 0.35);
  c.Echo(kLead, kLeadEcho, leadEcho, 4, 0.4);
  c.Vibrato(kLead, 4, 2, 3, 3);
  return {c.Build(context.title, context.musician, context.targetBytes), c.Report()};
}
