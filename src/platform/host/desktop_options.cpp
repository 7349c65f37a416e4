// The command line of the desktop program.
#include "platform/host/desktop_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace host {

namespace {

// A whole number in [low, high] with nothing after it, or false.
bool ParseTrack(const char* text, int* value) {
  if (text == nullptr || *text == '\0') return false;
  errno = 0;
  char* end = nullptr;
  long parsed = std::strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || parsed < DesktopOptions::kFirstTrack || parsed > DesktopOptions::kLastTrack) {
    return false;
  }
  *value = static_cast<int>(parsed);
  return true;
}

DesktopOptions UsageError(const std::string& error) {
  DesktopOptions options;
  options.action = DesktopOptions::Action::kUsageError;
  options.error = error;
  return options;
}

}  // namespace

DesktopOptions ParseDesktopOptions(int argc, const char* const* argv) {
  DesktopOptions options;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      options.action = DesktopOptions::Action::kHelp;
      return options;
    }
    if (std::strcmp(arg, "--version") == 0) {
      options.action = DesktopOptions::Action::kVersion;
      return options;
    }
    if (std::strcmp(arg, "--windowed") == 0) {
      options.windowed = true;
    } else if (std::strcmp(arg, "--track") == 0 || std::strncmp(arg, "--track=", 8) == 0) {
      const char* value = arg[7] == '=' ? arg + 8 : (i + 1 < argc ? argv[++i] : nullptr);
      if (value == nullptr) return UsageError("--track needs a track number (1 to 15)");
      if (!ParseTrack(value, &options.track)) {
        return UsageError(std::string("--track takes a track number from 1 to 15, not '") + value + "'");
      }
    } else {
      return UsageError(std::string("unknown option '") + arg + "'");
    }
  }
  return options;
}

const char* DesktopUsage() {
  return "Usage: musidisk [--windowed] [--track N]\n"
         "Plays the Tarnvik Musidisk: fifteen tracker tracks (and a hidden one) with a real-time demo show.\n"
         "\n"
         "  --windowed   start in a window instead of full screen\n"
         "  --track N    start with track N (1 to 15) instead of a random one\n"
         "  --help       show this help and exit\n"
         "  --version    show the version and exit\n"
         "\n"
         "Keys: Right or Up next track, Left or Down previous track, Space freeze or release the\n"
         "effects, Alt+Enter full screen or window, Escape quit; drag the window with the left button.\n";
}

}  // namespace host
