// Interference rings: two fields of concentric grey rings on wandering centres, the second added
// to the first, their strip edges wobbling on a 16-second envelope, the frame tinted pale blue.
#pragma once

#include <d3d8.h>

#include <cstdint>

#include "gfx/vertex_formats.h"
#include "scenes/scene.h"

class RingsEffect : public Scene {
 public:
  static constexpr int kPhaseCount = 10;
  // One quarter of a field is a strip of 257 vertex pairs, one per pixel row of its 256.
  static constexpr int kQuarterRows = 257;
  static constexpr int kVertexCount = 2 * kQuarterRows;
  // The ring texture holds one quarter of the pattern; its 2x2-averaged source field is twice as
  // wide and high.
  static constexpr int kTextureSize = 256;
  static constexpr int kFieldSize = 2 * kTextureSize;
  // Length of the wobble envelope's cycle, seconds.
  static constexpr float kEnvelopeCycle = 16.0f;

  // The wobble and the time into its envelope after one step.
  struct EnvelopeState {
    float wobble;
    float envelopeTime;
  };

  RingsEffect();
  ~RingsEffect() override;
  int Init() override;
  void Release() override;
  void Render() override;

  // Fills `block` (kFieldSize * kFieldSize values) with the 0/1 ring field, then writes the
  // kTextureSize * kTextureSize grey R5G6B5 texels over its start.
  static void BuildRingTexels(uint16_t* block);
  // One step of the wobble envelope by `deltaSeconds`: still for 6 s, swelling in over 2 s, full
  // for 6 s, fading out over the last 2 s.
  static EnvelopeState StepEnvelope(float envelopeTime, float deltaSeconds);

  // Draws one whole field of rings centred on (cx, cy) as four mirrored quarters, each strip edge
  // shifted sideways by up to `amplitude` pixels; uses the texture, stream and states already set.
  void DrawRingField(float cx, float cy, float amplitude, D3DCOLOR colour);

  float wobble() const { return wobble_; }
  float envelopeTime() const { return envelopeTime_; }
  // Radians, kPhaseCount of them.
  const float* phases() const { return phases_; }
  IDirect3DTexture8* ringTexture() const { return ringTexture_; }
  IDirect3DVertexBuffer8* vertexBuffer() const { return vertexBuffer_; }

 private:
  // Fills the buffer with one 256x256 quarter whose top-left corner is (x0, y0) and draws it.
  void DrawQuarter(float x0, float y0, float amplitude, float uLeft, float uRight, float v0, float vStep,
                   D3DCOLOR colour);

  IDirect3DVertexBuffer8* vertexBuffer_;
  IDirect3DTexture8* ringTexture_;
  // Covers the frame in strip order; multiplies it by the tint.
  ScreenVertex tintQuad_[4];
  // Growth of each phase, radians per second.
  float speeds_[kPhaseCount];
  // Animation angles, radians: 0 and 1 shift the wobble of the left and right strip edges, 2 and
  // 3 move the first centre and 4 scales its wobble, 5..8 move the second centre and 9 scales
  // its wobble.
  float phases_[kPhaseCount];
  // Strength of the strip wobble, 0..1.
  float wobble_;
  // Seconds into the wobble envelope's cycle.
  float envelopeTime_;
};
