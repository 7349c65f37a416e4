// The Windows program as a Windows user gets it, run by Wine on its own Direct3D 8 (over OpenGL),
// user32 and WinMM: it opens its window full screen, shows the show, plays sound, takes its keys
// and quits; without a sound device it says so and exits with status 255. Its picture of the
// logo banner is compared with our software device's.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "banner_pixels.h"
#include "wine_session.h"

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
const char* const kTitle = "Tarnvik Musidisk";

// The now-playing ticker's band and the widths of the sixteen captions in pixels: the strip
// repeats its caption, so its period tells which track plays.
constexpr int kTickerTop = 471;
constexpr int kTickerBottom = 480;
constexpr int kCaptionPeriods[16] = {108, 116, 104, 92, 112, 104, 128, 120, 140, 136, 192, 184, 144, 152, 188, 108};
constexpr int kOrdinaryTracks = 15;

// The ticker's period in pixels: the smallest shift under which the band repeats itself (-1
// when none does).
int TickerPeriod(const std::vector<uint32_t>& screen) {
  for (int shift = 80; shift <= 200; ++shift) {
    bool repeats = true;
    for (int y = kTickerTop; y < kTickerBottom && repeats; ++y) {
      for (int x = 0; x + shift < kScreenWidth && repeats; ++x) {
        repeats = screen[static_cast<size_t>(y) * kScreenWidth + x] ==
                  screen[static_cast<size_t>(y) * kScreenWidth + x + shift];
      }
    }
    if (repeats) return shift;
  }
  return -1;
}

// Whether a period can follow `before` when the next track starts.
bool IsNextTrackPeriod(int before, int after) {
  for (int t = 0; t < kOrdinaryTracks; ++t) {
    if (kCaptionPeriods[t] == before && kCaptionPeriods[(t + 1) % kOrdinaryTracks] == after) return true;
  }
  return false;
}

std::string SourcePath(const std::string& relative) { return std::string(MUSIDISK_SOURCE_DIR) + "/" + relative; }

class WindowsProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string missing = WineSession::MissingPart();
    if (!missing.empty()) GTEST_SKIP() << "Skipped: " << missing;
    banner_ = OpaqueBannerPixels(SourcePath("data/images/logo.raw"));
    ASSERT_FALSE(banner_.empty()) << "cannot read data/images/logo.raw";
    // The screen is the full-screen mode the program asks for, so no mode change is needed.
    ASSERT_TRUE(session_.Start(kScreenWidth, kScreenHeight)) << session_.error();
  }

  // Starts the program with a sound device and waits for its window and the logo banner.
  void StartShow() {
    ASSERT_TRUE(session_.StartProgram(WineSession::Audio::kRecorded));
    std::vector<std::string> windows = session_.WaitForWindows(kTitle, 1, 90);
    ASSERT_EQ(windows.size(), 1u) << "no window appeared";
    window_ = windows[0];
    // The banner fades in from the second second of the show on; once in, it shows the logo.
    double deadline = WineNow() + 60;
    while (WineNow() < deadline) {
      screen_ = session_.Screen(&width_, &height_);
      PictureDifference d = CompareWithTexels(banner_, screen_, width_);
      if (d.compared > 0 && d.differing * 100 < d.compared) return;
      WineSleep(0.25);
    }
    FAIL() << "the logo banner did not appear";
  }

  WineSession session_;
  std::vector<BannerPixel> banner_;
  std::string window_;
  std::vector<uint32_t> screen_;
  int width_ = 0;
  int height_ = 0;
};

TEST_F(WindowsProgram, ShowsTheShowPlaysItsMusicTakesRightAndEscapeQuits) {
  StartShow();
  if (HasFatalFailure()) return;
  auto geometry = session_.Geometry(window_);
  ASSERT_TRUE(geometry.has_value());
  EXPECT_EQ(geometry->width * geometry->height > 600 * 440, true)
      << "full screen, yet " << geometry->width << "x" << geometry->height;

  // The ticker is in from its eighth second on; its caption names the track.
  int before = -1;
  double deadline = WineNow() + 30;
  while (before < 0 && WineNow() < deadline) {
    WineSleep(0.5);
    before = TickerPeriod(session_.Screen(&width_, &height_));
  }
  ASSERT_GT(before, 0) << "no now-playing caption";

  ASSERT_TRUE(session_.Key(window_, "Right"));
  int after = before;
  deadline = WineNow() + 10;
  while ((after == before || after < 0) && WineNow() < deadline) {
    WineSleep(0.2);
    after = TickerPeriod(session_.Screen(&width_, &height_));
  }
  EXPECT_TRUE(IsNextTrackPeriod(before, after)) << "caption period " << before << " then " << after;

  size_t nonZero = 0;
  size_t bytes = session_.SoundBytes(&nonZero);
  EXPECT_GT(bytes, 0u) << "nothing reached the sound device";
  EXPECT_GT(nonZero, bytes / 4) << "the sound device got silence";

  ASSERT_TRUE(session_.Key(window_, "Escape"));
  auto status = session_.WaitForExit(30);
  ASSERT_TRUE(status.has_value()) << "still running after Escape";
  EXPECT_EQ(*status, 0);
}

