// The frame of the program's window in windowed mode.
#include "platform/host/window_frame.h"

namespace host {

WindowFrame::Hit WindowFrame::HitTest(int x, int y, int width, int height) {
  bool left = x < kThickness;
  bool right = x >= width - kThickness;
  bool top = y < kThickness;
  bool bottom = y >= height - kThickness;
  if (!left && !right && !top && !bottom) return Hit::kClient;
  // On the frame: near a corner it sizes both ways.
  bool nearLeft = x < kCornerGrip;
  bool nearRight = x >= width - kCornerGrip;
  bool nearTop = y < kCornerGrip;
  bool nearBottom = y >= height - kCornerGrip;
  if (nearTop && nearLeft) return Hit::kTopLeft;
  if (nearTop && nearRight) return Hit::kTopRight;
  if (nearBottom && nearLeft) return Hit::kBottomLeft;
  if (nearBottom && nearRight) return Hit::kBottomRight;
  if (left) return Hit::kLeft;
  if (right) return Hit::kRight;
  if (top) return Hit::kTop;
  return Hit::kBottom;
}

}  // namespace host
