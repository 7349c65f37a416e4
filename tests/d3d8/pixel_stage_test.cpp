// The pixel stage on one-pixel draws: blend factors, texel expansion, stage-0 operations and the
// rule for a stage without a texture, alpha and depth tests, fog, lighting, filtering, addressing.
#include <cstring>

#include "device_fixture.h"

namespace {

class PixelStageTest : public DeviceFixture {
 protected:
  void SetUp() override {
    DeviceFixture::SetUp();
    UseTarget(4, 4);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetRenderState(D3DRS_ZENABLE, FALSE);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  }
  // Draws pixel (0, 0) with the given vertex colour and texture coordinate.
  HRESULT DrawPixel(DWORD colour, float z = 0.5f, float u = 0.25f, float v = 0.25f) {
    return DrawQuad(0, 0, 1, 1, colour, z, u, v, u, v);
  }
  // A 1x1 (4x4 for DXT) managed texture of `format` whose first bytes are `bytes`.
  IDirect3DTexture8* RawTexture(D3DFORMAT format, const std::vector<uint8_t>& bytes) {
    bool dxt = format >= D3DFMT_DXT1 && format <= D3DFMT_DXT5 && format != D3DFMT_R8G8B8;
    UINT size = dxt ? 4 : 1;
    IDirect3DTexture8* t = nullptr;
    EXPECT_EQ(device_->CreateTexture(size, size, 1, 0, format, D3DPOOL_MANAGED, &t), D3D_OK);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(t->LockRect(0, &locked, nullptr, 0), D3D_OK);
    std::memcpy(locked.pBits, bytes.data(), bytes.size());
    EXPECT_EQ(t->UnlockRect(0), D3D_OK);
    textures_.push_back(t);
    return t;
  }
};

// Source 0x80C04020 over destination 0xFF4080C0: result = round(src x SRC + dst x DEST), clamped.
TEST_F(PixelStageTest, BlendFactors) {
  struct Case {
    DWORD src, dest;
    uint32_t expected;
  };
  const Case cases[] = {
      {D3DBLEND_ONE, D3DBLEND_ZERO, 0x80C04020},
      {D3DBLEND_ZERO, D3DBLEND_ONE, 0xFF4080C0},
      {D3DBLEND_ONE, D3DBLEND_ONE, 0xFFFFC0E0},
      {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, 0xBF806070},
      {D3DBLEND_INVSRCALPHA, D3DBLEND_SRCALPHA, 0xC0806070},
      {D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, 0x80302018},
      {D3DBLEND_DESTCOLOR, D3DBLEND_ZERO, 0x80302018},
      {D3DBLEND_INVDESTCOLOR, D3DBLEND_ONE, 0xFFD0A0C8},
      {D3DBLEND_SRCCOLOR, D3DBLEND_INVSRCCOLOR, 0xBFA070AC},
      {D3DBLEND_ONE, D3DBLEND_INVSRCALPHA, 0xFFE08080},
  };
  for (bool reference : {false, true}) {
    d3d8test::UseReferencePixels(reference);
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "src " << c.src << " dest " << c.dest << " reference " << reference);
      CreateDevice();
      UseTarget(4, 4);
      device_->SetRenderState(D3DRS_LIGHTING, FALSE);
      device_->SetRenderState(D3DRS_ZENABLE, FALSE);
      device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF4080C0, 1, 0);
      device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
      device_->SetRenderState(D3DRS_SRCBLEND, c.src);
      device_->SetRenderState(D3DRS_DESTBLEND, c.dest);
      ASSERT_EQ(DrawPixel(0x80C04020), D3D_OK);
      EXPECT_EQ(Pixel(0, 0), c.expected);
    }
  }
}

TEST_F(PixelStageTest, TargetsWithoutAlphaReadAlphaOne) {
  CreateDevice();
  UseTarget(4, 4, D3DFMT_X8R8G8B8);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0x004080C0, 1, 0);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCCOLOR);
  ASSERT_EQ(DrawPixel(0x80C04020), D3D_OK);
  EXPECT_EQ(Pixel(0, 0), 0xFF302018u);
}

