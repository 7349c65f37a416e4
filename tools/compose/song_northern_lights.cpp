// NORTHERN LIGHTS: spacey and slow, B minor, 96 BPM in half time on an eighth-note grid. A thin
// pulse arpeggio shimmers against its echo across the stereo field, a slow-blooming lead
// drifts over deep sub bass, and a clap with a long tail marks the wide-open backbeat.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {

constexpr int kDrums = 0, kHats = 1, kBass = 2, kPadA = 3, kPadB = 4, kArp = 5, kArpEcho = 6, kLead = 7, kPedalLow = 8,
              kPedalHigh = 9;
constexpr double kClapRate = 16000;

}  // namespace

SongResult ComposeNorthernLights(const SongContext& context) {
  SongSetup setup;
  setup.channels = 10;
  setup.bpm = 96;
  setup.speed = 12;
  setup.rowsPerBeat = 2;
  setup.key = Key{kB, Mode::kMinor};
  setup.globalVolume = 64;
  setup.volumeScale = 1.285;
  setup.limitVolumes = true;
  Composer c(setup);

  int kick = c.Add(Instrument("deep kick", Kick({.rate = 11025, .startHz = 120, .endHz = 40, .sweepSeconds = 0.05,
                                                 .decaySeconds = 0.3, .click = 0.15, .drive = 1.5, .lengthSeconds = 0.3}, 111),
                              {}, 54, 128, false));
  int hat = c.Add(Instrument("hat", Hat({.rate = 33452, .decaySeconds = 0.02, .lengthSeconds = 0.04}, 112), {}, 26, 190, false));
  int bass = c.Add(WaveInstrument("sub bass", {WaveKind::kTriangle, 0.5, 5, 2}, kNoteC1, kNoteC3, AdsrEnvelope(0.03, 0.6, 0.8, 0.4),
                                  48, 128));
  int pad = c.Add(PadInstrument("aurora pad", {WaveKind::kSaw, 0.5, 15, 8}, 32, 96, {-1, 0, 1}, AdsrEnvelope(2.0, 1.5, 0.75, 2.0),
                                22, 128, false, 113));
  int arp = c.Add(WaveInstrument("shimmer", {WaveKind::kPulse, 0.125, 40}, kNoteC5, kNoteC7, DecayEnvelope(0.5, 0.1), 24, 50));
  int arpEcho = c.Add(WaveInstrument("shimmer echo", {WaveKind::kPulse, 0.25, 20, 12}, kNoteC5, kNoteC7, DecayEnvelope(0.6, 0.1),
                                     24, 206));
  InstrumentPatch leadPatch = WaveInstrument("aurora by ODD", {WaveKind::kSaw, 0.5, 20, 8}, kNoteC4, kNoteC7,
                                           AdsrEnvelope(0.35, 0.5, 0.8, 0.8), 40, 128);
  leadPatch.vibratoDepth = 6;
  leadPatch.vibratoRate = 12;
  leadPatch.vibratoSweep = 1.0;
  int lead = c.Add(leadPatch);
  // The backbeat clap rings out for whatever length the module's spare bytes allow.
  int clap = c.AddFitter(
      [](size_t frames) {
        double tail = ((static_cast<double>(frames) + 0.5) / kClapRate - 0.03) / 4.0;
        return Instrument("space clap", Clap(kClapRate, tail, 114), {}, 44, 120, false);
      },
      3000, 14000);

  DrumMap kit = {{'k', {kick, 60, 54}}, {'c', {clap, 60, 40}}, {'g', {clap, 60, 18}}};
  DrumMap hats = {{'h', {hat, 60, 26}}, {'H', {hat, 60, 36}}, {'x', {hat, 60, 16}}};
  // The aurora pad holds the tonic and its fifth under the moving chords.
  // It keeps home's B and F sharp wherever the song goes: under the second glow, in C sharp
  // minor, they are that key's seventh and four, and its own B chord's root and fifth.
  auto pedal = [&](int volume) {
    c.Pedal(kPedalLow, pad, setup.key.Pitch(0, 0, 3), volume);
    c.Pedal(kPedalHigh, pad, setup.key.Pitch(4, 0, 3), volume - 6);
  };

  const std::vector<int> pad2 = {kPadA, kPadB};

  // --- Intro: the sky opens. ---
  c.Section("intro", "1m 6maj7 4m 5m");
  c.SectionLevel(-4);
  c.Chords(pad2, pad, 50, 69, 8, "x", -1, {2, 13});
  c.Arp(kArp, arp, 66, 1, "0 1 2 3 4 3 2 1", 22, 1, 3);

  auto calm = [&](const std::string& name, const std::string& tune, bool drums) {
    // The harmonic minor's major dominant closes each half.
    c.Section(name, "1m 6maj7 4m 5 1m 6maj7 4m 5");
    c.Chords(pad2, pad, 50, 69, 8, "x", -1, {2, 13});
    c.Arp(kArp, arp, 66, 1, "0 1 2 3 4 3 2 1", 22);
    c.Bass(kBass, bass, 35, 2, "R - - R", 32);
    c.Melody(kLead, lead, 4, 1, tune, 40);
    pedal(34);
    if (drums) {
      c.Beat(kDrums, kit, 1, "k . . . c . . .", "k . . . c . g c");
      c.Sixteenths(kHats, hats, "h.hxH.h.h..xH.hx");
    }
  };
  const std::string tuneA =
      "1 - - - 2 - 3 - | 5, - - - - - . . | 4, - - - 6, - 1 - | 2 - - - - - . . | "
      "3 - - - 2 - 1 - | 5, - - - - - . . | 6, - - - 1 - 3 - | 2 - - - - - . . ";
  const std::string tuneA2 =
      "5 - - - 4 - 3 - | 5, - - - - - . . | 4 - - - 3 - 1 - | 2 - - - - - . . | "
      "3 - - - 2 - 1 - | 5 - - - - - . . | 6 - - - 5 - 3 - | 2 - - - - - . . ";

  auto glow = [&](const std::string& name, int octave, const Key& key) {
    c.Section(name, "3 7 6maj7 6maj7 3 7 4m 5sus4", key);
    c.Chords(pad2, pad, 50, 69, 8, "x", -1, {2, 13});
    c.Arp(kArp, arp, 62, 1, "0 2 1 3 2 4 3 1", 22);
    c.Bass(kBass, bass, 35, 2, "R - 5 -", 32);
    c.Beat(kDrums, kit, 1, "k . . . c . . k", "k . . . c . c c");
    c.Sixteenths(kHats, hats, "h..xH.h.h.x.H..x");
    pedal(36);
    c.Melody(kLead, lead, octave, 1,
             "5 - - - 3 - - - | 2 - - - 4 - - - | 3 - - - 5, - - - | 1 - - - - - . . | "
             "5 - - - 3 - 5 - | 4 - - - 2 - - - | 1 - - - 6, - - - | 2 - - - - - . . ",
             42);
  };

  auto heights = [&]() {
    c.Section("heights", "6maj7 7 1m 1m 6maj7 7 5 5");
    c.SectionLevel(-2);
    c.Chords(pad2, pad, 50, 69, 8, "x", -1, {2, 13});
    c.Arp(kArp, arp, 71, 2, "0 1 2 1", 20);
    c.Bass(kBass, bass, 35, 8, "R", 30);
    pedal(30);
    c.Melody(kLead, lead, 5, 1,
             "3 - - - - - - - | 4 - - - - - - - | 5 - - - 4 - 3 - | 1 - - - - - . . | "
             "3 - - - 5 - - - | 4 - - - 2 - - - | 2 - - - - - #6, - | 2 - - - - - . . ",
             40);
  };

  calm("calm", tuneA, false);
  c.LoopHere();
  // The first glow rises an octave above the calm; the second stays below it.
  glow("glow", 5, setup.key);
  calm("calm 2", tuneA2, true);
  heights();
  // The second glow shines a tone higher, in C sharp minor; the loop comes back down to B.
  glow("glow 2", 4, setup.key.Transposed(2));

  // The hats swing their off-beats a quarter of an eighth late.
  c.Swing(kHats, 1, 3);
  // Downbeats after a held note are led into from a half step below.
  c.ChromaticApproach(kLead, 0.8);
  // Whole steps from a held note pass through the half step between.
  c.PassingNotes(kLead, 0.7);
  c.Echo(kArp, kArpEcho, arpEcho, 3, 0.6);
  c.Vibrato(kLead, 6, 3, 3, 4);
  return {c.Build(context.title, context.musician, context.targetBytes), c.Report()};
}
