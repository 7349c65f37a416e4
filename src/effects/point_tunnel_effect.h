// Winding point tunnel: rings of white points rush toward the camera along a winding centre line
// that the view follows, turning slowly and fading into black fog in the distance.
#pragma once

#include <d3d8.h>

#include "gfx/camera.h"
#include "scenes/scene.h"

class PointTunnelEffect : public Scene {
 public:
  static constexpr int kRingCount = 32;
  static constexpr int kPointsPerRing = 32;
  static constexpr int kVertexCount = kRingCount * kPointsPerRing;
  // Distance from the camera plane to the far end, where passed rings go back to.
  static constexpr float kTunnelLength = 1024.0f;
  // Units a ring travels toward the camera per second.
  static constexpr float kRingSpeed = 500.0f;
  // Curve parameter between one ring and the next.
  static constexpr float kPathStep = 0.05f;
  // The path parameter wraps by this much (40 × 3.141592), once, at the end of a frame.
  static constexpr float kPathPeriod = 125.66368f;

  // A ring's centre; y is its distance ahead of the camera, 0..1024.
  struct Ring {
    float x;
    float y;
    float z;
  };

  PointTunnelEffect();
  ~PointTunnelEffect() override;
  int Init() override;
  void Release() override;
  void Render() override;

  // The tunnel's centre line at curve parameter a.
  static float CurveX(float a);
  static float CurveZ(float a);

  // Valid between a successful Init and the next Release.
  const Ring& ring(int index) const { return rings_[index]; }
  int nearestRing() const { return nearestRing_; }
  float pathParameter() const { return pathParameter_; }
  float spin() const { return spin_; }
  const Camera& camera() const { return camera_; }

 private:
  // kVertexCount PointVertex entries, ring by ring, rewritten every frame.
  IDirect3DVertexBuffer8* vertexBuffer_;
  // kRingCount rings in recycling order; allocated by Init.
  Ring* rings_;
  // Turn of every ring's points, radians, in [0, 6.283184) in steady running.
  float spin_;
  // Index of the ring closest to the camera: the one after the last recycled.
  int nearestRing_;
  // Curve parameter of the next ring to be placed; below kPathPeriod between frames.
  float pathParameter_;
  Camera camera_;
};