TEST_F(PixelStageTest, TexelsExpandByBitReplication) {
  struct Case {
    const char* name;
    D3DFORMAT format;
    std::vector<uint8_t> bytes;
    uint32_t expected;
  };
  const Case cases[] = {
      {"A8R8G8B8", D3DFMT_A8R8G8B8, {0x33, 0x22, 0x11, 0x80}, 0x80112233},
      {"X8R8G8B8 alpha ignored", D3DFMT_X8R8G8B8, {0x33, 0x22, 0x11, 0x00}, 0xFF112233},
      {"R8G8B8", D3DFMT_R8G8B8, {0x33, 0x22, 0x11}, 0xFF112233},
      {"R5G6B5 magenta", D3DFMT_R5G6B5, {0x1F, 0xF8}, 0xFFFF00FF},
      {"R5G6B5 mid", D3DFMT_R5G6B5, {0x10, 0x84}, 0xFF848284},
      {"A1R5G5B5 opaque", D3DFMT_A1R5G5B5, {0x43, 0x84}, 0xFF081018},
      {"A1R5G5B5 transparent", D3DFMT_A1R5G5B5, {0xFF, 0x7F}, 0x00FFFFFF},
      {"X1R5G5B5", D3DFMT_X1R5G5B5, {0x00, 0x7C}, 0xFFFF0000},
      {"A4R4G4B4", D3DFMT_A4R4G4B4, {0x21, 0x84}, 0x88442211},
      {"DXT1 colour 0", D3DFMT_DXT1, {0x00, 0xF8, 0x1F, 0x00, 0x00, 0x00, 0x00, 0x00}, 0xFFFF0000},
      {"DXT1 two thirds", D3DFMT_DXT1, {0x00, 0xF8, 0x1F, 0x00, 0x02, 0x00, 0x00, 0x00}, 0xFFAA0055},
  };
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    device_->SetTexture(0, RawTexture(c.format, c.bytes));
    ASSERT_EQ(DrawQuad(0, 0, 1, 1, 0xFFFFFFFF, 0.5f, 0, 0, 0, 0), D3D_OK);
    EXPECT_EQ(Pixel(0, 0), c.expected);
  }
}

// Texel 0x80FF8040, diffuse 0xC0406080.
TEST_F(PixelStageTest, StageZeroOperations) {
  struct Case {
    const char* name;
    bool texture;
    DWORD colourOp, colourArg1, colourArg2, alphaOp, alphaArg1, alphaArg2;
    uint32_t expected;
  };
  const DWORD T = D3DTA_TEXTURE, D = D3DTA_DIFFUSE, C = D3DTA_CURRENT;
  const Case cases[] = {
      {"defaults: texture x diffuse, texture alpha", true, D3DTOP_MODULATE, T, C, D3DTOP_SELECTARG1, T, C, 0x80403020},
      {"select diffuse", true, D3DTOP_SELECTARG2, T, C, D3DTOP_SELECTARG2, T, C, 0xC0406080},
      {"texture, modulated alpha", true, D3DTOP_SELECTARG1, T, C, D3DTOP_MODULATE, T, D, 0x60FF8040},
      {"disabled stage: diffuse colour and alpha", true, D3DTOP_DISABLE, T, C, D3DTOP_SELECTARG1, T, C, 0xC0406080},
      {"alpha disabled: diffuse alpha", true, D3DTOP_SELECTARG1, T, C, D3DTOP_DISABLE, T, C, 0xC0FF8040},
      {"no texture: defaults give the diffuse colour", false, D3DTOP_MODULATE, T, C, D3DTOP_SELECTARG1, T, C,
       0xC0406080},
      {"no texture: texture selected as arg1", false, D3DTOP_SELECTARG1, T, C, D3DTOP_SELECTARG1, T, C, 0xC0406080},
      {"no texture: diffuse x current", false, D3DTOP_MODULATE, D, C, D3DTOP_SELECTARG1, T, C, 0xC0102440},
  };
  IDirect3DTexture8* texture = MakeTexture(1, 1, {0x80FF8040});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    device_->SetTexture(0, c.texture ? texture : nullptr);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, c.colourOp);
    device_->SetTextureStageState(0, D3DTSS_COLORARG1, c.colourArg1);
    device_->SetTextureStageState(0, D3DTSS_COLORARG2, c.colourArg2);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, c.alphaOp);
    device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, c.alphaArg1);
    device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, c.alphaArg2);
    ASSERT_EQ(DrawPixel(0xC0406080), D3D_OK);
    EXPECT_EQ(Pixel(0, 0), c.expected);
  }
}

