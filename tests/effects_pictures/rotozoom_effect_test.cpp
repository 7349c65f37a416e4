// Tests of the rotozoom picture: its ripple cycle, the picture toggle, its phases and its frames.
#include "effects/rotozoom_effect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "app/frame_timer.h"
#include "effect_device.h"
#include "embedded_data.h"
#include "gfx/graphics_device.h"
#include "platform/d3d8/d3d8_test_control.h"

namespace {

struct RippleCase {
  const char* name;
  float rippleBefore;
  float timeBefore;
  float delta;
  float ripple;
  float rippleTime;
};

TEST(RotozoomRipple, FollowsTheCycleTableWithItsClamps) {
  const RippleCase cases[] = {
      // The very first step starts from the constructor's 0 and jumps to the full ripple.
      {"first step", 0.0f, 0.0f, 0.0f, 0.05f, 0.0f},
      {"fading out", 0.05f, 0.0f, 0.5f, 0.0375f, 0.5f},
      {"faded out at 2", 0.01f, 1.5f, 0.5f, 0.0f, 2.0f},
      {"resting", 0.0f, 2.5f, 1.0f, 0.0f, 3.5f},
      {"fading in from 6", 0.0f, 5.5f, 1.0f, 0.0125f, 6.5f},
      {"full at 8", 0.04f, 7.5f, 0.5f, 0.05f, 8.0f},
      {"clamped above 8", 0.05f, 8.5f, 1.0f, 0.05f, 9.5f},
      // The wrapping step keeps the ripple it had and carries the time beyond 10.
      {"wraps at exactly 10", 0.05f, 9.5f, 0.5f, 0.05f, 0.0f},
      {"wraps past 10", 0.03f, 9.75f, 0.5f, 0.03f, 0.25f},
      {"a kept ripple below 0 is clamped", -0.01f, 9.5f, 1.0f, 0.0f, 0.5f},
      {"a kept ripple above the full one is clamped", 0.08f, 9.5f, 1.0f, 0.05f, 0.5f},
  };
  for (const RippleCase& c : cases) {
    SCOPED_TRACE(c.name);
    RotozoomEffect::RippleState next = RotozoomEffect::StepRipple({c.rippleBefore, c.timeBefore}, c.delta);
    EXPECT_FLOAT_EQ(next.ripple, c.ripple);
    EXPECT_FLOAT_EQ(next.rippleTime, c.rippleTime);
  }
}

}  // namespace

namespace {

constexpr int kPictureSize = 128;

class RotozoomDevice : public EffectDevice {
 protected:
  void SetUp() override {
    EffectDevice::SetUp();
    nextRotozoomImage = 0;
  }

  // 0 when the effect's texture holds picture A, 1 for picture B, -1 for anything else.
  static int PictureShown(const RotozoomEffect& effect) {
    IDirect3DTexture8* texture = effect.pictureTexture();
    if (texture == nullptr) return -1;
    D3DLOCKED_RECT locked;
    if (texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY) != D3D_OK) return -1;
    bool isA = true, isB = true;
    for (int row = 0; row < kPictureSize; ++row) {
      const uint8_t* texels = static_cast<const uint8_t*>(locked.pBits) + row * locked.Pitch;
      isA = isA && std::memcmp(texels, embedded::images_rotozoom_a_raw + row * kPictureSize * 2, kPictureSize * 2) == 0;
      isB = isB && std::memcmp(texels, embedded::images_rotozoom_b_raw + row * kPictureSize * 2, kPictureSize * 2) == 0;
    }
    texture->UnlockRect(0);
    return isA ? 0 : isB ? 1 : -1;
  }
};

TEST_F(RotozoomDevice, SlotTwoShowsPictureAAndSlotTenPictureBAlsoAfterAReset) {
  RotozoomEffect slot2, slot10;
  ASSERT_EQ(slot2.Init(), 0);
  ASSERT_EQ(slot10.Init(), 0);
  EXPECT_EQ(PictureShown(slot2), 0);
  EXPECT_EQ(PictureShown(slot10), 1);
  EXPECT_EQ(nextRotozoomImage, 0);

  slot2.Release();
  slot10.Release();
  EXPECT_EQ(d3d8test::LiveDefaultPoolResources(d3dDevice), 0);
  ASSERT_TRUE(ResetDevice());
  ASSERT_EQ(slot2.Init(), 0);
  ASSERT_EQ(slot10.Init(), 0);
  EXPECT_EQ(PictureShown(slot2), 0);
  EXPECT_EQ(PictureShown(slot10), 1);
}

