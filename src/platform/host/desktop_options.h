// The command line of the desktop program, musidisk. With no arguments it runs exactly as the
// Windows program does; the options only choose how it starts.
#pragma once

#include <string>

namespace host {

struct DesktopOptions {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  // Tracks --track can name: the ordinary ones, 1 to 15 as the now-playing caption counts them.
  static constexpr int kFirstTrack = 1;
  static constexpr int kLastTrack = 15;

  Action action = Action::kRun;
  // Start as if Alt+Enter had been pressed once the device exists.
  bool windowed = false;
  // 1..15, or 0 for the random first track.
  int track = 0;
  // What was wrong, for kUsageError.
  std::string error;
};

DesktopOptions ParseDesktopOptions(int argc, const char* const* argv);
// The usage text, for --help (stdout) and after a usage error (stderr).
const char* DesktopUsage();

}  // namespace host
