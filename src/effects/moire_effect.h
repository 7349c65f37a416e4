// Moire ring plates: two zone plates (rings narrowing outwards) tinted warm beige, the second
// added over the first, their centres wandering apart while both breathe in size.
#pragma once

#include <d3d8.h>

#include <cstdint>

#include "gfx/vertex_formats.h"
#include "scenes/scene.h"

class MoireEffect : public Scene {
 public:
  static constexpr int kPhaseCount = 8;
  // The texture holds one quarter of a plate, its centre at the corner (1, 1).
  static constexpr int kTextureSize = 256;
  static constexpr int kTexelBytes = 4;

  // Where the two plates go this frame: centres in frame pixels and the common half size.
  struct PlateLayout {
    float x1, y1;
    float x2, y2;
    float halfSize;
  };

  MoireEffect();
  ~MoireEffect() override;
  int Init() override;
  void Release() override;
  void Render() override;

  // Fills `block` (kTextureSize * kTextureSize texels of blue, green, red, alpha bytes) with the
  // quarter plate.
  static void BuildPlateTexels(uint8_t* block);

  // The layout the next Render draws, from the current phases.
  PlateLayout layout() const;
  // Radians, kPhaseCount of them; those with a negative speed are never wrapped.
  const float* phases() const { return phases_; }
  IDirect3DTexture8* ringTexture() const { return ringTexture_; }

 private:
  // Draws one plate of half size `halfSize` centred on (cx, cy) as four mirrored quads.
  void DrawPlate(float cx, float cy, float halfSize, D3DCOLOR colour);

  IDirect3DTexture8* ringTexture_;
  // Scratch quad in strip order (top left, top right, bottom left, bottom right), rewritten for
  // every draw.
  ScreenVertex quad_[4];
  // Growth of each phase, radians per second.
  float speeds_[kPhaseCount];
  // Animation angles, radians: 0 the breathing size, 1..3 the first centre, 4..7 the second.
  float phases_[kPhaseCount];
};
