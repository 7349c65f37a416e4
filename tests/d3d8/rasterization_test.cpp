// Coverage, fill rules, pixel-centre texel mapping, culling, strips and shading on tiny targets.
#include <array>
#include <cmath>
#include <limits>
#include <random>

#include "device_fixture.h"

namespace {

class RasterizationTest : public DeviceFixture {
 protected:
  void Untextured() {
    device_->SetTexture(0, nullptr);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device_->SetRenderState(D3DRS_ZENABLE, FALSE);
  }
  void Additive() {
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  }
};

TEST_F(RasterizationTest, QuadToHalfPixelBeyondTheEdgesCoversTheWholeBackBuffer) {
  device_->BeginScene();
  device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
  Untextured();
  ASSERT_EQ(DrawQuad(0, 0, 640.5f, 480.5f, 0xFFFFFFFF), D3D_OK);
  IDirect3DSurface8* back = nullptr;
  device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
  std::vector<uint32_t> pixels;
  ASSERT_TRUE(d3d8test::ReadSurface(back, &pixels));
  back->Release();
  ASSERT_EQ(pixels.size(), 640u * 480u);
  for (size_t i = 0; i < pixels.size(); ++i) ASSERT_EQ(pixels[i], 0xFFFFFFFFu) << "pixel " << i % 640 << "," << i / 640;
}

// The post pass: a 320x240 corner of a 512x256 texture stretched over 640x480 with point sampling.
TEST_F(RasterizationTest, StretchMapsPixelsZeroToTwoToTexelZeroThenTwoPixelsPerTexel) {
  std::vector<uint32_t> texels(512 * 256);
  for (uint32_t y = 0; y < 256; ++y) {
    for (uint32_t x = 0; x < 512; ++x) texels[y * 512 + x] = 0xFF000000 | (y << 9) | x;
  }
  IDirect3DTexture8* texture = MakeTexture(512, 256, texels);
  device_->BeginScene();
  device_->SetRenderState(D3DRS_ZENABLE, FALSE);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device_->SetTexture(0, texture);
  ASSERT_EQ(DrawQuad(0, 0, 640.5f, 480.5f, 0xFFFFFFFF, 0.5f, 0, 0, 0.625f, 0.9375f), D3D_OK);
  IDirect3DSurface8* back = nullptr;
  device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
  std::vector<uint32_t> pixels;
  ASSERT_TRUE(d3d8test::ReadSurface(back, &pixels));
  back->Release();
  auto texelOf = [](uint32_t p) { return p <= 2 ? 0u : (p - 1) / 2; };
  for (uint32_t y = 0; y < 480; ++y) {
    for (uint32_t x = 0; x < 640; ++x) {
      uint32_t expected = (texelOf(y) << 9) | texelOf(x);
      ASSERT_EQ(pixels[y * 640 + x] & 0x00FFFFFF, expected) << "pixel " << x << "," << y;
    }
  }
}

TEST_F(RasterizationTest, PixelCentresOnAQuadsEdgesFollowTheTopLeftRule) {
  UseTarget(8, 8);
  Untextured();
  ASSERT_EQ(DrawQuad(1, 2, 4, 5, 0xFFFFFFFF), D3D_OK);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      bool inside = x >= 1 && x < 4 && y >= 2 && y < 5;
      EXPECT_EQ(Pixel(x, y), inside ? 0xFFFFFFFFu : 0u) << x << "," << y;
    }
  }
}

