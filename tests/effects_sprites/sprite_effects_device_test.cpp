// The two effects on the software device: vertex-processing state, resources, frames and turns.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "app/frame_timer.h"
#include "effects/dot_balls_effect.h"
#include "effects/sprite_morph_effect.h"
#include "gfx/graphics_device.h"
#include "platform/d3d8/d3d8_test_control.h"
#include "platform/host/headless_host.h"

namespace {

constexpr uint32_t kClearColour = 0xFF102030;  // no effect pixel has this colour

class SpriteEffectsOnDevice : public testing::Test {
 protected:
  void SetUp() override {
    d3d8test::ResetControls();
    host::SetActiveHost(&host_);
    savedParams_ = presentParams;
  }
  void TearDown() override {
    if (surface_ != nullptr) surface_->Release();
    if (target_ != nullptr) target_->Release();
    ReleaseGraphicsDevice();
    presentParams = savedParams_;
    behaviorFlags = 0;
    frameTimer.deltaSeconds = 0.0f;
    host::SetActiveHost(nullptr);
    d3d8test::ResetControls();
  }

  void CreateDevice(const d3d8test::AdapterSetup& setup = {}) {
    d3d8test::SetAdapter(0, setup);
    presentParams.Windowed = TRUE;
    ASSERT_EQ(CreateGraphicsDevice(reinterpret_cast<HWND>(&host_)), 0);
  }

  // Draws into the 320x240 corner of a 512x256 target with the device's depth buffer, as the
  // offscreen frame does, after clearing both.
  void BeginFrame() {
    if (target_ == nullptr) {
      ASSERT_EQ(d3dDevice->CreateTexture(512, 256, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                         &target_),
                D3D_OK);
      ASSERT_EQ(target_->GetSurfaceLevel(0, &surface_), D3D_OK);
    }
    IDirect3DSurface8* depth = nullptr;
    d3dDevice->GetDepthStencilSurface(&depth);
    d3dDevice->SetRenderTarget(surface_, depth);
    depth->Release();
    D3DVIEWPORT8 frame = {0, 0, 320, 240, 0.0f, 1.0f};
    d3dDevice->SetViewport(&frame);
    d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColour, 1.0f, 0);
    d3dDevice->BeginScene();
  }

  // The 320x240 frame, row by row.
  std::vector<uint32_t> EndFrame() {
    d3dDevice->EndScene();
    std::vector<uint32_t> all;
    EXPECT_TRUE(d3d8test::ReadSurface(surface_, &all));
    std::vector<uint32_t> frame(320 * 240);
    for (int y = 0; y < 240; ++y) {
      for (int x = 0; x < 320; ++x) frame[320 * y + x] = all[512 * y + x];
    }
    return frame;
  }

  host::HeadlessHost host_;
  D3DPRESENT_PARAMETERS savedParams_{};
  IDirect3DTexture8* target_ = nullptr;
  IDirect3DSurface8* surface_ = nullptr;
};

