// The vertex stage: reads vertices of a flexible vertex format, transforms them by world, view
// and projection, lights them with directional lights and the material, computes vertex fog,
// classifies them against the clip volume and projects the ones inside to the viewport.
#pragma once

#include <cstdint>

#include "device_state.h"
#include "shaded_vertex.h"
#include "vertex_format.h"

namespace d3d8sw {

class VertexProcessor {
 public:
  // Readies the derived matrices, light and fog constants for draws with this state and format.
  // Returns false for a vertex-stage mode this device does not draw (point or spot lights,
  // specular lighting, table fog, vertex blending, user clip planes, texture transforms).
  bool Prepare(const DeviceState& state, const VertexFormat& format, bool pointList);

  // Processes `count` vertices starting at `vertices` (`stride` bytes apart).
  void Process(const uint8_t* vertices, UINT stride, UINT count, ProcessedVertex* out) const;

  // Projects a clip-space vertex (inside the guard band, w > 0) to the viewport.
  void Project(const ShadedVertex& clip, ShadedVertex* screen) const;

  bool pretransformed() const { return format_.pretransformed; }

 private:
  struct Light {
    float dirX, dirY, dirZ;  // -normalised direction, in view space
    float diffuseR, diffuseG, diffuseB;
  };

  void ProcessTransformed(const uint8_t* vertex, ProcessedVertex* out) const;
  void ProcessPretransformed(const uint8_t* vertex, ProcessedVertex* out) const;
  void LightVertex(const uint8_t* vertex, float viewNx, float viewNy, float viewNz, ShadedVertex* out) const;

  VertexFormat format_;
  float worldView_[4][4];
  float worldViewProjection_[4][4];
  float normalMatrix_[3][3];  // inverse transpose of world x view's upper 3x3
  bool normalize_ = false;

  bool lighting_ = false;
  int lightCount_ = 0;
  Light lights_[kLightCount];
  bool colourVertex_ = false;
  DWORD diffuseSource_ = 0, ambientSource_ = 0, emissiveSource_ = 0;
  D3DMATERIAL8 material_;
  float ambientR_ = 0, ambientG_ = 0, ambientB_ = 0;  // AMBIENT + the lights' ambient colours

  int fogMode_ = 0;  // D3DFOG_*, 0 = no vertex fog
  bool rangeFog_ = false;
  float fogStart_ = 0, fogEnd_ = 1, fogDensity_ = 1;

  bool pointList_ = false;
  bool pointScale_ = false;
  float pointSize_ = 1, pointScaleA_ = 1, pointScaleB_ = 0, pointScaleC_ = 0;
  float viewportHeight_ = 0;

  // Viewport mapping: screen = offset + ndc * scale.
  float scaleX_ = 0, offsetX_ = 0, scaleY_ = 0, offsetY_ = 0, scaleZ_ = 0, offsetZ_ = 0;
};

}  // namespace d3d8sw