// Triangles sharing edges cover each pixel once: no gap, no double blend.
TEST_F(RasterizationTest, SharedEdgesAreDrawnOnce) {
  struct Case {
    const char* name;
    std::vector<std::array<float, 6>> triangles;
    int minX, minY, maxX, maxY;  // every pixel in [min, max) must be covered (0 = no check)
  };
  const float cx = 7.3f, cy = 6.6f;
  const float px[4] = {1.25f, 14.5f, 13.75f, 0.5f};
  const float py[4] = {0.75f, 1.5f, 14.25f, 12.5f};
  std::vector<Case> cases = {
      {"fan around an inner point", {}, 0, 0, 0, 0},
      {"grid of quads on pixel centres",
       {{1, 1, 4, 1, 1, 4}, {4, 1, 4, 4, 1, 4}, {4, 1, 7, 1, 4, 4}, {7, 1, 7, 4, 4, 4},
        {1, 4, 4, 4, 1, 7}, {4, 4, 4, 7, 1, 7}, {4, 4, 7, 4, 4, 7}, {7, 4, 7, 7, 4, 7}},
       1, 1, 7, 7},
      {"fan through pixel centres",
       {{8, 8, 2, 2, 14, 2}, {8, 8, 14, 2, 14, 14}, {8, 8, 14, 14, 2, 14}, {8, 8, 2, 14, 2, 2}},
       2, 2, 14, 14},
  };
  for (int i = 0; i < 4; ++i) {
    int j = (i + 1) % 4;
    cases[0].triangles.push_back({cx, cy, px[i], py[i], px[j], py[j]});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CreateDevice();
    UseTarget(16, 16);
    Untextured();
    Additive();
    for (const auto& t : c.triangles) {
      ASSERT_EQ(DrawColourTriangle({t[0], t[1], 0.5f, 1, 0x10101010}, {t[2], t[3], 0.5f, 1, 0x10101010},
                                   {t[4], t[5], 0.5f, 1, 0x10101010}),
                D3D_OK);
    }
    std::vector<uint32_t> pixels = TargetPixels();
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        uint32_t p = pixels[y * 16 + x];
        ASSERT_TRUE(p == 0 || p == 0x10101010) << x << "," << y << " = " << std::hex << p;
        if (x >= c.minX && x < c.maxX && y >= c.minY && y < c.maxY) {
          ASSERT_EQ(p, 0x10101010u) << x << "," << y;
        }
      }
    }
  }
}

// The fan and the same quad as two triangles cover the same pixels.
TEST_F(RasterizationTest, FanCoversTheSamePixelsAsItsOutline) {
  const float cx = 7.3f, cy = 6.6f;
  const float px[4] = {1.25f, 14.5f, 13.75f, 0.5f};
  const float py[4] = {0.75f, 1.5f, 14.25f, 12.5f};
  auto draw = [&](bool fan) {
    CreateDevice();
    UseTarget(16, 16);
    Untextured();
    auto v = [](float x, float y) { return TlColourVertex{x, y, 0.5f, 1, 0xFFFFFFFF}; };
    if (fan) {
      for (int i = 0; i < 4; ++i) DrawColourTriangle(v(cx, cy), v(px[i], py[i]), v(px[(i + 1) % 4], py[(i + 1) % 4]));
    } else {
      DrawColourTriangle(v(px[0], py[0]), v(px[1], py[1]), v(px[2], py[2]));
      DrawColourTriangle(v(px[0], py[0]), v(px[2], py[2]), v(px[3], py[3]));
    }
    return TargetPixels();
  };
  EXPECT_EQ(draw(true), draw(false));
}

