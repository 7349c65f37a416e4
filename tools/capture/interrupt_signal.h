// Ctrl+C, SIGTERM and SIGHUP end a capture cleanly: the handler only records the signal; the
// capture stops at its next frame or wait, removes its unfinished files, then dies of the signal.
#pragma once

class InterruptSignal {
 public:
  // Installs the handler for SIGINT, SIGTERM and SIGHUP without SA_RESTART, so that a wait for
  // ffmpeg returns early; ignores SIGPIPE (a dead ffmpeg shows as EPIPE) and SIGXFSZ (a file over
  // the size limit shows as EFBIG), so every failed write is reported instead of killing the tool.
  static void Install();
  // The signal received, or 0.
  static int Received();
  // Ends the process the way the signal would have ended it (a shell then reports 128 + signal).
  [[noreturn]] static void DieOf(int signal);
};
