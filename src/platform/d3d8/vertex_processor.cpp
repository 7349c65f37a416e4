// Vertex transformation, lighting, fog and clip classification.
#include "vertex_processor.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace d3d8sw {

namespace {

void Multiply(const D3DMATRIX& a, const D3DMATRIX& b, float out[4][4]) {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      out[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    }
  }
}

void Multiply(const float a[4][4], const D3DMATRIX& b, float out[4][4]) {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      out[i][j] = a[i][0] * b.m[0][j] + a[i][1] * b.m[1][j] + a[i][2] * b.m[2][j] + a[i][3] * b.m[3][j];
    }
  }
}

// Clamps to 0..1; NaN becomes 0.
float Clamp01(float x) { return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f; }

float ReadFloat(const uint8_t* p) {
  float f;
  std::memcpy(&f, p, sizeof f);
  return f;
}

DWORD ReadDword(const uint8_t* p) {
  DWORD d;
  std::memcpy(&d, p, sizeof d);
  return d;
}

// D3DCOLOR alpha and colour channels as floats in 0..1.
D3DCOLORVALUE ColourValue(DWORD c) {
  return {static_cast<float>((c >> 16) & 0xFF) / 255.0f, static_cast<float>((c >> 8) & 0xFF) / 255.0f,
          static_cast<float>(c & 0xFF) / 255.0f, static_cast<float>(c >> 24) / 255.0f};
}

float Quantise(float unit) { return std::floor(Clamp01(unit) * 255.0f + 0.5f); }

bool Finite(float f) { return std::isfinite(f); }

// The guard bits of a screen position: where clipping keeps it in the rasterizer's range.
uint32_t ScreenGuardBits(float x, float y) {
  uint32_t bits = 0;
  if (x < -kScreenGuard) bits |= kGuardLeft;
  if (x > kScreenGuard) bits |= kGuardRight;
  if (y < -kScreenGuard) bits |= kGuardBottom;
  if (y > kScreenGuard) bits |= kGuardTop;
  return bits;
}

}  // namespace