TEST_F(WindowsProgram, AltEnterSwitchesToAWindowAndBack) {
  StartShow();
  if (HasFatalFailure()) return;
  ASSERT_TRUE(session_.AltEnter(window_));
  // The first window is 320 by 240 (its client area a few pixels less, inside the frame).
  auto small = session_.WaitForGeometry(window_, 20, [](const WindowGeometry& g) { return g.width <= 320; });
  ASSERT_TRUE(small.has_value());
  EXPECT_GE(small->width, 300);
  EXPECT_LE(small->width, 320);
  EXPECT_GE(small->height, 220);
  EXPECT_LE(small->height, 240);

  // The show goes on in the window: the back buffer is scaled into it.
  WineSleep(1.0);
  std::vector<uint32_t> screen = session_.Screen(&width_, &height_);
  long lit = 0;
  for (int y = small->y; y < small->y + small->height; ++y) {
    for (int x = small->x; x < small->x + small->width; ++x) lit += (screen[static_cast<size_t>(y) * width_ + x] & 0xFFFFFF) != 0;
  }
  EXPECT_GT(lit, small->width * small->height / 20) << "the window is dark";

  ASSERT_TRUE(session_.AltEnter(window_));
  auto full = session_.WaitForGeometry(window_, 20, [](const WindowGeometry& g) { return g.width > 600; });
  ASSERT_TRUE(full.has_value());
  EXPECT_GT(full->width, 600);
  EXPECT_GT(full->height, 440);

  ASSERT_TRUE(session_.Key(window_, "Escape"));
  auto status = session_.WaitForExit(30);
  ASSERT_TRUE(status.has_value()) << "still running after Escape";
  EXPECT_EQ(*status, 0);
}

TEST_F(WindowsProgram, WithoutASoundDeviceSaysSoAndExitsWith255) {
  ASSERT_TRUE(session_.StartProgram(WineSession::Audio::kNone));
  // The main window and the message box, both captioned with the title.
  std::vector<std::string> windows = session_.WaitForWindows(kTitle, 2, 90);
  ASSERT_EQ(windows.size(), 2u) << "no message box appeared";
  std::vector<std::string> texts;
  double deadline = WineNow() + 30;
  bool found = false;
  while (!found && WineNow() < deadline) {
    texts = session_.DialogTexts(kTitle);
    for (const std::string& line : texts) found = found || line == "Static\tCan't initialize digital sound system";
    if (!found) WineSleep(0.25);
  }
  std::string all;
  for (const std::string& line : texts) all += line + "\n";
  EXPECT_TRUE(found) << "the dialogs say:\n" << all;
  EXPECT_NE(all.find("Button\tOK"), std::string::npos) << all;

  // The message box is the window Wine made last; Enter presses its OK button.
  auto geometry = session_.Geometry(windows.back());
  ASSERT_TRUE(geometry.has_value());
  std::string box = geometry->width < 600 ? windows.back() : windows.front();
  ASSERT_TRUE(session_.Key(box, "Return"));
  auto status = session_.WaitForExit(30);
  ASSERT_TRUE(status.has_value()) << "still running after the message box was closed";
  EXPECT_EQ(*status, 255);
}

// The logo's opaque pixels depend on nothing behind them nor on time once the banner has faded
// in: Wine's Direct3D 8 and our software device must draw them alike.
TEST_F(WindowsProgram, BannerPixelsMatchTheSoftwareDevice) {
  const std::string capture = std::string(MUSIDISK_BINARY_DIR) + "/tools/capture/musidisk-capture";
  const std::string frames = std::string(::testing::TempDir()) + "/musidisk-banner-frames";
  // Frame 300 at 30 frames per second: ten seconds in, long after the fade.
  const std::string command = "'" + capture + "' --seed 7 --seconds 10.1 --fps 30 --png '" + frames +
                              "' --frames 300 >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  int ourWidth = 0, ourHeight = 0;
  std::vector<uint32_t> ours = ReadPng(frames + "/frame_000300.png", &ourWidth, &ourHeight);
  std::filesystem::remove_all(frames);
  ASSERT_EQ(ourWidth, kScreenWidth);
  ASSERT_EQ(ourHeight, kScreenHeight);

  StartShow();
  if (HasFatalFailure()) return;
  // A few seconds more, until the fade is surely complete.
  WineSleep(6.0);
  screen_ = session_.Screen(&width_, &height_);
  ASSERT_EQ(width_, kScreenWidth);

  PictureDifference wine = CompareWithTexels(banner_, screen_, width_);
  PictureDifference software = CompareWithTexels(banner_, ours, ourWidth);
  PictureDifference between = Compare(banner_, screen_, width_, ours, ourWidth);
  std::printf("banner, %ld opaque logo pixels: Wine vs software device %ld differ (max %d, mean %.2f); "
              "Wine vs texels %ld differ; software device vs texels %ld differ\n",
              between.compared, between.differing, between.maxChannel, between.meanChannel, wine.differing,
              software.differing);
  RecordProperty("compared", static_cast<int>(between.compared));
  RecordProperty("differing", static_cast<int>(between.differing));
  RecordProperty("max_channel_difference", between.maxChannel);
  // Each opaque logo pixel is its texel exactly: point sampling, MODULATE by white, alpha 255.
  EXPECT_EQ(software.differing, 0);
  EXPECT_EQ(between.differing, 0);
}

}  // namespace
