// The block paths (perspective-correct primitives, Gouraud colour along runs) against the
// reference path: a table of states, each scene drawn through the device both ways, compared
// pixel for pixel and depth value for depth value.
#include <limits>
#include <random>

#include "device_fixture.h"
#include "platform/d3d8/pixel_block.h"
#include "platform/d3d8/pixel_key.h"
#include "platform/d3d8/pixel_reference.h"
#include "platform/d3d8/span_kernels.h"
#include "platform/d3d8/wide_vectors.h"

namespace {

using d3d8sw::BlendMode;
using d3d8sw::PixelBlock;
using d3d8sw::PixelKey;
using d3d8sw::PixelReference;
using d3d8sw::PixelState;
using d3d8sw::SpanKernels;
using d3d8sw::StageOp;
using d3d8sw::TargetKind;
using d3d8sw::TextureFilter;

struct SceneVertex {  // XYZ | DIFFUSE | TEX1
  float x, y, z;
  DWORD colour;
  float u, v;
};
constexpr DWORD kFvfScene = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct Case {
  const char* name;
  DWORD filter;                        // D3DTEXF_POINT or D3DTEXF_LINEAR (magnification and minification)
  DWORD address;                       // D3DTADDRESS_WRAP or D3DTADDRESS_CLAMP
  DWORD colourOp, colourArg1, colourArg2;
  DWORD alphaOp;                       // arguments TEXTURE, DIFFUSE
  bool gouraud;                        // vertex colours differ (else one colour)
  bool fog;
  D3DFORMAT depth;                     // D3DFMT_UNKNOWN: no depth test
  DWORD srcBlend, destBlend;           // ONE, ZERO: no blending
  D3DFORMAT target;
};

constexpr DWORD kTex = D3DTA_TEXTURE, kDif = D3DTA_DIFFUSE, kCur = D3DTA_CURRENT;
constexpr DWORD kSel1 = D3DTOP_SELECTARG1, kSel2 = D3DTOP_SELECTARG2, kMod = D3DTOP_MODULATE;
constexpr D3DFORMAT kNoDepth = D3DFMT_UNKNOWN;

const Case kCases[] = {
    {"tunnel: bilinear, modulate, fog, depth", D3DTEXF_LINEAR, D3DTADDRESS_WRAP, kMod, kTex, kCur, kSel1, false, true,
     D3DFMT_D32, D3DBLEND_ONE, D3DBLEND_ZERO, D3DFMT_X8R8G8B8},
    {"Gouraud tunnel, D16", D3DTEXF_LINEAR, D3DTADDRESS_WRAP, kMod, kTex, kCur, kMod, true, true, D3DFMT_D16,
     D3DBLEND_ONE, D3DBLEND_ZERO, D3DFMT_X8R8G8B8},
    {"Gouraud, depth, no texture stage", D3DTEXF_POINT, D3DTADDRESS_WRAP, D3DTOP_DISABLE, kTex, kCur, D3DTOP_DISABLE,
     true, false, D3DFMT_D32, D3DBLEND_ONE, D3DBLEND_ZERO, D3DFMT_X8R8G8B8},
    {"Gouraud, D16, additive, A8R8G8B8", D3DTEXF_POINT, D3DTADDRESS_WRAP, D3DTOP_DISABLE, kTex, kCur,
     D3DTOP_DISABLE, true, false, D3DFMT_D16, D3DBLEND_ONE, D3DBLEND_ONE, D3DFMT_A8R8G8B8},
    {"Gouraud, alpha blend, no depth", D3DTEXF_POINT, D3DTADDRESS_WRAP, kSel1, kDif, kCur, kSel1, true, false,
     kNoDepth, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DFMT_X8R8G8B8},
    {"Gouraud multiplied over the target", D3DTEXF_POINT, D3DTADDRESS_WRAP, D3DTOP_DISABLE, kTex, kCur,
     D3DTOP_DISABLE, true, false, kNoDepth, D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, D3DFMT_A8R8G8B8},
    {"one colour, depth", D3DTEXF_POINT, D3DTADDRESS_WRAP, D3DTOP_DISABLE, kTex, kCur, D3DTOP_DISABLE, false, false,
     D3DFMT_D32, D3DBLEND_ONE, D3DBLEND_ZERO, D3DFMT_X8R8G8B8},
    {"Gouraud, fog, alpha blend, A8R8G8B8", D3DTEXF_POINT, D3DTADDRESS_WRAP, kSel1, kDif, kCur, kSel1, true, true,
     kNoDepth, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DFMT_A8R8G8B8},
    {"point, wrap, texture only", D3DTEXF_POINT, D3DTADDRESS_WRAP, kSel1, kTex, kCur, kSel1, false, false, kNoDepth,
     D3DBLEND_ONE, D3DBLEND_ZERO, D3DFMT_X8R8G8B8},
    {"point, clamp, modulate, additive", D3DTEXF_POINT, D3DTADDRESS_CLAMP, kMod, kTex, kDif, kSel1, true, false,
     D3DFMT_D32, D3DBLEND_ONE, D3DBLEND_ONE, D3DFMT_A8R8G8B8},
    {"bilinear, clamp, texel alpha blended", D3DTEXF_LINEAR, D3DTADDRESS_CLAMP, kSel1, kTex, kCur, kSel1, false,
     true, D3DFMT_D32, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DFMT_X8R8G8B8},
    {"select argument 2 (diffuse), texture alpha", D3DTEXF_LINEAR, D3DTADDRESS_WRAP, kSel2, kTex, kDif, kMod, true,
     false, D3DFMT_D16, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DFMT_A8R8G8B8},
    {"multiplied over the target", D3DTEXF_POINT, D3DTADDRESS_WRAP, kMod, kTex, kCur, kSel1, true, false, kNoDepth,
     D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, D3DFMT_X8R8G8B8},
    {"R5G6B5, bilinear, fog, depth", D3DTEXF_LINEAR, D3DTADDRESS_WRAP, kMod, kTex, kCur, kSel1, true, true,
     D3DFMT_D16, D3DBLEND_ONE, D3DBLEND_ZERO, D3DFMT_R5G6B5},
    {"R5G6B5, point, additive", D3DTEXF_POINT, D3DTADDRESS_CLAMP, kSel1, kTex, kCur, kSel1, false, false, kNoDepth,
     D3DBLEND_ONE, D3DBLEND_ONE, D3DFMT_R5G6B5},
};

class BlockPathTest : public DeviceFixture {
 protected:
  // The target's pixels then its depth values after the case's scene.
  std::vector<uint32_t> Draw(const Case& c, bool reference);
};

std::vector<uint32_t> BlockPathTest::Draw(const Case& c, bool reference) {
  d3d8test::UseReferencePixels(reference);
  ReleaseDevice();
  CreateDevice(D3DFMT_X8R8G8B8, c.depth == kNoDepth ? D3DFMT_D32 : c.depth);
  std::mt19937 random(17);
  std::vector<uint32_t> texels(16 * 16);
  for (uint32_t& t : texels) t = static_cast<uint32_t>(random()) | ((random() & 3) == 0 ? 0xFF000000u : 0u);
  device_->SetTexture(0, MakeTexture(16, 16, texels));
  UseTarget(96, 64, c.target);
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF405060, 1, 0);

  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device_->SetRenderState(D3DRS_ZENABLE, c.depth != kNoDepth);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, c.srcBlend != D3DBLEND_ONE || c.destBlend != D3DBLEND_ZERO);
  device_->SetRenderState(D3DRS_SRCBLEND, c.srcBlend);
  device_->SetRenderState(D3DRS_DESTBLEND, c.destBlend);
  device_->SetRenderState(D3DRS_FOGENABLE, c.fog);
  device_->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
  device_->SetRenderState(D3DRS_FOGSTART, FloatBits(2.0f));
  device_->SetRenderState(D3DRS_FOGEND, FloatBits(9.0f));
  device_->SetRenderState(D3DRS_FOGCOLOR, 0x00C08040);
  device_->SetTextureStageState(0, D3DTSS_MAGFILTER, c.filter);
  device_->SetTextureStageState(0, D3DTSS_MINFILTER, c.filter);
  device_->SetTextureStageState(0, D3DTSS_ADDRESSU, c.address);
  device_->SetTextureStageState(0, D3DTSS_ADDRESSV, c.address);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, c.colourOp);
  device_->SetTextureStageState(0, D3DTSS_COLORARG1, c.colourArg1);
  device_->SetTextureStageState(0, D3DTSS_COLORARG2, c.colourArg2);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, c.alphaOp);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, kTex);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, kDif);
  // 3:2, near 0.5, far 50.
  const float q = 50.0f / 49.5f;
  D3DMATRIX projection = {{{1.2f, 0, 0, 0, 0, 1.8f, 0, 0, 0, 0, q, 1, 0, 0, -0.5f * q, 0}}};
  device_->SetTransform(D3DTS_PROJECTION, &projection);

  // A floor running away from the eye and two panels standing across it, the second behind the
  // first in part, with texture coordinates reaching past the texture's edges.
  auto colour = [&](DWORD fixed) {
    return c.gouraud ? static_cast<DWORD>(random()) : fixed;
  };
  std::vector<SceneVertex> v;
  auto quad = [&](SceneVertex a, SceneVertex b, SceneVertex d, SceneVertex e) { v.insert(v.end(), {a, b, d, d, b, e}); };
  for (int row = 0; row < 4; ++row) {
    float z0 = 1.0f + 2.5f * row, z1 = z0 + 2.5f;
    quad({-3, -1.2f, z0, colour(0xC0FFD0A0), -1.3f, row * 1.7f}, {3, -1.2f, z0, colour(0xC0FFD0A0), 2.6f, row * 1.7f},
         {-3, -1.2f, z1, colour(0xC0FFD0A0), -1.3f, row * 1.7f + 1.7f},
         {3, -1.2f, z1, colour(0xC0FFD0A0), 2.6f, row * 1.7f + 1.7f});
  }
  quad({-2, -1.5f, 2.0f, colour(0x80A0FFFF), 0, 0}, {0.5f, -1.5f, 6.0f, colour(0x80A0FFFF), 3.1f, 0},
       {-2, 1.5f, 2.0f, colour(0x80A0FFFF), 0, 1.9f}, {0.5f, 1.5f, 6.0f, colour(0x80A0FFFF), 3.1f, 1.9f});
  quad({-0.5f, -1.0f, 5.0f, colour(0xFF8040FF), -0.7f, -0.2f}, {2.5f, -1.0f, 3.0f, colour(0xFF8040FF), 1.2f, -0.2f},
       {-0.5f, 1.4f, 5.0f, colour(0xFF8040FF), -0.7f, 1.6f}, {2.5f, 1.4f, 3.0f, colour(0xFF8040FF), 1.2f, 1.6f});
  device_->SetVertexShader(kFvfScene);
  EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(v.size() / 3), v.data(),
                                     sizeof(SceneVertex)),
            D3D_OK);
  // A pre-transformed triangle whose vertices differ in rhw, drawn twice (the second pass tests
  // depth against the first).
  device_->SetVertexShader(kFvfTl);
  TlVertex screen[3] = {{3, 2, 0.3f, 1.0f, colour(0xFF20C0FF), 0.1f, 0.2f},
                        {90, 20, 0.6f, 0.25f, colour(0xFF20C0FF), 2.4f, 0.5f},
                        {30, 61, 0.45f, 0.5f, colour(0xFF20C0FF), 0.7f, 1.9f}};
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, screen, sizeof(TlVertex)), D3D_OK);
    for (TlVertex& s : screen) s.z -= 0.1f;
  }

  std::vector<uint32_t> out = TargetPixels();
  std::vector<uint32_t> depth = DepthValues();
  out.insert(out.end(), depth.begin(), depth.end());
  device_->SetTexture(0, nullptr);
  d3d8test::UseReferencePixels(false);
  return out;
}

