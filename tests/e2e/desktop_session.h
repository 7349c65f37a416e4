// A private X server (Xvfb) with the music disk running in it, driven the way a user would:
// keys and mouse through xdotool (XTEST), the picture read back from the screen, the sound
// written by SDL's disk audio driver.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "../support/virtual_display.h"


class DesktopSession {
 public:
  DesktopSession();
  ~DesktopSession();

  // Starts Xvfb at width x height; false when it cannot start.
  bool StartServer(int width = 1024, int height = 768);
  // Starts build/musidisk on the server with these arguments, its sound going to a file and its
  // standard error to another. `audioDriver` is SDL's: "disk" records, a driver that does not
  // exist leaves the program without an audio device.
  bool StartProgram(const std::vector<std::string>& arguments = {}, const std::string& audioDriver = "disk");
  // Sends a signal to the program.
  bool Signal(int signal);
  // Ends the X server at once, as a crashing or killed server goes.
  void KillServer();
  // What the program wrote to its standard error so far.
  std::string ErrorOutput() const;
  // Waits for the program's window to be mapped; its X id, or empty after `seconds`.
  std::optional<std::string> WaitForWindow(double seconds);
  // The X ids of the visible windows titled "Tarnvik Musidisk" (the program's, and a message box's).
  std::vector<std::string> ProgramWindows();
  std::optional<WindowGeometry> Geometry(const std::string& window);
  // Waits until the window has the given size; its last geometry either way.
  std::optional<WindowGeometry> WaitForSize(const std::string& window, int width, int height, double seconds);
  std::string WindowName(const std::string& window);

  // xdotool with these arguments on the session's display; true when it succeeded.
  bool XDoTool(const std::string& arguments);
  // Asks the window to close, as a window manager's close button does (WM_DELETE_WINDOW).
  bool RequestClose(const std::string& window);
  // Focuses the program's window and types the keys (xdotool key syntax, e.g. "alt+Return").
  bool Key(const std::string& window, const std::string& keys);
  // Holds Alt down, taps Enter, lets Alt go: the way a hand presses Alt+Enter.
  bool AltEnter(const std::string& window);

  // The screen's pixels (X8R8G8B8), row by row.
  std::vector<uint32_t> Screen(int* width, int* height);

  // Waits for the program to end; its exit status, or empty after `seconds`.
  std::optional<int> WaitForExit(double seconds);
  // Sound written so far: 44.1 kHz interleaved stereo 16-bit samples.
  std::vector<int16_t> Sound() const;

  const std::string& display() const { return server_.name(); }

 private:
  std::string Run(const std::string& command, int* status);

  std::string soundFile_;
  std::string errorFile_;
  VirtualDisplay server_;
  pid_t program_ = -1;
};

// Mean brightness (0..255) of a rectangle of a screen capture.
double MeanBrightness(const std::vector<uint32_t>& screen, int width, int x0, int y0, int x1, int y1);
