// The small state key that picks a fast pixel path: texture filter, stage-0 colour and alpha
// sources, constant colour, fog, alpha test, depth test, blend mode, target format and whether
// interpolation is perspective-correct.
#pragma once

#include <cstdint>

namespace d3d8sw {

enum class TextureFilter : uint8_t { kNone = 0, kPoint = 1, kLinear = 2 };
// What stage 0 produces, after the rule for a stage without a texture: the diffuse colour, the
// texel, or their product (texel x texel and diffuse x diffuse are possible but rare).
enum class StageOp : uint8_t { kDiffuse = 0, kTexture = 1, kModulate = 2, kTextureSquared = 3, kDiffuseSquared = 4 };
// Blending reduced to its common cases: off (or ONE, ZERO), ONE + ONE, SRCALPHA + INVSRCALPHA,
// ZERO + ONE (colour untouched), ZERO + SRCCOLOR (multiply), any other pair.
enum class BlendMode : uint8_t { kOpaque = 0, kAdd = 1, kAlpha = 2, kNoColour = 3, kModulate = 4, kGeneral = 5 };
enum class TargetKind : uint8_t { kX8R8G8B8 = 0, kA8R8G8B8 = 1, kR5G6B5 = 2 };

struct PixelKey {
  TextureFilter filter = TextureFilter::kNone;
  StageOp colour = StageOp::kDiffuse;
  StageOp alpha = StageOp::kDiffuse;
  bool constColour = false;  // the diffuse colour is the same at every pixel
  bool fog = false;
  uint8_t alphaFunc = 0;  // D3DCMP_* of the alpha test, 0 when no alpha test
  uint8_t depthFunc = 0;  // D3DCMP_* of the depth test, 0 when no depth test
  bool depthWrite = false;
  bool depthD16 = false;  // D16 depth buffer (else D32)
  BlendMode blend = BlendMode::kOpaque;
  TargetKind target = TargetKind::kX8R8G8B8;
  bool vConstRow = false;  // point sampling with v constant along each row
  bool perspective = false;  // perspective-correct interpolation (vertices of differing rhw)

  constexpr uint32_t Encode() const {
    return static_cast<uint32_t>(filter) | (static_cast<uint32_t>(colour) << 2) |
           (static_cast<uint32_t>(alpha) << 5) | (uint32_t{constColour} << 8) | (uint32_t{fog} << 9) |
           (uint32_t{alphaFunc} << 10) | (uint32_t{depthFunc} << 14) | (uint32_t{depthWrite} << 18) |
           (uint32_t{depthD16} << 19) | (static_cast<uint32_t>(blend) << 20) |
           (static_cast<uint32_t>(target) << 23) | (uint32_t{vConstRow} << 25) |
           (uint32_t{perspective} << 26);
  }

  static constexpr PixelKey Decode(uint32_t key) {
    PixelKey k;
    k.filter = static_cast<TextureFilter>(key & 3);
    k.colour = static_cast<StageOp>((key >> 2) & 7);
    k.alpha = static_cast<StageOp>((key >> 5) & 7);
    k.constColour = ((key >> 8) & 1) != 0;
    k.fog = ((key >> 9) & 1) != 0;
    k.alphaFunc = static_cast<uint8_t>((key >> 10) & 15);
    k.depthFunc = static_cast<uint8_t>((key >> 14) & 15);
    k.depthWrite = ((key >> 18) & 1) != 0;
    k.depthD16 = ((key >> 19) & 1) != 0;
    k.blend = static_cast<BlendMode>((key >> 20) & 7);
    k.target = static_cast<TargetKind>((key >> 23) & 3);
    k.vConstRow = ((key >> 25) & 1) != 0;
    k.perspective = ((key >> 26) & 1) != 0;
    return k;
  }
};

}  // namespace d3d8sw
