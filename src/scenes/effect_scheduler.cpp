// The effect scheduler and the composition of one frame.
#include "scenes/effect_scheduler.h"

#include "app/frame_timer.h"
#include "app/input_poll.h"
#include "app/random_generator.h"
#include "app/shell_state.h"
#include "gfx/graphics_device.h"
#include "scenes/frame_targets.h"
#include "scenes/scene_table.h"
#include "scenes/transition_patterns.h"

int currentEffect = 1;
int nextEffect = 0;
float holdSeconds = 15.0f;
float transitionSeconds = 0.0f;
int transitionKind = 0;
unsigned char sequenceFrozen = 0;

namespace {

constexpr float kTransitionLength = 4.0f;
// An effect is held for 10 s plus up to 10 s more.
constexpr float kMinHold = 10.0f;
constexpr float kHoldRange = 10.0f;
constexpr int kEffectCount = SceneTable::kLastEffect;  // slots 1..14
constexpr int kTransitionKindMask = 15;

bool IsReflected(int slot) { return slot >= SceneTable::kFirstReflectedEffect; }

void ClearTargetAndDepth() { d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0); }

// Draws an effect, over the backdrop when it belongs to the reflected group, into the target
// selected by the caller.
void RenderEffect(int slot) {
  if (IsReflected(slot)) sceneTable.slots[SceneTable::kHorizonBackdrop]->Render();
  sceneTable.slots[slot]->Render();
}

void RunTransitionStep() {
  BeginIncomingFrame();
  ClearTargetAndDepth();
  RenderEffect(nextEffect);
  float progress = transitionSeconds / kTransitionLength;
  if (IsReflected(nextEffect)) {
    DrawTransitionReflected(static_cast<unsigned>(transitionKind), progress);
  } else {
    DrawTransitionPlain(static_cast<unsigned>(transitionKind), progress);
  }
  transitionSeconds -= frameTimer.deltaSeconds;
  if (transitionSeconds <= 0.0f) {
    currentEffect = nextEffect;
    int r = NextRandom();
    holdSeconds = static_cast<float>(r) * kHoldRange / 32767.0f + kMinHold;
  }
}

void RunHoldStep() {
  holdSeconds -= frameTimer.deltaSeconds;
  if (holdSeconds > 0.0f) return;
  do {
    nextEffect = NextRandom() % kEffectCount + 1;
  } while (nextEffect == currentEffect);
  transitionSeconds = kTransitionLength;
  transitionKind = NextRandom() & kTransitionKindMask;
}

}  // namespace

void RunFrame() {
  UpdateTimer();
  d3dDevice->BeginScene();

  BeginCurrentFrame();
  ClearTargetAndDepth();
  RenderEffect(currentEffect);
  if (IsReflected(currentEffect)) {
    PresentReflectedFrame();
  } else {
    PresentPlainFrame();
  }

  if (transitionSeconds > 0.0f) {
    RunTransitionStep();
  } else if (sequenceFrozen != 1) {
    RunHoldStep();
  }

  // The overlays start from a fresh depth buffer over the finished picture.
  d3dDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
  sceneTable.slots[SceneTable::kLogoBanner]->Render();
  sceneTable.slots[SceneTable::kMessagePanel]->Render();
  sceneTable.slots[SceneTable::kNowPlayingTicker]->Render();

  d3dDevice->EndScene();
  d3dDevice->Present(nullptr, nullptr, nullptr, nullptr);
  if (appActive != 0) PollInput();
}
