// Test helpers that listen to rendered 16-bit stereo: loudness and pitch.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace test_support {

// The largest magnitude of any sample.
inline int Peak(const std::vector<int16_t>& stereo, size_t fromFrame = 0) {
  int peak = 0;
  for (size_t i = 2 * fromFrame; i < stereo.size(); ++i) peak = std::max(peak, std::abs(static_cast<int>(stereo[i])));
  return peak;
}

// The pitch of the left channel in Hz, from its sign changes; exact zeros do not count as a side.
inline double PitchOf(const std::vector<int16_t>& stereo, int rate, size_t fromFrame = 0) {
  size_t frames = stereo.size() / 2;
  if (frames <= fromFrame) return 0.0;
  int side = 0;
  int changes = 0;
  for (size_t f = fromFrame; f < frames; ++f) {
    int s = stereo[2 * f];
    int now = s > 0 ? 1 : s < 0 ? -1 : 0;
    if (now == 0) continue;
    if (side != 0 && now != side) ++changes;
    side = now;
  }
  return changes / 2.0 * rate / static_cast<double>(frames - fromFrame);
}

}  // namespace test_support
