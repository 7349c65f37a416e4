// The scene table and its whole-table operations.
#include "scenes/scene_table.h"

#include <windows.h>

#include <new>

#include "app/frame_timer.h"
#include "app/random_generator.h"
#include "gfx/graphics_device.h"
#include "scenes/frame_targets.h"
#include "scenes/scene_factories.h"

SceneTable sceneTable = {};

namespace {

// Every texture is sampled with point filtering unless a scene says otherwise.
void ApplyTextureFilteringBaseline() {
  d3dDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
  d3dDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
  d3dDevice->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_POINT);
}

void SeedFromCounter() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  SeedRandom(static_cast<uint32_t>(count.QuadPart));
}

}  // namespace

int CreateScenes() {
  ApplyTextureFilteringBaseline();
  SeedFromCounter();
  for (int slot = 0; slot < SceneTable::kSlotCount; ++slot) sceneTable.slots[slot] = sceneFactories[slot]();
  if (CreateFrameTargets() != 0) return -1;
  for (Scene* scene : sceneTable.slots) {
    if (scene == nullptr) return -1;
  }
  // The show's sequence must not depend on how many numbers the scenes drew while initialising.
  SeedFromCounter();
  return 0;
}

int ResetDevice() {
  for (Scene* scene : sceneTable.slots) scene->Release();
  ReleaseFrameTargets();
  // A device that failed to reset makes the Init calls below fail.
  d3dDevice->Reset(&presentParams);
  ApplyTextureFilteringBaseline();
  int result = 0;
  for (Scene* scene : sceneTable.slots) result |= scene->Init();
  result |= CreateFrameTargets();
  // Neither the reset nor the time away from a full-screen program reaches the next frame.
  UpdateTimer();
  UpdateTimer();
  return result;
}

void DestroyScenes() {
  for (Scene*& scene : sceneTable.slots) {
    delete scene;
    scene = nullptr;
  }
  ReleaseFrameTargets();
}
