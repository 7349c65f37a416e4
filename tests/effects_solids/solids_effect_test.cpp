// The banded solids on the real device: resources, the turn of the solids, angles, the projection,
// the vertices each face kind writes, and the banded pixels.
#include "effects/solids_effect.h"

#include <cmath>
#include <vector>

#include "effect_device.h"
#include "gfx/vertex_formats.h"

namespace {

constexpr float kTwoPi = 6.283184f;

class SolidsEffectTest : public EffectDeviceTest {
 protected:
  void RenderFrame(SolidsEffect& effect, float delta) {
    frameTimer.deltaSeconds = delta;
    BeginFrame();
    effect.Render();
    EndFrame();
  }
  std::vector<ScreenVertex> BufferVertices(const SolidsEffect& effect, int count) {
    BYTE* bytes = nullptr;
    effect.vertexBuffer()->Lock(0, 0, &bytes, D3DLOCK_READONLY);
    const ScreenVertex* v = reinterpret_cast<const ScreenVertex*>(bytes);
    std::vector<ScreenVertex> out(v, v + count);
    effect.vertexBuffer()->Unlock();
    return out;
  }
};

TEST_F(SolidsEffectTest, InitFailuresAndTheUploadedPalette) {
  SolidsEffect effect;
  d3d8test::FailNthCreation(d3d8test::ResourceKind::kVertexBuffer, 1);
  EXPECT_EQ(effect.Init(), -1);
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0);
  EXPECT_EQ(effect.solid(0).faceNormals, nullptr);

  // A failed upload still yields the face normals, and the result is a failure.
  d3d8test::FailNthCreation(d3d8test::ResourceKind::kTexture, 1);
  EXPECT_EQ(effect.Init(), -1);
  for (int s = 0; s < kSolidModelCount; ++s) EXPECT_NE(effect.solid(s).faceNormals, nullptr);
  effect.Release();
  effect.Release();
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0);
  EXPECT_EQ(effect.solid(3).faceNormals, nullptr);
  EXPECT_EQ(effect.paletteTexture(), nullptr);

  ASSERT_EQ(effect.Init(), 0);
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 1);
  std::vector<uint32_t> expected(SolidsEffect::kPaletteTexels);
  SolidsEffect::BuildPalette(expected.data());
  D3DLOCKED_RECT locked;
  ASSERT_EQ(effect.paletteTexture()->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  for (int r = 0; r < 64; ++r) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(locked.pBits) + r * locked.Pitch);
    for (int c = 0; c < 64; ++c) ASSERT_EQ(row[c], expected[r * 64 + c]) << r << "," << c;
  }
  effect.paletteTexture()->UnlockRect(0);
}

// The cycle starts at 1 s, so the first solid has 9 s; the change comes at exactly 10 s and the
// time beyond it carries into the next turn. The sink follows the cycle time and is used by the
// next frame; the very first frame is drawn at sink 0.
TEST_F(SolidsEffectTest, SolidsTakeTurnsAndSink) {
  SolidsEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  RenderFrame(effect, 0.5f);
  EXPECT_EQ(effect.worldMatrix().m[3][2], -30.0f);
  EXPECT_EQ(effect.sink(), 0.25f);
  for (int frame = 2; frame <= 17; ++frame) RenderFrame(effect, 0.5f);
  EXPECT_EQ(effect.currentSolid(), 0);
  EXPECT_EQ(effect.cycleTime(), 9.5f);
  EXPECT_EQ(effect.sink(), 0.75f);
  RenderFrame(effect, 0.5f);  // nine seconds of rendering in all
  EXPECT_EQ(effect.currentSolid(), 1);
  EXPECT_EQ(effect.cycleTime(), 0.0f);
  EXPECT_EQ(effect.sink(), 1.0f);

  for (int frame = 0; frame < 3; ++frame) RenderFrame(effect, 3.75f);
  EXPECT_EQ(effect.currentSolid(), 2);
  EXPECT_EQ(effect.cycleTime(), 1.25f);
  EXPECT_EQ(effect.sink(), 0.375f);
  // Steps this long leave angles above 6.283184 (they wrap once a frame), so keep the ones drawn.
  const float a1 = effect.angles()[1], a3 = effect.angles()[3];
  RenderFrame(effect, 0.0f);
  // s = 0.375² × 400 = 56.25: the solid sinks (z up the screen's downward axis) and moves away.
  EXPECT_EQ(effect.worldMatrix().m[3][2], 26.25f);
  EXPECT_FLOAT_EQ(effect.worldMatrix().m[3][1], std::sin(a1) * std::sin(a3) * 50.0f - 56.25f);

  for (int frame = 0; frame < 2; ++frame) RenderFrame(effect, 10.0f);
  EXPECT_EQ(effect.currentSolid(), 0);  // after the vase comes the cube again
}

