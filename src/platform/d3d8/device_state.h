// The device's settable state, stored raw as the API receives it: render states and texture-stage
// states indexed by their enums, transforms, material, lights and viewport, with their defaults.
#pragma once

#include <cstring>

#include "d3d8types.h"

namespace d3d8sw {

// Texture stages the device stores states for (the real API's limit); only stage 0 draws.
constexpr int kStageCount = 8;
// Render-state enum values run below this bound; texture-stage state types below kStageStateCount.
constexpr int kRenderStateCount = 256;
constexpr int kStageStateCount = 29;
// Light slots (SetLight indices 0..7).
constexpr int kLightCount = 8;

struct LightSlot {
  D3DLIGHT8 light;
  bool defined = false;
  bool enabled = false;
};

struct DeviceState {
  DWORD renderStates[kRenderStateCount];
  DWORD stageStates[kStageCount][kStageStateCount];
  D3DMATRIX world;
  D3DMATRIX view;
  D3DMATRIX projection;
  D3DMATRIX textureTransforms[kStageCount];
  D3DMATERIAL8 material;
  LightSlot lights[kLightCount];
  D3DVIEWPORT8 viewport;

  // The defaults of a new device and of every Reset; the viewport covers the render target.
  void SetDefaults(bool hasDepthBuffer, UINT targetWidth, UINT targetHeight);

  float Float(D3DRENDERSTATETYPE state) const {
    float f;
    std::memcpy(&f, &renderStates[state], sizeof f);
    return f;
  }
  DWORD Get(D3DRENDERSTATETYPE state) const { return renderStates[state]; }
  DWORD Stage(int stage, D3DTEXTURESTAGESTATETYPE type) const { return stageStates[stage][type]; }

  static bool IsRenderState(DWORD state);
  static bool IsStageState(DWORD type);
};

// The default light LightEnable creates at an index nothing was set at: white, directional, +z.
D3DLIGHT8 DefaultLight();

}  // namespace d3d8sw
