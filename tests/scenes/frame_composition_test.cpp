// The order of one frame, the scheduler's clocks and choices, and the device reset, with
// recording scenes in every slot of the table on the headless device.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "../support/headless_program.h"
#include "app/random_generator.h"
#include "scenes/effect_scheduler.h"
#include "scenes/frame_targets.h"
#include "scenes/scene_factories.h"
#include "scenes/scene_table.h"

namespace {

using test_support::HeadlessDevice;

// Which surface a scene drew into.
std::string BoundTarget() {
  IDirect3DSurface8* bound = nullptr;
  d3dDevice->GetRenderTarget(&bound);
  std::string name = "back";
  for (auto [texture, label] : {std::pair{CurrentFrameTexture, "current"}, std::pair{IncomingFrameTexture, "incoming"}}) {
    IDirect3DSurface8* level = nullptr;
    texture->GetSurfaceLevel(0, &level);
    if (level == bound) name = label;
    level->Release();
  }
  bound->Release();
  return name;
}

class RecordingScene : public Scene {
 public:
  RecordingScene(int slot, std::vector<std::string>* log) : slot_(slot), log_(log) {}
  int Init() override {
    ++inits;
    return 0;
  }
  void Release() override { ++releases; }
  void Render() override { log_->push_back(std::to_string(slot_) + ":" + BoundTarget()); }
  int inits = 0;
  int releases = 0;

 private:
  int slot_;
  std::vector<std::string>* log_;
};

class FrameCompositionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(device_.created());
    ASSERT_EQ(CreateFrameTargets(), 0);
    for (int slot = 0; slot < SceneTable::kSlotCount; ++slot) {
      scenes_[slot] = new RecordingScene(slot, &log_);
      sceneTable.slots[slot] = scenes_[slot];
    }
    SeedRandom(1234);
    currentEffect = 1;
    nextEffect = 0;
    holdSeconds = 15.0f;
    transitionSeconds = 0.0f;
    transitionKind = 0;
    sequenceFrozen = 0;
  }
  void TearDown() override { DestroyScenes(); }

  // One frame of `seconds`; returns what was drawn where.
  std::vector<std::string> Frame(double seconds) {
    log_.clear();
    device_.Advance(seconds);
    RunFrame();
    return log_;
  }

  HeadlessDevice device_;
  RecordingScene* scenes_[SceneTable::kSlotCount] = {};
  std::vector<std::string> log_;
};

TEST_F(FrameCompositionTest, DrawsTheEffectOffscreenThenTheOverlaysOnTheBackBuffer) {
  currentEffect = 3;
  EXPECT_EQ(Frame(0.01), (std::vector<std::string>{"3:current", "16:back", "0:back", "17:back"}));
}

TEST_F(FrameCompositionTest, ReflectedEffectsOfATransitionEachGetTheBackdrop) {
  currentEffect = 12;
  nextEffect = 13;
  transitionSeconds = 2.0f;
  EXPECT_EQ(Frame(0.01), (std::vector<std::string>{"15:current", "12:current", "15:incoming", "13:incoming", "16:back",
                                                   "0:back", "17:back"}));
  currentEffect = 2;
  nextEffect = 11;
  transitionSeconds = 2.0f;
  EXPECT_EQ(Frame(0.01),
            (std::vector<std::string>{"2:current", "15:incoming", "11:incoming", "16:back", "0:back", "17:back"}));
}

TEST_F(FrameCompositionTest, TheFirstEffectHoldsFifteenSecondsThenHandsOver) {
  int frames = 0;
  while (transitionSeconds <= 0.0f && frames < 2000) {
    Frame(1.0 / 60);
    ++frames;
  }
  EXPECT_NEAR(frames / 60.0, 15.0, 1.5 / 60);
  EXPECT_EQ(currentEffect, 1);
  EXPECT_NE(nextEffect, 1);
  EXPECT_EQ(transitionSeconds, 4.0f);
  EXPECT_GE(transitionKind, 0);
  EXPECT_LE(transitionKind, 15);
  // The first mixed frame is the next one.
  auto log = Frame(1.0 / 60);
  EXPECT_EQ(log[1], std::to_string(nextEffect >= 11 ? 15 : nextEffect) + ":incoming");
}