bool VertexProcessor::Prepare(const DeviceState& state, const VertexFormat& format, bool pointList) {
  format_ = format;
  pointList_ = pointList;
  const DWORD* rs = state.renderStates;
  if (rs[D3DRS_VERTEXBLEND] != 0 || rs[D3DRS_CLIPPLANEENABLE] != 0 || rs[D3DRS_INDEXEDVERTEXBLENDENABLE] != 0) {
    return false;
  }
  if ((state.stageStates[0][D3DTSS_TEXTURETRANSFORMFLAGS] & 0xFF) != 0) return false;
  if ((state.stageStates[0][D3DTSS_TEXCOORDINDEX] & 0xFFFF) != 0 ||
      (state.stageStates[0][D3DTSS_TEXCOORDINDEX] & 0xFFFF0000) != D3DTSS_TCI_PASSTHRU) {
    return false;
  }

  const D3DVIEWPORT8& vp = state.viewport;
  scaleX_ = static_cast<float>(vp.Width) * 0.5f;
  offsetX_ = static_cast<float>(vp.X) + scaleX_;
  scaleY_ = -static_cast<float>(vp.Height) * 0.5f;
  offsetY_ = static_cast<float>(vp.Y) - scaleY_;
  scaleZ_ = vp.MaxZ - vp.MinZ;
  offsetZ_ = vp.MinZ;
  viewportHeight_ = static_cast<float>(vp.Height);

  pointSize_ = state.Float(D3DRS_POINTSIZE);
  pointScale_ = rs[D3DRS_POINTSCALEENABLE] != 0;
  pointScaleA_ = state.Float(D3DRS_POINTSCALE_A);
  pointScaleB_ = state.Float(D3DRS_POINTSCALE_B);
  pointScaleC_ = state.Float(D3DRS_POINTSCALE_C);

  bool fogEnabled = rs[D3DRS_FOGENABLE] != 0;
  if (fogEnabled && rs[D3DRS_FOGTABLEMODE] != D3DFOG_NONE) return false;
  DWORD vertexFog = rs[D3DRS_FOGVERTEXMODE];
  if (vertexFog > D3DFOG_LINEAR) return false;
  fogMode_ = (fogEnabled && !format.pretransformed) ? static_cast<int>(vertexFog) : 0;
  rangeFog_ = rs[D3DRS_RANGEFOGENABLE] != 0;
  fogStart_ = state.Float(D3DRS_FOGSTART);
  fogEnd_ = state.Float(D3DRS_FOGEND);
  fogDensity_ = state.Float(D3DRS_FOGDENSITY);

  lighting_ = rs[D3DRS_LIGHTING] != 0 && !format.pretransformed;
  if (format.pretransformed) return true;

  Multiply(state.world, state.view, worldView_);
  Multiply(worldView_, state.projection, worldViewProjection_);

  // Normals go through the inverse transpose of world x view's 3x3 part (cofactors over the
  // determinant); a singular matrix flattens every normal to zero.
  const float (*m)[4] = worldView_;
  float c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
  float c01 = m[1][2] * m[2][0] - m[1][0] * m[2][2];
  float c02 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
  float c10 = m[0][2] * m[2][1] - m[0][1] * m[2][2];
  float c11 = m[0][0] * m[2][2] - m[0][2] * m[2][0];
  float c12 = m[0][1] * m[2][0] - m[0][0] * m[2][1];
  float c20 = m[0][1] * m[1][2] - m[0][2] * m[1][1];
  float c21 = m[0][2] * m[1][0] - m[0][0] * m[1][2];
  float c22 = m[0][0] * m[1][1] - m[0][1] * m[1][0];
  float det = m[0][0] * c00 + m[0][1] * c01 + m[0][2] * c02;
  float inv = (det != 0.0f && Finite(det)) ? 1.0f / det : 0.0f;
  // inverse = adjugate / det with adjugate[i][j] = cofactor[j][i]; its transpose is cofactor / det.
  normalMatrix_[0][0] = c00 * inv;
  normalMatrix_[0][1] = c01 * inv;
  normalMatrix_[0][2] = c02 * inv;
  normalMatrix_[1][0] = c10 * inv;
  normalMatrix_[1][1] = c11 * inv;
  normalMatrix_[1][2] = c12 * inv;
  normalMatrix_[2][0] = c20 * inv;
  normalMatrix_[2][1] = c21 * inv;
  normalMatrix_[2][2] = c22 * inv;
  normalize_ = rs[D3DRS_NORMALIZENORMALS] != 0;

  if (!lighting_) return true;
  colourVertex_ = rs[D3DRS_COLORVERTEX] != 0;
  diffuseSource_ = rs[D3DRS_DIFFUSEMATERIALSOURCE];
  ambientSource_ = rs[D3DRS_AMBIENTMATERIALSOURCE];
  emissiveSource_ = rs[D3DRS_EMISSIVEMATERIALSOURCE];
  material_ = state.material;
  D3DCOLORVALUE ambient = ColourValue(rs[D3DRS_AMBIENT]);
  ambientR_ = ambient.r;
  ambientG_ = ambient.g;
  ambientB_ = ambient.b;
  lightCount_ = 0;
  for (const LightSlot& slot : state.lights) {
    if (!slot.defined || !slot.enabled) continue;
    const D3DLIGHT8& l = slot.light;
    if (l.Type != D3DLIGHT_DIRECTIONAL) return false;
    // Specular highlights are not drawn: refuse rather than draw them wrong.
    if (rs[D3DRS_SPECULARENABLE] != 0) return false;
    const D3DMATRIX& v = state.view;
    float dx = l.Direction.x * v.m[0][0] + l.Direction.y * v.m[1][0] + l.Direction.z * v.m[2][0];
    float dy = l.Direction.x * v.m[0][1] + l.Direction.y * v.m[1][1] + l.Direction.z * v.m[2][1];
    float dz = l.Direction.x * v.m[0][2] + l.Direction.y * v.m[1][2] + l.Direction.z * v.m[2][2];
    float len = std::sqrt(dx * dx + dy * dy + dz * dz);
    float s = (len > 0.0f && Finite(len)) ? -1.0f / len : 0.0f;
    Light& out = lights_[lightCount_++];
    out.dirX = dx * s;
    out.dirY = dy * s;
    out.dirZ = dz * s;
    out.diffuseR = l.Diffuse.r;
    out.diffuseG = l.Diffuse.g;
    out.diffuseB = l.Diffuse.b;
    ambientR_ += l.Ambient.r;
    ambientG_ += l.Ambient.g;
    ambientB_ += l.Ambient.b;
  }
  return true;
}

