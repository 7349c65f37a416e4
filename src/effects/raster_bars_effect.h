// Rainbow raster bars: 24 horizontal bars shading black to a full colour and back, weaving on a
// product of three drifting sine waves; the whole set rises into place the first time it shows.
#pragma once

#include "gfx/vertex_formats.h"
#include "scenes/scene.h"

class RasterBarsEffect : public Scene {
 public:
  static constexpr int kBarCount = 24;
  static constexpr int kVerticesPerBar = 6;

  RasterBarsEffect();
  int Init() override;
  void Release() override {}
  void Render() override;

  float riseOffset() const { return riseOffset_; }
  const float* wavePhases() const { return phases_; }

 private:
  ColourVertex vertices_[kBarCount * kVerticesPerBar];
  // Phases of the three waves, radians.
  float phases_[3];
  // Vertical offset of the whole set before halving; falls from 1000 to its rest value 240.
  float riseOffset_;
  // Growth of each phase, radians per second.
  float speeds_[3];
  // Change of the rise offset per second: 760 units in 3.6 s.
  float riseSpeed_;
};