TEST_F(SpriteEffectsOnDevice, SoftwareVertexProcessingIsSwitchedOnlyOnAMixedDevice) {
  struct Case {
    DWORD devCaps;
    float maxPointSize;
    DWORD expectedFlags;
    DWORD stateAfterwards;  // the state starts at 2, a value the effect never writes
  };
  const Case cases[] = {
      {D3DDEVCAPS_HWTRANSFORMANDLIGHT, 64.0f, D3DCREATE_HARDWARE_VERTEXPROCESSING, 2},
      {D3DDEVCAPS_HWTRANSFORMANDLIGHT, 1.0f, D3DCREATE_MIXED_VERTEXPROCESSING, FALSE},
      {0, 64.0f, D3DCREATE_SOFTWARE_VERTEXPROCESSING, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "flags " << c.expectedFlags);
    d3d8test::AdapterSetup setup;
    setup.devCaps = c.devCaps;
    setup.maxPointSize = c.maxPointSize;
    CreateDevice(setup);
    ASSERT_EQ(behaviorFlags, c.expectedFlags);
    {
      SpriteMorphEffect effect;
      ASSERT_EQ(effect.Init(), 0);
      d3dDevice->SetRenderState(D3DRS_SOFTWAREVERTEXPROCESSING, 2);
      BeginFrame();
      effect.Render();
      EndFrame();
      DWORD state = 0;
      d3dDevice->GetRenderState(D3DRS_SOFTWAREVERTEXPROCESSING, &state);
      EXPECT_EQ(state, c.stateAfterwards);
      // The restoring list leaves no sprite, alpha-test or fog state on for the next scene.
      for (D3DRENDERSTATETYPE s : {D3DRS_POINTSPRITEENABLE, D3DRS_ALPHATESTENABLE, D3DRS_FOGENABLE}) {
        d3dDevice->GetRenderState(s, &state);
        EXPECT_EQ(state, static_cast<DWORD>(FALSE)) << s;
      }
    }
    surface_->Release();
    target_->Release();
    surface_ = nullptr;
    target_ = nullptr;
    ReleaseGraphicsDevice();
  }
}

TEST_F(SpriteEffectsOnDevice, FailedInitsReturnMinusOneAndReleaseGivesEverythingBack) {
  CreateDevice();
  {
    SpriteMorphEffect sprites;
    DotBallsEffect balls;
    // A vertex buffer refused: nothing else is made.
    d3d8test::FailNthCreation(d3d8test::ResourceKind::kVertexBuffer, 1);
    EXPECT_EQ(sprites.Init(), -1);
    EXPECT_EQ(sprites.shapes(), nullptr);
    d3d8test::FailNthCreation(d3d8test::ResourceKind::kVertexBuffer, 1);
    EXPECT_EQ(balls.Init(), -1);
    EXPECT_EQ(balls.dotOffsets(), nullptr);
    EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0);

    // The sprite texture refused: the shapes were built first, and Release frees them.
    d3d8test::RefuseTextureFormat(D3DFMT_A1R5G5B5);
    EXPECT_EQ(sprites.Init(), -1);
    EXPECT_NE(sprites.shapes(), nullptr);
    sprites.Release();
    EXPECT_EQ(sprites.shapes(), nullptr);
    EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0);
    d3d8test::ResetControls();

    // Around a device reset: Release twice, then Init again; the animation carries on.
    ASSERT_EQ(sprites.Init(), 0);
    ASSERT_EQ(balls.Init(), 0);
    frameTimer.deltaSeconds = 0.5f;
    BeginFrame();
    sprites.Render();
    balls.Render();
    EndFrame();
    surface_->Release();
    target_->Release();
    surface_ = nullptr;
    target_ = nullptr;
    for (int i = 0; i < 2; ++i) {
      sprites.Release();
      balls.Release();
    }
    EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0);
    ASSERT_EQ(sprites.Init(), 0);
    ASSERT_EQ(balls.Init(), 0);
    EXPECT_EQ(sprites.morphTime(), 2.5f);
    EXPECT_EQ(balls.morphTime(), 2.5f);
    EXPECT_EQ(sprites.angles()[0], 0.4f);
  }
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0);
}

TEST_F(SpriteEffectsOnDevice, SpriteMorphTurnsEveryTenSecondsAndWrapsFromShapeSevenToZero) {
  CreateDevice();
  SpriteMorphEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  // 1/16 s frames: exact in binary, so turns end on exact frame counts.
  frameTimer.deltaSeconds = 1.0f / 16.0f;
  BeginFrame();
  std::vector<int> shapeAtTurnStart;
  int frames = 0;
  for (int turn = 0; turn < 8; ++turn) {
    // The first turn is 8 s long (the clock starts 2 s in), the others 10 s.
    int length = turn == 0 ? 128 : 160;
    for (int f = 0; f < length; ++f, ++frames) {
      effect.Render();
      if (f == 0 && turn > 0) {
        // The frame after a turn ends blends by the time since, from the new current shape.
        EXPECT_EQ(effect.morph(), 1.0f / 32.0f);
      }
    }
    shapeAtTurnStart.push_back(effect.currentShape());
    EXPECT_EQ(effect.morph(), 0.0f);
    EXPECT_EQ(effect.morphTime(), 0.0f);
  }
  EndFrame();
  EXPECT_EQ(shapeAtTurnStart, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0}));
  for (int k = 0; k < 4; ++k) {
    EXPECT_GE(effect.angles()[k], 0.0f);
    EXPECT_LE(effect.angles()[k], 6.283184f);
  }
}

