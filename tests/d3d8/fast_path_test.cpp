// Every fast pixel path against the reference path: the same pixels and depth values, for random
// spans over random targets in each path's state, and for whole scenes drawn through the device.
#include <cstring>
#include <random>

#include "device_fixture.h"
#include "platform/d3d8/colour_math.h"
#include "platform/d3d8/pixel_key.h"
#include "platform/d3d8/pixel_reference.h"
#include "platform/d3d8/span_kernels.h"
#include "platform/d3d8/wide_vectors.h"

namespace {

// Whether this processor runs the AVX2 paths (every other trial below takes them).
bool WideAvailable() {
#if defined(D3D8SW_WIDE_VECTORS)
  return d3d8sw::HaveAvx2();
#else
  return false;
#endif
}

using d3d8sw::BlendMode;
using d3d8sw::PixelKey;
using d3d8sw::PixelReference;
using d3d8sw::PixelState;
using d3d8sw::SpanJob;
using d3d8sw::SpanKernels;
using d3d8sw::StageOp;
using d3d8sw::TargetKind;
using d3d8sw::TextureFilter;

// Raw stage-0 states that reduce to `op`.
void StageFor(StageOp op, DWORD* operation, DWORD* arg1, DWORD* arg2) {
  switch (op) {
    case StageOp::kDiffuse: *operation = D3DTOP_SELECTARG1; *arg1 = D3DTA_DIFFUSE; *arg2 = D3DTA_CURRENT; break;
    case StageOp::kTexture: *operation = D3DTOP_SELECTARG1; *arg1 = D3DTA_TEXTURE; *arg2 = D3DTA_CURRENT; break;
    case StageOp::kModulate: *operation = D3DTOP_MODULATE; *arg1 = D3DTA_TEXTURE; *arg2 = D3DTA_CURRENT; break;
    case StageOp::kTextureSquared: *operation = D3DTOP_MODULATE; *arg1 = D3DTA_TEXTURE; *arg2 = D3DTA_TEXTURE; break;
    case StageOp::kDiffuseSquared: *operation = D3DTOP_MODULATE; *arg1 = D3DTA_DIFFUSE; *arg2 = D3DTA_CURRENT; break;
  }
}

void BlendFor(BlendMode mode, PixelState* s) {
  s->blend = mode != BlendMode::kOpaque;
  switch (mode) {
    case BlendMode::kOpaque: s->srcBlend = D3DBLEND_ONE; s->destBlend = D3DBLEND_ZERO; break;
    case BlendMode::kAdd: s->srcBlend = D3DBLEND_ONE; s->destBlend = D3DBLEND_ONE; break;
    case BlendMode::kAlpha: s->srcBlend = D3DBLEND_SRCALPHA; s->destBlend = D3DBLEND_INVSRCALPHA; break;
    case BlendMode::kNoColour: s->srcBlend = D3DBLEND_ZERO; s->destBlend = D3DBLEND_ONE; break;
    case BlendMode::kModulate: s->srcBlend = D3DBLEND_ZERO; s->destBlend = D3DBLEND_SRCCOLOR; break;
    case BlendMode::kGeneral: s->srcBlend = D3DBLEND_SRCCOLOR; s->destBlend = D3DBLEND_DESTCOLOR; break;
  }
  s->blendMode = mode;
}

TEST(FastPathTest, EveryFastPathGivesTheReferencePixels) {
  size_t count = 0;
  const uint32_t* keys = SpanKernels::Keys(&count);
  ASSERT_GT(count, 50u);
  std::mt19937 random(99);
  auto next = [&](uint32_t bound) { return static_cast<uint32_t>(random() % bound); };
  constexpr int kWidth = 48;
  constexpr int kTexW = 16, kTexH = 8;
  std::vector<uint32_t> texels(kTexW * kTexH);

  for (size_t i = 0; i < count; ++i) {
    const PixelKey k = PixelKey::Decode(keys[i]);
    SCOPED_TRACE(testing::Message() << "key 0x" << std::hex << keys[i]);
    d3d8sw::SpanFunction fast = SpanKernels::Find(keys[i]);
    ASSERT_NE(fast, nullptr);
    for (int trial = 0; trial < 200; ++trial) {
      for (uint32_t& t : texels) t = random();
      // Every third trial: texels that are clear, opaque or black, so that whole groups of pixels
      // are left alone or copied by the blends' shortcuts.
      if (trial % 3 == 2) {
        for (uint32_t& t : texels) {
          const uint32_t kinds[4] = {0u, t | 0xFF000000u, t & 0x00FFFFFFu, t & 0xFF000000u};
          t = kinds[next(4)];
        }
      }
      PixelState s;
      s.textureBound = k.filter != TextureFilter::kNone;
      StageFor(k.colour, &s.colourOp, &s.colourArg1, &s.colourArg2);
      StageFor(k.alpha, &s.alphaOp, &s.alphaArg1, &s.alphaArg2);
      s.colourStage = k.colour;
      s.alphaStage = k.alpha;
      s.textureUsed = s.textureBound;
      s.filter = k.filter;
      s.texture = {texels.data(), kTexW, kTexH, kTexW, next(2) ? 0xFF000000u : 0u};
      s.addressU = next(2) ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP;
      s.addressV = next(2) ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP;
      s.uAnd = s.addressU == D3DTADDRESS_WRAP ? kTexW - 1 : -1;
      s.vAnd = s.addressV == D3DTADDRESS_WRAP ? kTexH - 1 : -1;
      s.alphaTest = k.alphaFunc != 0;
      s.alphaFunc = k.alphaFunc != 0 ? DWORD{k.alphaFunc} : DWORD{D3DCMP_ALWAYS};
      s.alphaRef = trial % 3 == 2 ? 255 * next(2) : next(256);  // the palette's alphas pass EQUAL
      s.depthTest = k.depthFunc != 0;
      s.depthFunc = k.depthFunc;
      s.depthWrite = k.depthWrite;
      s.depthD16 = k.depthD16;
      BlendFor(k.blend, &s);
      s.fog = k.fog;
      s.fogColour = random() & 0x00FFFFFF;
      s.target = k.target;
      s.wide = (trial & 1) != 0 && WideAvailable();

      // Target and depth contents as the formats store them.
      std::vector<uint32_t> colour(kWidth);
      for (uint32_t& c : colour) {
        c = random();
        if (k.target == TargetKind::kX8R8G8B8) c |= 0xFF000000;
        if (k.target == TargetKind::kR5G6B5) c = d3d8sw::QuantiseToR5G6B5(c);
      }
      std::vector<uint32_t> depth32(kWidth);
      std::vector<uint16_t> depth16(kWidth);
      for (int x = 0; x < kWidth; ++x) {
        depth32[x] = random();
        depth16[x] = static_cast<uint16_t>(random());
        // Some depths equal to the incoming value make EQUAL tests pass.
        if (next(3) == 0) {
          depth32[x] = 0x80000000u;
          depth16[x] = 32768;
        }
      }

      SpanJob job;
      job.count = 1 + static_cast<int>(next(kWidth));
      int64_t unit = int64_t{1} << 16;
      if (k.constColour) {
        job.r = next(256) * unit;
        job.g = next(256) * unit;
        job.b = next(256) * unit;
        job.a = next(256) * unit;
        job.dr = job.dg = job.db = job.da = 0;
      } else {
        int64_t span = job.count;
        auto channel = [&](int64_t* start, int64_t* step) {
          int64_t from = next(256) * unit + next(65536);
          int64_t to = next(256) * unit;
          *start = std::min<int64_t>(from, 255 * unit);
          *step = (to - *start) / span;
        };
        channel(&job.r, &job.dr);
        channel(&job.g, &job.dg);
        channel(&job.b, &job.db);
        channel(&job.a, &job.da);
      }
      int64_t texel = int64_t{1} << 32;
      job.u = static_cast<int64_t>(random() % (8 * kTexW)) * texel / 2 - 2 * kTexW * texel + next(1u << 31);
      job.du = static_cast<int64_t>(static_cast<int32_t>(random())) * 4;
      job.v = static_cast<int64_t>(random() % (8 * kTexH)) * texel / 2 - 2 * kTexH * texel + next(1u << 31);
      job.dv = k.vConstRow ? 0 : static_cast<int64_t>(static_cast<int32_t>(random())) * 2;
      if (next(3) == 0) job.dv = 0;  // rows at one v (axis-aligned quads) take their own paths
      if (next(4) == 0 || trial % 3 == 2) {
        // Runs inside the texture take the unaddressed copy loops (and the palette's trials, so
        // that their shortcuts are reached).
        job.u = next(kTexW / 2) * texel;
        job.du = next(1u << 31);
      } else if (next(3) == 0) {
        // Runs at two pixels per texel, exactly or drifting a little (a frame stretched to about
        // twice its size), take the paired walks.
        job.count = 8 + static_cast<int>(next(kTexW));
        job.u = next(kTexW / 4) * texel + next(1u << 31);
        job.du = texel / 2 + (next(2) == 0 ? 0 : static_cast<int64_t>(next(1u << 24)) - (int64_t{1} << 23));
      }
      job.z = (int64_t{1} << 39) + static_cast<int64_t>(static_cast<int32_t>(random())) * 64;
      job.dz = next(3) == 0 || trial % 3 == 2 ? 0 : static_cast<int64_t>(static_cast<int32_t>(random())) * 4;
      if (next(3) == 0) job.z = int64_t{1} << 39;  // 0.5: hits the 0x80000000 and 32768 depths
      job.fog = next(70000) - 2000;
      job.dfog = static_cast<int32_t>(next(4001)) - 2000;

      std::vector<uint32_t> colourFast = colour, colourRef = colour;
      std::vector<uint32_t> depth32Fast = depth32, depth32Ref = depth32;
      std::vector<uint16_t> depth16Fast = depth16, depth16Ref = depth16;
      SpanJob fastJob = job, refJob = job;
      fastJob.colour = colourFast.data();
      refJob.colour = colourRef.data();
      fastJob.depth = k.depthD16 ? static_cast<void*>(depth16Fast.data()) : depth32Fast.data();
      refJob.depth = k.depthD16 ? static_cast<void*>(depth16Ref.data()) : depth32Ref.data();
      if (!s.depthTest) fastJob.depth = refJob.depth = nullptr;
      fast(s, fastJob);
      PixelReference::ShadeSpan(s, refJob);
      ASSERT_EQ(colourFast, colourRef) << "trial " << trial << (s.wide ? " (AVX2)" : "");
      ASSERT_EQ(depth32Fast, depth32Ref) << "trial " << trial;
      ASSERT_EQ(depth16Fast, depth16Ref) << "trial " << trial;
    }
  }
}

// The states the show draws with all have fast paths, in every target format (effects draw into
// A8R8G8B8 or R5G6B5 frames, overlays into X8R8G8B8 or R5G6B5 back buffers) and depth format.
TEST(FastPathTest, TheShowsStatesHaveFastPaths) {
  struct Draw {
    const char* name;
    PixelKey key;
  };
  auto key = [](TextureFilter filter, StageOp colour, StageOp alpha, bool constColour, bool fog, uint8_t alphaFunc,
                uint8_t depthFunc, BlendMode blend, bool vConstRow) {
    PixelKey k;
    k.filter = filter;
    k.colour = colour;
    k.alpha = alpha;
    k.constColour = constColour;
    k.fog = fog;
    k.alphaFunc = alphaFunc;
    k.depthFunc = depthFunc;
    k.depthWrite = depthFunc != 0;
    k.blend = blend;
    k.vConstRow = vConstRow;
    return k;
  };
  const TextureFilter none = TextureFilter::kNone, point = TextureFilter::kPoint, linear = TextureFilter::kLinear;
  const StageOp dif = StageOp::kDiffuse, tex = StageOp::kTexture, mod = StageOp::kModulate;
  const uint8_t le = D3DCMP_LESSEQUAL;
  const Draw draws[] = {
      {"raster bars, backdrop", key(none, dif, dif, false, false, 0, 0, BlendMode::kOpaque, false)},
      {"rotozoom, rings, solids", key(point, tex, tex, true, false, 0, 0, BlendMode::kOpaque, false)},
      {"second ring field", key(point, tex, tex, true, false, 0, 0, BlendMode::kAdd, false)},
      {"ring tint", key(none, dif, dif, true, false, 0, 0, BlendMode::kModulate, false)},
      {"moire plates", key(linear, mod, tex, true, false, 0, 0, BlendMode::kOpaque, false)},
      {"moire second plate", key(linear, mod, tex, true, false, 0, 0, BlendMode::kAdd, false)},
      {"square tunnel", key(none, dif, dif, true, false, 0, 0, BlendMode::kAdd, false)},
      {"points and carpet", key(none, dif, dif, true, false, 0, le, BlendMode::kOpaque, false)},
      {"fogged points", key(none, dif, dif, true, true, 0, le, BlendMode::kOpaque, false)},
      {"glass cube", key(none, dif, dif, true, false, 0, le, BlendMode::kAlpha, false)},
      {"sprites", key(point, tex, tex, true, true, D3DCMP_NOTEQUAL, le, BlendMode::kOpaque, true)},
      {"near sprites", key(point, tex, tex, true, false, D3DCMP_NOTEQUAL, le, BlendMode::kOpaque, true)},
      {"solids", key(point, tex, tex, true, false, 0, le, BlendMode::kOpaque, false)},
      {"coloured solid faces", key(point, mod, tex, true, false, 0, le, BlendMode::kOpaque, false)},
      {"post pass", key(point, tex, tex, true, false, 0, 0, BlendMode::kOpaque, true)},
      {"reflection", key(point, mod, tex, true, false, 0, 0, BlendMode::kOpaque, true)},
      {"cross-fade", key(point, tex, dif, true, false, 0, 0, BlendMode::kAlpha, true)},
      {"reflected cross-fade", key(point, mod, dif, true, false, 0, 0, BlendMode::kAlpha, true)},
      {"banner, ticker fading", key(point, tex, mod, true, false, 0, 0, BlendMode::kAlpha, true)},
      {"banner, ticker", key(point, tex, tex, true, false, 0, 0, BlendMode::kAlpha, true)},
      {"glyph outlines", key(point, tex, tex, true, false, 0, 0, BlendMode::kAdd, true)},
      {"stripes", key(none, dif, dif, true, false, 0, D3DCMP_EQUAL, BlendMode::kOpaque, false)},
  };
  for (const Draw& d : draws) {
    for (TargetKind target : {TargetKind::kX8R8G8B8, TargetKind::kA8R8G8B8, TargetKind::kR5G6B5}) {
      for (bool d16 : {false, true}) {
        PixelKey k = d.key;
        k.target = target;
        k.depthD16 = d16 && k.depthFunc != 0;
        EXPECT_NE(SpanKernels::Find(k.Encode()), nullptr) << d.name << " target " << static_cast<int>(target);
      }
    }
  }
  // The glyph mask: depth only, where the texture is transparent.
  PixelKey mask = key(point, tex, tex, true, false, D3DCMP_EQUAL, D3DCMP_ALWAYS, BlendMode::kNoColour, true);
  EXPECT_NE(SpanKernels::Find(mask.Encode()), nullptr);
}

// A scene with the states the show draws with, through the device: fast paths and reference.
class SceneTest : public DeviceFixture {
 protected:
  std::vector<uint32_t> DrawScene(bool reference, D3DFORMAT backBuffer, D3DFORMAT target, D3DFORMAT depth);
};

std::vector<uint32_t> SceneTest::DrawScene(bool reference, D3DFORMAT backBuffer, D3DFORMAT targetFormat,
                                           D3DFORMAT depth) {
  d3d8test::UseReferencePixels(reference);
  CreateDevice(backBuffer, depth);
  std::mt19937 generator(7);
  auto random = [&generator]() { return static_cast<DWORD>(generator()); };
  std::vector<uint32_t> texels(64 * 64);
  for (uint32_t& t : texels) t = random() | ((random() & 1) ? 0xFF000000u : 0u);
  IDirect3DTexture8* picture = MakeTexture(64, 64, texels);
  IDirect3DTexture8* frame = nullptr;
  device_->CreateTexture(256, 128, 1, D3DUSAGE_RENDERTARGET, targetFormat, D3DPOOL_DEFAULT, &frame);
  IDirect3DSurface8* frameSurface = nullptr;
  frame->GetSurfaceLevel(0, &frameSurface);
  IDirect3DSurface8* back = nullptr;
  IDirect3DSurface8* depthSurface = nullptr;
  device_->GetRenderTarget(&back);
  device_->GetDepthStencilSurface(&depthSurface);

  device_->BeginScene();
  device_->SetRenderTarget(frameSurface, depthSurface);
  D3DVIEWPORT8 viewport = {0, 0, 160, 120, 0, 1};
  device_->SetViewport(&viewport);
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1, 0);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device_->SetRenderState(D3DRS_ZENABLE, FALSE);
  // Gouraud bars.
  device_->SetTexture(0, nullptr);
  for (int i = 0; i < 6; ++i) {
    float y = 10.0f + 17.3f * i;
    DrawColourTriangle({-5, y, 0.5f, 1, 0xFF000000 | random()}, {170, y + 3, 0.5f, 1, 0xFF000000 | random()},
                       {40, y + 40, 0.5f, 1, 0x00000000 | random()});
  }
  // Rotated tiled picture, then additive and multiplied layers.
  device_->SetTexture(0, picture);
  TlVertex rotated[4] = {{10, 5, 0.5f, 1, 0xFFFFFFFF, -0.3f, 0.2f}, {150, 20, 0.5f, 1, 0xFFFFFFFF, 2.1f, -0.4f},
                         {0, 110, 0.5f, 1, 0xFFFFFFFF, 0.4f, 2.5f}, {155, 118, 0.5f, 1, 0xFFFFFFFF, 2.8f, 1.9f}};
  device_->SetVertexShader(kFvfTl);
  device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, rotated, sizeof(TlVertex));
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  device_->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  device_->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  DrawQuad(30.5f, 20.25f, 140, 100, 0xFFD99980, 0.5f, 0.1f, 0.05f, 0.6f, 0.7f);
  device_->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
  device_->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCCOLOR);
  device_->SetTexture(0, nullptr);
  DrawQuad(0, 0, 160, 60, 0xFF80A0FF);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  // Depth-tested points, a fogged sprite cloud and a lit flat model.
  device_->SetRenderState(D3DRS_ZENABLE, TRUE);
  std::vector<TlColourVertex> dots;
  for (int i = 0; i < 500; ++i) {
    dots.push_back({static_cast<float>(random() % 1700) / 10.0f - 5, static_cast<float>(random() % 1300) / 10.0f - 5,
                    static_cast<float>(random() % 100) / 100.0f, 1, 0xFF000000 | random()});
  }
  device_->SetVertexShader(kFvfTlColour);
  device_->DrawPrimitiveUP(D3DPT_POINTLIST, static_cast<UINT>(dots.size()), dots.data(), sizeof(TlColourVertex));
  D3DMATRIX projection = {{{1.3f, 0, 0, 0, 0, 1.7f, 0, 0, 0, 0, 1.001f, 1, 0, 0, -1.001f, 0}}};
  device_->SetTransform(D3DTS_PROJECTION, &projection);
  device_->SetTexture(0, picture);
  device_->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
  device_->SetRenderState(D3DRS_POINTSIZE, FloatBits(9.0f));
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_NOTEQUAL);
  device_->SetRenderState(D3DRS_FOGENABLE, TRUE);
  device_->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
  device_->SetRenderState(D3DRS_FOGSTART, FloatBits(3.0f));
  device_->SetRenderState(D3DRS_FOGEND, FloatBits(9.0f));
  device_->SetRenderState(D3DRS_FOGCOLOR, 0x00203040);
  std::vector<float> sprites;
  for (int i = 0; i < 60; ++i) {
    sprites.push_back(static_cast<float>(random() % 800) / 100.0f - 4);
    sprites.push_back(static_cast<float>(random() % 800) / 100.0f - 4);
    sprites.push_back(static_cast<float>(random() % 800) / 100.0f + 2);
  }
  device_->SetVertexShader(kFvfXyz);
  device_->DrawPrimitiveUP(D3DPT_POINTLIST, 60, sprites.data(), 12);
  device_->SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  device_->SetRenderState(D3DRS_FOGENABLE, FALSE);
  device_->SetTexture(0, nullptr);
  device_->SetRenderState(D3DRS_LIGHTING, TRUE);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  D3DLIGHT8 light = {};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1, 1, 1, 1};
  light.Direction = {0.3f, 0.5f, 0.8f};
  device_->SetLight(0, &light);
  device_->LightEnable(0, TRUE);
  D3DMATERIAL8 material = {};
  material.Ambient = {0.2f, 0.2f, 0.2f, 1};
  device_->SetMaterial(&material);
  device_->SetRenderState(D3DRS_AMBIENT, 0x00404040);
  LitVertex model[6] = {{-2, -1, 4, 0, 0, -1, 0xFF60A0E0}, {0, 2, 5, 0, 0, -1, 0xFF60A0E0},
                        {2, -1, 3, 0, 0, -1, 0xFF60A0E0},  {-3, 1, 6, -0.6f, 0, -0.8f, 0x90FFFFFF},
                        {-1, 3, 6, -0.6f, 0, -0.8f, 0x90FFFFFF}, {-1, -2, 7, -0.6f, 0, -0.8f, 0x90FFFFFF}};
  device_->SetVertexShader(kFvfLit);
  device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, model, sizeof(LitVertex));
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, model + 3, sizeof(LitVertex));
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);

  // Back to the back buffer: the stretch, its reflected strip, and the overlays.
  device_->SetRenderTarget(back, depthSurface);
  device_->SetRenderState(D3DRS_ZENABLE, FALSE);
  device_->SetTexture(0, frame);
  DrawQuad(0, 0, 640.5f, 400.5f, 0xFFFFFFFF, 0.5f, 0, 0, 0.625f, 0.78125f);
  std::vector<TlVertex> strip;
  for (int r = 0; r <= 40; ++r) {
    float v = (40 - r) * 5.0f / 128.0f + 0.01f * (r % 3);
    strip.push_back({0, 400.5f + 2 * r, 0.5f, 1, 0xFF7070FF, 0, v});
    strip.push_back({640.5f, 400.5f + 2 * r, 0.5f, 1, 0xFF7070FF, 0.625f, v});
  }
  device_->SetVertexShader(kFvfTl);
  device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 80, strip.data(), sizeof(TlVertex));
  device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1, 0);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  device_->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  device_->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  device_->SetTexture(0, picture);
  DrawQuad(0, 0, 640.5f, 128.5f, 0x9FFFFFFF, 0.5f, 0, 0, 0.625f, 1);
  DrawQuad(13, 200, 600, 260.5f, 0xFFFFFFFF, 0.5f, 0, 0, 3.5f, 0.4f);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
  DrawQuad(100, 300, 500, 470, 0x7FFFFFFF, 0.5f, 0, 0, 1, 1);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  // The glyph mask and its stripes.
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  DrawQuad(48, 147, 592, 451, 0xFFFFFFFF, 0.9f, 0, 0, 4, 4);
  device_->SetRenderState(D3DRS_ZENABLE, TRUE);
  device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  device_->SetRenderState(D3DRS_ALPHAREF, 0);
  device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_EQUAL);
  DrawQuad(48, 147, 592, 451, 0xFFFFFFFF, 0.9f, 0, 0, 4, 4);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_EQUAL);
  device_->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
  device_->SetTexture(0, nullptr);
  std::vector<TlVertex> stripes;
  for (int k = 0; k < 82; ++k) {
    DWORD c = 0xFF000000 | random();
    stripes.push_back({48, -2.0f + 6 * k, 0.9f, 1, c, 0, 0});
    stripes.push_back({592, -2.0f + 6 * k, 0.9f, 1, c, 0, 0});
  }
  device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 162, stripes.data(), sizeof(TlVertex));
  device_->EndScene();

  std::vector<uint32_t> pixels;
  d3d8test::ReadSurface(back, &pixels);
  std::vector<uint32_t> framePixels;
  d3d8test::ReadSurface(frameSurface, &framePixels);
  pixels.insert(pixels.end(), framePixels.begin(), framePixels.end());
  std::vector<uint32_t> depthValues;
  d3d8test::ReadSurface(depthSurface, &depthValues);
  pixels.insert(pixels.end(), depthValues.begin(), depthValues.end());
  device_->SetTexture(0, nullptr);
  back->Release();
  depthSurface->Release();
  frameSurface->Release();
  frame->Release();
  return pixels;
}

