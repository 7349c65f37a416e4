// Bounds on the values stored in each row of a depth surface, so that a run of pixels whose depth
// test cannot pass against anything in its row is dropped without reading the buffer (the panel's
// stripes, drawn with depth EQUAL over a buffer that holds the mask's depth in a few rows only).
#pragma once

#include <cstdint>
#include <vector>

#include "d3d8types.h"

namespace d3d8sw {

class DepthRowBounds {
 public:
  // `rows` rows all holding `value` (a stored D16 or D32 value). Allocates; not for the frame path.
  void Reset(int rows, uint32_t value);

  // Rows [y0, y1) had some of their values set to `value`; `wholeRows` when every value was.
  void Fill(int y0, int y1, uint32_t value, bool wholeRows);

  // Row y may now also hold values in [low, high].
  void Widen(int y, uint32_t low, uint32_t high) {
    Row& r = rows_[static_cast<size_t>(y)];
    if (low < r.low) r.low = low;
    if (high > r.high) r.high = high;
  }

  // Whether an incoming value in [low, high] may pass the depth test `func` (D3DCMP_*) against some
  // value row y may hold. False means no pixel of the run passes: it would change nothing.
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

 private:
  struct Row {
    uint32_t low;   // no value of the row is below this
    uint32_t high;  // nor above this
  };
  std::vector<Row> rows_;
};

}  // namespace d3d8sw
