// The program's icon painter: the emblem at any size, the same design scaled, so every size an
// icon file or a desktop theme wants is painted rather than resampled.
#pragma once

#include "rgba_image.h"

namespace icon {

// The design is drawn on a 32 by 32 grid; 32 is the size the program embeds
// (data/icon/program_icon.raw).
constexpr int kDesignSize = 32;

// The emblem at size x size texels, straight (not premultiplied) alpha. `size` 1 to 1024.
artkit::RgbaImage PaintProgramIcon(int size);

}  // namespace icon
