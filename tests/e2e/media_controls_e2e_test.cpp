// The real executable as a media player on a private session bus: the desktop's media keys and
// sound menu (driven here with busctl, as they speak MPRIS) change tracks exactly as the arrows
// do, pause and resume the music while the show goes on, and end the program.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "desktop_session.h"

namespace {

void Wait(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

std::string Output(const std::string& command, int* status = nullptr) {
  std::string text;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return text;
  char buffer[1024];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, got);
  int s = pclose(pipe);
  if (status != nullptr) *status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
  return text;
}

constexpr char kBusName[] = "org.mpris.MediaPlayer2.tarnvik_musidisk";
constexpr char kPath[] = "/org/mpris/MediaPlayer2";
constexpr char kPlayer[] = "org.mpris.MediaPlayer2.Player";

class MediaControlsEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"dbus-daemon", "busctl", "dbus-monitor"}) {
      if (Output(std::string("command -v ") + tool).empty()) GTEST_SKIP() << tool << " is missing (scripts/deps installs it)";
    }
    // A session bus of the test's own: its address, then its pid.
    std::string started = Output("dbus-daemon --session --fork --print-address=1 --print-pid=1");
    size_t newline = started.find('\n');
    ASSERT_NE(newline, std::string::npos) << started;
    address_ = started.substr(0, newline);
    busPid_ = std::atoi(started.c_str() + newline + 1);
    ASSERT_GT(busPid_, 0) << started;
    setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
    // Every signal the player sends, as a desktop's sound menu would hear them.
    monitorFile_ = "/tmp/musidisk-dbus-monitor-" + std::to_string(getpid());
    monitor_ = fork();
    if (monitor_ == 0) {
      FILE* out = std::freopen(monitorFile_.c_str(), "w", stdout);
      (void)out;
      execlp("dbus-monitor", "dbus-monitor", "--session", "type='signal',member='PropertiesChanged'",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    ASSERT_TRUE(session_.StartServer(1024, 768));
    ASSERT_TRUE(session_.StartProgram({"--windowed", "--track", "2"}));
    auto window = session_.WaitForWindow(60);
    ASSERT_TRUE(window.has_value()) << "no window appeared";
    window_ = *window;
    for (int tries = 0; tries < 200 && Title().empty(); ++tries) Wait(0.1);
  }

  void TearDown() override {
    if (monitor_ > 0) {
      kill(monitor_, SIGTERM);
      waitpid(monitor_, nullptr, 0);
    }
    if (busPid_ > 0) kill(busPid_, SIGTERM);
    std::remove(monitorFile_.c_str());
  }

  std::string Busctl(const std::string& arguments, int* status = nullptr) {
    return Output("busctl --user " + arguments, status);
  }
  bool Call(const std::string& interface, const std::string& method) {
    int status = -1;
    Busctl(std::string("call ") + kBusName + " " + kPath + " " + interface + " " + method, &status);
    return status == 0;
  }
  // The title in the player's Metadata, or empty.
  std::string Title() {
    std::string metadata = Busctl(std::string("get-property ") + kBusName + " " + kPath + " " + kPlayer + " Metadata");
    const std::string key = "\"xesam:title\" s \"";
    size_t at = metadata.find(key);
    if (at == std::string::npos) return "";
    at += key.size();
    return metadata.substr(at, metadata.find('"', at) - at);
  }
  std::string PlaybackState() {
    return Busctl(std::string("get-property ") + kBusName + " " + kPath + " " + kPlayer + " PlaybackStatus");
  }
  std::string Signals() {
    std::ifstream in(monitorFile_);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  // True when the last `seconds` of the recording hold only silence.
  bool RecentlySilent(double seconds) {
    std::vector<int16_t> sound = session_.Sound();
    size_t span = static_cast<size_t>(2 * 44100 * seconds);
    if (sound.size() < span) return false;
    return std::all_of(sound.end() - static_cast<std::ptrdiff_t>(span), sound.end(), [](int16_t s) { return s == 0; });
  }
  size_t SoundFrames() { return session_.Sound().size() / 2; }

  DesktopSession session_;
  std::string window_;
  std::string address_;
  int busPid_ = -1;
  pid_t monitor_ = -1;
  std::string monitorFile_;
};

TEST_F(MediaControlsEndToEnd, NextPreviousPauseAndQuitWorkAsAUsersKeysDo) {
  if (IsSkipped()) return;
  ASSERT_EQ(Title(), "LOW TIDE") << "--track 2 plays the bank's second track";
  EXPECT_NE(Busctl(std::string("get-property ") + kBusName + " " + kPath + " org.mpris.MediaPlayer2 Identity")
                .find("\"Tarnvik Musidisk\""),
            std::string::npos);
  EXPECT_NE(Busctl(std::string("get-property ") + kBusName + " " + kPath + " org.mpris.MediaPlayer2 DesktopEntry")
                .find("\"org.tarnvik.Musidisk\""),
            std::string::npos);

  ASSERT_TRUE(Call(kPlayer, "Next"));
  EXPECT_EQ(Title(), "VOLTAGE");
  ASSERT_TRUE(Call(kPlayer, "Previous"));
  ASSERT_TRUE(Call(kPlayer, "Previous"));
  EXPECT_EQ(Title(), "SUNBEAMS");
  // The desktop heard about the change without asking.
  for (int tries = 0; tries < 50 && Signals().find("SUNBEAMS") == std::string::npos; ++tries) Wait(0.1);
  EXPECT_NE(Signals().find("SUNBEAMS"), std::string::npos) << Signals();

  // The hidden track shows as itself once found, and Next leaves it as Right does: back to the
  // track that played before it.
  ASSERT_TRUE(session_.Key(window_, "j o v r e l k"));
  for (int tries = 0; tries < 50 && Title() != "JOYRIDE"; ++tries) Wait(0.1);
  EXPECT_EQ(Title(), "JOYRIDE");
  ASSERT_TRUE(Call(kPlayer, "Next"));
  EXPECT_EQ(Title(), "SUNBEAMS");

  // Pause: the output goes silent while the show goes on; Play: the music comes back.
  ASSERT_TRUE(Call(kPlayer, "Pause"));
  EXPECT_NE(PlaybackState().find("\"Paused\""), std::string::npos);
  size_t pausedAt = SoundFrames();
  Wait(1.0);
  ASSERT_GT(SoundFrames(), pausedAt + 44100 / 2) << "the output keeps running";
  EXPECT_TRUE(RecentlySilent(0.5));
  ASSERT_TRUE(Call(kPlayer, "PlayPause"));
  EXPECT_NE(PlaybackState().find("\"Playing\""), std::string::npos);
  Wait(1.0);
  EXPECT_FALSE(RecentlySilent(0.5));

  ASSERT_TRUE(Call("org.mpris.MediaPlayer2", "Quit"));
  auto status = session_.WaitForExit(30);
  ASSERT_TRUE(status.has_value()) << "still running after Quit";
  EXPECT_EQ(*status, 0);
}

}  // namespace
