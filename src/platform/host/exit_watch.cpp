// How the desktop program ends on signals and on a lost display connection.
#include "platform/host/exit_watch.h"

#include <X11/Xlib.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

#include "platform/host/sdl_host.h"

namespace host {

namespace {

// The host the watch reports to; set once by Start, before the watch thread exists.
SdlHost* watchedHost = nullptr;

sigset_t ExitSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

// Takes SIGINT and SIGTERM for the whole process. The first asks the program to close through
// its own loop; while a message box holds that loop, or when a second signal comes, the process
// ends at once (no destructors run, so nothing is torn down under the audio thread).
void WatchSignals() {
  sigset_t set = ExitSignalSet();
  bool closeRequested = false;
  for (;;) {
    int signal = 0;
    if (sigwait(&set, &signal) != 0) continue;
    if (closeRequested || watchedHost->inMessageBox()) _exit(0);
    closeRequested = true;
    watchedHost->RequestClose();
  }
}

// Xlib calls this when the connection to the X server is gone, and exits the process if it
// returns. Exiting through exit() would run the static destructors while the audio thread still
// mixes; close the audio device and leave without them.
int DisplayLost(Display*) {
  ssize_t written = write(STDERR_FILENO, ExitWatch::kDisplayLostMessage, sizeof ExitWatch::kDisplayLostMessage - 1);
  (void)written;
  watchedHost->CloseAudio();
  _exit(ExitWatch::kDisplayLostStatus);
}

}  // namespace

void ExitWatch::BlockSignals() {
  sigset_t set = ExitSignalSet();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void ExitWatch::Start(SdlHost* host) {
  watchedHost = host;
  XSetIOErrorHandler(&DisplayLost);
  std::thread(&WatchSignals).detach();
}

}  // namespace host
