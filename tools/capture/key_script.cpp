// Scripted key presses for a capture.
#include "key_script.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

KeyScript::KeyScript(const std::vector<KeyPress>& presses, int fps) : down_(256, false) {
  for (const KeyPress& press : presses) {
    // The options keep press times within the capture and holds at most a day, so both frame
    // numbers stay far inside a long.
    long first = KeyPressFrame(press.time, fps);
    long frames = std::max(1L, std::lround(press.duration * fps));
    spans_.push_back(Span{first, first + frames, press.keys});
  }
}

void KeyScript::Apply(host::HeadlessHost& host, long frame) {
  bool want[256] = {};
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