TEST_F(PixelStageTest, AlphaTestComparesFinalAlphaWithTheReference) {
  struct Case {
    DWORD func;
    DWORD ref;
    bool drawn;
  };
  const Case cases[] = {
      {D3DCMP_NEVER, 0x80, false},      {D3DCMP_LESS, 0x80, false},     {D3DCMP_LESS, 0x81, true},
      {D3DCMP_EQUAL, 0x80, true},       {D3DCMP_EQUAL, 0x7F, false},    {D3DCMP_LESSEQUAL, 0x80, true},
      {D3DCMP_LESSEQUAL, 0x7F, false},  {D3DCMP_GREATER, 0x80, false},  {D3DCMP_GREATER, 0x7F, true},
      {D3DCMP_NOTEQUAL, 0x80, false},   {D3DCMP_NOTEQUAL, 0, true},     {D3DCMP_GREATEREQUAL, 0x80, true},
      {D3DCMP_GREATEREQUAL, 0x81, false}, {D3DCMP_ALWAYS, 0xFF, true},
  };
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "func " << c.func << " ref " << c.ref);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1, 0);
    device_->SetRenderState(D3DRS_ALPHAFUNC, c.func);
    device_->SetRenderState(D3DRS_ALPHAREF, c.ref);
    ASSERT_EQ(DrawPixel(0x80FFFFFF), D3D_OK);
    EXPECT_EQ(Pixel(0, 0) != 0, c.drawn);
  }
}

TEST_F(PixelStageTest, DepthTestComparesWithTheStoredDepth) {
  struct Case {
    DWORD func;
    float z;
    bool drawn;
  };
  const Case cases[] = {
      {D3DCMP_NEVER, 0.25f, false},       {D3DCMP_LESS, 0.25f, true},        {D3DCMP_LESS, 0.5f, false},
      {D3DCMP_EQUAL, 0.5f, true},         {D3DCMP_EQUAL, 0.75f, false},      {D3DCMP_LESSEQUAL, 0.5f, true},
      {D3DCMP_LESSEQUAL, 0.75f, false},   {D3DCMP_GREATER, 0.75f, true},     {D3DCMP_GREATER, 0.5f, false},
      {D3DCMP_NOTEQUAL, 0.25f, true},     {D3DCMP_NOTEQUAL, 0.5f, false},    {D3DCMP_GREATEREQUAL, 0.5f, true},
      {D3DCMP_GREATEREQUAL, 0.25f, false}, {D3DCMP_ALWAYS, 0.75f, true},
  };
  for (D3DFORMAT depth : {D3DFMT_D32, D3DFMT_D16}) {
    CreateDevice(D3DFMT_X8R8G8B8, depth);
    UseTarget(4, 4);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "format " << depth << " func " << c.func << " z " << c.z);
      device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 0.5f, 0);
      device_->SetRenderState(D3DRS_ZFUNC, c.func);
      ASSERT_EQ(DrawPixel(0xFFFFFFFF, c.z), D3D_OK);
      EXPECT_EQ(Pixel(0, 0) != 0, c.drawn);
    }
  }
}

TEST_F(PixelStageTest, DepthWritesFollowZWriteEnableAndD16StoresRoundedDepth) {
  CreateDevice(D3DFMT_X8R8G8B8, D3DFMT_D16);
  UseTarget(4, 4);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  ASSERT_EQ(DrawPixel(0xFFFFFFFF, 0.25f), D3D_OK);
  EXPECT_EQ(DepthValues()[0], 65535u);
  device_->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
  ASSERT_EQ(DrawPixel(0xFFFFFFFF, 0.25f), D3D_OK);
  EXPECT_EQ(DepthValues()[0], 16384u);  // round(0.25 x 65535) = round(16383.75)
  ASSERT_EQ(DrawPixel(0xFFFFFFFF, 0.2f), D3D_OK);
  EXPECT_EQ(DepthValues()[0], 13107u);  // round(0.2 x 65535) = 13107
  // The depth buffer is the back buffer's (640 wide): pixel (x, y) of the small target uses (x, y).
  ASSERT_EQ(DrawQuad(2, 1, 3, 2, 0xFFFFFFFF, 0.2f), D3D_OK);
  EXPECT_EQ(DepthValues()[1 * 640 + 2], 13107u);
}

