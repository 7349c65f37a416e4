// The fin star and glass cube on the real device: its buffers, its angles, the state it leaves,
// and the pixels of the two star passes and the lit cube.
#include "effects/fin_star_effect.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "effect_device.h"
#include "effects/solid_models.h"

namespace {

constexpr float kTwoPi = 6.283184f;

class FinStarEffectTest : public EffectDeviceTest {
 protected:
  // Renders one frame into the cleared frame target and reads it back.
  void RenderFrame(FinStarEffect& effect, float delta) {
    frameTimer.deltaSeconds = delta;
    BeginFrame();
    effect.Render();
    EndFrame();
  }

  // The screen triangles of model m at the effect's current angles.
  void ProjectModel(const FinStarEffect& effect, int m, ScreenPoint out[12][3]) {
    const LitModel& model = FinStarEffect::model(m);
    Matrix4 world = effect.WorldMatrix(m);
    for (int t = 0; t < 12; ++t) {
      for (int k = 0; k < 3; ++k) {
        out[t][k] = Project(model.positions[model.indices[3 * t + k]], world, effect.camera().viewMatrix,
                            effect.camera().projectionMatrix);
      }
    }
  }
};

TEST_F(FinStarEffectTest, BuffersHoldFlatShadedTrianglesInTheModelColours) {
  FinStarEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  const D3DCOLOR colours[3] = {0xFF404040, 0x900000FF, 0x90FFFFFF};
  for (int m = 0; m < 3; ++m) {
    SCOPED_TRACE(testing::Message() << "model " << m);
    const LitModel& model = FinStarEffect::model(m);
    BYTE* bytes = nullptr;
    ASSERT_EQ(effect.vertexBuffer(m)->Lock(0, 0, &bytes, 0), D3D_OK);
    const FinStarVertex* v = reinterpret_cast<const FinStarVertex*>(bytes);
    for (int t = 0; t < 12; ++t) {
      Vector3 p[3];
      for (int k = 0; k < 3; ++k) {
        const FinStarVertex& vertex = v[3 * t + k];
        p[k] = {vertex.x, vertex.y, vertex.z};
        const Vector3& expected = model.positions[model.indices[3 * t + k]];
        EXPECT_EQ(vertex.x, expected.x);
        EXPECT_EQ(vertex.y, expected.y);
        EXPECT_EQ(vertex.z, expected.z);
        EXPECT_EQ(vertex.diffuse, colours[m]);
        // One normal for the whole triangle.
        EXPECT_EQ(vertex.nx, v[3 * t].nx);
        EXPECT_EQ(vertex.ny, v[3 * t].ny);
        EXPECT_EQ(vertex.nz, v[3 * t].nz);
      }
      // Unit length, perpendicular to the triangle, on the side of (P2 - P0) × (P1 - P0).
      const FinStarVertex& n = v[3 * t];
      EXPECT_NEAR(n.nx * n.nx + n.ny * n.ny + n.nz * n.nz, 1.0, 1e-5);
      for (int k = 1; k < 3; ++k) {
        double along = n.nx * (p[k].x - p[0].x) + n.ny * (p[k].y - p[0].y) + n.nz * (p[k].z - p[0].z);
        EXPECT_NEAR(along, 0.0, 1e-3);
      }
      Vector3 reference = FlatNormal(p[0], p[1], p[2]);
      EXPECT_GT(n.nx * reference.x + n.ny * reference.y + n.nz * reference.z, 0.99f);
    }
    effect.vertexBuffer(m)->Unlock();
  }
}

TEST_F(FinStarEffectTest, InitFailsOnABufferAndReleasesEverything) {
  FinStarEffect effect;
  d3d8test::FailNthCreation(d3d8test::ResourceKind::kVertexBuffer, 2);
  EXPECT_EQ(effect.Init(), -1);
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 1);
  EXPECT_EQ(effect.Init(), 0);  // Init starts from Release: still three buffers, not four
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 3);
  effect.Release();
  effect.Release();
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0);
}

// The first angle of each star falls (speed -1) and wraps up once below 0; an angle that lands
// exactly on 6.283184 wraps to 0. The two stars stay in step.
TEST_F(FinStarEffectTest, AnglesWrapAtZeroAndAtTwoPi) {
  FinStarEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  RenderFrame(effect, 2.5f);
  EXPECT_EQ(effect.angles(0)[0], (2.0f - 2.5f) + kTwoPi);
  EXPECT_EQ(effect.angles(0)[2], 3.0f + 2.5f * 0.9f);
  // Model 1's third angle falls from 1 at speed -1.6: 1 - 4 = -3 wraps to 3.283184.
  EXPECT_EQ(effect.angles(1)[2], (1.0f + 2.5f * -1.6f) + kTwoPi);

  // A step that brings the second angle (now 3.75, speed 1.1) exactly onto 6.283184.
  const float start = effect.angles(0)[1];
  const float guess = (kTwoPi - start) / 1.1f;
  float step = 0.0f;
  bool found = false;
  for (float direction : {10.0f, 0.0f}) {
    float candidate = guess;
    for (int i = 0; i < 1000 && !found; ++i, candidate = std::nextafter(candidate, direction)) {
      if (start + candidate * 1.1f == kTwoPi) {
        step = candidate;
        found = true;
      }
    }
  }
  ASSERT_TRUE(found);
  RenderFrame(effect, step);
  EXPECT_EQ(effect.angles(0)[1], 0.0f);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(effect.angles(2)[k], effect.angles(0)[k]);
  for (int m = 0; m < 3; ++m) {
    for (int k = 0; k < 3; ++k) {
      EXPECT_GE(effect.angles(m)[k], 0.0f);
      EXPECT_LT(effect.angles(m)[k], kTwoPi);
    }
  }
}

