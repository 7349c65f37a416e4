// Per-row bookkeeping of a depth surface. Bounds on the values each row holds, and the columns
// that may hold anything but the row's clear value, let a run whose depth test cannot pass be
// dropped or narrowed unread (the panel's stripes, drawn with depth EQUAL over a buffer that holds
// the mask's depth in the letters only). Clears are applied
// lazily: clearing records the value, and a row's memory takes it only when a run first reads or
// writes there, so the large clears of a frame cost nothing in rows nothing is drawn in with depth.
#pragma once

#include <cstdint>
#include <vector>

#include "d3d8types.h"

namespace d3d8sw {

class DepthRows {
 public:
  // Takes over `rows` rows of `width` values at `values` (uint16_t for D16, else uint32_t), which
  // all hold `value`. Allocates; not for the frame path.
  void Reset(void* values, bool d16, int width, int rows, uint32_t value);

  // Clears columns [x0, x1) of rows [y0, y1) to `value` (a stored D16 or D32 value).
  void Clear(int x0, int y0, int x1, int y1, uint32_t value);

  // Whether an incoming value in [low, high] may pass the depth test `func` (D3DCMP_*) against
  // some stored value in [storedLow, storedHigh].
  static bool RangesMayPass(DWORD func, uint32_t low, uint32_t high, uint32_t storedLow, uint32_t storedHigh) {
    // LESSEQUAL, what nearly every draw with depth tests, ahead of the switch's jump (per run).
    if (func == D3DCMP_LESSEQUAL) return low <= storedHigh;
    switch (func) {
      case D3DCMP_NEVER: return false;
      case D3DCMP_LESS: return low < storedHigh;
      case D3DCMP_EQUAL: return low <= storedHigh && high >= storedLow;
      case D3DCMP_GREATER: return high > storedLow;
      case D3DCMP_NOTEQUAL: return !(low == high && storedLow == storedHigh && low == storedLow);
      case D3DCMP_GREATEREQUAL: return high >= storedLow;
      default: return true;
    }
  }

  // Narrows the run of pixels *x0..*x1 of row y, whose incoming values lie in [low, high], to the
  // pixels whose depth test may pass: none when the test cannot pass against anything the row
  // holds, and only the written columns when it cannot pass against the row's base value. False
  // when no pixel is left: the run would change nothing.
  bool Narrow(int y, DWORD func, uint32_t low, uint32_t high, int* x0, int* x1) const {
    const Row& r = rows_[static_cast<size_t>(y)];
    if (!RangesMayPass(func, low, high, r.low, r.high)) return false;
    if (RangesMayPass(func, low, high, r.base, r.base)) return true;
    if (*x0 < r.writtenFrom) *x0 = r.writtenFrom;
    if (*x1 >= r.writtenTo) *x1 = r.writtenTo - 1;
    return *x0 <= *x1;
  }

  // Pixels x0..x1 of row y may now hold values in [low, high].
  void Write(int y, int x0, int x1, uint32_t low, uint32_t high) {
    Row& r = rows_[static_cast<size_t>(y)];
    if (low < r.low) r.low = low;
    if (high > r.high) r.high = high;
    // Writing the base value keeps what the row's columns outside the written ones hold.
    if (low == high && low == r.base) return;
    TakeInWritten(&r, x0, x1 + 1);
  }

  // Makes the memory of pixels x0..x1 (inclusive) of row y hold their values: before a run reads
  // or writes them.
  void Touch(int y, int x0, int x1) {
    Row& r = rows_[static_cast<size_t>(y)];
    if (x0 < r.from || x1 >= r.to) Extend(y);
  }

  // Calls f(x0, x1, value) for each stretch [x0, x1) of row y whose memory does not hold its
  // values yet (they all are `value`): what a read of the whole surface must put there.
  template <typename F>
  void ForEachPending(int y, F&& f) const {
    const Row& r = rows_[static_cast<size_t>(y)];
    if (r.from >= r.to) {
      f(0, width_, r.pending);
      return;
    }
    if (r.from > 0) f(0, r.from, r.pending);
    if (r.to < width_) f(r.to, width_, r.pending);
  }

 private:
  struct Row {
    uint32_t low;      // no value of the row is below this
    uint32_t high;     // nor above this
    uint32_t base;     // the value of every column outside [writtenFrom, writtenTo)
    int writtenFrom, writtenTo;  // columns that may hold other values (none when from >= to)
    uint32_t pending;  // the value of every column outside [from, to), whose memory is stale
    int from, to;      // the memory of these columns holds their values (none when from >= to)
  };

  static void TakeInWritten(Row* r, int x0, int x1) {
    if (r->writtenFrom >= r->writtenTo) {
      r->writtenFrom = x0;
      r->writtenTo = x1;
    } else {
      if (x0 < r->writtenFrom) r->writtenFrom = x0;
      if (x1 > r->writtenTo) r->writtenTo = x1;
    }
  }

  // Writes `value` into the memory of columns [x0, x1) of row y.
  void Fill(int y, int x0, int x1, uint32_t value);
  // Makes the memory of all of row y hold its values.
  void Extend(int y);

  std::vector<Row> rows_;
  void* values_ = nullptr;
  bool d16_ = false;
  int width_ = 0;
};

}  // namespace d3d8sw
