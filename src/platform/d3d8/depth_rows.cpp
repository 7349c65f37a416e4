// Bounds and lazy clears of the rows of a depth surface.
#include "depth_rows.h"

#include <algorithm>
#include <cstring>

namespace d3d8sw {

void DepthRows::Reset(void* values, bool d16, int width, int rows, uint32_t value) {
  values_ = values;
  d16_ = d16;
  width_ = width;
  // The memory holds the value already: every column is valid.
  rows_.assign(static_cast<size_t>(rows), Row{value, value, value, 0, 0, value, 0, width});
}

void DepthRows::Fill(int y, int x0, int x1, uint32_t value) {
  if (x0 >= x1) return;
  const size_t at = static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x0);
  const size_t count = static_cast<size_t>(x1 - x0);
  // The common values (1.0, 0) have all their bytes alike: a memset.
  const bool bytesAlike = d16_ ? (value >> 8) == (value & 0xFF)
                               : value == (value & 0xFF) * 0x01010101u;
  if (d16_) {
    uint16_t* first = static_cast<uint16_t*>(values_) + at;
    if (bytesAlike) {
      std::memset(first, static_cast<int>(value & 0xFF), count * 2);
    } else {
      std::fill(first, first + count, static_cast<uint16_t>(value));
    }
  } else {
    uint32_t* first = static_cast<uint32_t*>(values_) + at;
    if (bytesAlike) {
      std::memset(first, static_cast<int>(value & 0xFF), count * 4);
    } else {
      std::fill(first, first + count, value);
    }
  }
}

void DepthRows::Extend(int y) {
  // The whole row at once: one contiguous fill, and no more bookkeeping for the row until the
  // next clear.
  Row& r = rows_[static_cast<size_t>(y)];
  if (r.from >= r.to) {
    Fill(y, 0, width_, r.pending);
  } else {
    Fill(y, 0, r.from, r.pending);
    Fill(y, r.to, width_, r.pending);
  }
  r.from = 0;
  r.to = width_;
}

void DepthRows::Clear(int x0, int y0, int x1, int y1, uint32_t value) {
  for (int y = y0; y < y1; ++y) {
    Row& r = rows_[static_cast<size_t>(y)];
    if (x0 == 0 && x1 == width_) {
      r = Row{value, value, value, 0, 0, value, 0, 0};
      continue;
    }
    r.low = std::min(r.low, value);
    r.high = std::max(r.high, value);
    if (value != r.base) TakeInWritten(&r, x0, x1);
    if (r.pending != value) {
      // The pending columns take their old value, and from now on the pending value is this one.
      Extend(y);
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