TEST_F(FinStarEffectTest, LeavesBlendingOnAndClockwiseTrianglesCulled) {
  FinStarEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  RenderFrame(effect, 0.02f);
  const std::pair<D3DRENDERSTATETYPE, DWORD> expected[] = {
      {D3DRS_ZENABLE, D3DZB_TRUE},        {D3DRS_CULLMODE, D3DCULL_CW},
      {D3DRS_ALPHABLENDENABLE, TRUE},     {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
      {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA}, {D3DRS_LIGHTING, FALSE},
      {D3DRS_FOGENABLE, FALSE},
  };
  for (auto [state, value] : expected) {
    DWORD actual = 0;
    d3dDevice->GetRenderState(state, &actual);
    EXPECT_EQ(actual, value) << "state " << state;
  }
  BOOL enabled = FALSE;
  d3dDevice->GetLightEnable(0, &enabled);
  EXPECT_TRUE(enabled);
}

// Where a single fin covers a pixel (clear of every other fin and of the cube), the pixel is the
// opaque grey when the fin is clockwise on screen and white at alpha 0x90 over the black clear
// when it is counter-clockwise: never both, never neither.
TEST_F(FinStarEffectTest, GreyAndWhitePassesDrawEachFinOnce) {
  FinStarEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  RenderFrame(effect, 0.0f);  // loads the camera's matrices

  std::set<int> finsSeen;
  int grey = 0, white = 0;
  for (int frame = 0; frame < 12; ++frame) {
    ScreenPoint fins[12][3], cube[12][3];
    ProjectModel(effect, 0, fins);
    ProjectModel(effect, 1, cube);
    RenderFrame(effect, 0.37f);
    for (int t = 0; t < 12; ++t) {
      for (int a = 1; a < 8; ++a) {
        for (int b = 1; a + b < 8; ++b) {
          double wa = a / 8.0, wb = b / 8.0, wc = 1.0 - wa - wb;
          int x = static_cast<int>(std::lround(wa * fins[t][0].x + wb * fins[t][1].x + wc * fins[t][2].x));
          int y = static_cast<int>(std::lround(wa * fins[t][0].y + wb * fins[t][1].y + wc * fins[t][2].y));
          if (x < 0 || y < 0 || x >= kFrameWidth || y >= kFrameHeight) continue;
          if (Inside(fins[t], x, y) < 1.5) continue;
          bool alone = true;
          for (int o = 0; o < 12 && alone; ++o) {
            if (o != t && Inside(fins[o], x, y) > -1.5) alone = false;
            if (Inside(cube[o], x, y) > -1.5) alone = false;
          }
          if (!alone) continue;
          bool clockwise = Winding(fins[t][0], fins[t][1], fins[t][2]) > 0;
          EXPECT_EQ(Pixel(x, y), clockwise ? 0x404040u : 0x909090u)
              << "frame " << frame << " fin " << t << " at " << x << "," << y;
          (clockwise ? grey : white)++;
          finsSeen.insert(t);
        }
      }
    }
  }
  EXPECT_GT(grey, 20);
  EXPECT_GT(white, 20);
  EXPECT_EQ(finsSeen.size(), 12u);
}

// Where only the glass cube covers a pixel, it shows blue lit by N·L with L = (0, -1, 0), blended
// at alpha 0x90 over black: sides turned differently to the light get different shades.
TEST_F(FinStarEffectTest, LightShadesTheCubeSidesByTheirFacing) {
  FinStarEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  RenderFrame(effect, 0.0f);

  std::set<int> shades;
  for (int frame = 0; frame < 16; ++frame) {
    ScreenPoint fins[12][3], cube[12][3];
    ProjectModel(effect, 0, fins);
    ProjectModel(effect, 1, cube);
    Matrix4 world = effect.WorldMatrix(1);
    RenderFrame(effect, 0.29f);
    for (int t = 0; t < 12; ++t) {
      // The cube's kept triangles are the counter-clockwise ones.
      if (Winding(cube[t][0], cube[t][1], cube[t][2]) >= 0) continue;
      const LitModel& model = FinStarEffect::model(1);
      Vector3 n = FlatNormal(model.positions[model.indices[3 * t]], model.positions[model.indices[3 * t + 1]],
                             model.positions[model.indices[3 * t + 2]]);
      double worldY = n.x * world.m[0][1] + n.y * world.m[1][1] + n.z * world.m[2][1];
      double lit = std::max(0.0, -worldY);
      int x = static_cast<int>(std::lround((cube[t][0].x + cube[t][1].x + cube[t][2].x) / 3));
      int y = static_cast<int>(std::lround((cube[t][0].y + cube[t][1].y + cube[t][2].y) / 3));
      if (Inside(cube[t], x, y) < 1.5) continue;
      bool alone = true;
      for (int o = 0; o < 12 && alone; ++o) {
        if (Inside(fins[o], x, y) > -1.5) alone = false;
      }
      if (!alone) continue;
      uint32_t pixel = Pixel(x, y);
      EXPECT_EQ(pixel & 0xFFFF00u, 0u);
      EXPECT_NEAR(static_cast<double>(pixel & 0xFF), 255.0 * lit * 0x90 / 255.0, 2.0)
          << "frame " << frame << " triangle " << t << " at " << x << "," << y;
      shades.insert(static_cast<int>(pixel & 0xFF) / 8);
    }
  }
  EXPECT_GE(shades.size(), 3u);
}

}  // namespace
