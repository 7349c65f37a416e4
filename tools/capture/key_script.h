// Scripted key presses for a capture: which keys are down in each frame.
#pragma once

#include <vector>

#include "capture_options.h"
#include "platform/host/headless_host.h"

class KeyScript {
 public:
  KeyScript(const std::vector<KeyPress>& presses, int fps);
  // Sets the host's keys for frame `frame`; Escape also arrives as a key-down message, as it does
  // from a real keyboard.
  void Apply(host::HeadlessHost& host, long frame);

 private:
  struct Span {
    long first;  // first frame with the keys down
    long end;    // first frame with them up again
    std::vector<int> keys;
  };
  std::vector<Span> spans_;
  std::vector<bool> down_;
};
