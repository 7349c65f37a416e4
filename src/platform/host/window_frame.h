// The frame of the program's window in windowed mode, as its style asks for: WS_THICKFRAME, a
// sizing border that can be dragged at its edges and corners, drawn with WS_BORDER's thin line
// outside it. The client area, where the picture goes, lies inside the frame.
#pragma once

namespace host {

class WindowFrame {
 public:
  // Width of the frame on each side, in pixels, the border line included.
  static constexpr int kThickness = 4;
  // Width of WS_BORDER's line, the frame's outermost pixels.
  static constexpr int kBorderLine = 1;
  // Along an edge, this many pixels from a corner size the window both ways, as a corner does.
  static constexpr int kCornerGrip = 16;
  // Colours of the border line and of the rest of the frame (X8R8G8B8).
  static constexpr unsigned kBorderColour = 0x00707078;
  static constexpr unsigned kFrameColour = 0x00202024;

  // What a point of the window (window coordinates) is for.
  enum class Hit { kClient, kLeft, kRight, kTop, kBottom, kTopLeft, kTopRight, kBottomLeft, kBottomRight };
  static Hit HitTest(int x, int y, int width, int height);
};

}  // namespace host
