// Places the back buffer in a window's client area and scales it there in software: the largest
// rectangle of the picture's aspect that fits, centred between black bars, nearest-neighbour, so
// pixels stay sharp (and exactly square at whole-number scales).
#pragma once

#include <cstdint>
#include <vector>

namespace host {

struct PictureRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The largest rectangle of the picture's aspect that fits the area, centred in it.
PictureRect FitPicture(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight);

class PictureScaler {
 public:
  // Scales the source (X8R8G8B8, pitch in bytes) over the destination rectangle of `target`.
  // Allocates only when the scale changes (a column table), never on a frame at the same size.
  void Scale(const uint32_t* source, int sourceWidth, int sourceHeight, int sourcePitch, uint32_t* target,
             int targetPitch, const PictureRect& rect);

 private:
  // Source column of each destination column.
  std::vector<int> columns_;
  int columnsFor_ = -1;
  int columnsOf_ = -1;
};

}  // namespace host
