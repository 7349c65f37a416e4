// Scripted key presses for a capture.
#include "key_script.h"

#include <windows.h>

#include <cmath>

KeyScript::KeyScript(const std::vector<KeyPress>& presses, int fps) : down_(256, false) {
  for (const KeyPress& press : presses) {
    // A press at show time T lands on the first frame whose time is T or later.
    long first = static_cast<long>(std::ceil(press.time * fps - 1e-9));
    long frames = std::max(1L, static_cast<long>(std::lround(press.duration * fps)));
    spans_.push_back(Span{first, first + frames, press.keys});
  }
}

void KeyScript::Apply(host::HeadlessHost& host, long frame) {
  std::vector<bool> want(256, false);
  for (const Span& span : spans_) {
    if (frame >= span.first && frame < span.end) {
      for (int key : span.keys) want[key] = true;
    }
  }
  for (int key = 0; key < 256; ++key) {
    if (want[key] == down_[key]) continue;
    if (want[key]) {
      host.PressKey(key);
      if (key == VK_ESCAPE) host.PushEvent({host::HostEvent::Kind::kKeyDown, false, VK_ESCAPE});
    } else {
      host.ReleaseKey(key);
    }
    down_[key] = want[key];
  }
}
