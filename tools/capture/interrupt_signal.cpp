// Records interrupting signals for the capture loop.
#include "interrupt_signal.h"

#include <csignal>
#include <cstdlib>
#include <initializer_list>

namespace {

// The one piece of state a signal handler may touch: written by the handler, read by the loop.
volatile std::sig_atomic_t received = 0;

void Record(int signal) {
  if (received == 0) received = signal;
}

}  // namespace

void InterruptSignal::Install() {
  struct sigaction action = {};
  action.sa_handler = Record;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    // A signal ignored on entry (a background job of a script, nohup) stays ignored, as shells expect.
    struct sigaction current;
    if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}

int InterruptSignal::Received() { return received; }

void InterruptSignal::DieOf(int signal) {
  std::signal(signal, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  sigprocmask(SIG_UNBLOCK, &only, nullptr);
  std::raise(signal);
  std::_Exit(128 + signal);  // not reached: the default action of these signals ends the process
}
