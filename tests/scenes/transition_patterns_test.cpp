// The transition patterns: geometry written for chosen progress values, and what reaches the screen
// when the outgoing picture is red and the incoming one green.
#include "scenes/transition_patterns.h"

#include <gtest/gtest.h>

#include "../support/headless_program.h"
#include "gfx/vertex_formats.h"
#include "scenes/frame_targets.h"

namespace {

using test_support::HeadlessDevice;

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;

class TransitionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(device_.created());
    RipplePhase = 0.0f;
    ASSERT_EQ(CreateFrameTargets(), 0);
  }
  void TearDown() override { ReleaseFrameTargets(); }

  // Red goes to the screen through the plain post pass; green is rendered as the incoming frame
  // and mixed over it with the pattern.
  void Mix(unsigned kind, float progress, bool reflected) {
    d3dDevice->BeginScene();
    BeginCurrentFrame();
    d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000 | kRed, 1.0f, 0);
    PresentPlainFrame();
    BeginIncomingFrame();
    d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000 | kGreen, 1.0f, 0);
    reflected ? DrawTransitionReflected(kind, progress) : DrawTransitionPlain(kind, progress);
    d3dDevice->EndScene();
    screen_ = device_.BackBuffer();
  }

  uint32_t At(int x, int y) const { return screen_[y * 640 + x] & 0xFFFFFF; }

  // The transition's part of the vertex buffer.
  std::vector<ScreenVertex> Pieces(int count) {
    BYTE* bytes = nullptr;
    FrameVertexBuffer->Lock(kTransitionFirstVertex * sizeof(ScreenVertex), count * sizeof(ScreenVertex), &bytes,
                            D3DLOCK_READONLY);
    auto* v = reinterpret_cast<ScreenVertex*>(bytes);
    std::vector<ScreenVertex> copy(v, v + count);
    FrameVertexBuffer->Unlock();
    return copy;
  }

  HeadlessDevice device_;
  std::vector<uint32_t> screen_;
};

TEST_F(TransitionTest, OnTheFirstFrameNothingOfTheIncomingPictureShows) {
  for (unsigned kind = 0; kind < 16; ++kind) {
    if (kind == 13) continue;  // the bouncing drop starts lifted by 480 pixels, touching row 0
    for (bool reflected : {false, true}) {
      Mix(kind, 1.0f, reflected);
      for (int y = 0; y < 480; y += 7) {
        for (int x = 0; x < 640; x += 7) ASSERT_EQ(At(x, y), kRed) << "kind " << kind << " at " << x << "," << y;
      }
    }
  }
}

TEST_F(TransitionTest, WipeBandsStartOneAfterAnother) {
  Mix(0, 0.75f, false);
  std::vector<ScreenVertex> v = Pieces(64);
  EXPECT_EQ(v[0].x, 0.0f);
  EXPECT_EQ(v[1].x, 20.0f);
  EXPECT_EQ(v[16].x, 160.0f);
  EXPECT_EQ(v[17].x, 170.0f);
  EXPECT_EQ(v[32].x, v[33].x) << "band 8 starts exactly at this progress";
  EXPECT_EQ(v[1].u, 20.0f * 0.625f / 640.0f);
  EXPECT_EQ(At(10, 100), kGreen);
  EXPECT_EQ(At(30, 100), kRed);
  EXPECT_EQ(At(165, 300), kGreen);
  EXPECT_EQ(At(175, 300), kRed);
  EXPECT_EQ(At(330, 300), kRed);
}

TEST_F(TransitionTest, ReversedAndVerticalWipesAtTheEndCoverEverything) {
  for (unsigned kind : {1u, 2u, 3u, 4u, 5u, 6u, 7u}) {
    Mix(kind, 0.02f, false);
    for (int y = 0; y < 480; y += 13) {
      for (int x = 0; x < 640; x += 13) ASSERT_EQ(At(x, y), kGreen) << "kind " << kind;
    }
  }
}

TEST_F(TransitionTest, CrossFadeBlendsByTheRemainingProgress) {
  Mix(12, 0.5f, false);  // alpha 127: 127/255 of green over 128/255 of red
  EXPECT_EQ(At(320, 240), 0x807F00u);
  DWORD alphaOp = 0;
  d3dDevice->GetTextureStageState(0, D3DTSS_ALPHAOP, &alphaOp);
  EXPECT_EQ(alphaOp, static_cast<DWORD>(D3DTOP_SELECTARG1));
  DWORD blend = 0;
  d3dDevice->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
  EXPECT_EQ(blend, static_cast<DWORD>(TRUE)) << "the blend states are left as set";
}

