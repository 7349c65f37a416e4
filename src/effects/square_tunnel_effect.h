// Twisted square tunnel: sections of four overlapping, slightly twisted square tubes rush past in
// additive dark grey, each turning about the axis and taking a swinging shared angle when it is
// sent back to the far end.
#pragma once

#include <d3d8.h>

#include "gfx/camera.h"
#include "scenes/scene.h"

class SquareTunnelEffect : public Scene {
 public:
  static constexpr int kSectionCount = 8;
  static constexpr int kTubesPerSection = 4;
  // Five corners per square, the fifth closing it, two vertices each.
  static constexpr int kVerticesPerStrip = 10;
  static constexpr int kStripCount = kSectionCount * kTubesPerSection;  // 32
  static constexpr int kVertexCount = kStripCount * kVerticesPerStrip;  // 320
  // Distance from the camera plane to the far end, where passed sections go back to.
  static constexpr float kTunnelLength = 4096.0f;
  // Units a section travels toward the camera per second.
  static constexpr float kSectionSpeed = 2000.0f;
  // Length of the shared spin's swing, seconds.
  static constexpr float kCyclePeriod = 16.0f;

  // y is the distance of the section's front end ahead of the camera; angle its turn about the
  // tunnel axis, radians.
  struct Section {
    float y;
    float angle;
  };

  SquareTunnelEffect();
  ~SquareTunnelEffect() override;
  int Init() override;
  void Release() override;
  void Render() override;

  const Section& section(int index) const { return sections_[index]; }
  float cycleTime() const { return cycleTime_; }
  float spin() const { return spin_; }
  const Camera& camera() const { return camera_; }

 private:
  // kVertexCount PointVertex entries, kStripCount strips of kVerticesPerStrip, rewritten every frame.
  IDirect3DVertexBuffer8* vertexBuffer_;
  Section sections_[kSectionCount];
  // Time within the spin cycle, seconds, in [0, kCyclePeriod).
  float cycleTime_;
  // Angle handed to recycled sections, radians; wrapped above 6.283184, never below 0.
  float spin_;
  Camera camera_;
};
