// Starfield: single-pixel stars rush toward the viewer down a square column out of a black,
// fogged distance, each sent back to the far end at a new random place when it passes the camera.
#pragma once

#include <d3d8.h>

#include "gfx/camera.h"
#include "gfx/matrix4.h"
#include "gfx/vertex_formats.h"
#include "scenes/scene.h"

class StarfieldEffect : public Scene {
 public:
  static constexpr int kStarCount = 1024;
  // Depth of the column ahead of the camera; a star passing the camera goes back this far.
  static constexpr float kColumnDepth = 1024.0f;
  // Units a star travels toward the camera per second.
  static constexpr float kStarSpeed = 256.0f;
  static constexpr D3DCOLOR kStarColour = 0xFF8080FF;

  StarfieldEffect();
  ~StarfieldEffect() override;
  int Init() override;
  void Release() override;
  void Render() override;

  // Valid between a successful Init and the next Release.
  const PointVertex& star(int index) const { return stars_[index]; }
  const Camera& camera() const { return camera_; }

 private:
  // kStarCount PointVertex entries, refilled from the star array every frame.
  IDirect3DVertexBuffer8* vertexBuffer_;
  Matrix4 world_;
  // kStarCount stars, x and z in -64..64, y ahead of the camera in 0..1024; allocated by Init.
  PointVertex* stars_;
  Camera camera_;
};
