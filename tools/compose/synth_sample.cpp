// Tuning helpers: the XM pitch of C-4 is 8363 Hz * 2^(tune / 12).
#include "synth_sample.h"

#include "det_math.h"

double TuneForPeriod(double samplesPerCycle) {
  return 12.0 * detmath::Log2(kMiddleCHz * samplesPerCycle / kXmBaseRate);
}

double TuneForRate(double rate) { return 12.0 * detmath::Log2(rate / kXmBaseRate); }