TEST_F(SpriteEffectsOnDevice, SpriteSphereIsDrawnAsTexturedCutOutSprites) {
  CreateDevice();
  SpriteMorphEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  BeginFrame();
  effect.Render();
  const std::vector<uint32_t> frame = EndFrame();
  // Every drawn pixel is a texel, fogged or not: blue is its strongest channel. Nothing lies
  // outside the sphere's silhouette (125 / sqrt(500² - 125²) of the half width, 127 px) widened
  // by half a sprite's diagonal.
  int drawn = 0;
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 320; ++x) {
      uint32_t c = frame[320 * y + x];
      if (c == kClearColour) continue;
      ++drawn;
      float dx = static_cast<float>(x) - 160.0f, dy = static_cast<float>(y) - 120.0f;
      EXPECT_LE(dx * dx + dy * dy, 139.0f * 139.0f) << x << "," << y;
      EXPECT_GE(c & 0xFF, (c >> 16) & 0xFF) << x << "," << y;
    }
  }
  EXPECT_GT(drawn, 10000);
  // The sprite nearest the camera sits unfogged in the middle.
  uint32_t middle = frame[320 * 134 + 160];
  EXPECT_NE(middle, kClearColour);
  EXPECT_GT(middle & 0xFF, 0xC0u);
}

TEST_F(SpriteEffectsOnDevice, DotBallsFirstFrameShowsTheFacingHalfOfEveryBallInWhite) {
  CreateDevice();
  DotBallsEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  BeginFrame();
  effect.Render();
  const std::vector<uint32_t> frame = EndFrame();
  // Unrotated, the facing half is the 17 columns with sin(phi) >= 0 on rings 1..14, the whole
  // upper pole ring (its normals are level) and the matching 17 of the lower pole.
  EXPECT_EQ(effect.facingDotCount(), 14 * 17 + 32 + 17);
  // The nearest ball keeps all its dots; none hides more than it has.
  EXPECT_GE(effect.dotsDrawn(), effect.facingDotCount());
  EXPECT_LE(effect.dotsDrawn(), DotBallsEffect::kBallCount * effect.facingDotCount());
  int white = 0;
  for (uint32_t c : frame) {
    if (c == kClearColour) continue;
    EXPECT_EQ(c, 0xFFFFFFFFu);
    ++white;
  }
  EXPECT_GT(white, 0);
  EXPECT_LE(white, effect.dotsDrawn());
}

TEST_F(SpriteEffectsOnDevice, DotBallsCycleTheFourFormationsAndNeverExceedTheBuffer) {
  CreateDevice();
  DotBallsEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  frameTimer.deltaSeconds = 1.0f / 16.0f;
  BeginFrame();
  std::vector<int> formationAtTurnStart;
  for (int turn = 0; turn < 5; ++turn) {
    int length = turn == 0 ? 128 : 160;
    for (int f = 0; f < length; ++f) {
      effect.Render();
      ASSERT_LE(effect.dotsDrawn(), DotBallsEffect::kMaxDots);
      ASSERT_GE(effect.dotsDrawn(), effect.facingDotCount());
    }
    formationAtTurnStart.push_back(effect.currentFormation());
  }
  EndFrame();
  EXPECT_EQ(formationAtTurnStart, (std::vector<int>{1, 2, 3, 0, 1}));
  EXPECT_EQ(effect.morph(), 0.0f);
}

}  // namespace
