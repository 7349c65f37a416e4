// Bounds on the stored values of each depth row.
#include "depth_row_bounds.h"

#include <algorithm>

namespace d3d8sw {

void DepthRowBounds::Reset(int rows, uint32_t value) { rows_.assign(static_cast<size_t>(rows), Row{value, value}); }

void DepthRowBounds::Fill(int y0, int y1, uint32_t value, bool wholeRows) {
  for (int y = y0; y < y1; ++y) {
    Row& r = rows_[static_cast<size_t>(y)];
    if (wholeRows) {
      r = Row{value, value};
    } else {
      r.low = std::min(r.low, value);
      r.high = std::max(r.high, value);
    }
  }
}

}  // namespace d3d8sw