TEST_F(FrameCompositionTest, HoldsLastTenToTwentySecondsAndEveryEffectMayFollowAnother) {
  std::map<int, std::set<int>> followers;
  for (int change = 0; change < 2000; ++change) {
    int before = currentEffect;
    holdSeconds = 0.001f;  // hand over at the next frame
    Frame(0.01);
    ASSERT_EQ(transitionSeconds, 4.0f);
    ASSERT_NE(nextEffect, before);
    transitionSeconds = 0.005f;  // and finish the transition in the one after
    Frame(0.01);
    ASSERT_EQ(currentEffect, nextEffect);
    ASSERT_GE(holdSeconds, 10.0f);
    ASSERT_LE(holdSeconds, 20.0f);
    followers[before].insert(currentEffect);
  }
  for (int effect = 1; effect <= 14; ++effect) EXPECT_EQ(followers[effect].size(), 13u) << effect;
}

TEST_F(FrameCompositionTest, FreezingStopsTheHoldButNotARunningTransition) {
  sequenceFrozen = 1;
  Frame(100.0);
  EXPECT_EQ(holdSeconds, 15.0f);
  EXPECT_LE(transitionSeconds, 0.0f);

  sequenceFrozen = 0;
  holdSeconds = 0.5f;
  Frame(1.0);
  ASSERT_EQ(transitionSeconds, 4.0f);
  sequenceFrozen = 1;
  int incoming = nextEffect;
  for (int i = 0; i < 5; ++i) Frame(1.0);
  EXPECT_EQ(currentEffect, incoming) << "the transition completes while frozen";
  float hold = holdSeconds;
  Frame(60.0);
  EXPECT_EQ(holdSeconds, hold);
  EXPECT_EQ(currentEffect, incoming);
}

TEST_F(FrameCompositionTest, AFrameLongerThanTheRestOfATransitionEndsIt) {
  currentEffect = 4;
  nextEffect = 9;
  transitionSeconds = 1.0f;
  auto log = Frame(2.0);
  EXPECT_EQ(log[1], "9:incoming") << "the last mix is still drawn";
  EXPECT_EQ(currentEffect, 9);
  EXPECT_LE(transitionSeconds, 0.0f);
}

TEST_F(FrameCompositionTest, OffScreenEffectsDoNotRender) {
  currentEffect = 5;
  for (const std::string& entry : Frame(0.02)) EXPECT_TRUE(entry.rfind("5:", 0) == 0 || entry.find(":back") != std::string::npos) << entry;
}

TEST_F(FrameCompositionTest, ResetDeviceKeepsTheScenesAndHidesItsOwnDuration) {
  Frame(0.5);
  Scene* before[SceneTable::kSlotCount];
  for (int s = 0; s < SceneTable::kSlotCount; ++s) before[s] = sceneTable.slots[s];
  device_.Advance(30.0);  // time away from a full-screen program
  EXPECT_EQ(ResetDevice(), 0);
  for (int s = 0; s < SceneTable::kSlotCount; ++s) {
    EXPECT_EQ(sceneTable.slots[s], before[s]);
    EXPECT_EQ(scenes_[s]->releases, 1);
    EXPECT_EQ(scenes_[s]->inits, 1);
  }
  Frame(0.0);
  EXPECT_EQ(frameTimer.deltaSeconds, 0.0f);
}

// The real factories: one that fails leaves its slot empty while the later ones still run.
TEST(SceneTableCreation, AFailingFactoryLeavesItsSlotNullAndStartUpFails) {
  HeadlessDevice device;
  ASSERT_TRUE(device.created());
  d3d8test::FailNthCreation(d3d8test::ResourceKind::kVertexBuffer, 1);  // the message panel's first buffer
  EXPECT_EQ(CreateScenes(), -1);
  EXPECT_EQ(sceneTable.slots[0], nullptr);
  for (int s = 1; s < SceneTable::kSlotCount; ++s) EXPECT_NE(sceneTable.slots[s], nullptr) << s;
  DestroyScenes();
  for (Scene* scene : sceneTable.slots) EXPECT_EQ(scene, nullptr);
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0);
}

TEST(SceneTableCreation, SlotsTwoAndTenAreDistinctObjectsOfOneClass) {
  HeadlessDevice device;
  ASSERT_TRUE(device.created());
  ASSERT_EQ(CreateScenes(), 0);
  ASSERT_NE(sceneTable.slots[2], sceneTable.slots[10]);
  EXPECT_EQ(typeid(*sceneTable.slots[2]), typeid(*sceneTable.slots[10]));
  DestroyScenes();
}

}  // namespace