void VertexProcessor::Process(const uint8_t* vertices, UINT stride, UINT count, ProcessedVertex* out) const {
  if (format_.pretransformed) {
    for (UINT i = 0; i < count; ++i) ProcessPretransformed(vertices + static_cast<size_t>(i) * stride, out + i);
  } else {
    for (UINT i = 0; i < count; ++i) ProcessTransformed(vertices + static_cast<size_t>(i) * stride, out + i);
  }
}

void VertexProcessor::ProcessPretransformed(const uint8_t* vertex, ProcessedVertex* out) const {
  ShadedVertex& s = out->screen;
  DWORD diffuse = format_.hasDiffuse ? ReadDword(vertex + format_.diffuseOffset) : 0xFFFFFFFF;
  out->diffuse = diffuse;
  float u = 0.0f, v = 0.0f;
  if (format_.hasTexCoord) {
    u = ReadFloat(vertex + format_.texCoordOffset);
    v = ReadFloat(vertex + format_.texCoordOffset + 4);
  }
#if defined(__SSE2__)
  static_assert(offsetof(ShadedVertex, w) == offsetof(ShadedVertex, x) + 12 &&
                    offsetof(ShadedVertex, a) == offsetof(ShadedVertex, r) + 12,
                "the position and the colour are four floats in a row");
  // The four position values, the four colour channels and the texture coordinates a vector at a
  // time (strips of screen-space rows bring thousands of vertices a frame).
  const __m128 position = _mm_loadu_ps(reinterpret_cast<const float*>(vertex));
  const __m128 coordinates = _mm_setr_ps(u, v, 0.0f, 0.0f);
  // b, g, r, a as 32-bit lanes, then r, g, b, a.
  const __m128i zero = _mm_setzero_si128();
  const __m128i channels =
      _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(diffuse)), zero), zero);
  _mm_storeu_ps(&s.x, position);
  _mm_storeu_ps(&s.r, _mm_cvtepi32_ps(_mm_shuffle_epi32(channels, _MM_SHUFFLE(3, 0, 1, 2))));
  s.u = u;
  s.v = v;
  s.fog = 1.0f;
  // Not finite: all exponent bits set.
  const __m128i exponent = _mm_set1_epi32(0x7F800000);
  const __m128i notFinite =
      _mm_or_si128(_mm_cmpeq_epi32(_mm_and_si128(_mm_castps_si128(position), exponent), exponent),
                   _mm_cmpeq_epi32(_mm_and_si128(_mm_castps_si128(coordinates), exponent), exponent));
  const uint32_t bits = _mm_movemask_epi8(notFinite) != 0 ? kClipInvalid : ScreenGuardBits(s.x, s.y);
#else
  s.x = ReadFloat(vertex);
  s.y = ReadFloat(vertex + 4);
  s.z = ReadFloat(vertex + 8);
  s.w = ReadFloat(vertex + 12);
  s.a = static_cast<float>(diffuse >> 24);
  s.r = static_cast<float>((diffuse >> 16) & 0xFF);
  s.g = static_cast<float>((diffuse >> 8) & 0xFF);
  s.b = static_cast<float>(diffuse & 0xFF);
  s.u = u;
  s.v = v;
  s.fog = 1.0f;
  const bool finite = Finite(s.x) && Finite(s.y) && Finite(s.z) && Finite(s.w) && Finite(s.u) && Finite(s.v);
  const uint32_t bits = finite ? ScreenGuardBits(s.x, s.y) : kClipInvalid;
