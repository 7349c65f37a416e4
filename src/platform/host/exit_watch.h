// How the desktop program ends when it is not asked through its window: SIGINT and SIGTERM close
// it as its close button does (status 0), also while a message box holds the program's thread,
// and a lost display connection ends it with one line on stderr and status 1, the audio device
// closed first so that nothing the audio thread reads is torn down under it.
#pragma once

namespace host {

class SdlHost;

class ExitWatch {
 public:
  // The line written when the display connection is lost.
  static constexpr char kDisplayLostMessage[] = "Tarnvik Musidisk: the display connection was lost\n";
  static constexpr int kDisplayLostStatus = 1;

  // Blocks SIGINT and SIGTERM in the calling thread and every thread it starts later, so that
  // only the watch thread takes them. Call first thing in main(), before any thread exists.
  static void BlockSignals();
  // Starts the thread that answers the signals and sets Xlib's handler for a lost connection.
  // Call once SDL has opened the display. `host` outlives the program's run.
  static void Start(SdlHost* host);
};

}  // namespace host
