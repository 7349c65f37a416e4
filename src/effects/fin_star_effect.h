// Fin star and glass cube: an opaque grey fin star, a lit translucent blue cube and the same fin
// star again in translucent white with the opposite culling, all tumbling at one spot, so that
// every fin shows once: grey with one screen winding, white with the other.
#pragma once

#include <d3d8.h>

#include <cstdint>

#include "gfx/camera.h"
#include "gfx/render_state_list.h"
#include "scenes/scene.h"

// One of the three models drawn in turn: twelve triangles as 36 indices into a position array,
// all in one colour.
struct LitModel {
  const uint8_t* indices;
  const Vector3* positions;
  D3DCOLOR colour;
};

// Position, flat normal and colour (FVF 0x52, 28 bytes).
struct FinStarVertex {
  float x, y, z;
  float nx, ny, nz;
  D3DCOLOR diffuse;
};

class FinStarEffect : public Scene {
 public:
  static constexpr int kModelCount = 3;
  static constexpr int kVerticesPerModel = 36;
  static constexpr DWORD kVertexFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE;
  static constexpr UINT kBufferBytes = kVerticesPerModel * sizeof(FinStarVertex);  // 1008

  FinStarEffect();
  ~FinStarEffect() override;
  int Init() override;
  void Release() override;
  void Render() override;

  // Model 0: grey fin star; 1: glass cube; 2: white fin star (same geometry as model 0).
  static const LitModel& model(int m);
  // The render states each model's pass applies; the white star's list is short on purpose.
  static const RenderStatePair* stateList(int m);
  static int stateCount(int m);
  // The light and material the glass cube is lit with.
  static const D3DLIGHT8& light();
  static const D3DMATERIAL8& material();

  // The three rotation angles of model m, radians in 0..6.283184.
  const float* angles(int m) const { return angles_[m]; }
  const Camera& camera() const { return camera_; }
  IDirect3DVertexBuffer8* vertexBuffer(int m) const { return vertexBuffers_[m]; }
  // The world matrix model m is drawn with at its current angles.
  Matrix4 WorldMatrix(int m) const;

 private:
  IDirect3DVertexBuffer8* vertexBuffers_[kModelCount];
  float angleSpeeds_[kModelCount][3];  // radians per second
  float angles_[kModelCount][3];       // radians
  Camera camera_;
};
