// Paces presentation to the display's refresh rate when nothing else does (no vsync): each frame
// is held back until its slot, so a show that could run at thousands of frames per second uses
// only what the display can show.
#pragma once

#include <cstdint>

namespace host {

class FramePacer {
 public:
  // Refresh rate used when the display mode reports none.
  static constexpr int kDefaultRefreshHz = 60;
  // A frame that comes this many periods or more after its slot (a stall, a window drag, a device
  // reset) starts a new schedule instead of being followed by a burst of catch-up frames.
  static constexpr int kResyncPeriods = 2;

  // refreshHz <= 0 means unknown (kDefaultRefreshHz).
  void SetRefreshRate(int refreshHz);
  int64_t periodNanoseconds() const { return period_; }

  // Given the time now (nanoseconds of a steady clock), the time to wait until before presenting
  // this frame: now itself when the frame is already due. The next frame's slot follows it.
  int64_t NextPresentTime(int64_t now);

  // Waits on the steady clock for the next slot, then returns.
  void Wait();

 private:
  int64_t period_ = 1000000000 / kDefaultRefreshHz;
  int64_t nextSlot_ = 0;
  bool started_ = false;
};

}  // namespace host
