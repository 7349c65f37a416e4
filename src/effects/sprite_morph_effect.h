// Morphing sprite shapes: 400 glassy blue ball sprites form one of eight shapes and flow into the
// next every 10 seconds, tumbling and bobbing in front of a fixed camera, fading to black with depth.
#pragma once

#include <d3d8.h>

#include <memory>

#include "effects/morph_clock.h"
#include "gfx/camera.h"
#include "gfx/matrix4.h"
#include "gfx/vector3.h"
#include "scenes/scene.h"

class SpriteMorphEffect : public Scene {
 public:
  static constexpr int kShapeCount = 8;
  static constexpr int kPointCount = 400;  // sprites, and points in every shape

  SpriteMorphEffect();
  ~SpriteMorphEffect() override;
  int Init() override;
  void Release() override;
  void Render() override;

  // Fills the eight shapes one after the other: shape s is positions 400s .. 400s + 399. Shape 1
  // takes 1200 random draws, x, y, z per point.
  static void BuildShapes(Vector3* shapes);

  // Null until Init has built them.
  const Vector3* shapes() const { return shapes_.get(); }
  int currentShape() const { return clock_.current; }
  float morph() const { return clock_.morph; }
  float morphTime() const { return clock_.time; }
  const float* angles() const { return angles_; }
  const Matrix4& world() const { return world_; }

 private:
  IDirect3DVertexBuffer8* vertexBuffer_;  // the blended positions of the frame, FVF D3DFVF_XYZ
  IDirect3DTexture8* spriteTexture_;      // 16 by 16 A1R5G5B5 ball
  Camera camera_;
  Matrix4 world_;  // rebuilt every frame
  MorphClock clock_;
  // Tumble about x, y and z, then the phase of the vertical bob; radians.
  float angles_[4];
  // Growth of each angle, radians per second.
  float speeds_[4];
  std::unique_ptr<Vector3[]> shapes_;  // kShapeCount * kPointCount positions
};