TEST_F(BlockPathTest, BlockPathsDrawTheReferencePixels) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<uint32_t> fast = Draw(c, false);
    std::vector<uint32_t> reference = Draw(c, true);
    ASSERT_EQ(fast.size(), reference.size());
    size_t differing = 0;
    for (size_t i = 0; i < fast.size(); ++i) differing += fast[i] != reference[i];
    EXPECT_EQ(differing, 0u);
    // The scene covers most of the target with more than a few colours (three and the
    // background without a texture or Gouraud colours).
    size_t changes = 0;
    for (size_t i = 1; i < 96 * 64; ++i) changes += fast[i] != fast[i - 1];
    EXPECT_GT(changes, c.gouraud || c.colourOp != D3DTOP_DISABLE ? 1000u : 150u);
  }
}

// Every case above, and the tunnel and Gouraud states in every target and depth format, have a
// fast path: the comparison above is not the reference against itself.
TEST(BlockPathKeys, PerspectiveAndGouraudStatesHaveFastPaths) {
  struct Shape {
    TextureFilter filter;
    StageOp colour, alpha;
    bool constColour, fog, depth;
    BlendMode blend;
    bool perspective;
  };
  const TextureFilter none = TextureFilter::kNone, point = TextureFilter::kPoint, linear = TextureFilter::kLinear;
  const StageOp dif = StageOp::kDiffuse, tex = StageOp::kTexture, mod = StageOp::kModulate;
  const Shape shapes[] = {
      {linear, mod, tex, true, true, true, BlendMode::kOpaque, true},
      {linear, mod, mod, false, true, true, BlendMode::kOpaque, true},
      {none, dif, dif, false, false, true, BlendMode::kOpaque, true},
      {none, dif, dif, false, true, false, BlendMode::kAlpha, true},
      {point, tex, tex, true, false, false, BlendMode::kOpaque, true},
      {point, mod, tex, false, false, true, BlendMode::kAdd, true},
      {linear, tex, tex, true, true, true, BlendMode::kAlpha, true},
      {linear, dif, mod, false, false, true, BlendMode::kAlpha, true},
      {point, mod, tex, false, false, false, BlendMode::kModulate, true},
      {linear, mod, tex, false, false, true, BlendMode::kOpaque, false},
      {none, dif, dif, false, false, true, BlendMode::kOpaque, false},
  };
  for (const Shape& sh : shapes) {
    for (TargetKind target : {TargetKind::kX8R8G8B8, TargetKind::kA8R8G8B8, TargetKind::kR5G6B5}) {
      for (bool d16 : {false, true}) {
        PixelKey k;
        k.filter = sh.filter;
        k.colour = sh.colour;
        k.alpha = sh.alpha;
        k.constColour = sh.constColour;
        k.fog = sh.fog;
        k.depthFunc = sh.depth ? D3DCMP_LESSEQUAL : 0;
        k.depthWrite = sh.depth;
        k.depthD16 = sh.depth && d16;
        k.blend = sh.blend;
        k.target = target;
        k.perspective = sh.perspective;
        EXPECT_NE(SpanKernels::FindRuns(k.Encode()), nullptr) << std::hex << k.Encode();
      }
    }
  }
}