TEST_F(TransitionTest, BouncingDropFallsAndTouchesRestNearTheOddTenths) {
  Mix(13, 0.9f, false);
  std::vector<ScreenVertex> v = Pieces(4);
  EXPECT_NEAR(v[0].y, 0.0f, 5.0f);
  Mix(13, 0.8f, false);
  v = Pieces(4);
  EXPECT_NEAR(v[0].y, -384.0f, 1.0f);
  EXPECT_EQ(At(320, 50), kGreen);
  EXPECT_EQ(At(320, 200), kRed);
}

TEST_F(TransitionTest, HalvesOpenFromTheCentreLine) {
  Mix(14, 0.5f, false);
  EXPECT_EQ(At(320, 100), kRed);
  EXPECT_EQ(At(320, 200), kGreen);
  EXPECT_EQ(At(320, 300), kGreen);
  EXPECT_EQ(At(320, 400), kRed);
  Mix(15, 0.5f, false);
  EXPECT_EQ(At(320, 100), kGreen);
  EXPECT_EQ(At(320, 200), kRed);
  EXPECT_EQ(At(320, 400), kGreen);
  Mix(14, 0.5f, true);  // the reflected form splits left and right
  EXPECT_EQ(At(100, 200), kRed);
  EXPECT_EQ(At(200, 200), kGreen);
  EXPECT_EQ(At(440, 200), kGreen);
  EXPECT_EQ(At(540, 200), kRed);
}

TEST_F(TransitionTest, SlidingBandsArriveFromAlternateSides) {
  Mix(8, 0.6f, false);  // band 0 from below (even), band 1 from above (odd), both part way in
  std::vector<ScreenVertex> v = Pieces(64);
  EXPECT_GT(v[0].y, 0.0f);
  EXPECT_LT(v[4].y, 0.0f);
  EXPECT_EQ(v[0].x, 0.0f);
  EXPECT_EQ(v[5].x, 80.0f);
  Mix(9, 0.01f, false);
  for (int y = 0; y < 480; y += 20) ASSERT_EQ(At(320, y), kGreen);
}

TEST_F(TransitionTest, ReflectedKindsWithoutAHorizontalFormRepeatTheirPartners) {
  for (auto [kind, partner] : {std::pair{4u, 0u}, std::pair{9u, 8u}, std::pair{7u, 3u}, std::pair{11u, 10u}}) {
    Mix(kind, 0.6f, true);
    std::vector<ScreenVertex> a = Pieces(16 * 86);
    Mix(partner, 0.6f, true);
    std::vector<ScreenVertex> b = Pieces(16 * 86);
    for (size_t i = 0; i < a.size(); ++i) {
      ASSERT_EQ(a[i].x, b[i].x) << kind;
      ASSERT_EQ(a[i].y, b[i].y) << kind;
      ASSERT_EQ(a[i].u, b[i].u) << kind;
      ASSERT_EQ(a[i].v, b[i].v) << kind;
    }
  }
}

TEST_F(TransitionTest, ReflectedPiecesRippleInStepWithThePostPass) {
  RipplePhase = 1.25f;
  Mix(12, 0.5f, true);
  std::vector<ScreenVertex> v = Pieces(86);
  for (int r = 0; r < kReflectionRows; ++r) EXPECT_EQ(v[4 + 2 * r].v, ReflectionRowV(r, 1.25f)) << r;
  EXPECT_EQ(v[4].diffuse & 0xFFFFFF, 0x7070FFu);
}

TEST_F(TransitionTest, AKindAbove15RestoresTheBackBufferAndDrawsNothing) {
  Mix(16, 0.5f, false);
  for (int y = 0; y < 480; y += 11) {
    for (int x = 0; x < 640; x += 11) ASSERT_EQ(At(x, y), kRed);
  }
  IDirect3DSurface8* bound = nullptr;
  IDirect3DSurface8* backBuffer = nullptr;
  d3dDevice->GetRenderTarget(&bound);
  d3dDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
  EXPECT_EQ(bound, backBuffer);
  bound->Release();
  backBuffer->Release();
}

}  // namespace