TEST_F(RotozoomDevice, FailedInitLeavesTheToggleForTheNextInstance) {
  struct Case {
    const char* name;
    void (*fail)();
  } cases[] = {
      {"vertex buffer", [] { d3d8test::FailNthCreation(d3d8test::ResourceKind::kVertexBuffer, 1); }},
      {"texture", [] { d3d8test::FailNthCreation(d3d8test::ResourceKind::kTexture, 1); }},
      {"texture format", [] { d3d8test::RefuseTextureFormat(D3DFMT_R5G6B5); }},
  };
  for (const Case& c : cases) {
    for (int toggle = 0; toggle < 2; ++toggle) {
      SCOPED_TRACE(testing::Message() << c.name << ", toggle " << toggle);
      nextRotozoomImage = toggle;
      c.fail();
      {
        RotozoomEffect failing;
        EXPECT_EQ(failing.Init(), -1);
        EXPECT_EQ(nextRotozoomImage, toggle);
      }
      d3d8test::ResetControls();
      RotozoomEffect next;
      ASSERT_EQ(next.Init(), 0);
      EXPECT_EQ(PictureShown(next), toggle);
    }
  }
}

TEST_F(RotozoomDevice, PhasesWrapInBothDirections) {
  UseFrame();
  RotozoomEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  constexpr float kTwoPi = 6.283184f;
  frameTimer.deltaSeconds = kTwoPi;
  effect.Render();
  const float* phases = effect.phases();
  // Speed -0.09 passes below 0 and gains a turn; speed 1.0 lands exactly on the turn and loses it.
  EXPECT_FLOAT_EQ(phases[4], kTwoPi * -0.09f + kTwoPi);
  EXPECT_EQ(phases[8], 0.0f);
  EXPECT_FLOAT_EQ(phases[7], kTwoPi * 0.37f);
  for (int k = 0; k < RotozoomEffect::kPhaseCount; ++k) {
    EXPECT_GE(phases[k], 0.0f) << k;
    EXPECT_LT(phases[k], kTwoPi) << k;
  }
  EXPECT_FLOAT_EQ(effect.rippleTime(), kTwoPi);
}

// Frame pixel (x, y) shows the picture's texel at the turned, zoomed, rippled coordinate; pixels
// within a hair of a texel edge are left out, since rounding may put them on either side.
int CountMismatches(const std::vector<uint32_t>& pixels, const float* phases, float ripple, int* checked) {
  const uint16_t* picture = reinterpret_cast<const uint16_t*>(embedded::images_rotozoom_a_raw);
  double u0 = 0.3 * std::sin(phases[1]) + 0.9 * std::cos(phases[0]) - 1.1 * std::cos(phases[2]);
  double v0 = 0.81 * std::cos(phases[5]) + 1.3 * std::sin(phases[4]) - 1.1 * std::cos(phases[3]);
  double zoom = 1.5 * std::cos(phases[6]) + 1.6;
  double c = std::cos(phases[7]), s = std::sin(phases[7]);
  int mismatches = 0;
  *checked = 0;
  for (int y = 0; y < EffectDevice::kFrameHeight; ++y) {
    double w = ripple * std::sin(2.0 * y * 6.283184 / 241.0 + phases[8]);
    for (int x = 0; x < EffectDevice::kFrameWidth; ++x) {
      double ox = x / 320.0 - u0, oy = y / 320.0 - v0;
      double tu = (u0 + zoom * (ox * c + oy * s) + w) * kPictureSize;
      double tv = (v0 + zoom * (oy * c - ox * s) + w) * kPictureSize;
      double fu = tu - std::floor(tu), fv = tv - std::floor(tv);
      if (fu < 0.02 || fu > 0.98 || fv < 0.02 || fv > 0.98) continue;
      int column = static_cast<int>(std::floor(tu)) & (kPictureSize - 1);
      int row = static_cast<int>(std::floor(tv)) & (kPictureSize - 1);
      ++*checked;
      uint32_t expected = ExpandR5G6B5(picture[row * kPictureSize + column]);
      if (pixels[y * EffectDevice::kTargetWidth + x] != expected) ++mismatches;
    }
  }
  return mismatches;
}

TEST_F(RotozoomDevice, FramesShowThePictureTurnedZoomedAndRippled) {
  UseFrame();
  RotozoomEffect effect;
  ASSERT_EQ(effect.Init(), 0);
  frameTimer.deltaSeconds = 0.5f;
  int checked = 0;
  // The first frame: no turn, no ripple yet.
  float phases[RotozoomEffect::kPhaseCount];
  std::memcpy(phases, effect.phases(), sizeof phases);
  float ripple = effect.ripple();
  effect.Render();
  EXPECT_EQ(CountMismatches(FramePixels(), phases, ripple, &checked), 0);
  EXPECT_GT(checked, 60000);
  // The second: turned by 0.185 rad, with the ripple 0.0375 running down the frame.
  std::memcpy(phases, effect.phases(), sizeof phases);
  ripple = effect.ripple();
  ASSERT_GT(ripple, 0.0f);
  d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  effect.Render();
  EXPECT_EQ(CountMismatches(FramePixels(), phases, ripple, &checked), 0);
  EXPECT_GT(checked, 60000);
}

}  // namespace
