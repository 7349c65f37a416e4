// Reference pixel stage.
#include "pixel_reference.h"

#include <algorithm>

#include "colour_math.h"

namespace d3d8sw {

namespace {

int Address(int64_t i, int size, DWORD mode) {
  if (mode == D3DTADDRESS_CLAMP) return static_cast<int>(std::clamp<int64_t>(i, 0, size - 1));
  int64_t m = i % size;
  if (m < 0) m += size;
  return static_cast<int>(m);
}

uint32_t Texel(const PixelState& s, int64_t iu, int64_t iv) {
  const TextureLevelView& t = s.texture;
  int x = Address(iu, t.width, s.addressU);
  int y = Address(iv, t.height, s.addressV);
  return t.texels[static_cast<size_t>(y) * t.pitch + x] | t.alphaOr;
}

uint32_t Argument(DWORD arg, uint32_t texel, uint32_t diffuse) { return arg == D3DTA_TEXTURE ? texel : diffuse; }

// One stage-0 operation on the texel and the diffuse colour (CURRENT is the diffuse colour).
uint32_t Operation(DWORD op, DWORD arg1, DWORD arg2, uint32_t texel, uint32_t diffuse, bool textureBound) {
  bool uses1 = op != D3DTOP_SELECTARG2;
  bool uses2 = op != D3DTOP_SELECTARG1;
  bool readsTexture = (uses1 && arg1 == D3DTA_TEXTURE) || (uses2 && arg2 == D3DTA_TEXTURE);
  // A stage without a texture whose operation reads the texture acts as SELECTARG1(CURRENT).
  if (readsTexture && !textureBound) return diffuse;
  switch (op) {
    case D3DTOP_SELECTARG1: return Argument(arg1, texel, diffuse);
    case D3DTOP_SELECTARG2: return Argument(arg2, texel, diffuse);
    case D3DTOP_MODULATE: return ModulateArgb(Argument(arg1, texel, diffuse), Argument(arg2, texel, diffuse));
    default: return diffuse;
  }
}

uint32_t Factor(DWORD factor, int shift, uint32_t src, uint32_t dst) {
  uint32_t sc = (src >> shift) & 0xFF;
  uint32_t dc = (dst >> shift) & 0xFF;
  uint32_t sa = src >> 24;
  switch (factor) {
    case D3DBLEND_ZERO: return 0;
    case D3DBLEND_ONE: return 255;
    case D3DBLEND_SRCCOLOR: return sc;
    case D3DBLEND_INVSRCCOLOR: return 255 - sc;
    case D3DBLEND_SRCALPHA: return sa;
    case D3DBLEND_INVSRCALPHA: return 255 - sa;
    case D3DBLEND_DESTCOLOR: return dc;
    case D3DBLEND_INVDESTCOLOR: return 255 - dc;
    default: return 0;
  }
}

}  // namespace

uint32_t PixelReference::Sample(const PixelState& s, int64_t u, int64_t v) {
  if (s.filter == TextureFilter::kPoint) return Texel(s, u >> kTexelFractionBits, v >> kTexelFractionBits);
  // Linear: t = u - 0.5 texel; blend texels floor(t) and floor(t) + 1 by the fraction of t.
  int64_t tu = u - (int64_t{1} << (kTexelFractionBits - 1));
  int64_t tv = v - (int64_t{1} << (kTexelFractionBits - 1));
  int64_t iu = tu >> kTexelFractionBits;
  int64_t iv = tv >> kTexelFractionBits;
  uint32_t fu = static_cast<uint32_t>((tu >> (kTexelFractionBits - 8)) & 0xFF);
  uint32_t fv = static_cast<uint32_t>((tv >> (kTexelFractionBits - 8)) & 0xFF);
  return Bilerp(Texel(s, iu, iv), Texel(s, iu + 1, iv), Texel(s, iu, iv + 1), Texel(s, iu + 1, iv + 1), fu, fv);
}

void PixelReference::ShadePixel(const PixelState& s, const Input& in, uint32_t* colour, void* depth) {
  uint32_t diffuse = PackArgb(ColourByte(in.a), ColourByte(in.r), ColourByte(in.g), ColourByte(in.b));
  uint32_t texel = 0;
  if (s.textureBound && s.filter != TextureFilter::kNone && s.texture.texels != nullptr) texel = Sample(s, in.u, in.v);

  uint32_t rgb;
  uint32_t alpha;
  if (s.colourOp == D3DTOP_DISABLE) {
    rgb = diffuse;
    alpha = diffuse;
  } else {
    rgb = Operation(s.colourOp, s.colourArg1, s.colourArg2, texel, diffuse, s.textureBound);
    alpha = s.alphaOp == D3DTOP_DISABLE
                ? diffuse
                : Operation(s.alphaOp, s.alphaArg1, s.alphaArg2, texel, diffuse, s.textureBound);
  }
  uint32_t src = (alpha & 0xFF000000) | (rgb & 0x00FFFFFF);

  if (s.fog) {
    uint32_t f = ClampFog(in.fog);
    uint32_t out = src & 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
      uint32_t c = (src >> shift) & 0xFF;
      uint32_t fc = (s.fogColour >> shift) & 0xFF;
      out |= ((c * f + fc * (kFogOne - f) + 32768) >> kFogFractionBits) << shift;
    }
    src = out;
  }