#endif
  out->clipBits = bits;
  out->pointSize = pointSize_;
}

void VertexProcessor::ProcessTransformed(const uint8_t* vertex, ProcessedVertex* out) const {
  float x = ReadFloat(vertex);
  float y = ReadFloat(vertex + 4);
  float z = ReadFloat(vertex + 8);
  ShadedVertex& c = out->clip;
  const float (*m)[4] = worldViewProjection_;
  c.x = x * m[0][0] + y * m[1][0] + z * m[2][0] + m[3][0];
  c.y = x * m[0][1] + y * m[1][1] + z * m[2][1] + m[3][1];
  c.z = x * m[0][2] + y * m[1][2] + z * m[2][2] + m[3][2];
  c.w = x * m[0][3] + y * m[1][3] + z * m[2][3] + m[3][3];

  bool needView = fogMode_ != 0 || (pointList_ && pointScale_);
  float vx = 0, vy = 0, vz = 0;
  if (needView) {
    const float (*wv)[4] = worldView_;
    vx = x * wv[0][0] + y * wv[1][0] + z * wv[2][0] + wv[3][0];
    vy = x * wv[0][1] + y * wv[1][1] + z * wv[2][1] + wv[3][1];
    vz = x * wv[0][2] + y * wv[1][2] + z * wv[2][2] + wv[3][2];
  }

  if (lighting_) {
    float nx = 0, ny = 0, nz = 0;
    if (format_.hasNormal) {
      float ix = ReadFloat(vertex + format_.normalOffset);
      float iy = ReadFloat(vertex + format_.normalOffset + 4);
      float iz = ReadFloat(vertex + format_.normalOffset + 8);
      const float (*n)[3] = normalMatrix_;
      nx = ix * n[0][0] + iy * n[1][0] + iz * n[2][0];
      ny = ix * n[0][1] + iy * n[1][1] + iz * n[2][1];
      nz = ix * n[0][2] + iy * n[1][2] + iz * n[2][2];
      if (normalize_) {
        float len = std::sqrt(nx * nx + ny * ny + nz * nz);
        if (len > 0.0f) {
          nx /= len;
          ny /= len;
          nz /= len;
        }
      }
    }
    LightVertex(vertex, nx, ny, nz, &c);
    out->diffuse = (static_cast<uint32_t>(c.a) << 24) | (static_cast<uint32_t>(c.r) << 16) |
                   (static_cast<uint32_t>(c.g) << 8) | static_cast<uint32_t>(c.b);
  } else {
    DWORD diffuse = format_.hasDiffuse ? ReadDword(vertex + format_.diffuseOffset) : 0xFFFFFFFF;
    out->diffuse = diffuse;
    c.a = static_cast<float>(diffuse >> 24);
    c.r = static_cast<float>((diffuse >> 16) & 0xFF);
    c.g = static_cast<float>((diffuse >> 8) & 0xFF);
    c.b = static_cast<float>(diffuse & 0xFF);
  }
  if (format_.hasTexCoord) {
    c.u = ReadFloat(vertex + format_.texCoordOffset);
    c.v = ReadFloat(vertex + format_.texCoordOffset + 4);
  } else {
    c.u = c.v = 0.0f;
  }

  c.fog = 1.0f;
  if (fogMode_ != 0) {
    float d = rangeFog_ ? std::sqrt(vx * vx + vy * vy + vz * vz) : std::fabs(vz);
    float f;
    if (fogMode_ == D3DFOG_LINEAR) {
      // Equal start and end fog everything.
      f = fogEnd_ != fogStart_ ? (fogEnd_ - d) / (fogEnd_ - fogStart_) : 0.0f;
    } else if (fogMode_ == D3DFOG_EXP) {
      f = std::exp(-d * fogDensity_);
    } else {
      float t = d * fogDensity_;
      f = std::exp(-t * t);
    }
    c.fog = Clamp01(f);
  }

  out->pointSize = pointSize_;
  if (pointList_ && pointScale_) {
    float de = std::sqrt(vx * vx + vy * vy + vz * vz);
    float denominator = pointScaleA_ + pointScaleB_ * de + pointScaleC_ * de * de;
    if (denominator > 0.0f) out->pointSize = viewportHeight_ * pointSize_ * std::sqrt(1.0f / denominator);
  }

  uint32_t bits = 0;
  if (!Finite(c.x) || !Finite(c.y) || !Finite(c.z) || !Finite(c.w) || !Finite(c.u) || !Finite(c.v)) {
    out->clipBits = kClipInvalid;
    return;
  }
  float w = c.w;
  if (c.x < -w) bits |= kClipLeft;
  if (c.x > w) bits |= kClipRight;
  if (c.y < -w) bits |= kClipBottom;
  if (c.y > w) bits |= kClipTop;
  if (c.z < 0.0f) bits |= kClipNear;
  if (c.z > w) bits |= kClipFar;
  float g = kGuardBand * w;
  if (c.x < -g) bits |= kGuardLeft;
  if (c.x > g) bits |= kGuardRight;
  if (c.y < -g) bits |= kGuardBottom;
  if (c.y > g) bits |= kGuardTop;
  if (w < kMinClipW) bits |= kClipMinW;
  out->clipBits = bits;
  if ((bits & kClipPlaneBits) == 0) Project(c, &out->screen);
}

