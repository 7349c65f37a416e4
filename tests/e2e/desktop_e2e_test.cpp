// The real executable in a real X server, as a desktop user meets it: keys the program does not
// act on still count as held, the start options, the window's frame and letterboxing, and how it
// ends on signals and when the display goes away.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <thread>

#include "desktop_session.h"
#include "track_openings.h"

namespace {

void Wait(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

constexpr char kDisplayLost[] = "Tarnvik Musidisk: the display connection was lost\n";

bool HasSanitizerReport(const std::string& errors) {
  return errors.find("Sanitizer") != std::string::npos || errors.find("runtime error") != std::string::npos;
}

class DesktopEndToEnd : public ::testing::Test {
 protected:
  // Starts the program with `arguments` on a 1024x768 screen and waits for its window.
  void Start(const std::vector<std::string>& arguments, const std::string& audioDriver = "disk") {
    ASSERT_TRUE(session_.StartServer(1024, 768)) << "Xvfb did not start";
    ASSERT_TRUE(session_.StartProgram(arguments, audioDriver));
    auto window = session_.WaitForWindow(60);
    ASSERT_TRUE(window.has_value()) << "no window appeared";
    window_ = *window;
  }

  void QuitWithEscape() {
    session_.Key(window_, "Escape");
    auto status = session_.WaitForExit(30);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0);
  }

  // The track heard last once the recording holds more than `seconds` of sound.
  int TrackHeard(double seconds) {
    for (int tries = 0; tries < 300 && session_.Sound().size() < 2 * 44100 * seconds; ++tries) Wait(0.1);
    return openings_.LastStarted(session_.Sound());
  }
  double SoundSeconds() { return session_.Sound().size() / 2 / 44100.0; }

  DesktopSession session_;
  std::string window_;
  TrackOpenings openings_;
};

TEST_F(DesktopEndToEnd, AnArrowOrASequenceLetterTogetherWithAnyOtherKeyDoesNothing) {
  ASSERT_NO_FATAL_FAILURE(Start({"--track", "1"}));
  ASSERT_EQ(TrackHeard(1.0), 0) << "--track 1 starts the first track";

  // Right with '.' held: two keys down, so no track change.
  ASSERT_TRUE(session_.XDoTool("windowfocus --sync " + window_ + " keydown period sleep 0.3 key Right sleep 0.3 keyup period"));
  EXPECT_EQ(TrackHeard(SoundSeconds() + 1.0), 0);

  // A '-' inside the hidden sequence restarts it.
  ASSERT_TRUE(session_.Key(window_, "j o v minus r e l k"));
  EXPECT_EQ(TrackHeard(SoundSeconds() + 1.0), 0);

  // The sequence typed cleanly still works, so the two above were refused, not missed.
  ASSERT_TRUE(session_.Key(window_, "j o v r e l k"));
  EXPECT_EQ(TrackHeard(SoundSeconds() + 1.0), 15);
  QuitWithEscape();
}

TEST_F(DesktopEndToEnd, StartsWindowedOnTheChosenTrackInAFrameThatLetterboxes) {
  ASSERT_NO_FATAL_FAILURE(Start({"--windowed", "--track", "3"}));
  auto small = session_.WaitForSize(window_, 320, 240, 20);
  ASSERT_TRUE(small.has_value());
  EXPECT_EQ(small->width, 320) << "--windowed opens the first window as Alt+Enter does";
  EXPECT_EQ(small->x, 1024 / 2 - 160);
  EXPECT_EQ(small->y, 768 / 2 - 120);
  EXPECT_EQ(TrackHeard(1.0), 2);

  // A wide window: the 4:3 picture sits in the middle of the client area with black bars beside
  // it, all inside a 4-pixel frame whose outer line is the border.
  ASSERT_TRUE(session_.XDoTool("windowsize --sync " + window_ + " 700 400"));
  auto wide = session_.WaitForSize(window_, 700, 400, 20);
  ASSERT_TRUE(wide.has_value());
  const int frame = 4, clientW = 700 - 2 * frame, clientH = 400 - 2 * frame;
  const int pictureW = clientH * 4 / 3, bar = (clientW - pictureW) / 2;
  double picture = 0;
  std::vector<uint32_t> screen;
  int w = 0, h = 0;
  for (int tries = 0; tries < 100 && picture <= 5.0; ++tries) {
    Wait(0.1);
    screen = session_.Screen(&w, &h);
    int left = wide->x + frame + bar;
    picture = MeanBrightness(screen, w, left, wide->y + frame, left + pictureW, wide->y + frame + clientH);
  }
  EXPECT_GT(picture, 5.0) << "the show is drawn in the picture's place";
  EXPECT_LT(MeanBrightness(screen, w, wide->x + frame, wide->y + frame, wide->x + frame + bar - 1,
                           wide->y + frame + clientH),
            0.5)
      << "the bar left of the picture is black";
  EXPECT_EQ(screen[static_cast<size_t>(wide->y) * w + wide->x + 100] & 0xFFFFFF, 0x707078u) << "border line";
  EXPECT_EQ(screen[static_cast<size_t>(wide->y + 2) * w + wide->x + 100] & 0xFFFFFF, 0x202024u) << "frame";
  QuitWithEscape();
}

struct SignalCase {
  const char* name;
  int signal;
  const char* audioDriver;  // one that does not exist brings up the "no sound" message box
  bool messageBox;
};

void PrintTo(const SignalCase& c, std::ostream* os) { *os << c.name; }

class SignalEndToEnd : public DesktopEndToEnd, public ::testing::WithParamInterface<SignalCase> {};

TEST_P(SignalEndToEnd, EndsTheProgramWithStatusZero) {
  const SignalCase& c = GetParam();
  ASSERT_NO_FATAL_FAILURE(Start({}, c.audioDriver));
  if (c.messageBox) {
    // The message box is a second window with the program's caption.
    for (int tries = 0; tries < 300 && session_.ProgramWindows().size() < 2; ++tries) Wait(0.1);
    ASSERT_EQ(session_.ProgramWindows().size(), 2u) << "the message box did not open";
  } else {
    Wait(2.0);
  }
  ASSERT_TRUE(session_.Signal(c.signal));
  auto status = session_.WaitForExit(30);
  ASSERT_TRUE(status.has_value()) << "still running after the signal";
  EXPECT_EQ(*status, 0);
  EXPECT_FALSE(HasSanitizerReport(session_.ErrorOutput())) << session_.ErrorOutput();
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalEndToEnd,
                         ::testing::Values(SignalCase{"Term", SIGTERM, "disk", false},
                                           SignalCase{"Interrupt", SIGINT, "disk", false},
                                           SignalCase{"TermDuringMessageBox", SIGTERM, "none", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The X server dies under the program at different moments: during start-up, just after the first
// frames, and in the middle of the show. Every time: one line, status 1, no crash.
TEST(DisplayLossEndToEnd, EndsWithOneLineAndStatusOneWheneverTheServerDies) {
  for (double after : {0.0, 0.7, 3.0}) {
    SCOPED_TRACE("server killed " + std::to_string(after) + " s after the window appeared");
    DesktopSession session;
    ASSERT_TRUE(session.StartServer(1024, 768));
    ASSERT_TRUE(session.StartProgram());
    ASSERT_TRUE(session.WaitForWindow(60).has_value());
    Wait(after);
    session.KillServer();
    auto status = session.WaitForExit(30);
    ASSERT_TRUE(status.has_value()) << "still running after the display went away";
    EXPECT_EQ(*status, 1);
    std::string errors = session.ErrorOutput();
    EXPECT_NE(errors.find(kDisplayLost), std::string::npos) << errors;
    EXPECT_EQ(errors.find(kDisplayLost), errors.rfind(kDisplayLost)) << "said once";
    EXPECT_FALSE(HasSanitizerReport(errors)) << errors;
  }
}

}  // namespace
