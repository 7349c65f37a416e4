// The frame timer: 16.16 arithmetic, carried remainder, re-synchronisation and the long-gap clamp.
#include "app/frame_timer.h"

#include <gtest/gtest.h>

#include "platform/host/headless_host.h"

namespace {

class FrameTimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host::SetActiveHost(&host_);
    host_.SetCounter(123456789);
    StartTimer();
  }
  void TearDown() override { host::SetActiveHost(nullptr); }
  host::HeadlessHost host_;
};

TEST_F(FrameTimerTest, StartsAtZeroAndMeasuresWholeSteps) {
  EXPECT_EQ(frameTimer.deltaSeconds, 0.0f);
  host_.AdvanceCounter(host::HeadlessHost::kFrequency / 4);
  UpdateTimer();
  EXPECT_EQ(frameTimer.deltaSeconds, 0.25f);
}

TEST_F(FrameTimerTest, CarriesTheRemainderSoThatNothingDrifts) {
  // 60 frames a second for ten minutes, each frame one 60th of the counter frequency, rounded as
  // a real clock would deliver it.
  double handedOut = 0;
  int64_t ticks = 0;
  const int frames = 60 * 600;
  for (int i = 1; i <= frames; ++i) {
    int64_t next = host::HeadlessHost::kFrequency * i / 60;
    host_.AdvanceCounter(next - ticks);
    ticks = next;
    UpdateTimer();
    handedOut += frameTimer.deltaSeconds;
  }
  // Only the last partial step is still owed.
  EXPECT_NEAR(handedOut, 600.0, 1.0 / 65536);
}

TEST_F(FrameTimerTest, ShortIntervalsAccumulateIntoTheNextUpdate) {
  const int64_t lessThanAStep = host::HeadlessHost::kFrequency / 65536 / 2;
  host_.AdvanceCounter(lessThanAStep);
  UpdateTimer();
  EXPECT_EQ(frameTimer.deltaSeconds, 0.0f);
  host_.AdvanceCounter(lessThanAStep * 3);
  UpdateTimer();
  EXPECT_GT(frameTimer.deltaSeconds, 0.0f);
}

TEST_F(FrameTimerTest, TwoUpdatesInARowHideTheGap) {
  host_.AdvanceCounter(host::HeadlessHost::kFrequency * 30);
  UpdateTimer();
  UpdateTimer();
  EXPECT_EQ(frameTimer.deltaSeconds, 0.0f);
}

TEST_F(FrameTimerTest, AGapTooLongForTheQuotientIsClampedAndForgotten) {
  host_.AdvanceCounter(host::HeadlessHost::kFrequency * 70000);  // more than 65536 s
  UpdateTimer();
  EXPECT_NEAR(frameTimer.deltaSeconds, 65536.0f, 1.0f);
  host_.AdvanceCounter(host::HeadlessHost::kFrequency / 2);
  UpdateTimer();
  EXPECT_EQ(frameTimer.deltaSeconds, 0.5f);
}

}  // namespace