// The glyph mask: a pass writes depth 0.9 where the texture is transparent (colour untouched), and
// a flat pass at depth 0.9 with ZFUNC EQUAL shows only there, for either depth format.
TEST_F(PixelStageTest, EqualDepthMask) {
  for (D3DFORMAT depth : {D3DFMT_D32, D3DFMT_D16}) {
    SCOPED_TRACE(depth);
    CreateDevice(D3DFMT_X8R8G8B8, depth);
    IDirect3DTexture8* mask = MakeTexture(2, 2, {0x00000000, 0xFF000000, 0xFF000000, 0x00000000});
    UseTarget(4, 4);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102030, 1.0f, 0);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetRenderState(D3DRS_ZENABLE, TRUE);
    device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device_->SetRenderState(D3DRS_ALPHAREF, 0);
    device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_EQUAL);
    device_->SetTexture(0, mask);
    ASSERT_EQ(DrawQuad(0, 0, 4, 4, 0xFFFFFFFF, 0.9f), D3D_OK);
    for (uint32_t p : TargetPixels()) EXPECT_EQ(p, 0xFF102030u);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device_->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_EQUAL);
    device_->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    device_->SetTexture(0, nullptr);
    ASSERT_EQ(DrawQuad(0, 0, 4, 4, 0xFFFF0000, 0.9f), D3D_OK);
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 4; ++x) {
        bool masked = (x < 2) == (y < 2);
        EXPECT_EQ(Pixel(x, y), masked ? 0xFFFF0000u : 0xFF102030u) << x << "," << y;
      }
    }
  }
}

// Vertex fog: f = (end - d) / (end - start) with d the view-space depth; rgb = f c + (1 - f) fog.
TEST_F(PixelStageTest, LinearVertexFog) {
  struct Case {
    float distance, start, end;
    uint32_t expected;
  };
  const Case cases[] = {
      {0.25f, 0.0f, 1.0f, 0xFF584068},  // f = 0.75: 88.25, 64, 104
      {0.0f, 0.0f, 1.0f, 0xFF204060},   // f = 1: the vertex colour
      {0.9f, 0.0f, 0.5f, 0xFFFF4080},   // past the end: all fog colour
      {0.5f, 0.5f, 0.5f, 0xFFFF4080},   // start = end: all fogged
  };
  device_->SetRenderState(D3DRS_FOGENABLE, TRUE);
  device_->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
  device_->SetRenderState(D3DRS_FOGCOLOR, 0x00FF4080);
  device_->SetVertexShader(kFvfPoint);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.distance);
    device_->SetRenderState(D3DRS_FOGSTART, FloatBits(c.start));
    device_->SetRenderState(D3DRS_FOGEND, FloatBits(c.end));
    // Identity transforms: the point (0, 0, d) lands on pixel (2, 2) of the 4x4 target.
    PointVertex p = {0, 0, c.distance, 0xFF204060};
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &p, sizeof p), D3D_OK);
    EXPECT_EQ(Pixel(2, 2), c.expected);
  }
}

