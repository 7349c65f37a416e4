// Snapping of scroll positions to whole pixels, shared by the scrolling layers and texts.
#pragma once

// trunc(v + 0.5) - 1 for v > 0, trunc(v - 0.5) otherwise, trunc cutting toward zero: so 0 maps
// to 0 and the snapped position moves by one pixel per pixel of scroll in both directions.
inline int SnapScroll(float v) {
  return v > 0.0f ? static_cast<int>(v + 0.5f) - 1 : static_cast<int>(v - 0.5f);
}