// The row walk with incremental exact bounds and the per-pixel edge test agree on every pixel.
TEST_F(RasterizationTest, FastWalkMatchesPerPixelEdgeTests) {
  auto draw = [&](bool reference) {
    d3d8test::UseReferenceRasterizer(reference);
    CreateDevice();
    UseTarget(32, 32);
    Untextured();
    Additive();
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> coordinate(-4 * 256, 36 * 256);
    std::uniform_int_distribution<int> snap(0, 3);
    auto pick = [&]() {
      int c = coordinate(random);
      // A quarter of the coordinates land on pixel centres, a quarter on half pixels.
      switch (snap(random)) {
        case 0: return static_cast<float>(c / 256);
        case 1: return static_cast<float>(c / 128) * 0.5f;
        default: return static_cast<float>(c) / 256.0f;
      }
    };
    for (int i = 0; i < 300; ++i) {
      TlColourVertex a{pick(), pick(), 0.5f, 1, 0x01010101};
      TlColourVertex b{pick(), pick(), 0.5f, 1, 0x01010101};
      TlColourVertex c{pick(), pick(), 0.5f, 1, 0x01010101};
      // Some with a horizontal edge, some within one row (strips of rows are made of both).
      if (i % 4 == 1) b.y = a.y;
      if (i % 4 == 2) {
        b.y = a.y + 0.75f;
        c.y = a.y + static_cast<float>(snap(random)) * 0.25f;
      }
      DrawColourTriangle(a, b, c);
    }
    return TargetPixels();
  };
  std::vector<uint32_t> fast = draw(false);
  std::vector<uint32_t> reference = draw(true);
  EXPECT_EQ(fast, reference);
  uint32_t covered = 0;
  for (uint32_t p : fast) covered += p != 0;
  EXPECT_GT(covered, 900u);
}

// Quads drawn as strips (which the device rasterizes as one rectangle) cover the same pixels, with
// the same colours to within rounding, as their two triangles drawn apart.
TEST_F(RasterizationTest, RectanglesCoverWhatTheirTwoTrianglesCover) {
  std::mt19937 random(77);
  std::uniform_int_distribution<int> coordinate(-3 * 256, 35 * 256);
  auto draw = [&](bool asStrip) {
    CreateDevice();
    UseTarget(32, 32);
    Untextured();
    Additive();
    random.seed(77);
    for (int i = 0; i < 40; ++i) {
      float x0 = coordinate(random) / 256.0f, x1 = coordinate(random) / 256.0f;
      float y0 = coordinate(random) / 256.0f, y1 = coordinate(random) / 256.0f;
      if (i % 4 == 0) {  // corners on pixel centres and half pixels too
        x0 = std::floor(x0);
        y1 = std::floor(y1) + 0.5f;
      }
      TlColourVertex tl{x0, y0, 0.5f, 1, 0x01020304}, tr{x1, y0, 0.5f, 1, 0x01020304};
      TlColourVertex bl{x0, y1, 0.5f, 1, 0x01020304}, br{x1, y1, 0.5f, 1, 0x01020304};
      if (asStrip) {
        TlColourVertex strip[4] = {tl, tr, bl, br};
        device_->SetVertexShader(kFvfTlColour);
        device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, strip, sizeof(TlColourVertex));
      } else {
        DrawColourTriangle(tl, tr, bl);
        DrawColourTriangle(tr, br, bl);
      }
    }
    return TargetPixels();
  };
  EXPECT_EQ(draw(true), draw(false));
}

TEST_F(RasterizationTest, CullModesDiscardTheirWinding) {
  struct Case {
    DWORD cull;
    bool clockwiseDrawn;
    bool counterClockwiseDrawn;
  };
  const Case cases[] = {
      {D3DCULL_NONE, true, true},
      {D3DCULL_CW, false, true},
      {D3DCULL_CCW, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cull);
    CreateDevice();
    UseTarget(8, 8);
    Untextured();
    device_->SetRenderState(D3DRS_CULLMODE, c.cull);
    auto v = [](float x, float y) { return TlColourVertex{x, y, 0.5f, 1, 0xFFFFFFFF}; };
    // Screen y points down: (0,0) -> (8,0) -> (0,8) turns clockwise on screen.
    DrawColourTriangle(v(0, 0), v(8, 0), v(0, 8));
    EXPECT_EQ(Pixel(1, 1) != 0, c.clockwiseDrawn);
    // (8,8) -> (8,0) -> (0,8) turns counter-clockwise, covering the other half.
    DrawColourTriangle(v(8, 8), v(8, 0), v(0, 8));
    EXPECT_EQ(Pixel(6, 6) != 0, c.counterClockwiseDrawn);
  }
}