// rgb = vertex diffuse x light diffuse x max(0, N.L) + material ambient x (AMBIENT + light
// ambient) + material emissive, N by the inverse transpose of world x view, not renormalised.
TEST_F(PixelStageTest, DirectionalLightWithMaterial) {
  struct Case {
    const char* name;
    float scale;
    float nz;
    uint32_t expected;
  };
  const Case cases[] = {
      {"facing the light", 1.0f, -1.0f, 0xFFD34D10},      // 211, 76.75, 16
      {"facing away: ambient and emissive", 1.0f, 1.0f, 0xFF531D00},  // 83, 28.75, 0
      {"world scaled by 2 halves the normal", 2.0f, -1.0f, 0xFF933508},  // 147, 52.75, 8
  };
  D3DLIGHT8 light = {};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1.0f, 0.5f, 0.25f, 1.0f};
  light.Ambient = {0.2f, 0.2f, 0.2f, 1.0f};
  light.Direction = {0, 0, 1};
  D3DMATERIAL8 material = {};
  material.Ambient = {0.5f, 0.25f, 0.0f, 1.0f};
  material.Emissive = {0.1f, 0.0f, 0.0f, 0.0f};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    device_->SetRenderState(D3DRS_LIGHTING, TRUE);
    device_->SetRenderState(D3DRS_AMBIENT, 0x00404040);
    device_->SetLight(0, &light);
    device_->LightEnable(0, TRUE);
    device_->SetMaterial(&material);
    D3DMATRIX world = {{{c.scale, 0, 0, 0, 0, c.scale, 0, 0, 0, 0, c.scale, 0, 0, 0, 0, 1}}};
    device_->SetTransform(D3DTS_WORLD, &world);
    float e = 1.0f / c.scale;
    float z = 0.5f / c.scale;
    LitVertex tri[3] = {{-e, -e, z, 0, 0, c.nz, 0xFF806040},
                        {-e, 3 * e, z, 0, 0, c.nz, 0xFF806040},
                        {3 * e, -e, z, 0, 0, c.nz, 0xFF806040}};
    device_->SetVertexShader(kFvfLit);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(LitVertex)), D3D_OK);
    EXPECT_EQ(Pixel(1, 1), c.expected);
  }
}

// Linear filtering blends texels floor(u W - 0.5) and the next by the fraction.
TEST_F(PixelStageTest, LinearFilteringAndAddressing) {
  IDirect3DTexture8* texture = MakeTexture(2, 1, {0xFF000000, 0xFFFFFFFF});
  device_->SetTexture(0, texture);
  device_->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  struct Case {
    DWORD address;
    float u;
    uint32_t expected;
  };
  const Case cases[] = {
      {D3DTADDRESS_CLAMP, 0.5f, 0xFF808080},   // t = 0.5: half way between the texels
      {D3DTADDRESS_CLAMP, 0.625f, 0xFFBFBFBF}, // t = 0.75: 191.25
      {D3DTADDRESS_CLAMP, 0.25f, 0xFF000000},  // t = 0: texel 0
      {D3DTADDRESS_CLAMP, 0.0f, 0xFF000000},   // t = -0.5: both clamp to texel 0
      {D3DTADDRESS_WRAP, 0.0f, 0xFF808080},    // t = -0.5: texel 1 (wrapped) and texel 0
      {D3DTADDRESS_WRAP, 1.125f, 0xFF404040},  // t = 1.75: texel 1 to texel 2 = 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "address " << c.address << " u " << c.u);
    device_->SetTextureStageState(0, D3DTSS_ADDRESSU, c.address);
    ASSERT_EQ(DrawQuad(0, 0, 1, 1, 0xFFFFFFFF, 0.5f, c.u, 0.5f, c.u, 0.5f), D3D_OK);
    EXPECT_EQ(Pixel(0, 0), c.expected);
  }
  // Point sampling with both addressing modes.
  device_->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
  device_->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
  ASSERT_EQ(DrawQuad(0, 0, 1, 1, 0xFFFFFFFF, 0.5f, 1.6f, 0.5f, 1.6f, 0.5f), D3D_OK);
  EXPECT_EQ(Pixel(0, 0), 0xFFFFFFFFu);  // texel floor(3.2) = 3 wraps to 1
  device_->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  ASSERT_EQ(DrawQuad(0, 0, 1, 1, 0xFFFFFFFF, 0.5f, -3.0f, 0.5f, -3.0f, 0.5f), D3D_OK);
  EXPECT_EQ(Pixel(0, 0), 0xFF000000u);
}

TEST_F(PixelStageTest, SixteenBitTargetsStoreRoundedChannels) {
  CreateDevice();
  UseTarget(4, 4, D3DFMT_R5G6B5);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  // 0x12, 0x34, 0x56 round to 2/31, 13/63, 10/31 and read back expanded.
  ASSERT_EQ(DrawPixel(0xFF123456), D3D_OK);
  EXPECT_EQ(Pixel(0, 0), 0xFF103452u);
  device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00123456, 1, 0);
  EXPECT_EQ(Pixel(3, 3), 0xFF103452u);
}

}  // namespace
