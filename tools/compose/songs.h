// The sixteen pieces of the bank, one composing function each, in bank order.
#pragma once

#include <cstddef>
#include <string>

#include "xm_module.h"

struct SongContext {
  std::string title;     // written to the module's name field
  std::string musician;  // credited in the tracker-name field
  size_t targetBytes;    // exact size of the module file
};

struct SongResult {
  XmModule module;
  std::string report;  // what the composer measured while building
};

using SongFunction = SongResult (*)(const SongContext&);

SongResult ComposeSunbeams(const SongContext& context);
SongResult ComposeLowTide(const SongContext& context);
SongResult ComposeVoltage(const SongContext& context);
SongResult ComposeSlinky(const SongContext& context);
SongResult ComposeDriftwood(const SongContext& context);
SongResult ComposeWaltzing(const SongContext& context);
SongResult ComposeNeonRunner(const SongContext& context);
SongResult ComposePaperKites(const SongContext& context);
SongResult ComposeNorthernLights(const SongContext& context);
SongResult ComposeCoffeeAtNoon(const SongContext& context);
SongResult ComposeLetters(const SongContext& context);
SongResult ComposeMidnightTrain(const SongContext& context);
SongResult ComposeClockworkGarden(const SongContext& context);
SongResult ComposeEchoesOfSummer(const SongContext& context);
SongResult ComposeOneMoreTime(const SongContext& context);
SongResult ComposeJoyride(const SongContext& context);