  if (s.alphaTest && !Compare(s.alphaFunc, src >> 24, s.alphaRef)) return;

  if (s.depthTest) {
    if (s.depthD16) {
      uint16_t* d = static_cast<uint16_t*>(depth);
      uint32_t z = DepthD16(in.z);
      if (!Compare(s.depthFunc, z, *d)) return;
      if (s.depthWrite) *d = static_cast<uint16_t>(z);
    } else {
      uint32_t* d = static_cast<uint32_t*>(depth);
      uint32_t z = DepthD32(in.z);
      if (!Compare(s.depthFunc, z, *d)) return;
      if (s.depthWrite) *d = z;
    }
  }

  uint32_t result = src;
  if (s.blend) {
    uint32_t dst = *colour;
    result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      uint32_t sc = (src >> shift) & 0xFF;
      uint32_t dc = (dst >> shift) & 0xFF;
      uint32_t fs = Factor(s.srcBlend, shift, src, dst);
      uint32_t fd = Factor(s.destBlend, shift, src, dst);
      result |= Min255(Div255Round(sc * fs + dc * fd)) << shift;
    }
  }
  // Targets without alpha keep it at 255, so that blending reads alpha 1 from them
  // (PixelStageTest.TargetsWithoutAlphaReadAlphaOne).
  if (s.target == TargetKind::kR5G6B5) {
    result = QuantiseToR5G6B5(result);
  } else if (s.target == TargetKind::kX8R8G8B8) {
    result |= 0xFF000000;
  }
  *colour = result;
}

void PixelReference::ShadeSpan(const PixelState& s, const SpanJob& job) {
  size_t depthBytes = s.depthD16 ? 2 : 4;
  for (int k = 0; k < job.count; ++k) {
    Input in;
    in.r = job.r + job.dr * k;
    in.g = job.g + job.dg * k;
    in.b = job.b + job.db * k;
    in.a = job.a + job.da * k;
    in.u = job.u + job.du * k;
    in.v = job.v + job.dv * k;
    in.z = job.z + job.dz * k;
    in.fog = job.fog + job.dfog * k;
    void* depth = job.depth != nullptr ? static_cast<uint8_t*>(job.depth) + depthBytes * k : nullptr;
    ShadePixel(s, in, job.colour + k, depth);
  }
}

void PixelReference::ShadeRuns(const PixelState& s, const Interpolants& p, const Run* runs, int count) {
  if (p.perspective) {
    for (int i = 0; i < count; ++i) {
      const Run& r = runs[i];
      ShadePerspectiveSpan(s, p, p.refY + r.dy, p.refX + r.dx, p.refX + r.dx + r.count - 1);
    }
    return;
  }
  for (int i = 0; i < count; ++i) {
    SpanJob job;
    p.JobOfRun(runs[i], &job);
    ShadeSpan(s, job);
  }
}

void PixelReference::ShadePerspectiveSpan(const PixelState& s, const Interpolants& p, int y, int x0, int x1) {
  constexpr double kColourScale = double(int64_t{1} << kColourFractionBits);
  constexpr double kTexelScale = double(int64_t{1} << kTexelFractionBits);
  size_t depthBytes = s.depthD16 ? 2 : 4;
  int dy = y - p.refY;
  for (int x = x0; x <= x1; ++x) {
    int dx = x - p.refX;
    Input in;
    in.r = p.r.At(dx, dy);
    in.g = p.g.At(dx, dy);
    in.b = p.b.At(dx, dy);
    in.a = p.a.At(dx, dy);
    in.u = p.u.At(dx, dy);
    in.v = p.v.At(dx, dy);
    in.z = p.z.At(dx, dy);
    in.fog = p.fog.At(dx, dy);
    double q = p.q.At(dx, dy);
    if (q > 0.0) {
      double w = 1.0 / q;
      if (p.perspectiveMask & 1) {
        in.r = RoundToFixed(p.qr.At(dx, dy) * w * kColourScale);
        in.g = RoundToFixed(p.qg.At(dx, dy) * w * kColourScale);
        in.b = RoundToFixed(p.qb.At(dx, dy) * w * kColourScale);
        in.a = RoundToFixed(p.qa.At(dx, dy) * w * kColourScale);
      }
      if (p.perspectiveMask & 2) in.u = RoundToFixed(p.qu.At(dx, dy) * w * p.uScale * kTexelScale);
      if (p.perspectiveMask & 4) in.v = RoundToFixed(p.qv.At(dx, dy) * w * p.vScale * kTexelScale);
      if (p.perspectiveMask & 8) in.fog = RoundToFixed(p.qfog.At(dx, dy) * w * kFogOne);
    }
    uint32_t* colour = s.colour + static_cast<size_t>(y) * s.colourPitch + x;
    void* depth = nullptr;
    if (s.depth != nullptr) {
      depth = static_cast<uint8_t*>(s.depth) + (static_cast<size_t>(y) * s.depthPitch + x) * depthBytes;
    }
    ShadePixel(s, in, colour, depth);
  }
}

}  // namespace d3d8sw
