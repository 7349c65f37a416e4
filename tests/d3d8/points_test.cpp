// Size-1 points and point sprites: coverage, sprite texture coordinates, size limits, clipping.
#include <algorithm>
#include <array>

#include "device_fixture.h"

namespace {

class PointsTest : public DeviceFixture {
 protected:
  void Plain() {
    device_->SetTexture(0, nullptr);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetRenderState(D3DRS_ZENABLE, FALSE);
  }
  HRESULT DrawPoint(float x, float y, DWORD colour = 0xFFFFFFFF) {
    TlColourVertex p = {x, y, 0.5f, 1, colour};
    device_->SetVertexShader(kFvfTlColour);
    return device_->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &p, sizeof p);
  }
  // The lit pixels of the target as (min x, min y, max x, max y), or -1s when none.
  std::array<int, 4> Bounds() {
    std::vector<uint32_t> pixels = TargetPixels();
    std::array<int, 4> b = {-1, -1, -1, -1};
    for (int y = 0; y < static_cast<int>(pixels.size() / targetWidth_); ++y) {
      for (int x = 0; x < static_cast<int>(targetWidth_); ++x) {
        if (pixels[y * targetWidth_ + x] == 0) continue;
        if (b[0] < 0 || x < b[0]) b[0] = x;
        if (b[1] < 0 || y < b[1]) b[1] = y;
        b[2] = std::max(b[2], x);
        b[3] = std::max(b[3], y);
      }
    }
    return b;
  }
  int LitCount() {
    int n = 0;
    for (uint32_t p : TargetPixels()) n += p != 0;
    return n;
  }
};

TEST_F(PointsTest, SizeOnePointLightsThePixelWhoseCentreIsNearest) {
  struct Case {
    float x, y;
    int px, py;
  };
  // Pixel (ceil(x - 0.5), ceil(y - 0.5)): a centre exactly half-way belongs to the left/top pixel.
  const Case cases[] = {{2.0f, 3.0f, 2, 3}, {2.5f, 3.5f, 2, 3}, {2.49f, 3.51f, 2, 4}, {2.51f, 1.4f, 3, 1},
                        {0.0f, 0.0f, 0, 0}, {7.4f, 7.49f, 7, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    CreateDevice();
    UseTarget(8, 8);
    Plain();
    ASSERT_EQ(DrawPoint(c.x, c.y), D3D_OK);
    EXPECT_EQ(LitCount(), 1);
    EXPECT_EQ(Pixel(c.px, c.py), 0xFFFFFFFFu);
  }
}

TEST_F(PointsTest, PointsOutsideTheTargetDrawNothing) {
  UseTarget(8, 8);
  Plain();
  for (float x : {-0.51f, 8.5f, 100.0f, -1.0e9f}) EXPECT_EQ(DrawPoint(x, 3.0f), D3D_OK);
  EXPECT_EQ(LitCount(), 0);
}

TEST_F(PointsTest, SpriteCoversItsSquareWithTheFillRules) {
  struct Case {
    float x, y, size;
    std::array<int, 4> bounds;
  };
  const Case cases[] = {
      {4.0f, 4.0f, 4.0f, {2, 2, 5, 5}},   // 2..6 on both axes: centres 2..5
      {4.5f, 4.5f, 4.0f, {3, 3, 6, 6}},   // 2.5..6.5
      {4.2f, 4.0f, 3.0f, {3, 3, 5, 5}},   // 2.7..5.7 and 2.5..5.5
      {1.0f, 1.0f, 8.0f, {0, 0, 4, 4}},   // partly outside: -3..5, the visible part drawn
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " size " << c.size);
    CreateDevice();
    UseTarget(16, 16);
    Plain();
    device_->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    device_->SetRenderState(D3DRS_POINTSIZE, FloatBits(c.size));
    ASSERT_EQ(DrawPoint(c.x, c.y), D3D_OK);
    EXPECT_EQ(Bounds(), c.bounds);
    EXPECT_EQ(LitCount(), (c.bounds[2] - c.bounds[0] + 1) * (c.bounds[3] - c.bounds[1] + 1));
  }
}

TEST_F(PointsTest, SpriteTextureRunsFromTopLeftToBottomRight) {
  const uint32_t red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF, white = 0xFFFFFFFF;
  IDirect3DTexture8* texture = MakeTexture(2, 2, {red, green, blue, white});
  UseTarget(8, 8);
  Plain();
  device_->SetTexture(0, texture);
  device_->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
  device_->SetRenderState(D3DRS_POINTSIZE, FloatBits(4.0f));
  ASSERT_EQ(DrawPoint(4.0f, 4.0f), D3D_OK);
  // Pixel centres 2, 3, 4, 5 sit at u = 0, 0.25, 0.5, 0.75: texels 0, 0, 1, 1.
  const uint32_t expected[4][4] = {{red, red, green, green}, {red, red, green, green},
                                   {blue, blue, white, white}, {blue, blue, white, white}};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(2 + x, 2 + y), expected[y][x]) << x << "," << y;
  }
}

