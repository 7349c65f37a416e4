// The offscreen frame targets and the two post passes on the headless device.
#include "scenes/frame_targets.h"

#include <gtest/gtest.h>

#include "../support/headless_program.h"
#include "gfx/vertex_formats.h"

namespace {

using test_support::HeadlessDevice;

class FrameTargetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(device_.created());
    RipplePhase = 0.0f;
    ASSERT_EQ(CreateFrameTargets(), 0);
  }
  void TearDown() override { ReleaseFrameTargets(); }

  std::vector<ScreenVertex> Vertices() {
    BYTE* bytes = nullptr;
    FrameVertexBuffer->Lock(0, 0, &bytes, D3DLOCK_READONLY);
    auto* v = reinterpret_cast<ScreenVertex*>(bytes);
    std::vector<ScreenVertex> copy(v, v + kFrameVertexCount);
    FrameVertexBuffer->Unlock();
    return copy;
  }

  // Renders one frame of a flat colour through a post pass.
  void PresentColour(D3DCOLOR colour, bool reflected, double seconds = 0.0) {
    device_.Advance(seconds);
    UpdateTimer();
    d3dDevice->BeginScene();
    BeginCurrentFrame();
    d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0);
    reflected ? PresentReflectedFrame() : PresentPlainFrame();
    d3dDevice->EndScene();
  }

  HeadlessDevice device_;
};

TEST_F(FrameTargetsTest, PostPassesNeverTouchTheFixedQuadsAndVerticesKeepDepthAndRhw) {
  std::vector<ScreenVertex> created = Vertices();
  EXPECT_EQ(created[3].x, 640.5f);
  EXPECT_EQ(created[3].y, 480.5f);
  EXPECT_EQ(created[3].u, 0.625f);
  EXPECT_EQ(created[3].v, 0.9375f);
  EXPECT_EQ(created[7].v, 0.78125f);
  for (int i = 0; i < 5; ++i) {
    PresentColour(0xFF00FF00, false, 0.1);
    PresentColour(0xFF00FF00, true, 0.1);
  }
  std::vector<ScreenVertex> after = Vertices();
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(after[i].x, created[i].x);
    EXPECT_EQ(after[i].y, created[i].y);
    EXPECT_EQ(after[i].u, created[i].u);
    EXPECT_EQ(after[i].v, created[i].v);
  }
  for (const ScreenVertex& v : after) {
    ASSERT_EQ(v.z, 0.5f);
    ASSERT_EQ(v.rhw, 1.0f);
  }
}

TEST_F(FrameTargetsTest, ReflectedPassMirrorsWithTheRippleOfItsPhase) {
  PresentColour(0xFF000000, true);  // a frame of 0 s keeps the phase at 0
  ASSERT_EQ(RipplePhase, 0.0f);
  std::vector<ScreenVertex> v = Vertices();
  auto rowV = [&](int r) { return v[kReflectionFirstVertex + 2 * r].v; };
  EXPECT_EQ(rowV(0), 0.77734375f);
  EXPECT_NEAR(rowV(20), 0.485245f, 1e-5);
  EXPECT_NEAR(rowV(40), 0.179253f, 1e-5);
  for (int r = 0; r < kReflectionRows; ++r) EXPECT_EQ(v[kReflectionFirstVertex + 2 * r + 1].v, rowV(r));
}

TEST_F(FrameTargetsTest, ReflectionRowsStayWithinThePictureAboveForEveryPhase) {
  for (float phase = 0.0f; phase < 6.3f; phase += 0.1f) {
    EXPECT_EQ(ReflectionRowV(0, phase), kReflectionMaxV);
    float bottom = ReflectionRowV(40, phase);
    EXPECT_GE(bottom, 40.0f / 256.0f);
    EXPECT_LE(bottom, (40.0f + 2.0f * 120.0f / 81.0f * 159.0f / 40.0f) / 256.0f);
  }
}

TEST_F(FrameTargetsTest, RipplePhaseWrapsOncePerFrame) {
  PresentColour(0xFF000000, false, 2.0);
  EXPECT_NEAR(RipplePhase, 12.0f - 6.283184f, 1e-5);
}

TEST_F(FrameTargetsTest, PlainPassFillsTheScreenAndReflectedPassTintsTheWater) {
  // The picture: green above frame row 200, red below; only rows 0..200 reach the screen and
  // the reflection mirrors the green part, tinted by 0x7070FF.
  device_.Advance(0);
  UpdateTimer();
  d3dDevice->BeginScene();
  BeginCurrentFrame();
  d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF00FF00, 1.0f, 0);
  D3DRECT below = {0, 200, 320, 240};
  d3dDevice->Clear(1, &below, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
  PresentReflectedFrame();
  d3dDevice->EndScene();
  std::vector<uint32_t> screen = device_.BackBuffer();
  auto at = [&](int x, int y) { return screen[y * 640 + x] & 0xFFFFFF; };
  EXPECT_EQ(at(0, 0), 0x00FF00u);
  EXPECT_EQ(at(639, 399), 0x00FF00u);
  EXPECT_EQ(at(320, 440), 0x007000u) << "green times the blue tint";
  EXPECT_EQ(at(639, 479), 0x007000u);

  PresentColour(0xFF0000FF, false);
  screen = device_.BackBuffer();
  for (int y : {0, 239, 479}) {
    for (int x : {0, 320, 639}) EXPECT_EQ(at(x, y), 0x0000FFu) << x << "," << y;
  }
}

TEST_F(FrameTargetsTest, RecreatingReleasesFirstAndReleasingTwiceIsHarmless) {
  EXPECT_EQ(CreateFrameTargets(), 0);
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 3);
  ReleaseFrameTargets();
  ReleaseFrameTargets();
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0);
  EXPECT_EQ(CurrentFrameTexture, nullptr);
}

TEST_F(FrameTargetsTest, Without32BitTargetsBothTexturesAre16Bit) {
  ReleaseFrameTargets();
  d3d8test::RefuseTextureFormat(D3DFMT_A8R8G8B8, d3d8test::TextureUse::kRenderTarget);
  ASSERT_EQ(CreateFrameTargets(), 0);
  for (IDirect3DTexture8* texture : {CurrentFrameTexture, IncomingFrameTexture}) {
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_R5G6B5);
    EXPECT_EQ(desc.Width, 512u);
    EXPECT_EQ(desc.Height, 256u);
  }
}

TEST_F(FrameTargetsTest, ABeginAndItsPostPassBalanceTheirReferences) {
  IDirect3DSurface8* backBuffer = nullptr;
  d3dDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
  ULONG before = backBuffer->AddRef() - 1;
  backBuffer->Release();
  for (int i = 0; i < 3; ++i) PresentColour(0xFF000000, i % 2 == 1);
  ULONG after = backBuffer->AddRef() - 1;
  backBuffer->Release();
  EXPECT_EQ(after, before);
  IDirect3DSurface8* bound = nullptr;
  d3dDevice->GetRenderTarget(&bound);
  EXPECT_EQ(bound, backBuffer);
  bound->Release();
  backBuffer->Release();
}

}  // namespace
