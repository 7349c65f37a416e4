// EBU R128 loudness of rendered audio, measured by ffmpeg's ebur128 filter.
#pragma once

#include <string>
#include <vector>

struct Loudness {
  bool measured = false;
  double integrated = 0;  // LUFS
  double range = 0;       // LU
  double truePeak = 0;    // dBTP (4x oversampled)
  std::string error;      // why it was not measured
};

// Interleaved stereo float audio at `rate` Hz.
Loudness MeasureLoudness(const std::vector<float>& stereo, int rate);
