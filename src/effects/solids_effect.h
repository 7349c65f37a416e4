// Banded solids: one of four built-in solids at a time tumbles in front of a fixed camera,
// projected on the processor and coloured from a small palette texture addressed by screen row,
// so its faces carry raster-bar bands that stay put on the screen while it turns. Every 10 s the
// next solid takes over: the old one sinks away, the new one rises in.
#pragma once

#include <d3d8.h>

#include <cstdint>

#include "effects/solid_models.h"
#include "gfx/camera.h"
#include "scenes/scene.h"

// A banded solid with the face normals the effect derives from it in Init.
struct SolidMesh {
  const Vector3* vertices;
  int vertexCount;
  const SolidFace* faces;
  int faceCount;
  Vector3* faceNormals;  // one unit vector a face; owned by the effect, null outside Init..Release
};

class SolidsEffect : public Scene {
 public:
  static constexpr int kPaletteSize = 64;  // texels a side
  static constexpr int kPaletteTexels = kPaletteSize * kPaletteSize;
  static constexpr int kMaxVertices = 1024;  // projected vertices of one solid
  static constexpr int kMaxTriangles = 1024;
  static constexpr UINT kBufferBytes = 3 * kMaxTriangles * 28;  // 86016: ScreenVertex entries
  static constexpr float kCycleSeconds = 10.0f;  // how long each solid has the stage

  SolidsEffect();
  ~SolidsEffect() override;
  int Init() override;
  void Release() override;
  void Render() override;

  // Writes the 64 by 64 palette, rows in order, as A8R8G8B8 values.
  static void BuildPalette(uint32_t* texels);
  // The sink for a cycle time t: 1 down to 0 over the first 2 s, 0 until 8 s, back to 1 at 10 s.
  static float SinkAt(float t);
  // Brightness of a face with normal n turned by the upper 3 by 3 part of the world matrix: the
  // sum of the turned normal's components, about -1.7..+1.7.
  static float FaceBrightness(const Vector3& n, const Matrix4& world);

  int currentSolid() const { return currentSolid_; }
  float cycleTime() const { return cycleTime_; }
  float sink() const { return sink_; }
  const float* angles() const { return angles_; }
  const SolidMesh& solid(int i) const { return solids_[i]; }
  const Camera& camera() const { return camera_; }
  IDirect3DTexture8* paletteTexture() const { return paletteTexture_; }
  IDirect3DVertexBuffer8* vertexBuffer() const { return vertexBuffer_; }
  // The matrices and projected vertices of the most recent frame.
  const Matrix4& worldMatrix() const { return worldMatrix_; }
  const Matrix4& combinedMatrix() const { return combinedMatrix_; }
  const Vector3* projectedVertices() const { return projected_; }

 private:
  void FreeFaceNormals();

  IDirect3DVertexBuffer8* vertexBuffer_;
  IDirect3DTexture8* paletteTexture_;
  Vector3 projected_[kMaxVertices];  // X, Y in frame pixels, Z in 0..1
  Matrix4 combinedMatrix_;           // world × view × scaled projection
  Matrix4 worldMatrix_;              // rotation and translation of the solid
  float angleSpeeds_[4];             // radians per second
  float angles_[4];                  // a0..a2 turn the solid, a3 swings its position
  float cycleTime_;                  // seconds since the current solid took over
  float sink_;                       // 0 in place, up to 1 at the ends of a solid's turn
  SolidMesh solids_[kSolidModelCount];
  int currentSolid_;
  Camera camera_;
};
