// The highest sounding pitch, row by row, of an XM module's pattern data: the line a listener
// follows on top, and how wide it ranges.
#pragma once

#include <vector>

struct TopVoice {
  bool measured = false;  // false when the data is not an XM module
  // Semitones between the 5th and 95th percentile of the highest pitch over the sounding rows.
  int range = 0;
  int low = 0, high = 0;  // those percentiles as XM notes
};

// Follows the order list (and its restart) for `seconds` of play. A pitched voice is a note of
// a looped sample, held until the next note on its channel or until two seconds after its
// key-off or zero volume (a line goes on through its short rests); one-shot samples are taken
// for drums.
TopVoice MeasureTopVoice(const std::vector<char>& xm, double seconds);