TEST_F(PointsTest, SpriteSizeIsClampedToTheStatesAndTheDeviceLimit) {
  struct Case {
    float size, minimum, maximum;
    int width;
  };
  const Case cases[] = {
      {100.0f, 0.0f, 64.0f, 64},   // MaxPointSize 64
      {100.0f, 0.0f, 200.0f, 64},  // the state cannot exceed the device
      {30.0f, 0.0f, 10.0f, 10},
      {2.0f, 6.0f, 64.0f, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    CreateDevice();
    UseTarget(128, 128);
    Plain();
    device_->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    device_->SetRenderState(D3DRS_POINTSIZE, FloatBits(c.size));
    device_->SetRenderState(D3DRS_POINTSIZE_MIN, FloatBits(c.minimum));
    device_->SetRenderState(D3DRS_POINTSIZE_MAX, FloatBits(c.maximum));
    ASSERT_EQ(DrawPoint(64.0f, 64.0f), D3D_OK);
    std::array<int, 4> b = Bounds();
    EXPECT_EQ(b[2] - b[0] + 1, c.width);
    EXPECT_EQ(b[3] - b[1] + 1, c.width);
  }
}

// A device whose hardware draws points of one pixel at most draws big sprites through software
// vertex processing: always when created for it, on a mixed device while the state asks for it.
TEST_F(PointsTest, SoftwareVertexProcessingDrawsSpritesBeyondTheHardwareLimit) {
  struct Case {
    DWORD flags;
    BOOL softwareState;
    int width;
  };
  const Case cases[] = {
      {D3DCREATE_MIXED_VERTEXPROCESSING, FALSE, 1},
      {D3DCREATE_MIXED_VERTEXPROCESSING, TRUE, 16},
      {D3DCREATE_HARDWARE_VERTEXPROCESSING, FALSE, 1},
      {D3DCREATE_SOFTWARE_VERTEXPROCESSING, FALSE, 16},
  };
  d3d8test::AdapterSetup smallPoints;
  smallPoints.maxPointSize = 1.0f;
  d3d8test::SetAdapter(0, smallPoints);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "flags " << c.flags << " state " << c.softwareState);
    ReleaseDevice();
    ASSERT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, c.flags, &params_, &device_), D3D_OK);
    UseTarget(32, 32);
    Plain();
    device_->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    device_->SetRenderState(D3DRS_POINTSIZE, FloatBits(16.0f));
    device_->SetRenderState(D3DRS_SOFTWAREVERTEXPROCESSING, c.softwareState);
    ASSERT_EQ(DrawPoint(16.0f, 16.0f), D3D_OK);
    std::array<int, 4> b = Bounds();
    EXPECT_EQ(b[2] - b[0] + 1, c.width);
  }
}

TEST_F(PointsTest, TransformedPointsOutsideNearAndFarAreDropped) {
  UseTarget(8, 8);
  Plain();
  device_->SetVertexShader(kFvfPoint);
  PointVertex points[4] = {{0, 0, 0.5f, 0xFFFFFFFF}, {0.5f, 0.5f, 1.5f, 0xFFFFFFFF}, {0.5f, 0.5f, -0.5f, 0xFFFFFFFF},
                           {-0.5f, -0.5f, 1.0f, 0xFFFFFFFF}};
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_POINTLIST, 4, points, sizeof(PointVertex)), D3D_OK);
  // (0, 0) is the viewport centre (4, 4); (-0.5, -0.5) maps to (2, 6); z 1.5 and -0.5 vanish.
  EXPECT_EQ(LitCount(), 2);
  EXPECT_EQ(Pixel(4, 4), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(2, 6), 0xFFFFFFFFu);
}

TEST_F(PointsTest, SpritesAreFoggedAlphaTestedAndDepthTestedButNotCulled) {
  // A texture with a transparent left column.
  IDirect3DTexture8* texture = MakeTexture(2, 1, {0x00FFFFFF, 0xFFFFFFFF});
  UseTarget(8, 8);
  device_->SetTexture(0, texture);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  device_->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
  device_->SetRenderState(D3DRS_POINTSIZE, FloatBits(4.0f));
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_NOTEQUAL);
  device_->SetRenderState(D3DRS_FOGENABLE, TRUE);
  device_->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
  device_->SetRenderState(D3DRS_FOGCOLOR, 0x00000000);
  device_->SetRenderState(D3DRS_FOGSTART, FloatBits(0.0f));
  device_->SetRenderState(D3DRS_FOGEND, FloatBits(1.0f));
  device_->SetVertexShader(kFvfXyz);
  // View distance 0.25: fog factor 0.75, white becomes 191.
  float point[3] = {0, 0, 0.25f};
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_POINTLIST, 1, point, sizeof point), D3D_OK);
  EXPECT_EQ(Pixel(2, 2), 0u);             // transparent texel: alpha test discards
  EXPECT_EQ(Pixel(4, 2), 0xFFBFBFBFu);    // opaque texel, fogged
  std::vector<uint32_t> depth = DepthValues();
  EXPECT_EQ(depth[2 * 640 + 2], 0xFFFFFFFFu);  // discarded: depth untouched
  EXPECT_NE(depth[2 * 640 + 4], 0xFFFFFFFFu);
  // A second sprite behind the first fails the depth test where the first was drawn.
  float behind[3] = {0, 0, 0.5f};
  device_->SetRenderState(D3DRS_FOGENABLE, FALSE);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_POINTLIST, 1, behind, sizeof behind), D3D_OK);
  EXPECT_EQ(Pixel(4, 2), 0xFFBFBFBFu);
}

}  // namespace
