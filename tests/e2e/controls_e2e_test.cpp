// The real executable in a real X server, used as a user would: the arrow keys change what is
// heard, the hidden sequence plays the hidden track, Alt+Enter switches to a small window and
// back, and a left-button drag moves the window.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "desktop_session.h"
#include "track_openings.h"

namespace {

void Wait(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

class ControlsEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session_.StartServer(1024, 768)) << "Xvfb did not start";
    ASSERT_TRUE(session_.StartProgram());
    auto window = session_.WaitForWindow(60);
    ASSERT_TRUE(window.has_value()) << "no window appeared";
    window_ = *window;
    ASSERT_TRUE(session_.WaitForSize(window_, 1024, 768, 20).has_value());
  }

  void TearDown() override {
    session_.Key(window_, "Escape");
    auto status = session_.WaitForExit(30);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0);
  }

  // The track heard last, once the recording holds more than `seconds` of sound.
  int TrackHeard(double seconds, long* at = nullptr) {
    for (int tries = 0; tries < 300 && session_.Sound().size() < 2 * 44100 * seconds; ++tries) Wait(0.1);
    return openings_.LastStarted(session_.Sound(), at);
  }

  double SoundSeconds() { return session_.Sound().size() / 2 / 44100.0; }

  DesktopSession session_;
  std::string window_;
  TrackOpenings openings_;
};

TEST_F(ControlsEndToEnd, RightPlaysTheNextTrackAndTheHiddenSequencePlaysTrack15) {
  int first = TrackHeard(1.0);
  ASSERT_GE(first, 0);
  ASSERT_LT(first, 15) << "the first track is an ordinary one";

  ASSERT_TRUE(session_.Key(window_, "Right"));
  double pressedAt = SoundSeconds();
  long at = -1;
  EXPECT_EQ(TrackHeard(pressedAt + 1.0, &at), (first + 1) % 15);
  EXPECT_GT(at, 0) << "the new track starts from its beginning after the old one";

  ASSERT_TRUE(session_.Key(window_, "j o v r e l k"));
  EXPECT_EQ(TrackHeard(SoundSeconds() + 1.0), 15);

  // The picture is on the screen, not just the sound.
  int w = 0, h = 0;
  std::vector<uint32_t> screen = session_.Screen(&w, &h);
  ASSERT_EQ(w, 1024);
  EXPECT_GT(MeanBrightness(screen, w, 0, 0, w, h), 5.0);
}

TEST_F(ControlsEndToEnd, AltEnterSwitchesToASmallWindowThatDragsAndBack) {
  ASSERT_TRUE(session_.AltEnter(window_));
  auto small = session_.WaitForSize(window_, 320, 240, 20);
  ASSERT_TRUE(small.has_value());
  ASSERT_EQ(small->width, 320) << "the first window is 320x240";
  EXPECT_EQ(small->x, 1024 / 2 - 160);
  EXPECT_EQ(small->y, 768 / 2 - 120);

  // The back buffer is scaled into the small window: the show appears there (the logo fades in
  // during its first seconds).
  double brightness = 0;
  for (int tries = 0; tries < 100 && brightness <= 5.0; ++tries) {
    Wait(0.1);
    int w = 0, h = 0;
    std::vector<uint32_t> screen = session_.Screen(&w, &h);
    brightness = MeanBrightness(screen, w, small->x, small->y, small->x + 320, small->y + 240);
  }
  EXPECT_GT(brightness, 5.0);

  // A drag with the left button moves the window by the way the cursor went.
  int grabX = small->x + 160, grabY = small->y + 120;
  ASSERT_TRUE(session_.XDoTool("mousemove --sync " + std::to_string(grabX) + " " + std::to_string(grabY) +
                               " mousedown 1 sleep 0.4 mousemove --sync " + std::to_string(grabX + 20) + " " +
                               std::to_string(grabY + 10) + " sleep 0.4 mousemove --sync " +
                               std::to_string(grabX + 60) + " " + std::to_string(grabY + 30) +
                               " sleep 0.4 mouseup 1"));
  Wait(0.5);
  auto moved = session_.Geometry(window_);
  ASSERT_TRUE(moved.has_value());
  EXPECT_EQ(moved->x, small->x + 60);
  EXPECT_EQ(moved->y, small->y + 30);
  EXPECT_EQ(moved->width, 320);

  ASSERT_TRUE(session_.AltEnter(window_));
  auto full = session_.WaitForSize(window_, 1024, 768, 20);
  ASSERT_TRUE(full.has_value());
  EXPECT_EQ(full->width, 1024);
}

}  // namespace
