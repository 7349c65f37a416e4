// Everything the pixel stage needs for one primitive: the raw stage-0, alpha-test, depth, fog and
// blend states (which the reference path evaluates as written), the texture level and filter of
// the primitive, the target, and the reductions the fast paths are chosen by.
#pragma once

#include <cstdint>

#include "device_state.h"
#include "pixel_key.h"

namespace d3d8sw {

struct TextureLevelView {
  const uint32_t* texels = nullptr;  // A8R8G8B8, rows `pitch` texels apart
  int width = 0;
  int height = 0;
  int pitch = 0;
  uint32_t alphaOr = 0;  // 0xFF000000 for formats without alpha
};

struct PixelState {
  // ---- Raw states ----
  DWORD colourOp = D3DTOP_DISABLE, colourArg1 = D3DTA_TEXTURE, colourArg2 = D3DTA_CURRENT;
  DWORD alphaOp = D3DTOP_DISABLE, alphaArg1 = D3DTA_TEXTURE, alphaArg2 = D3DTA_CURRENT;
  bool textureBound = false;  // stage 0 has a texture
  DWORD addressU = D3DTADDRESS_WRAP, addressV = D3DTADDRESS_WRAP;
  DWORD magFilter = D3DTEXF_POINT, minFilter = D3DTEXF_POINT, mipFilter = D3DTEXF_NONE;
  bool alphaTest = false;
  DWORD alphaFunc = D3DCMP_ALWAYS;
  uint32_t alphaRef = 0;
  bool depthTest = false;  // ZENABLE with a depth buffer bound
  DWORD depthFunc = D3DCMP_LESSEQUAL;
  bool depthWrite = false;
  bool depthD16 = false;
  bool blend = false;
  DWORD srcBlend = D3DBLEND_ONE, destBlend = D3DBLEND_ZERO;
  bool fog = false;  // FOGENABLE with vertex fog
  uint32_t fogColour = 0;
  TargetKind target = TargetKind::kX8R8G8B8;
  bool flatShading = false;

  // ---- Reductions ----
  StageOp colourStage = StageOp::kDiffuse;
  StageOp alphaStage = StageOp::kDiffuse;
  bool textureUsed = false;  // some stage-0 operation reads the texture
  bool diffuseUsed = true;   // some stage-0 operation reads the diffuse colour
  BlendMode blendMode = BlendMode::kOpaque;

  // ---- Per primitive ----
  TextureLevelView texture;
  TextureFilter filter = TextureFilter::kNone;
  // Addressing masks: for WRAP on a power-of-two size, size - 1; otherwise -1 (index & -1 is the
  // index, which the clamp to 0..size-1 then settles). WRAP on other sizes takes the reference path.
  int32_t uAnd = -1, vAnd = -1;
  bool addressFast = true;  // both axes can be addressed with the masks above

  // The AVX2 paths may run: the processor has AVX2 and the tests have not turned them off.
  bool wide = false;

  // ---- Target ----
  uint32_t* colour = nullptr;  // pixel (0, 0)
  int colourPitch = 0;         // pixels
  void* depth = nullptr;       // depth value (0, 0), or null
  int depthPitch = 0;          // values

  // Reads the device state. Returns false for a pixel-stage mode this device does not draw.
  bool Configure(const DeviceState& state, bool textureBound, TargetKind target, bool depthBuffer, bool depthD16);

  // Chooses the level and filter of the next primitive; `texelsPerPixel` is its texel footprint
  // on level 0 (magnification at 1 or less). Returns the chosen level index.
  int ChooseLevel(int levelCount, float texelsPerPixel) const;
  // Whether the choice of level and filter depends on the primitive's texel footprint.
  bool FootprintMatters(int levelCount) const {
    return minFilter != magFilter || (mipFilter != D3DTEXF_NONE && levelCount > 1);
  }
  void SetTexture(const TextureLevelView& level, bool minified);

  // The fast-path key of a primitive. `constColour` says the diffuse colour is the same over it,
  // `constDiffuse` is that colour (A8R8G8B8), `vConstRow` that v does not change along a row,
  // `fogActive` that some pixel may be fogged (a fog factor of 1 everywhere changes nothing). Only
  // a primitive of one colour may pass `constColour`: the key is reduced by that colour.
  // `perspective` says the primitive's planes are perspective-correct.
  uint32_t PrimitiveKey(bool constColour, uint32_t constDiffuse, bool vConstRow, bool fogActive,
                        bool perspective = false) const;
};

// D3DCMP_* comparison of `a` against `b`.
inline bool Compare(DWORD func, uint32_t a, uint32_t b) {
  switch (func) {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return a < b;
    case D3DCMP_EQUAL: return a == b;
    case D3DCMP_LESSEQUAL: return a <= b;
    case D3DCMP_GREATER: return a > b;
    case D3DCMP_NOTEQUAL: return a != b;
    case D3DCMP_GREATEREQUAL: return a >= b;
    default: return true;
  }
}

}  // namespace d3d8sw
