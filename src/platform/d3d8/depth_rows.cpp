// Bounds and lazy clears of the rows of a depth surface.
#include "depth_rows.h"

#include <algorithm>

namespace d3d8sw {

void DepthRows::Reset(void* values, bool d16, int width, int rows, uint32_t value) {
  values_ = values;
  d16_ = d16;
  width_ = width;
  // The memory holds the value already: every column is valid.
  rows_.assign(static_cast<size_t>(rows), Row{value, value, value, 0, width});
}

void DepthRows::Fill(int y, int x0, int x1, uint32_t value) {
  const size_t at = static_cast<size_t>(y) * static_cast<size_t>(width_);
  if (d16_) {
    uint16_t* row = static_cast<uint16_t*>(values_) + at;
    std::fill(row + x0, row + x1, static_cast<uint16_t>(value));
  } else {
    uint32_t* row = static_cast<uint32_t*>(values_) + at;
    std::fill(row + x0, row + x1, value);
  }
}

void DepthRows::Extend(int y, int x0, int x1) {
  Row& r = rows_[static_cast<size_t>(y)];
  if (r.from >= r.to) {
    Fill(y, x0, x1, r.pending);
    r.from = x0;
    r.to = x1;
    return;
  }
  // The valid columns stay one stretch: what lies between it and [x0, x1) is filled too.
  if (x0 < r.from) {
    Fill(y, x0, r.from, r.pending);
    r.from = x0;
  }
  if (x1 > r.to) {
    Fill(y, r.to, x1, r.pending);
    r.to = x1;
  }
}

void DepthRows::Clear(int x0, int y0, int x1, int y1, uint32_t value) {
  for (int y = y0; y < y1; ++y) {
    Row& r = rows_[static_cast<size_t>(y)];
    if (x0 == 0 && x1 == width_) {
      r = Row{value, value, value, 0, 0};
      continue;
    }
    r.low = std::min(r.low, value);
    r.high = std::max(r.high, value);
    if (r.pending != value) {
      // The pending columns take their old value, and from now on the pending value is this one.
      if (r.from >= r.to) {
        Fill(y, 0, width_, r.pending);
      } else {
        Fill(y, 0, r.from, r.pending);
        Fill(y, r.to, width_, r.pending);
      }
      r.from = 0;
      r.to = width_;
      r.pending = value;
    }
    if (r.from >= r.to || x1 <= r.from || x0 >= r.to) continue;  // cleared columns already pending
    if (x0 <= r.from && x1 >= r.to) {
      r.from = r.to = 0;
    } else if (x0 <= r.from) {
      r.from = x1;
    } else if (x1 >= r.to) {
      r.to = x0;
    } else {
      Fill(y, x0, x1, value);
    }
  }
}

}  // namespace d3d8sw