// The processor's widest perspective fill gives the two-at-a-time SSE2 fill's values, the device
// tests above having tied one of them to the reference; planes reach far past every clamp (colour
// beyond 0..255, texel coordinates beyond 2^51 of the fixed-point format), behind the eye and to
// values that are not numbers.
TEST(PixelBlockTest, EveryWidthFillsTheSameValues) {
  std::mt19937 random(5);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  const uint32_t needs = PixelBlock::kColour | PixelBlock::kTexture | PixelBlock::kFog | PixelBlock::kDepth;
  for (int trial = 0; trial < 400; ++trial) {
    d3d8sw::Interpolants p;
    p.perspective = true;
    p.perspectiveMask = 15;
    double range = trial % 4 == 0 ? 1e9 : 300.0;  // every fourth trial far out of range
    auto plane = [&](double scale) { return d3d8sw::FloatPlane{scale * unit(random), scale * unit(random) / 50, scale * unit(random) / 50}; };
    p.q = {1.0 + 0.5 * unit(random), 0.02 * unit(random), 0.02 * unit(random)};
    if (trial % 7 == 0) p.q.dx = -0.05;  // crosses the eye plane within the block
    p.qr = plane(range);
    p.qg = plane(range);
    p.qb = plane(range);
    p.qa = plane(range);
    p.qu = plane(trial % 4 == 0 ? 1e12 : 8.0);
    p.qv = plane(8.0);
    p.qfog = plane(trial % 4 == 0 ? 1e6 : 1.5);
    if (trial % 13 == 0) {
      // Not a number (as infinities that cancel make it): the reference rounds it to -1e18.
      p.qg.at0 = std::numeric_limits<double>::quiet_NaN();
      p.qfog.at0 = std::numeric_limits<double>::quiet_NaN();
    }
    p.uScale = 64;
    p.vScale = 32;
    p.z = {int64_t{1} << 39, static_cast<int64_t>(random() % 100000) - 50000, 0};
    const int dx = static_cast<int>(random() % 200) - 100, dy = static_cast<int>(random() % 200) - 100;
    const int count = 1 + static_cast<int>(random() % PixelBlock::kPixels);
    PixelBlock wide, narrow;
    wide.Prepare(p, needs);
    narrow.Prepare(p, needs);
    wide.Fill(p, dx, dy, count, true);
    narrow.Fill(p, dx, dy, count, false);
    for (int i = 0; i < count; ++i) {
      SCOPED_TRACE(testing::Message() << "trial " << trial << " pixel " << i);
      ASSERT_EQ(wide.u[i], narrow.u[i]);
      ASSERT_EQ(wide.v[i], narrow.v[i]);
      ASSERT_EQ(wide.diffuse[i], narrow.diffuse[i]);
      ASSERT_EQ(wide.fog[i], narrow.fog[i]);
      ASSERT_EQ(wide.z[i], narrow.z[i]);
    }
  }
}