TEST_F(SceneTest, FastPathsDrawTheReferenceScene) {
  struct Case {
    D3DFORMAT backBuffer, target, depth;
  };
  const Case cases[] = {{D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_D32}, {D3DFMT_R5G6B5, D3DFMT_R5G6B5, D3DFMT_D16}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.backBuffer);
    std::vector<uint32_t> reference = DrawScene(true, c.backBuffer, c.target, c.depth);
    // With the AVX2 paths where the processor has them, and with the SSE2 paths alone.
    for (bool wide : {true, false}) {
      SCOPED_TRACE(wide ? "AVX2 where present" : "SSE2");
      d3d8test::UseWideVectors(wide);
      std::vector<uint32_t> fast = DrawScene(false, c.backBuffer, c.target, c.depth);
      d3d8test::UseWideVectors(true);
      ASSERT_EQ(fast.size(), reference.size());
      size_t differing = 0;
      for (size_t i = 0; i < fast.size(); ++i) differing += fast[i] != reference[i];
      EXPECT_EQ(differing, 0u);
      // The scene is not blank.
      size_t distinct = 0;
      for (size_t i = 1; i < 640 * 480; ++i) distinct += fast[i] != fast[i - 1];
      EXPECT_GT(distinct, 10000u);
    }
  }
}

}  // namespace
