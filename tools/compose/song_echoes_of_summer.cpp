// ECHOES OF SUMMER: nostalgic, A major, 104 BPM on an eighth-note grid. Major-seventh chords on
// a warm pad, a lazy beat, a plucked arpeggio, and a soft lead trailed by two echoes, the second
// an echo of the first, fading into the distance.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {

constexpr int kDrums = 0, kHats = 1, kBass = 2, kPadA = 3, kPadB = 4, kLead = 5, kEcho1 = 6, kEcho2 = 7, kPluck = 8,
              kWash = 9, kPedalLow = 10, kPedalHigh = 11;

}  // namespace

SongResult ComposeEchoesOfSummer(const SongContext& context) {
  SongSetup setup;
  setup.channels = 12;
  setup.bpm = 104;
  setup.speed = 12;
  setup.rowsPerBeat = 2;
  setup.key = Key{kA, Mode::kMajor};
  setup.globalVolume = 64;
  setup.volumeScale = 1.194;
  Composer c(setup);

  int kick = c.Add(Instrument("kick", Kick({.rate = 11025, .startHz = 110, .endHz = 48, .sweepSeconds = 0.035,
                                           .decaySeconds = 0.18, .click = 0.1, .drive = 1.3, .lengthSeconds = 0.22}, 161),
                              {}, 50, 128, false));
  int snare = c.Add(Instrument("snare", Snare({.rate = 16000, .toneHz = 180, .toneDecay = 0.05, .noiseDecay = 0.12,
                                              .noiseHighPass = 1500, .noiseShare = 0.75, .lengthSeconds = 0.16}, 162),
                               {}, 40, 132, false));
  int hat = c.Add(Instrument("hat", Hat({.rate = 22050, .decaySeconds = 0.025, .lengthSeconds = 0.05, .highPass = 5500}, 163),
                             {}, 24, 176, false));
  int bass = c.Add(WaveInstrument("warm bass", {WaveKind::kSaw, 0.5, 24, 12}, kNoteC1, kNoteC4 - 1,
                                  AdsrEnvelope(0.01, 0.4, 0.6, 0.12), 44, 128));
  int pad = c.Add(PadInstrument("summer pad", {WaveKind::kSaw, 0.5, 15, 0}, 32, 48, {-1, 0, 1}, AdsrEnvelope(0.5, 0.8, 0.8, 0.8),
                                22, 128, false, 164));
  InstrumentPatch leadPatch = WaveInstrument("lead by ODD", {WaveKind::kPulse, 0.35, 40, 0}, kNoteC4, kNoteC6,
                                           AdsrEnvelope(0.02, 0.3, 0.75, 0.2), 40, 128);
  leadPatch.vibratoDepth = 3;
  leadPatch.vibratoRate = 18;
  leadPatch.vibratoSweep = 0.4;
  int lead = c.Add(leadPatch);
  int echo1 = c.Add(WaveInstrument("first echo", {WaveKind::kPulse, 0.35, 12, 8}, kNoteC4, kNoteC6,
                                   AdsrEnvelope(0.02, 0.3, 0.7, 0.25), 40, 72));
  int echo2 = c.Add(WaveInstrument("far echo", {WaveKind::kTriangle, 0.5, 5}, kNoteC4, kNoteC6, AdsrEnvelope(0.02, 0.3, 0.7, 0.3),
                                   40, 196));
  int pluck = c.Add(Instrument("pluck", PluckTone({WaveKind::kPulse, 0.5, 15, 12}, 0.12, 0.3, 0.02, 165, 32),
                               DecayEnvelope(0.5, 0.08), 28, 150, false));
  int wash = c.AddFitter(
      [](size_t frames) { return Instrument("cymbal wash", Crash(frames, 11025, 166), {}, 20, 110, false); }, 3000, 30000);

  DrumMap kit = {{'k', {kick, 60, 48}}, {'s', {snare, 60, 38}}, {'g', {snare, 60, 16}}};
  DrumMap hats = {{'h', {hat, 60, 32}}, {'H', {hat, 60, 40}}, {'x', {hat, 60, 20}}};
  // The summer pad holds the tonic and its fifth under the moving chords.
  auto pedal = [&](int volume) {
    c.Pedal(kPedalLow, pad, c.CurrentKey().Pitch(0, 0, 3), volume);
    c.Pedal(kPedalHigh, pad, c.CurrentKey().Pitch(4, 0, 3), volume - 6);
  };

  DrumMap washes = {{'w', {wash, 60, 22}}};
  const std::vector<int> pad2 = {kPadA, kPadB};

  // --- Intro: pad and plucks, as if remembered. ---
  c.Section("intro", "1maj7 3m7 4m 5sus4");
  c.SectionLevel(-3.5);
  c.Chords(pad2, pad, 54, 73, 8, "x", -1, {3, 12});
  c.Arp(kPluck, pluck, 57, 1, "0 1 2 3 2 1 2 1", 24);
  c.Beat(kWash, washes, 8, "w");
  pedal(26);

  auto verse = [&](const std::string& name, bool beat) {
    // The first half turns home from the flat seventh, borrowed from the mixolydian; the second
    // darkens the four to minor, its flat six in the tune.
    c.Section(name, "1maj7 3m7 4maj7 b7 1maj7 3m7 4m 5sus4");
    c.Chords(pad2, pad, 54, 73, 8, "x", -1, {3, 12});
    c.Bass(kBass, bass, 33, 1, "R - - R - - 5 A", 38);
    pedal(beat ? 32 : 28);
    c.Melody(kLead, lead, 4, 1,
             "5 - - 3 - - 1 - | 3 - - 5 - - 7 - | 6 - - 4 - - 3 - | 2 - - - - - . . | "
             "5 - - 3 - - 1 - | 3 - - 5 - - 7 - | b6 - - 1' - - 4' - | 2' - - - 1' - . . ",
             40);
    if (beat) {
      c.Beat(kDrums, kit, 1, "k . s . . k s .", "k . s . s s S s");
      c.Sixteenths(kHats, hats, "h..xH.h.h.x.H..x");
      c.Arp(kPluck, pluck, 57, 1, "0 1 2 3 2 1 2 1", 22);
    } else {
      c.Beat(kDrums, kit, 1, "k . . . . k . .", "k . . . s . s s");
    }
  };
  auto chorus = [&](const std::string& name, int octave, const Key& key) {
    // The chorus climbs home through the flat six and flat seven.
    c.Section(name, "4maj7 5 6m 6m 4maj7 5 b6 b7", key);
    c.Chords(pad2, pad, 54, 73, 4, "x -", -1, {3, 12});
    c.Bass(kBass, bass, 33, 1, "R - - R - - 8 A", 40);
    c.Beat(kDrums, kit, 1, "k . s . . k s .", "k . s . s s S S");
    c.Sixteenths(kHats, hats, "h.h.H..xh.h.H.x.");
    c.Arp(kPluck, pluck, 57, 1, "0 2 1 3 2 4 3 1", 24);
    pedal(32);
    c.Melody(kLead, lead, octave, 1,
             "3 - - 2 1 - 6, - | 5, - - 7, 2 - - - | 3 - - 2 3 - 5 - | 3 - - - - - . . | "
             "3 - - 2 1 - 6, - | 5, - - 7, 2 - 4 - | 1 - - - b6, - 1 - | 2 - - - - - . . ",
             42);
    c.Beat(kWash, washes, 8, "w . . . . . . .");
  };
  auto bridge = [&]() {
    // The bridge turns to the home key's own minor over the same held tonic and fifth.
    c.Section("bridge", "1m 6 3 7 1m 6 4m 5", Key{kA, Mode::kMinor});
    c.SectionLevel(-2.5);
    c.Chords(pad2, pad, 54, 73, 8, "x", -1, {3, 12});
    c.Bass(kBass, bass, 33, 4, "R - 5 -", 40);
    pedal(28);
    c.Beat(kHats, hats, 1, "h . H . h . H .");
    c.Beat(kDrums, kit, 1, "k . . . s . . .", "k . s . s s S S");
    c.Melody(kLead, lead, 4, 1,
             "1 - - - 3 - 5 - | 6 - - - 1' - 6 - | 5 - - - 3 - - - | 2 - - - - - . . | "
             "1 - - - 3 - 5 - | 6 - - - 1' - 6 - | 4 - - - 6 - 1' - | #7 - - - - - . . ",
             40);
  };

  verse("verse", false);
  c.LoopHere();
  chorus("chorus", 4, setup.key);
  verse("verse 2", true);
  // The second chorus is sung an octave up; the third returns, and the last rises again, a
  // half step higher, in B flat; the loop drops back to A.
  chorus("chorus 2", 5, setup.key);
  bridge();
  chorus("chorus 3", 4, setup.key);
  chorus("chorus 4", 5, setup.key.Transposed(1));

  // Hats and pluck swing their off-beats a quarter of an eighth late.
  c.Swing(kHats, 1, 3);
  c.Swing(kPluck, 1, 3);
  // Downbeats after a held note are led into from a half step below.
  c.ChromaticApproach(kLead, 0.8);
  c.Echo(kLead, kEcho1, echo1, 3, 0.5);
  c.Echo(kEcho1, kEcho2, echo2, 3, 0.6);
  c.Vibrato(kLead, 4, 2, 4, 2);
  return {c.Build(context.title, context.musician, context.targetBytes), c.Report()};
}
