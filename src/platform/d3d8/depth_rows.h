// Per-row bookkeeping of a depth surface. Bounds on the values each row holds let a run whose
// depth test cannot pass anywhere on its row be dropped unread (the panel's stripes, drawn with
// depth EQUAL over a buffer that holds the mask's depth in a few rows only). Clears are applied
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
  // some value row y holds. False means no pixel of the run passes: it would change nothing.
  bool MayPass(int y, DWORD func, uint32_t low, uint32_t high) const {
    const Row& r = rows_[static_cast<size_t>(y)];
    switch (func) {
      case D3DCMP_NEVER: return false;
      case D3DCMP_LESS: return low < r.high;
      case D3DCMP_EQUAL: return low <= r.high && high >= r.low;
      case D3DCMP_LESSEQUAL: return low <= r.high;
      case D3DCMP_GREATER: return high > r.low;
      case D3DCMP_NOTEQUAL: return !(low == high && r.low == r.high && low == r.low);
      case D3DCMP_GREATEREQUAL: return high >= r.low;
      default: return true;
    }
  }

  // Row y may now also hold values in [low, high].
  void Widen(int y, uint32_t low, uint32_t high) {
    Row& r = rows_[static_cast<size_t>(y)];
    if (low < r.low) r.low = low;
    if (high > r.high) r.high = high;
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
    uint32_t pending;  // the value of every pixel outside [from, to)
    int from, to;      // the memory of these columns holds their values (none when from >= to)
  };

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
