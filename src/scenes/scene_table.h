// The table of 18 scenes with fixed roles, and the whole-table operations: build at start-up,
// rebuild device resources around a device reset, destroy at exit.
#pragma once

#include "scenes/scene.h"

struct SceneTable {
  static constexpr int kSlotCount = 18;
  // Slot 0 and slots 15..17 are the persistent layers; slots 1..14 the effects the scheduler picks.
  static constexpr int kMessagePanel = 0;
  static constexpr int kFirstEffect = 1;
  static constexpr int kLastEffect = 14;
  // Effects from this slot on are drawn over the backdrop and shown with the water reflection.
  static constexpr int kFirstReflectedEffect = 11;
  static constexpr int kHorizonBackdrop = 15;
  static constexpr int kLogoBanner = 16;
  static constexpr int kNowPlayingTicker = 17;

  Scene* slots[kSlotCount];
};

extern SceneTable sceneTable;

int CreateScenes();
int ResetDevice();
void DestroyScenes();
