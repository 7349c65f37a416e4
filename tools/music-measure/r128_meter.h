// EBU R128 loudness computed here (ITU-R BS.1770 K-weighting and gating, EBU Tech 3342 range),
// so tests can hold the bank to its levels without an outside program.
#pragma once

#include <vector>

struct R128 {
  double integrated = -70;  // LUFS; -70 when everything lies below the absolute gate
  double range = 0;         // LU
};

// Interleaved stereo float audio at `rate` Hz.
R128 MeasureR128(const std::vector<float>& stereo, int rate);