// Untextured runs of perspective-correct colour (eight pixels at a time in single precision where
// the processor has AVX2) against the reference, on planes of each kind: one channel held just
// below a rounding edge (where one float rounding and the reference's two disagree) and the others
// far from one, random Gouraud colour, colour far out of range, rhw crossing the eye plane, values
// that are not numbers; on targets with and without alpha.
TEST(PixelBlockTest, PerspectiveColourRunsGiveTheReferenceBytes) {
  enum Kind { kEdges, kGouraud, kFar, kEyePlane, kNotANumber };
  const Kind kinds[] = {kEdges, kGouraud, kFar, kEyePlane, kNotANumber};
  constexpr int kWidth = 160, kHeight = 40;
  d3d8sw::RunsFunction fast[2];
  for (TargetKind target : {TargetKind::kX8R8G8B8, TargetKind::kA8R8G8B8}) {
    PixelKey key;
    key.perspective = true;
    key.target = target;
    fast[static_cast<int>(target)] = SpanKernels::FindRuns(key.Encode());
    ASSERT_NE(fast[static_cast<int>(target)], nullptr);
  }
  std::mt19937 random(23);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (Kind kind : kinds) {
    for (bool wide : {true, false}) {
      SCOPED_TRACE(testing::Message() << "kind " << kind << (wide ? ", AVX2 where present" : ", SSE2"));
      for (int trial = 0; trial < 20; ++trial) {
        // rhw q00, q10, q01 at (0, 0), (kWidth, 0), (0, kHeight); the runs cover the triangle
        // between them, where it is positive but for kEyePlane.
        const double q00 = 0.05 + unit(random), q10 = 0.05 + unit(random), q01 = 0.05 + unit(random);
        d3d8sw::Interpolants p;
        p.perspective = true;
        p.perspectiveMask = 1;
        p.q = {q00, (q10 - q00) / kWidth, (q01 - q00) / kHeight};
        if (kind == kEyePlane) p.q.dx = -1.5 * q00 / kWidth;
        auto plane = [&](double c00, double c10, double c01) {
          return d3d8sw::FloatPlane{c00 * q00, (c10 * q10 - c00 * q00) / kWidth, (c01 * q01 - c00 * q00) / kHeight};
        };
        d3d8sw::FloatPlane* channels[4] = {&p.qr, &p.qg, &p.qb, &p.qa};
        const int edgeChannel = trial % 4;
        for (int c = 0; c < 4; ++c) {
          // 0.5 - 2^-18 has byte 1 in the reference (rounded to 16.16 first), 0 by one rounding;
          // whole values lie as far from an edge as can be.
          const double edge = c == edgeChannel ? (c == 3 ? 0.5 : 1.5 + c) - 1.0 / 262144.0 : 7.0 + 60 * c;
          const double range = kind == kFar ? 1e7 : 255.0;
          *channels[c] = kind == kEdges ? plane(edge, edge, edge)
                                        : plane(range * unit(random), range * unit(random), range * unit(random));
        }
        if (kind == kNotANumber) p.qg.dy = std::numeric_limits<double>::quiet_NaN();
        std::vector<d3d8sw::Run> runs;
        std::vector<uint32_t> ours(kWidth * kHeight, 0xFF123456u), reference = ours;
        for (int y = 0; y < kHeight; ++y) {
          const int x1 = kWidth * (kHeight - y) / kHeight;
          for (int x = 0; x < x1; x += 1 + static_cast<int>(random() % 70)) {
            runs.push_back({nullptr, nullptr, x, y, std::min(x1 - x, 1 + static_cast<int>(random() % 90))});
          }
        }
        PixelState s;
        s.colourPitch = kWidth;
        s.target = trial % 3 == 0 ? TargetKind::kA8R8G8B8 : TargetKind::kX8R8G8B8;
#if defined(D3D8SW_WIDE_VECTORS)
        s.wide = wide && d3d8sw::HaveAvx2();
#endif
        for (d3d8sw::Run& run : runs) run.colour = ours.data() + run.dy * kWidth + run.dx;
        s.colour = ours.data();
        fast[static_cast<int>(s.target)](s, p, runs.data(), static_cast<int>(runs.size()));
        for (d3d8sw::Run& run : runs) run.colour = reference.data() + run.dy * kWidth + run.dx;
        s.colour = reference.data();
        PixelReference::ShadeRuns(s, p, runs.data(), static_cast<int>(runs.size()));
        size_t differing = 0;
        for (size_t i = 0; i < ours.size(); ++i) differing += ours[i] != reference[i];
        ASSERT_EQ(differing, 0u) << "trial " << trial;
        if (kind == kEdges) {
          // Channels r g b a: the edge one rounds up to 2, 3, 4 or 1; the others are 7, 67, 127, 187.
          const uint32_t edgeBytes[4] = {2, 3, 4, 1};
          uint32_t bytes[4];
          for (int c = 0; c < 4; ++c) bytes[c] = c == edgeChannel ? edgeBytes[c] : 7u + 60u * c;
          if (s.target == TargetKind::kX8R8G8B8) bytes[3] = 0xFF;
          EXPECT_EQ(reference[0], (bytes[3] << 24) | (bytes[0] << 16) | (bytes[1] << 8) | bytes[2]);
        }
      }
    }
  }
}

}  // namespace
