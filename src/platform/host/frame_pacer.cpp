// Paces presentation to the display's refresh rate.
#include "platform/host/frame_pacer.h"

#include <time.h>

#include <cerrno>

namespace host {

namespace {

constexpr int64_t kNanosecondsPerSecond = 1000000000;

int64_t SteadyNow() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * kNanosecondsPerSecond + t.tv_nsec;
}

}  // namespace

void FramePacer::SetRefreshRate(int refreshHz) {
  period_ = kNanosecondsPerSecond / (refreshHz > 0 ? refreshHz : kDefaultRefreshHz);
}

int64_t FramePacer::NextPresentTime(int64_t now) {
  if (!started_ || now - nextSlot_ >= kResyncPeriods * period_) {
    // First frame, or far behind: present at once and count the slots from here.
    started_ = true;
    nextSlot_ = now + period_;
    return now;
  }
  // Slots stay on one grid, so the time a frame takes to draw does not add to the period.
  int64_t slot = nextSlot_;
  nextSlot_ += period_;
  return slot > now ? slot : now;
}

void FramePacer::Wait() {
  int64_t until = NextPresentTime(SteadyNow());
  timespec t{static_cast<time_t>(until / kNanosecondsPerSecond), static_cast<long>(until % kNanosecondsPerSecond)};
  // An absolute deadline: a signal that interrupts the sleep does not lengthen it.
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
  }
}

}  // namespace host