void VertexProcessor::LightVertex(const uint8_t* vertex, float nx, float ny, float nz, ShadedVertex* out) const {
  D3DCOLORVALUE vertexDiffuse = {1, 1, 1, 1};
  bool haveDiffuse = colourVertex_ && format_.hasDiffuse;
  if (haveDiffuse) vertexDiffuse = ColourValue(ReadDword(vertex + format_.diffuseOffset));
  // COLOR1 is the vertex diffuse colour; COLOR2 (specular) never exists in the formats drawn
  // here, so it falls back to the material as a missing vertex colour does.
  auto source = [&](DWORD which, const D3DCOLORVALUE& materialColour) -> const D3DCOLORVALUE& {
    return (which == D3DMCS_COLOR1 && haveDiffuse) ? vertexDiffuse : materialColour;
  };
  const D3DCOLORVALUE& diffuse = source(diffuseSource_, material_.Diffuse);
  const D3DCOLORVALUE& ambient = source(ambientSource_, material_.Ambient);
  const D3DCOLORVALUE& emissive = source(emissiveSource_, material_.Emissive);
  float r = ambient.r * ambientR_ + emissive.r;
  float g = ambient.g * ambientG_ + emissive.g;
  float b = ambient.b * ambientB_ + emissive.b;
  for (int i = 0; i < lightCount_; ++i) {
    const Light& l = lights_[i];
    float ndl = nx * l.dirX + ny * l.dirY + nz * l.dirZ;
    if (ndl > 0.0f) {
      r += diffuse.r * l.diffuseR * ndl;
      g += diffuse.g * l.diffuseG * ndl;
      b += diffuse.b * l.diffuseB * ndl;
    }
  }
  out->r = Quantise(r);
  out->g = Quantise(g);
  out->b = Quantise(b);
  out->a = Quantise(diffuse.a);
}

void VertexProcessor::Project(const ShadedVertex& clip, ShadedVertex* screen) const {
  float rhw = 1.0f / clip.w;
  *screen = clip;
  screen->x = offsetX_ + clip.x * rhw * scaleX_;
  screen->y = offsetY_ + clip.y * rhw * scaleY_;
  screen->z = offsetZ_ + clip.z * rhw * scaleZ_;
  screen->w = rhw;
}

}  // namespace d3d8sw
