// The frame timer: 16.16 fixed-point seconds from the performance counter.
#include "app/frame_timer.h"

#include <windows.h>

FrameTimer frameTimer;

namespace {

// The largest interval the 32-bit 16.16 quotient can carry: 65536 s less one step.
constexpr uint64_t kMaxQuotient = 0xFFFFFFFFu;

int64_t ReadCounter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

}  // namespace

void StartTimer() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  frameTimer.frequency = frequency.QuadPart;
  frameTimer.referenceCount = ReadCounter();
  frameTimer.deltaSeconds = 0.0f;
}

void UpdateTimer() {
  int64_t now = ReadCounter();
  uint64_t elapsed = static_cast<uint64_t>(now - frameTimer.referenceCount);
  uint32_t frequency = static_cast<uint32_t>(frameTimer.frequency);
  if (frequency == 0) return;
  // q = elapsed / frequency in 16.16 fixed point, truncated. The product is formed in 128 bits so
  // that no interval overflows it.
  unsigned __int128 q = (static_cast<unsigned __int128>(elapsed) << 16) / frequency;
  if (q > kMaxQuotient) {
    // An interval of 65536 s or more cannot be expressed: hand out the largest one and drop the
    // rest, so the next frame starts from now instead of paying the gap off for days.
    q = kMaxQuotient;
    frameTimer.referenceCount = now;
  } else {
    // Advance by exactly the ticks q accounts for; the truncated remainder stays for the next frame.
    frameTimer.referenceCount += static_cast<int64_t>((static_cast<uint64_t>(q) * frequency) >> 16);
  }
  frameTimer.deltaSeconds = static_cast<float>(static_cast<uint32_t>(q)) / 65536.0f;
}
