// The Windows program (build-windows/musidisk.exe) under Wine in a private X server (Xvfb), driven
// the way a user would: keys through xdotool, the picture read back from the screen, the sound
// through an ALSA device of the test's choosing, dialog texts read by a small Windows probe.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "../support/virtual_display.h"


class WineSession {
 public:
  // The sound device Wine sees: ALSA's null output recording what it is given to a file, or none.
  enum class Audio { kRecorded, kNone };

  WineSession();
  ~WineSession();
  WineSession(const WineSession&) = delete;
  WineSession& operator=(const WineSession&) = delete;

  // Why the session cannot run here (no wine, no .exe), or empty when it can.
  static std::string MissingPart();

  // Starts Xvfb at width x height and takes the machine's Wine prefix (made once, in the cache);
  // false with the reason in error().
  bool Start(int width, int height);
  bool StartProgram(Audio audio);
  // The program with its clock held after `frames` frames (musidisk-held-frame.exe), with sound.
  bool StartHeldFrame(int effect, long frames, uint32_t seed, int fps);
  // The X windows named `name` that are mapped, once at least `count` of them are.
  std::vector<std::string> WaitForWindows(const std::string& name, size_t count, double seconds);
  std::optional<WindowGeometry> Geometry(const std::string& window);
  // Waits until `accept` holds for the window's geometry; the last geometry either way.
  template <typename Accept>
  std::optional<WindowGeometry> WaitForGeometry(const std::string& window, double seconds, Accept accept);

  bool XDoTool(const std::string& arguments);
  bool Key(const std::string& window, const std::string& keys);
  // Holds Alt down, taps Enter, lets Alt go: the way a hand presses Alt+Enter.
  bool AltEnter(const std::string& window);

  // The screen's pixels (X8R8G8B8), row by row.
  std::vector<uint32_t> Screen(int* width, int* height);
  // The texts of the controls in the program's visible windows captioned `caption`, as the
  // Windows probe reads them ("class<TAB>text" lines).
  std::vector<std::string> DialogTexts(const std::string& caption);

  std::optional<int> WaitForExit(double seconds);
  // Bytes the recorded sound device has been given so far, and how many of them are not zero.
  size_t SoundBytes(size_t* nonZero) const;

  const std::string& error() const { return error_; }

 private:
  bool PreparePrefix();
  bool Launch(Audio audio, const std::vector<std::string>& arguments);
  std::string Run(const std::string& command, int* status);
  std::string WineEnvironment() const;

  int lockFd_ = -1;
  std::string scratch_;
  std::string alsaConfig_;
  std::string soundFile_;
  std::string error_;
  VirtualDisplay server_;
  pid_t program_ = -1;
};

// Seconds on a steady clock; sleeps.
double WineNow();
void WineSleep(double seconds);

template <typename Accept>
std::optional<WindowGeometry> WineSession::WaitForGeometry(const std::string& window, double seconds, Accept accept) {
  double deadline = WineNow() + seconds;
  std::optional<WindowGeometry> g = Geometry(window);
  while (WineNow() < deadline && (!g || !accept(*g))) {
    WineSleep(0.1);
    g = Geometry(window);
  }
  return g;
}

// Paths of the Windows build: musidisk.exe, the dialog probe and the held-clock program.
std::string WindowsProgram();
std::string WindowsProbe();
std::string WindowsHeldFrame();