TEST_F(SolidsEffectTest, AnglesWrapOnlyAboveTwoPi) {
  SolidsEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  RenderFrame(effect, kTwoPi / 2.0f);  // the fourth angle (2 rad/s) lands exactly on 6.283184
  EXPECT_EQ(effect.angles()[3], kTwoPi);
  EXPECT_EQ(effect.angles()[0], kTwoPi / 2.0f * 1.2f);
  RenderFrame(effect, 0.125f);
  EXPECT_EQ(effect.angles()[3], (kTwoPi + 0.25f) - kTwoPi);
  RenderFrame(effect, 1.8f);  // 3.77 + 0.15 + 2.16 = 6.08: still below
  EXPECT_GT(effect.angles()[0], 6.0f);
  RenderFrame(effect, 1.0f);
  EXPECT_LT(effect.angles()[0], 1.2f);
}

// First frame: no rotation, centre at (0, 0, -30), camera 500 out on +y with a 36 degree field of
// view; frame X = 160 + 160·xs·x/d, Y = 120 + 120·xs·(4/3)·z/d (not flipped), Z = q·(1 - 1/d).
TEST_F(SolidsEffectTest, ProjectsThroughTheScaledCamera) {
  SolidsEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  RenderFrame(effect, 0.0f);
  const double xs = 1.0 / std::tan(0.6283184 / 2);
  const double q = 1000.0 / 999.0;
  const SolidMesh& cube = effect.solid(0);
  for (int i = 0; i < cube.vertexCount; ++i) {
    const Vector3& p = cube.vertices[i];
    double d = 500.0 - p.y;
    const Vector3& out = effect.projectedVertices()[i];
    EXPECT_NEAR(out.x, 160.0 - 160.0 * xs * p.x / d, 1e-3) << i;
    EXPECT_NEAR(out.y, 120.0 + 120.0 * xs * (4.0 / 3.0) * (p.z - 30.0) / d, 1e-3) << i;
    EXPECT_NEAR(out.z, q * (1.0 - 1.0 / d), 1e-6) << i;
  }
}

// Each face writes its projected corners with rhw 1; band kinds sample their palette column at
// the screen row (plus the face's facing for kinds 3 and 5); colour kinds sample white and carry
// their colour.
TEST_F(SolidsEffectTest, VerticesCarryTheirBandsByKind) {
  SolidsEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  const double kBands[4][2] = {{0.078125, 0.1578125}, {0.140625, 0.1578125}, {0.140625, 0.6578125}, {0.0234375, 0}};

  for (int s = 0; s < 3; ++s) {
    RenderFrame(effect, 0.0f);
    ASSERT_EQ(effect.currentSolid(), s);
    const SolidMesh& solid = effect.solid(s);
    std::vector<ScreenVertex> v = BufferVertices(effect, 3 * solid.faceCount);
    const Matrix4& world = effect.worldMatrix();
    for (int f = 0; f < solid.faceCount; ++f) {
      const SolidFace& face = solid.faces[f];
      const Vector3& n = solid.faceNormals[f];
      double facing = 0.0;
      for (int j = 0; j < 3; ++j) facing += n.x * world.m[0][j] + n.y * world.m[1][j] + n.z * world.m[2][j];
      for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(testing::Message() << "solid " << s << " face " << f << " corner " << k);
        const ScreenVertex& out = v[3 * f + k];
        const Vector3& p = effect.projectedVertices()[face.index[k]];
        EXPECT_EQ(out.x, p.x);
        EXPECT_EQ(out.y, p.y);
        EXPECT_EQ(out.z, p.z);
        EXPECT_EQ(out.rhw, 1.0f);
        double row = out.y / 64.0;
        if (face.kind <= 2) {
          EXPECT_EQ(out.u, kBands[face.kind][0]);
          EXPECT_NEAR(out.v - row, kBands[face.kind][1], 1e-5);
          EXPECT_EQ(out.diffuse, 0xFFFFFFFFu);
        } else if (face.kind == 3 || face.kind == 5) {
          EXPECT_EQ(out.u, face.kind == 3 ? 0.0234375f : 0.203125f);
          EXPECT_NEAR(out.v - row - 0.0078125, facing, 1e-5);
          EXPECT_EQ(out.diffuse, 0xFFFFFFFFu);
        } else {
          EXPECT_EQ(out.u, 0.5f);
          EXPECT_EQ(out.v, 0.5f);
          EXPECT_EQ(out.diffuse, face.kind);
        }
      }
    }
    if (s == 0) {
      // Unturned cube: each side's inward normal sums to -1 or +1 (sides y+, y-, z-, x+, z+, x-).
      const float sideFacing[6] = {-1, 1, 1, -1, -1, 1};
      for (int f = 0; f < 12; ++f) {
        EXPECT_NEAR(v[3 * f].v - v[3 * f].y / 64.0 - 0.0078125, sideFacing[f / 2], 1e-5) << "face " << f;
      }
    }
    RenderFrame(effect, 10.0f);  // the next solid (the angles turn on)
  }
}

