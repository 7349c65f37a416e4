// Temporary stand-ins while the bank is being written.
#include "composer.h"
#include "recipes.h"
#include "songs.h"

namespace {
SongResult Pending(const SongContext& context) {
  SongSetup setup;
  setup.channels = 4;
  Composer c(setup);
  int lead = c.Add(WaveInstrument("lead", {WaveKind::kSaw, 0.5, 20}, kNoteC3, kNoteC6, AdsrEnvelope(0.01, 0.2, 0.7, 0.2), 40, 128));
  c.AddFitter([](size_t frames) { return Instrument("fill", Crash(frames, 22050, 1), {}, 30, 128, false); }, 100, 200000);
  c.Section("a", "1 5 6m 4");
  c.LoopHere();
  c.Melody(0, lead, 4, 4, "1 3 5 3 | 5 - - - | 6 - 5 - | 4 - - -", 40);
  return {c.Build(context.title, context.musician, context.targetBytes), c.Report()};
}
}  // namespace

SongResult ComposeLowTide(const SongContext& c) { return Pending(c); }
SongResult ComposeVoltage(const SongContext& c) { return Pending(c); }
SongResult ComposeSlinky(const SongContext& c) { return Pending(c); }
SongResult ComposeDriftwood(const SongContext& c) { return Pending(c); }
SongResult ComposeWaltzing(const SongContext& c) { return Pending(c); }
SongResult ComposeNeonRunner(const SongContext& c) { return Pending(c); }
SongResult ComposePaperKites(const SongContext& c) { return Pending(c); }
SongResult ComposeNorthernLights(const SongContext& c) { return Pending(c); }
SongResult ComposeCoffeeAtNoon(const SongContext& c) { return Pending(c); }
SongResult ComposeLetters(const SongContext& c) { return Pending(c); }
SongResult ComposeMidnightTrain(const SongContext& c) { return Pending(c); }
SongResult ComposeClockworkGarden(const SongContext& c) { return Pending(c); }
SongResult ComposeEchoesOfSummer(const SongContext& c) { return Pending(c); }
SongResult ComposeOneMoreTime(const SongContext& c) { return Pending(c); }
SongResult ComposeJoyride(const SongContext& c) { return Pending(c); }
