// The highest sounding pitch of a tracker module (XM, IT, S3M or MOD) as its patterns play: the
// line a listener follows on top, and how wide it ranges.
#pragma once

#include <vector>

struct TopVoice {
  bool measured = false;  // false when the data is no module of those formats
  // Semitones between the 5th and 95th percentile of the highest pitch over the sounding time.
  int range = 0;
  // Those percentiles as XM notes (49 = C-4). A MOD, S3M or IT note is its nominal pitch: what
  // its sample sounds at that note is the sample's own business.
  int low = 0, high = 0;
};

// Follows libopenmpt's playback (order list, jumps and loop) for `seconds` from `from` seconds
// in. A pitched voice is a note of a looped sample, held until the next note on its channel or
// until two seconds after its key-off, note cut or zero volume (a line goes on through its
// short rests); one-shot samples are taken for drums.
TopVoice MeasureTopVoice(const std::vector<char>& module, double seconds, double from = 0);