TEST_F(RasterizationTest, StripsKeepOneWindingForCulling) {
  struct Case {
    DWORD cull;
    bool drawn;
  };
  for (const Case& c : {Case{D3DCULL_CCW, true}, Case{D3DCULL_CW, false}}) {
    CreateDevice();
    UseTarget(8, 8);
    Untextured();
    device_->SetRenderState(D3DRS_CULLMODE, c.cull);
    // Triangle 0 (v0, v1, v2) turns clockwise; triangle 1 is taken as (v1, v3, v2), clockwise too.
    TlColourVertex strip[4] = {{0, 0, 0.5f, 1, 0xFFFFFFFF},
                               {8, 0, 0.5f, 1, 0xFFFFFFFF},
                               {0, 8, 0.5f, 1, 0xFFFFFFFF},
                               {8, 8, 0.5f, 1, 0xFFFFFFFF}};
    device_->SetVertexShader(kFvfTlColour);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, strip, sizeof(TlColourVertex)), D3D_OK);
    EXPECT_EQ(Pixel(1, 1) != 0, c.drawn);
    EXPECT_EQ(Pixel(6, 6) != 0, c.drawn);
  }
}

TEST_F(RasterizationTest, FlatShadingTakesTheFirstVertexOfEachTriangle) {
  const DWORD red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF, white = 0xFFFFFFFF;
  UseTarget(8, 8);
  Untextured();
  device_->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
  device_->SetVertexShader(kFvfTlColour);
  // Strip triangle i takes vertex i.
  TlColourVertex strip[4] = {{0, 0, 0.5f, 1, red}, {8, 0, 0.5f, 1, green}, {0, 4, 0.5f, 1, blue},
                             {8, 4, 0.5f, 1, white}};
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, strip, sizeof(TlColourVertex)), D3D_OK);
  EXPECT_EQ(Pixel(1, 1), red);
  EXPECT_EQ(Pixel(6, 3), green);
  // List triangle i takes vertex 3i.
  TlColourVertex list[6] = {{0, 4, 0.5f, 1, blue}, {8, 4, 0.5f, 1, red}, {0, 8, 0.5f, 1, red},
                            {8, 4, 0.5f, 1, white}, {8, 8, 0.5f, 1, red}, {0, 8, 0.5f, 1, red}};
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, list, sizeof(TlColourVertex)), D3D_OK);
  EXPECT_EQ(Pixel(1, 5), blue);
  EXPECT_EQ(Pixel(6, 7), white);
}

TEST_F(RasterizationTest, GouraudInterpolatesAtPixelCentres) {
  UseTarget(16, 16);
  Untextured();
  // Red at (0,0), green at (8,0), blue at (0,8): colour = barycentric mix, rounded to nearest.
  ASSERT_EQ(DrawColourTriangle({0, 0, 0.5f, 1, 0xFFFF0000}, {8, 0, 0.5f, 1, 0xFF00FF00}, {0, 8, 0.5f, 1, 0xFF0000FF}),
            D3D_OK);
  EXPECT_EQ(Pixel(0, 0), 0xFFFF0000u);         // exactly the vertex colour
  EXPECT_EQ(Pixel(2, 0), 0xFFBF4000u);         // 191.25, 63.75, 0
  EXPECT_EQ(Pixel(1, 2), 0xFF9F2040u);         // 159.375, 31.875, 63.75
  EXPECT_EQ(Pixel(0, 7), 0xFF2000DFu);         // 31.875, 0, 223.125
  EXPECT_EQ(Pixel(8, 0), 0u);                  // on the right edge: not covered
}

