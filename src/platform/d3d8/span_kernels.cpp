// Fast span loops specialised by state key, and the table of compiled keys.
#include "span_kernels.h"

#include <algorithm>
#include <array>
#include <utility>

#include "colour_math.h"

namespace d3d8sw {

namespace {

// Texel index with the stage's addressing: `mask` is size - 1 for WRAP on a power-of-two size
// (the AND wraps) and -1 for CLAMP (the AND keeps the index and the clamp settles it).
inline int AddressFast(int64_t index, int32_t mask, int size) {
  int64_t i = index & mask;
  i = i < 0 ? 0 : i;
  i = i > size - 1 ? size - 1 : i;
  return static_cast<int>(i);
}

template <StageOp kOp>
inline uint32_t StageResult(uint32_t texel, uint32_t diffuse) {
  if constexpr (kOp == StageOp::kDiffuse) {
    return diffuse;
  } else if constexpr (kOp == StageOp::kTexture) {
    return texel;
  } else if constexpr (kOp == StageOp::kModulate) {
    return ModulateArgb(texel, diffuse);
  } else if constexpr (kOp == StageOp::kTextureSquared) {
    return ModulateArgb(texel, texel);
  } else {
    return ModulateArgb(diffuse, diffuse);
  }
}

template <uint8_t kFunc>
inline bool CompareFixed(uint32_t a, uint32_t b) {
  if constexpr (kFunc == D3DCMP_NEVER) return false;
  else if constexpr (kFunc == D3DCMP_LESS) return a < b;
  else if constexpr (kFunc == D3DCMP_EQUAL) return a == b;
  else if constexpr (kFunc == D3DCMP_LESSEQUAL) return a <= b;
  else if constexpr (kFunc == D3DCMP_GREATER) return a > b;
  else if constexpr (kFunc == D3DCMP_NOTEQUAL) return a != b;
  else if constexpr (kFunc == D3DCMP_GREATEREQUAL) return a >= b;
  else return true;
}

// Round(x / 255) on the two 16-bit lanes of x (bits 0..15 and 16..31), each lane <= 65025.
inline uint32_t Div255Lanes(uint32_t x) {
  x += 0x00800080;
  return ((x + ((x >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
}

// Source over destination by source alpha, all four channels, as the reference rounds them.
inline uint32_t BlendAlpha(uint32_t src, uint32_t dst) {
  uint32_t a = src >> 24;
  uint32_t ia = 255 - a;
  uint32_t rb = Div255Lanes((src & 0x00FF00FF) * a + (dst & 0x00FF00FF) * ia);
  uint32_t ag = Div255Lanes(((src >> 8) & 0x00FF00FF) * a + ((dst >> 8) & 0x00FF00FF) * ia);
  return rb | (ag << 8);
}

// Saturating per-channel sum.
inline uint32_t AddSaturate(uint32_t a, uint32_t b) {
  uint32_t rb = (a & 0x00FF00FF) + (b & 0x00FF00FF);
  uint32_t ag = ((a >> 8) & 0x00FF00FF) + ((b >> 8) & 0x00FF00FF);
  rb |= 0x01000100 - ((rb >> 8) & 0x00010001);
  ag |= 0x01000100 - ((ag >> 8) & 0x00010001);
  return (rb & 0x00FF00FF) | ((ag & 0x00FF00FF) << 8);
}

template <uint32_t kKey>
void FastSpan(const PixelState& s, const SpanJob& j) {
  constexpr PixelKey k = PixelKey::Decode(kKey);
  constexpr bool kTexture = k.filter != TextureFilter::kNone;
  constexpr bool kDepth = k.depthFunc != 0;
  // What the target stores beside the colour: X8R8G8B8 keeps alpha at 255.
  constexpr uint32_t kTargetAlpha = k.target == TargetKind::kX8R8G8B8 ? 0xFF000000u : 0u;

  uint32_t* out = j.colour;
  const int n = j.count;
  int64_t r = j.r, g = j.g, b = j.b, a = j.a;
  int64_t u = j.u, v = j.v, z = j.z, fog = j.fog;

  const uint32_t* texels = s.texture.texels;
  const int pitch = s.texture.pitch;
  const int width = s.texture.width;
  const int height = s.texture.height;
  const int32_t uAnd = s.uAnd;
  const int32_t vAnd = s.vAnd;
  const uint32_t alphaOr = s.texture.alphaOr;
  const uint32_t* row = nullptr;
  if constexpr (k.vConstRow) {
    row = texels + static_cast<size_t>(AddressFast(v >> kTexelFractionBits, vAnd, height)) * pitch;
  }
  const uint32_t constDiffuse =
      k.constColour ? PackArgb(ColourByte(a), ColourByte(r), ColourByte(g), ColourByte(b)) : 0u;

  // The stretch of the post pass: a plain copy of one texel row, no addressing needed when the
  // run stays inside the texture.
  if constexpr (k.vConstRow && k.colour == StageOp::kTexture && k.alpha == StageOp::kTexture && !k.fog &&
                k.alphaFunc == 0 && !kDepth && k.blend == BlendMode::kOpaque &&
                k.target != TargetKind::kR5G6B5) {
    int64_t first = u >> kTexelFractionBits;
    int64_t last = (u + j.du * (n - 1)) >> kTexelFractionBits;
    if (first >= 0 && first < width && last >= 0 && last < width) {
      const uint32_t orMask = alphaOr | kTargetAlpha;
      const int64_t du = j.du;
      for (int i = 0; i < n; ++i) {
        out[i] = row[u >> kTexelFractionBits] | orMask;
        u += du;
      }
      return;
    }
  }

  [[maybe_unused]] uint16_t* depth16 = static_cast<uint16_t*>(j.depth);
  [[maybe_unused]] uint32_t* depth32 = static_cast<uint32_t*>(j.depth);

  for (int i = 0; i < n; ++i) {
    uint32_t texel = 0;
    if constexpr (k.filter == TextureFilter::kPoint) {
      int iu = AddressFast(u >> kTexelFractionBits, uAnd, width);
      if constexpr (k.vConstRow) {
        texel = row[iu] | alphaOr;
      } else {
        int iv = AddressFast(v >> kTexelFractionBits, vAnd, height);
        texel = texels[static_cast<size_t>(iv) * pitch + iu] | alphaOr;
      }
    } else if constexpr (k.filter == TextureFilter::kLinear) {
      int64_t tu = u - (int64_t{1} << (kTexelFractionBits - 1));
      int64_t tv = v - (int64_t{1} << (kTexelFractionBits - 1));
      int64_t iu = tu >> kTexelFractionBits;
      int64_t iv = tv >> kTexelFractionBits;
      uint32_t fu = static_cast<uint32_t>((tu >> (kTexelFractionBits - 8)) & 0xFF);
      uint32_t fv = static_cast<uint32_t>((tv >> (kTexelFractionBits - 8)) & 0xFF);
      int x0 = AddressFast(iu, uAnd, width);
      int x1 = AddressFast(iu + 1, uAnd, width);
      const uint32_t* row0 = texels + static_cast<size_t>(AddressFast(iv, vAnd, height)) * pitch;
      const uint32_t* row1 = texels + static_cast<size_t>(AddressFast(iv + 1, vAnd, height)) * pitch;
      texel = Bilerp(row0[x0] | alphaOr, row0[x1] | alphaOr, row1[x0] | alphaOr, row1[x1] | alphaOr, fu, fv);
    }
    (void)kTexture;
    uint32_t diffuse = k.constColour ? constDiffuse : PackArgb(ColourByte(a), ColourByte(r), ColourByte(g), ColourByte(b));
    uint32_t src = (StageResult<k.alpha>(texel, diffuse) & 0xFF000000) |
                   (StageResult<k.colour>(texel, diffuse) & 0x00FFFFFF);
    if constexpr (k.fog) {
      uint32_t f = ClampFog(fog);
      uint32_t fc = s.fogColour;
      uint32_t fogged = src & 0xFF000000;
      for (int shift = 0; shift < 24; shift += 8) {
        uint32_t c = (src >> shift) & 0xFF;
        uint32_t q = (fc >> shift) & 0xFF;
        fogged |= ((c * f + q * (kFogOne - f) + 32768) >> kFogFractionBits) << shift;
      }
      src = fogged;
    }
    bool keep = true;
    if constexpr (k.alphaFunc != 0) keep = CompareFixed<k.alphaFunc>(src >> 24, s.alphaRef);
    if constexpr (kDepth) {
      if (keep) {
        if constexpr (k.depthD16) {
          uint32_t zq = DepthD16(z);
          keep = CompareFixed<k.depthFunc>(zq, depth16[i]);
          if constexpr (k.depthWrite) {
            if (keep) depth16[i] = static_cast<uint16_t>(zq);
          }
        } else {
          uint32_t zq = DepthD32(z);
          keep = CompareFixed<k.depthFunc>(zq, depth32[i]);
          if constexpr (k.depthWrite) {
            if (keep) depth32[i] = zq;
          }
        }
      }
    }
    if constexpr (k.blend != BlendMode::kNoColour) {
      if (keep) {
        uint32_t result;
        if constexpr (k.blend == BlendMode::kOpaque) {
          result = src;
        } else if constexpr (k.blend == BlendMode::kAdd) {
          result = AddSaturate(src, out[i]);
        } else if constexpr (k.blend == BlendMode::kAlpha) {
          result = BlendAlpha(src, out[i]);
        } else {
          static_assert(k.blend == BlendMode::kModulate);
          result = ModulateArgb(out[i], src);
        }
        if constexpr (k.target == TargetKind::kR5G6B5) {
          result = QuantiseToR5G6B5(result);
        } else {
          result |= kTargetAlpha;
        }
        out[i] = result;
      }
    }
    if constexpr (!k.constColour) {
      r += j.dr;
      g += j.dg;
      b += j.db;
      a += j.da;
    }
    u += j.du;
    v += j.dv;
    z += j.dz;
    fog += j.dfog;
  }
}

// ---- The compiled keys ----

struct Shape {
  TextureFilter filter;
  StageOp colour;
  StageOp alpha;
  bool constColour;
  bool fog;
  uint8_t alphaFunc;
  uint8_t depthFunc;
  bool depthWrite;
  BlendMode blend;
  bool vConstRow;
};

constexpr TextureFilter kNoTex = TextureFilter::kNone;
constexpr TextureFilter kPoint = TextureFilter::kPoint;
constexpr TextureFilter kLinear = TextureFilter::kLinear;
constexpr StageOp kDif = StageOp::kDiffuse;
constexpr StageOp kTex = StageOp::kTexture;
constexpr StageOp kMod = StageOp::kModulate;
constexpr uint8_t kLE = D3DCMP_LESSEQUAL;

// The state combinations the show draws with (target and depth format vary separately).
constexpr Shape kShapes[] = {
    // Untextured: Gouraud bars and backdrop; constant colour in every blend; tint multiply.
    {kNoTex, kDif, kDif, false, false, 0, 0, false, BlendMode::kOpaque, false},
    {kNoTex, kDif, kDif, true, false, 0, 0, false, BlendMode::kOpaque, false},
    {kNoTex, kDif, kDif, true, false, 0, 0, false, BlendMode::kAdd, false},
    {kNoTex, kDif, kDif, true, false, 0, 0, false, BlendMode::kAlpha, false},
    {kNoTex, kDif, kDif, true, false, 0, 0, false, BlendMode::kModulate, false},
    // Depth-tested solids, points and lit models; fogged points; masked stripes.
    {kNoTex, kDif, kDif, true, false, 0, kLE, true, BlendMode::kOpaque, false},
    {kNoTex, kDif, kDif, true, false, 0, kLE, true, BlendMode::kAlpha, false},
    {kNoTex, kDif, kDif, true, true, 0, kLE, true, BlendMode::kOpaque, false},
    {kNoTex, kDif, kDif, false, false, 0, kLE, true, BlendMode::kOpaque, false},
    {kNoTex, kDif, kDif, true, false, 0, D3DCMP_EQUAL, true, BlendMode::kOpaque, false},
    // Point-sampled texture: stretches, rotozoom, rings, tiles, transitions.
    {kPoint, kTex, kTex, true, false, 0, 0, false, BlendMode::kOpaque, true},
    {kPoint, kTex, kTex, true, false, 0, 0, false, BlendMode::kOpaque, false},
    {kPoint, kTex, kTex, true, false, 0, 0, false, BlendMode::kAdd, false},
    {kPoint, kTex, kTex, true, false, 0, 0, false, BlendMode::kAdd, true},
    {kPoint, kTex, kTex, true, false, 0, 0, false, BlendMode::kAlpha, false},
    {kPoint, kTex, kTex, true, false, 0, 0, false, BlendMode::kAlpha, true},
    {kPoint, kMod, kTex, true, false, 0, 0, false, BlendMode::kOpaque, true},
    {kPoint, kMod, kTex, true, false, 0, 0, false, BlendMode::kOpaque, false},
    {kPoint, kTex, kMod, true, false, 0, 0, false, BlendMode::kAlpha, false},
    {kPoint, kTex, kMod, true, false, 0, 0, false, BlendMode::kAlpha, true},
    {kPoint, kTex, kDif, true, false, 0, 0, false, BlendMode::kAlpha, false},
    {kPoint, kTex, kDif, true, false, 0, 0, false, BlendMode::kAlpha, true},
    {kPoint, kMod, kDif, true, false, 0, 0, false, BlendMode::kAlpha, false},
    {kPoint, kMod, kDif, true, false, 0, 0, false, BlendMode::kAlpha, true},
    // Depth-tested textured solids; fogged, alpha-tested sprites; the glyph depth mask.
    {kPoint, kTex, kTex, true, false, 0, kLE, true, BlendMode::kOpaque, false},
    {kPoint, kTex, kTex, true, false, 0, kLE, true, BlendMode::kOpaque, true},
    {kPoint, kTex, kTex, true, true, D3DCMP_NOTEQUAL, kLE, true, BlendMode::kOpaque, false},
    {kPoint, kTex, kTex, true, true, D3DCMP_NOTEQUAL, kLE, true, BlendMode::kOpaque, true},
    {kPoint, kTex, kTex, true, false, D3DCMP_NOTEQUAL, kLE, true, BlendMode::kOpaque, false},
    {kPoint, kTex, kTex, true, false, D3DCMP_NOTEQUAL, kLE, true, BlendMode::kOpaque, true},
    {kPoint, kTex, kTex, true, false, D3DCMP_EQUAL, D3DCMP_ALWAYS, true, BlendMode::kNoColour, false},
    {kPoint, kTex, kTex, true, false, D3DCMP_EQUAL, D3DCMP_ALWAYS, true, BlendMode::kNoColour, true},
    // Bilinear ring plates.
    {kLinear, kMod, kTex, true, false, 0, 0, false, BlendMode::kOpaque, false},
    {kLinear, kMod, kTex, true, false, 0, 0, false, BlendMode::kAdd, false},
    {kLinear, kTex, kTex, true, false, 0, 0, false, BlendMode::kOpaque, false},
    {kLinear, kTex, kTex, true, false, 0, 0, false, BlendMode::kAdd, false},
};

constexpr size_t kShapeCount = sizeof(kShapes) / sizeof(kShapes[0]);
constexpr TargetKind kTargets[] = {TargetKind::kX8R8G8B8, TargetKind::kA8R8G8B8, TargetKind::kR5G6B5};
// Shapes with a depth test come in D32 and D16 forms.
constexpr size_t kVariantsPerShape = 3 * 2;

constexpr uint32_t KeyOf(size_t index) {
  const Shape& sh = kShapes[index / kVariantsPerShape];
  size_t variant = index % kVariantsPerShape;
  PixelKey k;
  k.filter = sh.filter;
  k.colour = sh.colour;
  k.alpha = sh.alpha;
  k.constColour = sh.constColour;
  k.fog = sh.fog;
  k.alphaFunc = sh.alphaFunc;
  k.depthFunc = sh.depthFunc;
  k.depthWrite = sh.depthWrite;
  k.depthD16 = sh.depthFunc != 0 && (variant / 3) == 1;
  k.blend = sh.blend;
  k.target = kTargets[variant % 3];
  k.vConstRow = sh.vConstRow;
  return k.Encode();
}

constexpr size_t kEntryCount = kShapeCount * kVariantsPerShape;

struct Entry {
  uint32_t key;
  SpanFunction function;
};

template <size_t... I>
constexpr std::array<Entry, kEntryCount> MakeEntries(std::index_sequence<I...>) {
  return {Entry{KeyOf(I), &FastSpan<KeyOf(I)>}...};
}

// Sorted by key with duplicates (depth-less shapes have no D16 form) removed.
struct Table {
  std::array<Entry, kEntryCount> entries;
  std::array<uint32_t, kEntryCount> keys;
  size_t count = 0;
  Table() {
    std::array<Entry, kEntryCount> all = MakeEntries(std::make_index_sequence<kEntryCount>());
    std::sort(all.begin(), all.end(), [](const Entry& x, const Entry& y) { return x.key < y.key; });
    for (const Entry& e : all) {
      if (count > 0 && entries[count - 1].key == e.key) continue;
      entries[count] = e;
      keys[count] = e.key;
      ++count;
    }
  }
};

const Table& TheTable() {
  static const Table table;
  return table;
}

}  // namespace

SpanFunction SpanKernels::Find(uint32_t key) {
  const Table& t = TheTable();
  const Entry* begin = t.entries.data();
  const Entry* end = begin + t.count;
  const Entry* it = std::lower_bound(begin, end, key, [](const Entry& e, uint32_t k) { return e.key < k; });
  return (it != end && it->key == key) ? it->function : nullptr;
}

const uint32_t* SpanKernels::Keys(size_t* count) {
  const Table& t = TheTable();
  *count = t.count;
  return t.keys.data();
}

}  // namespace d3d8sw
