// The start-up chain on the headless host: a failing step at any point runs the whole shutdown
// chain and ends the process with -1; a completed start-up ends with 0.
#include <gtest/gtest.h>

#include "../support/headless_program.h"
#include "app/shell_state.h"
#include "bass_test_control.h"
#include "scenes/scene_table.h"

namespace {

using test_support::HeadlessProgram;

// Each fault lets the steps before it run; the shutdown chain must undo exactly what exists.
struct Fault {
  const char* name;
  void (*inject)();
  bool musicLoaded;
};

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

class StartUpFailure : public ::testing::TestWithParam<Fault> {};

TEST_P(StartUpFailure, RunsTheWholeShutdownChainAndExitsWithMinusOne) {
  HeadlessProgram program;
  GetParam().inject();
  int frames = 0;
  EXPECT_EQ(program.Run([&](int, const test_support::FrameView&) { return ++frames < 5; }), -1);
  EXPECT_EQ(frames, 0) << "no frame runs";
  EXPECT_FALSE(program.host().windowCreated()) << "the window is destroyed";
  EXPECT_EQ(program.host().cursorShowCount(), 0) << "the cursor is shown again";
  EXPECT_FALSE(program.host().audioOpen());
  EXPECT_FALSE(bass_test::Initialized());
  EXPECT_TRUE(bass_test::LoadedMusics().empty());
  EXPECT_EQ(d3dDevice, nullptr);
  EXPECT_EQ(direct3D, nullptr);
  for (Scene* scene : sceneTable.slots) EXPECT_EQ(scene, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    StartUp, StartUpFailure,
    ::testing::Values(Fault{"NoSoundDevice", [] { bass_test::SetNoDevice(true); }, false},
                      Fault{"NoDirect3D", [] { d3d8test::SetRuntimeAvailable(false); }, true},
                      Fault{"NoFormatAccepted",
                            [] {
                              for (D3DFORMAT b : {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5}) {
                                for (D3DFORMAT d : {D3DFMT_D32, D3DFMT_D16}) d3d8test::RefuseDisplayFormats(b, d);
                              }
                            },
                            true},
                      Fault{"SceneFails", [] { d3d8test::FailNthCreation(d3d8test::ResourceKind::kTexture, 3); }, true},
                      Fault{"FirstTrackFails", [] { bass_test::FailMusicPlayCall(0); }, true}),
    [](const ::testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });

TEST(StartUp, ACompletedStartUpEndsWithZeroAndActivationBeforeTheLoopNeverResets) {
  HeadlessProgram program;
  int frames = 0;
  EXPECT_EQ(program.Run([&](int, const test_support::FrameView&) {
    ++frames;
    EXPECT_EQ(appActive, 1) << "showing the window activated the program";
    return frames < 3;
  }), 0);
  EXPECT_EQ(frames, 3);
  EXPECT_EQ(program.host().windowTitle(), "Tarnvik Musidisk");
  EXPECT_EQ(program.host().iconWidth(), 32) << "the window carries the program's icon";
  EXPECT_EQ(program.host().cursorShowCount(), 0);
  EXPECT_EQ(d3dDevice, nullptr);
}

TEST(StartUp, AQuitRequestedBeforeTheLoopStillCompletesStartUpAndSkipsTheLoop) {
  HeadlessProgram program;
  quitRequested = 1;
  int frames = 0;
  EXPECT_EQ(program.Run([&](int, const test_support::FrameView&) { return ++frames < 3; }), 0);
  EXPECT_EQ(frames, 0) << "no pass of the loop runs";
  EXPECT_EQ(loopStarted, 1) << "start-up ran to its end";
  EXPECT_EQ(frameTimer.frequency, host::HeadlessHost::kFrequency) << "the frame timer was started";
}

TEST(StartUp, AnInactiveFullScreenProgramRendersNothingAndComesBackWithAReset) {
  HeadlessProgram program;
  std::vector<float> deltas;
  int presentsWhenLeft = -1;
  int idlePolls = 0;
  int presentsWhileAway = 0;
  EXPECT_EQ(program.Run([&](int n, const test_support::FrameView&) {
    deltas.push_back(frameTimer.deltaSeconds);
    if (n == 3) {
      program.host().PushEvent({host::HostEvent::Kind::kActivate, false, 0});
      presentsWhenLeft = program.host().presentCount();
      program.host().SetIdleHandler([&] {
        presentsWhileAway = program.host().presentCount() - presentsWhenLeft;
        if (++idlePolls < 200) return;
        // Fifty seconds later the user comes back.
        program.host().AdvanceCounter(50 * host::HeadlessHost::kFrequency);
        program.host().PushEvent({host::HostEvent::Kind::kActivate, true, 0});
        program.host().SetIdleHandler(nullptr);
      });
    }
    return n < 6;
  }), 0);
  EXPECT_EQ(idlePolls, 200);
  EXPECT_EQ(presentsWhileAway, 0) << "no frames while inactive in full screen";
  ASSERT_EQ(deltas.size(), 7u);
  EXPECT_EQ(deltas[4], 0.0f) << "the reset re-synchronised the timer";
  EXPECT_GT(deltas[5], 0.0f);
}

}  // namespace
