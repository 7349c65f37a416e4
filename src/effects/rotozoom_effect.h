// Rotozoom picture: a 128x128 picture tiled over the whole frame, turning, zooming and drifting,
// with a ripple that comes and goes on a 10-second cycle. Two instances show two pictures.
#pragma once

#include <d3d8.h>

#include "scenes/scene.h"

// Which picture the next successful RotozoomEffect::Init takes: 0 picture A, 1 picture B. Every
// successful Init flips it, so the instances made (and re-made after a reset) in slot order keep
// their pictures. 0 at program start.
extern int nextRotozoomImage;

class RotozoomEffect : public Scene {
 public:
  static constexpr int kPhaseCount = 9;
  // Frame rows 0..240 inclusive, two vertices each, drawn as one strip of 480 triangles.
  static constexpr int kRowCount = 241;
  static constexpr int kVertexCount = 2 * kRowCount;
  // The ripple's full amplitude, in texture units.
  static constexpr float kRippleMax = 0.05f;
  // Length of the ripple cycle, seconds.
  static constexpr float kRippleCycle = 10.0f;

  // The ripple amplitude and the time into its cycle after one step.
  struct RippleState {
    float ripple;
    float rippleTime;
  };

  RotozoomEffect();
  ~RotozoomEffect() override;
  int Init() override;
  void Release() override;
  void Render() override;

  // One step of the ripple cycle by `deltaSeconds`: fades out over the first 2 s, rests until 6 s,
  // fades in until 8 s and holds until the cycle restarts.
  static RippleState StepRipple(RippleState state, float deltaSeconds);

  float ripple() const { return ripple_; }
  float rippleTime() const { return rippleTime_; }
  // Radians, kPhaseCount of them, each kept in 0..2 pi.
  const float* phases() const { return phases_; }
  // The picture texture; null before Init.
  IDirect3DTexture8* pictureTexture() const { return pictureTexture_; }

 private:
  IDirect3DVertexBuffer8* vertexBuffer_;
  IDirect3DTexture8* pictureTexture_;
  // Amplitude of the ripple, texture units, 0..kRippleMax.
  float ripple_;
  // Seconds into the ripple cycle.
  float rippleTime_;
  // Animation angles, radians: 0..5 drift the centre of turning, 6 the zoom, 7 the turn, 8 the
  // ripple's travel down the frame.
  float phases_[kPhaseCount];
  // Growth of each phase, radians per second.
  float speeds_[kPhaseCount];
};