TEST(SolidsFaceBrightness, SumsTheTurnedNormal) {
  struct Case {
    Vector3 n;
    float a, b, g;
    double brightness;
  };
  const double r = 1.0 / std::sqrt(3.0);
  const Case cases[] = {
      {{0, -1, 0}, 0, 0, 0, -1.0},
      {{1, 0, 0}, 0, 0, 0.7853982f, std::sqrt(2.0)},  // turned 45 degrees about z: cos + sin
      {{float(r), float(r), float(r)}, 0, 0, 0, std::sqrt(3.0)},
      {{0, 0, 1}, 3.1415927f, 0, 0, -1.0},            // turned over about x
  };
  for (const Case& c : cases) {
    Matrix4 world = identityMatrix;
    SetRotation(world, c.a, c.b, c.g);
    world.m[3][0] = 100.0f;  // the translation plays no part
    EXPECT_NEAR(SolidsEffect::FaceBrightness(c.n, world), c.brightness, 1e-5);
  }
}

// The bands are fixed to the screen: down the unturned cube's front side, row y shows palette row
// y mod 64 of the grey column (its facing of -1 shifts by exactly one period). The cone's side
// panels show their own colours over the palette's white.
TEST_F(SolidsEffectTest, PixelsShowScreenFixedBandsAndPanelColours) {
  SolidsEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  std::vector<uint32_t> palette(SolidsEffect::kPaletteTexels);
  SolidsEffect::BuildPalette(palette.data());

  RenderFrame(effect, 0.0f);
  // Side y+ is the quad of projected vertices 0..3; sample its middle column.
  const Vector3* p = effect.projectedVertices();
  int x = static_cast<int>(std::lround((p[0].x + p[1].x) / 2));
  int top = static_cast<int>(std::ceil(std::min(p[0].y, p[2].y))) + 1;
  int bottom = static_cast<int>(std::floor(std::max(p[0].y, p[2].y))) - 1;
  ASSERT_GT(bottom - top, 64);
  for (int y = top; y <= bottom; ++y) {
    EXPECT_EQ(Pixel(x, y), palette[(y & 63) * 64 + 1] & 0xFFFFFFu) << "row " << y;
  }

  RenderFrame(effect, 9.0f);  // on to the cone, risen in after two seconds
  for (int frame = 0; frame < 5; ++frame) RenderFrame(effect, 0.4f);
  ASSERT_EQ(effect.currentSolid(), 1);
  RenderFrame(effect, 0.0f);
  const SolidMesh& cone = effect.solid(1);
  int panels = 0;
  for (int f = 10; f < 30; ++f) {
    ScreenPoint t[3];
    for (int k = 0; k < 3; ++k) {
      const Vector3& q = effect.projectedVertices()[cone.faces[f].index[k]];
      t[k] = {q.x, q.y, q.z};
    }
    if (Winding(t[0], t[1], t[2]) <= 0) continue;  // culled
    int cx = static_cast<int>(std::lround((t[0].x + t[1].x + t[2].x) / 3));
    int cy = static_cast<int>(std::lround((t[0].y + t[1].y + t[2].y) / 3));
    if (Inside(t, cx, cy) < 1.5) continue;
    EXPECT_EQ(Pixel(cx, cy), cone.faces[f].kind & 0xFFFFFFu) << "face " << f;
    ++panels;
  }
  EXPECT_GE(panels, 4);
}

}  // namespace
