// The music disk's executable: reads its command line, starts the SDL host and runs the program's
// WinMain on it.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/host/desktop_options.h"
#include "platform/host/exit_watch.h"
#include "platform/host/first_track_seed.h"
#include "platform/host/mpris_service.h"
#include "platform/host/program_media_player.h"
#include "platform/host/sdl_host.h"

#ifndef MUSIDISK_VERSION
#define MUSIDISK_VERSION "unknown"
#endif
// The desktop entry's name, which the media controls give the desktop to find the icon by.
#ifndef MUSIDISK_APP_ID
#define MUSIDISK_APP_ID "org.tarnvik.Musidisk"
#endif

namespace {

// Exit status for a command line that cannot be run.
constexpr int kUsageStatus = 2;

bool Unpaced() {
  const char* value = std::getenv("MUSIDISK_UNPACED");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

}  // namespace

int main(int argc, char** argv) {
  host::DesktopOptions options = host::ParseDesktopOptions(argc, argv);
  switch (options.action) {
    case host::DesktopOptions::Action::kHelp:
      std::fputs(host::DesktopUsage(), stdout);
      return 0;
    case host::DesktopOptions::Action::kVersion:
      std::printf("musidisk (Tarnvik Musidisk) %s\n", MUSIDISK_VERSION);
      return 0;
    case host::DesktopOptions::Action::kUsageError:
      std::fprintf(stderr, "musidisk: %s\n%s", options.error.c_str(), host::DesktopUsage());
      return kUsageStatus;
    case host::DesktopOptions::Action::kRun:
      break;
  }

  host::ExitWatch::BlockSignals();
  host::SdlHost sdl;
  if (!sdl.Init()) {
    std::fprintf(stderr, "Tarnvik Musidisk: cannot open a display (%s)\n", sdl.error());
    return 1;
  }
  host::ExitWatch::Start(&sdl);
  sdl.SetPaced(!Unpaced());
  if (options.windowed) sdl.StartWindowed();
  if (options.track != 0) {
    // The low 32 bits of the counter's first reading seed the generator that picks the first track.
    auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    uint32_t seed = host::SeedForFirstTrack(options.track, static_cast<uint32_t>(now));
    sdl.PinFirstCounterReading(static_cast<int64_t>((now & ~0xFFFFFFFFull) | seed));
  }

  // The desktop's media keys and sound menu, where there is a session bus; none, and they are off.
  host::ProgramMediaPlayer player(&sdl);
  host::MprisService mediaControls;
  if (mediaControls.Start(&player, MUSIDISK_APP_ID)) {
    sdl.SetBetweenFramesHandler([&mediaControls] { mediaControls.Process(); });
  }

  host::SetActiveHost(&sdl);
  int result = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);
  host::SetActiveHost(nullptr);
  sdl.SetBetweenFramesHandler(nullptr);
  return result;
}
