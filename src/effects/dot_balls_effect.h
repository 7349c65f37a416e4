// Dot balls: 25 balls of white single-pixel dots glide between four formations and tumble in front
// of a fixed camera. Each ball shows the half that faces the camera, and nearer balls hide farther
// ones by their screen discs instead of a depth buffer; all of it is worked out on the processor
// and the device only draws pre-transformed points.
#pragma once

#include <d3d8.h>

#include <memory>

#include "effects/morph_clock.h"
#include "gfx/camera.h"
#include "gfx/matrix4.h"
#include "gfx/vector3.h"
#include "gfx/vertex_formats.h"
#include "scenes/scene.h"

class DotBallsEffect : public Scene {
 public:
  static constexpr int kBallCount = 25;
  static constexpr int kDotsPerBall = 512;  // 16 rings of 32 dots
  // What the vertex buffer holds: every dot of every ball (12800).
  static constexpr int kMaxDots = kBallCount * kDotsPerBall;
  static constexpr int kFormationCount = 4;
  static constexpr float kBallRadius = 24.0f;  // world units

  // A dot on a ball at the origin, with its outward unit normal.
  struct BallPoint {
    Vector3 position;
    Vector3 normal;
  };
  // Frame-pixel offset of a facing dot from its ball's projected centre.
  struct DotOffset {
    float x, y;
  };
  // A ball's projected centre: X and Y in frame pixels, Z the undivided projected depth (larger is
  // farther).
  struct ScreenPosition {
    float x, y, z;
  };

  DotBallsEffect();
  ~DotBallsEffect() override;
  int Init() override;
  void Release() override;
  void Render() override;

  // The 512 dots of one ball: point 32i + j on ring i (0 and 15 are the poles) at column j.
  static void BuildBallPoints(BallPoint* points);
  // Formations 0 to 3 in order; formation 3 takes 75 random draws, x, y, z per ball.
  static void BuildFormations(Vector3 (*formations)[kBallCount]);
  // Writes X and Y of every dot that no nearer ball's disc (radius squared `rhoSquared`) covers,
  // ball by ball, each ball getting `offsetCount` (at most kDotsPerBall) offsets; returns how many
  // vertices were written, at most kMaxDots. Z, RHW and colour of `out` are left alone.
  static int WriteVisibleDots(const ScreenPosition* balls, const DotOffset* offsets, int offsetCount,
                              float rhoSquared, ColourVertex* out);

  const Vector3* formation(int index) const { return formations_[index]; }
  int currentFormation() const { return clock_.current; }
  float morph() const { return clock_.morph; }
  float morphTime() const { return clock_.time; }
  const float* angles() const { return angles_; }
  // Of the frame last rendered:
  const ScreenPosition* screenPositions() const { return screenPositions_; }
  const DotOffset* dotOffsets() const { return dotOffsets_.get(); }
  int facingDotCount() const { return facingDotCount_; }
  float screenRadiusSquared() const { return rhoSquared_; }
  int dotsDrawn() const { return dotsDrawn_; }

 private:
  IDirect3DVertexBuffer8* vertexBuffer_;  // kMaxDots ColourVertex entries; only X and Y change
  Camera camera_;
  Matrix4 world_;  // rebuilt every frame
  std::unique_ptr<BallPoint[]> ballPoints_;  // kDotsPerBall
  std::unique_ptr<DotOffset[]> dotOffsets_;  // kDotsPerBall, the first facingDotCount_ in use
  Vector3 formations_[kFormationCount][kBallCount];
  ScreenPosition screenPositions_[kBallCount];
  MorphClock clock_;
  // Tumble about x, y and z, then the phase of the vertical bob; radians.
  float angles_[4];
  // Growth of each angle, radians per second.
  float speeds_[4];
  int facingDotCount_;
  float rhoSquared_;  // squared screen radius of a ball, frame pixels
  int dotsDrawn_;
};
