// Reading the pixel-stage state and reducing it to the fast-path key.
#include "pixel_state.h"

#include <cmath>

namespace d3d8sw {

namespace {

bool SupportedFactor(DWORD f) {
  switch (f) {
    case D3DBLEND_ZERO: case D3DBLEND_ONE: case D3DBLEND_SRCCOLOR: case D3DBLEND_INVSRCCOLOR:
    case D3DBLEND_SRCALPHA: case D3DBLEND_INVSRCALPHA: case D3DBLEND_DESTCOLOR: case D3DBLEND_INVDESTCOLOR:
      return true;
    default:
      return false;
  }
}

bool SupportedFilter(DWORD f) { return f == D3DTEXF_NONE || f == D3DTEXF_POINT || f == D3DTEXF_LINEAR; }

// Argument kinds stage 0 can read: the texture, or the diffuse colour (CURRENT is the diffuse
// colour in stage 0). -1 for anything else (factor, specular, temp, modifiers).
int ArgumentKind(DWORD arg) {
  if (arg == D3DTA_TEXTURE) return 1;
  if (arg == D3DTA_DIFFUSE || arg == D3DTA_CURRENT) return 0;
  return -1;
}

// The reduction of one stage-0 operation; false when it is outside what the device draws.
bool ReduceStage(DWORD op, DWORD arg1, DWORD arg2, bool textureBound, StageOp* out) {
  bool uses1 = op == D3DTOP_SELECTARG1 || op == D3DTOP_MODULATE;
  bool uses2 = op == D3DTOP_SELECTARG2 || op == D3DTOP_MODULATE;
  if (op == D3DTOP_DISABLE) {
    *out = StageOp::kDiffuse;
    return true;
  }
  if (!uses1 && !uses2) return false;
  int k1 = uses1 ? ArgumentKind(arg1) : 0;
  int k2 = uses2 ? ArgumentKind(arg2) : 0;
  if (k1 < 0 || k2 < 0) return false;
  // A stage without a texture whose operation reads the texture acts as SELECTARG1(CURRENT).
  if (!textureBound && ((uses1 && k1 == 1) || (uses2 && k2 == 1))) {
    *out = StageOp::kDiffuse;
    return true;
  }
  if (op == D3DTOP_SELECTARG1) {
    *out = k1 ? StageOp::kTexture : StageOp::kDiffuse;
  } else if (op == D3DTOP_SELECTARG2) {
    *out = k2 ? StageOp::kTexture : StageOp::kDiffuse;
  } else if (k1 != k2) {
    *out = StageOp::kModulate;
  } else {
    *out = k1 ? StageOp::kTextureSquared : StageOp::kDiffuseSquared;
  }
  return true;
}

bool UsesTexture(StageOp op) {
  return op == StageOp::kTexture || op == StageOp::kModulate || op == StageOp::kTextureSquared;
}

bool UsesDiffuse(StageOp op) {
  return op == StageOp::kDiffuse || op == StageOp::kModulate || op == StageOp::kDiffuseSquared;
}

bool ValidCompare(DWORD f) { return f >= D3DCMP_NEVER && f <= D3DCMP_ALWAYS; }

}  // namespace

bool PixelState::Configure(const DeviceState& state, bool bound, TargetKind targetKind, bool depthBuffer,
                           bool d16) {
  const DWORD* rs = state.renderStates;
  const DWORD* ts = state.stageStates[0];
  if (rs[D3DRS_FILLMODE] != D3DFILL_SOLID) return false;
  if (rs[D3DRS_STENCILENABLE] != 0) return false;
  if ((rs[D3DRS_COLORWRITEENABLE] & 0xF) != 0xF) return false;
  if (rs[D3DRS_ZENABLE] > D3DZB_TRUE) return false;
  if (rs[D3DRS_WRAP0] != 0) return false;
  DWORD shade = rs[D3DRS_SHADEMODE];
  if (shade < D3DSHADE_FLAT || shade > D3DSHADE_PHONG) return false;
  flatShading = shade == D3DSHADE_FLAT;

  textureBound = bound;
  colourOp = ts[D3DTSS_COLOROP];
  colourArg1 = ts[D3DTSS_COLORARG1];
  colourArg2 = ts[D3DTSS_COLORARG2];
  alphaOp = ts[D3DTSS_ALPHAOP];
  alphaArg1 = ts[D3DTSS_ALPHAARG1];
  alphaArg2 = ts[D3DTSS_ALPHAARG2];
  if (!ReduceStage(colourOp, colourArg1, colourArg2, bound, &colourStage)) return false;
  if (colourOp == D3DTOP_DISABLE) {
    // A disabled stage 0 disables the whole cascade: colour and alpha are the diffuse colour.
    alphaStage = StageOp::kDiffuse;
  } else {
    if (!ReduceStage(alphaOp, alphaArg1, alphaArg2, bound, &alphaStage)) return false;
    // Only stage 0 is drawn; a cascade that goes on to stage 1 is outside this device.
    if (state.stageStates[1][D3DTSS_COLOROP] != D3DTOP_DISABLE) return false;
  }
  textureUsed = UsesTexture(colourStage) || UsesTexture(alphaStage);
  diffuseUsed = UsesDiffuse(colourStage) || UsesDiffuse(alphaStage);

  addressU = ts[D3DTSS_ADDRESSU];
  addressV = ts[D3DTSS_ADDRESSV];
  magFilter = ts[D3DTSS_MAGFILTER];
  minFilter = ts[D3DTSS_MINFILTER];
  mipFilter = ts[D3DTSS_MIPFILTER];
  if (textureUsed) {
    auto address = [](DWORD a) { return a == D3DTADDRESS_WRAP || a == D3DTADDRESS_CLAMP; };
    if (!address(addressU) || !address(addressV)) return false;
    if (!SupportedFilter(magFilter) || !SupportedFilter(minFilter) || !SupportedFilter(mipFilter)) return false;
  }

  alphaTest = rs[D3DRS_ALPHATESTENABLE] != 0;
  alphaFunc = rs[D3DRS_ALPHAFUNC];
  alphaRef = rs[D3DRS_ALPHAREF] & 0xFF;
  if (alphaTest && !ValidCompare(alphaFunc)) return false;

  depthTest = depthBuffer && rs[D3DRS_ZENABLE] != D3DZB_FALSE;
  depthFunc = rs[D3DRS_ZFUNC];
  depthWrite = depthTest && rs[D3DRS_ZWRITEENABLE] != 0;
  depthD16 = d16;
  if (depthTest && !ValidCompare(depthFunc)) return false;

  blend = rs[D3DRS_ALPHABLENDENABLE] != 0;
  srcBlend = rs[D3DRS_SRCBLEND];
  destBlend = rs[D3DRS_DESTBLEND];
  if (blend) {
    if (rs[D3DRS_BLENDOP] != D3DBLENDOP_ADD) return false;
    if (!SupportedFactor(srcBlend) || !SupportedFactor(destBlend)) return false;
    if (srcBlend == D3DBLEND_ONE && destBlend == D3DBLEND_ZERO) {
      blendMode = BlendMode::kOpaque;
    } else if (srcBlend == D3DBLEND_ONE && destBlend == D3DBLEND_ONE) {
      blendMode = BlendMode::kAdd;
    } else if (srcBlend == D3DBLEND_SRCALPHA && destBlend == D3DBLEND_INVSRCALPHA) {
      blendMode = BlendMode::kAlpha;
    } else if (srcBlend == D3DBLEND_ZERO && destBlend == D3DBLEND_ONE) {
      blendMode = BlendMode::kNoColour;
    } else if (srcBlend == D3DBLEND_ZERO && destBlend == D3DBLEND_SRCCOLOR) {
      blendMode = BlendMode::kModulate;
    } else {
      blendMode = BlendMode::kGeneral;
    }
  } else {
    blendMode = BlendMode::kOpaque;
  }

  fog = rs[D3DRS_FOGENABLE] != 0;
  fogColour = rs[D3DRS_FOGCOLOR] & 0x00FFFFFF;
  target = targetKind;
  filter = TextureFilter::kNone;
  texture = TextureLevelView();
  return true;
}

int PixelState::ChooseLevel(int levelCount, float texelsPerPixel) const {
  if (mipFilter == D3DTEXF_NONE || levelCount <= 1 || !(texelsPerPixel > 1.0f)) return 0;
  // Nearest level by the primitive's footprint: level k halves the footprint k times.
  int level = static_cast<int>(std::floor(std::log2(texelsPerPixel) + 0.5f));
  if (level < 0) level = 0;
  if (level > levelCount - 1) level = levelCount - 1;
  return level;
}

void PixelState::SetTexture(const TextureLevelView& level, bool minified) {
  DWORD f = minified ? minFilter : magFilter;
  TextureFilter chosen = f == D3DTEXF_LINEAR ? TextureFilter::kLinear : TextureFilter::kPoint;
  // Consecutive primitives mostly sample the same level the same way.
  if (level.texels == texture.texels && level.width == texture.width && chosen == filter) return;
  texture = level;
  filter = chosen;
  auto mask = [](DWORD address, int size, bool* fast) -> int32_t {
    if (address == D3DTADDRESS_CLAMP) return -1;
    if ((size & (size - 1)) == 0) return size - 1;
    *fast = false;
    return -1;
  };
  addressFast = true;
  uAnd = mask(addressU, level.width, &addressFast);
  vAnd = mask(addressV, level.height, &addressFast);
}

uint32_t PixelState::PrimitiveKey(bool constColour, uint32_t constDiffuse, bool vConstRow, bool fogActive,
                                  bool perspective) const {
  PixelKey k;
  k.filter = textureUsed ? filter : TextureFilter::kNone;
  k.colour = colourStage;
  k.alpha = alphaStage;
  // Texel x opaque white is the texel, exactly: such primitives share the plain texture paths.
  if (constColour && k.colour == StageOp::kModulate && (constDiffuse & 0x00FFFFFF) == 0x00FFFFFF) {
    k.colour = StageOp::kTexture;
  }
  if (constColour && k.alpha == StageOp::kModulate && (constDiffuse >> 24) == 0xFF) k.alpha = StageOp::kTexture;
  // Blending by a source alpha of 255 at every pixel writes the source, exactly.
  bool opaqueSource = (k.alpha == StageOp::kDiffuse && constColour && (constDiffuse >> 24) == 0xFF) ||
                      (k.alpha == StageOp::kTexture && texture.alphaOr == 0xFF000000u);
  k.constColour = constColour;
  k.fog = fog && fogActive;
  k.alphaFunc = alphaTest && alphaFunc != D3DCMP_ALWAYS ? static_cast<uint8_t>(alphaFunc) : 0;
  k.depthFunc = depthTest && (depthFunc != D3DCMP_ALWAYS || depthWrite) ? static_cast<uint8_t>(depthFunc) : 0;
  k.depthWrite = depthTest && depthWrite;
  k.depthD16 = depthTest && depthD16;
  k.blend = blendMode == BlendMode::kAlpha && opaqueSource ? BlendMode::kOpaque : blendMode;
  k.target = target;
  k.vConstRow = vConstRow && k.filter == TextureFilter::kPoint && !perspective;
  k.perspective = perspective;
  return k.Encode();
}

}  // namespace d3d8sw