// With rhw varying across a triangle, colour follows 1/w: halfway down the screen between
// w = 1 and w = 3, 1/w is 2/3 and red (0 at w 1, 255 at w 3) is 63.75, not 127.5.
TEST_F(RasterizationTest, TransformedGeometryIsPerspectiveCorrect) {
  UseTarget(64, 64);
  Untextured();
  D3DMATRIX projection = {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0.5f, 1, 0, 0, 0, 0}}};
  device_->SetTransform(D3DTS_PROJECTION, &projection);
  PointVertex tri[3] = {{-1, 1, 1, 0xFF000000}, {-3, -3, 3, 0xFFFF0000}, {3, -3, 3, 0xFFFF0000}};
  device_->SetVertexShader(kFvfPoint);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(PointVertex)), D3D_OK);
  EXPECT_EQ(Pixel(10, 32), 0xFF400000u);
  // Row 63: 1/w = 1 - (2/3)(63/64), red/w = 85 x 63/64, red = 243.4.
  EXPECT_EQ(Pixel(30, 63), 0xFFF30000u);
}

TEST_F(RasterizationTest, TransformedGeometryIsClippedToTheViewport) {
  UseTarget(8, 8);
  Untextured();
  D3DVIEWPORT8 viewport = {2, 2, 4, 4, 0, 1};
  device_->SetViewport(&viewport);
  // A triangle far larger than the frustum, its top corner in front of the near plane.
  PointVertex tri[3] = {{-50, -50, 0.5f, 0xFFFFFFFF}, {50, -50, 0.5f, 0xFFFFFFFF}, {0, 80, -0.1f, 0xFFFFFFFF}};
  device_->SetVertexShader(kFvfPoint);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(PointVertex)), D3D_OK);
  std::vector<uint32_t> pixels = TargetPixels();
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      bool inViewport = x >= 2 && x < 6 && y >= 2 && y < 6;
      EXPECT_EQ(pixels[y * 8 + x], inViewport ? 0xFFFFFFFFu : 0u) << x << "," << y;
    }
  }
  // Beyond the far plane (z > w) nothing is drawn.
  device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1, 0);
  PointVertex far[3] = {{-1, -1, 1.5f, 0xFFFFFFFF}, {1, -1, 1.5f, 0xFFFFFFFF}, {0, 1, 1.5f, 0xFFFFFFFF}};
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, far, sizeof(PointVertex)), D3D_OK);
  for (uint32_t p : TargetPixels()) EXPECT_EQ(p, 0u);
}

TEST_F(RasterizationTest, PretransformedGeometryIsScissoredToTheViewport) {
  UseTarget(8, 8);
  Untextured();
  D3DVIEWPORT8 viewport = {1, 2, 5, 3, 0, 1};
  device_->SetViewport(&viewport);
  ASSERT_EQ(DrawQuad(-1.0e7f, -3.0e6f, 2.0e7f, 4.0e9f, 0xFFFFFFFF), D3D_OK);
  std::vector<uint32_t> pixels = TargetPixels();
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      bool inViewport = x >= 1 && x < 6 && y >= 2 && y < 5;
      EXPECT_EQ(pixels[y * 8 + x], inViewport ? 0xFFFFFFFFu : 0u) << x << "," << y;
    }
  }
}

TEST_F(RasterizationTest, VerticesThatAreNotNumbersDrawNothing) {
  UseTarget(8, 8);
  Untextured();
  float nan = std::numeric_limits<float>::quiet_NaN();
  float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(DrawColourTriangle({nan, 0, 0.5f, 1, 0xFFFFFFFF}, {8, 0, 0.5f, 1, 0xFFFFFFFF}, {0, 8, 0.5f, 1, 0xFFFFFFFF}),
            D3D_OK);
  EXPECT_EQ(DrawColourTriangle({0, 0, 0.5f, 1, 0xFFFFFFFF}, {inf, 0, 0.5f, 1, 0xFFFFFFFF}, {0, 8, 0.5f, 1, 0xFFFFFFFF}),
            D3D_OK);
  for (uint32_t p : TargetPixels()) EXPECT_EQ(p, 0u);
}

}  // namespace
