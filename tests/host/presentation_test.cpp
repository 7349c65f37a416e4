// The desktop host's presentation: where the picture goes in a window, how it is scaled, how
// frames are paced and what the window's frame is for.
#include <gtest/gtest.h>

#include <vector>

#include "platform/host/frame_pacer.h"
#include "platform/host/gl_probe.h"
#include "platform/host/picture_scaler.h"
#include "platform/host/window_frame.h"

namespace {

using host::PictureRect;

TEST(FitPicture, TakesTheLargestFourByThreeRectangleCentredBetweenBars) {
  struct Case {
    int areaW, areaH;
    PictureRect expected;
  } cases[] = {
      {640, 480, {0, 0, 640, 480}},          // one to one
      {1280, 1024, {0, 32, 1280, 960}},      // twice, bars above and below
      {1920, 1080, {240, 0, 1440, 1080}},    // 2.25 times, bars left and right
      {312, 232, {1, 0, 309, 232}},          // the first window's client area, inside its frame
      {692, 392, {85, 0, 522, 392}},
      {0, 480, {0, 0, 0, 0}},                // nothing to draw into
  };
  for (const Case& c : cases) {
    PictureRect r = host::FitPicture(c.areaW, c.areaH, 640, 480);
    EXPECT_EQ(r.x, c.expected.x) << c.areaW << "x" << c.areaH;
    EXPECT_EQ(r.y, c.expected.y) << c.areaW << "x" << c.areaH;
    EXPECT_EQ(r.width, c.expected.width) << c.areaW << "x" << c.areaH;
    EXPECT_EQ(r.height, c.expected.height) << c.areaW << "x" << c.areaH;
  }
}

// A 4x3 picture whose every pixel differs, scaled into a larger target whose surroundings must
// stay untouched.
class PictureScalerTest : public ::testing::Test {
 protected:
  static constexpr int kW = 4, kH = 3, kTargetW = 20, kTargetH = 12;
  static constexpr uint32_t kUntouched = 0xDEADBEEF;

  PictureScalerTest() : target_(kTargetW * kTargetH, kUntouched) {
    for (int i = 0; i < kW * kH; ++i) source_[i] = 0x00010000u * static_cast<uint32_t>(i + 1);
  }
  void Scale(const PictureRect& rect) {
    scaler_.Scale(source_, kW, kH, kW * 4, target_.data(), kTargetW * 4, rect);
  }
  uint32_t At(int x, int y) const { return target_[static_cast<size_t>(y) * kTargetW + x]; }
  uint32_t Source(int x, int y) const { return source_[y * kW + x]; }

  uint32_t source_[kW * kH];
  std::vector<uint32_t> target_;
  host::PictureScaler scaler_;
};

TEST_F(PictureScalerTest, WholeNumberScalesMakeEveryPixelAnEqualSquare) {
  // At x = 0 the rows of the 2x scale start 16-byte aligned and take the streamed path.
  for (int k : {1, 2, 3}) {
    for (int left : {0, 1}) {
      std::fill(target_.begin(), target_.end(), kUntouched);
      PictureRect rect{left, 2, kW * k, kH * k};
      Scale(rect);
      for (int y = 0; y < kTargetH; ++y) {
        for (int x = 0; x < kTargetW; ++x) {
          bool inside = x >= rect.x && x < rect.x + rect.width && y >= rect.y && y < rect.y + rect.height;
          uint32_t expected = inside ? Source((x - rect.x) / k, (y - rect.y) / k) : kUntouched;
          ASSERT_EQ(At(x, y), expected) << "scale " << k << " from " << left << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST_F(PictureScalerTest, OtherScalesSampleThePixelUnderEachCentre) {
  // 4 -> 6 columns: centres at 0.33, 1, 1.67, 2.33, 3, 3.67 source pixels; 3 -> 5 rows likewise.
  Scale(PictureRect{0, 0, 6, 5});
  const int columns[] = {0, 1, 1, 2, 3, 3};
  const int rows[] = {0, 0, 1, 2, 2};
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) EXPECT_EQ(At(x, y), Source(columns[x], rows[y])) << x << "," << y;
  }
  EXPECT_EQ(At(6, 0), kUntouched);
  // Smaller than the picture (the first window at half size): every other pixel.
  Scale(PictureRect{10, 0, 2, 1});
  EXPECT_EQ(At(10, 0), Source(1, 1));
  EXPECT_EQ(At(11, 0), Source(3, 1));
}

TEST(FramePacer, HoldsFramesToTheDisplaysPeriodAndStartsAfreshAfterAStall) {
  host::FramePacer pacer;
  pacer.SetRefreshRate(50);
  const int64_t p = 20000000;  // 50 Hz in nanoseconds
  ASSERT_EQ(pacer.periodNanoseconds(), p);
  EXPECT_EQ(pacer.NextPresentTime(1000), 1000) << "the first frame goes at once";
  EXPECT_EQ(pacer.NextPresentTime(1000 + p / 4), 1000 + p) << "a quick frame waits for its slot";
  EXPECT_EQ(pacer.NextPresentTime(1000 + p + p / 2), 1000 + 2 * p)
      << "slots stay on one grid: drawing time is not added to the period";
  EXPECT_EQ(pacer.NextPresentTime(1000 + 3 * p + p / 2), 1000 + 3 * p + p / 2) << "a late frame goes at once";
  // Far behind (a stall): no burst of catch-up frames, a new grid from now.
  int64_t now = 1000 + 20 * p;
  EXPECT_EQ(pacer.NextPresentTime(now), now);
  EXPECT_EQ(pacer.NextPresentTime(now + 1), now + p);
  pacer.SetRefreshRate(0);
  EXPECT_EQ(pacer.periodNanoseconds(), 1000000000 / host::FramePacer::kDefaultRefreshHz) << "unknown rate";
}

TEST(WindowFrame, EdgesAndCornersSizeTheWindowAndTheInsideIsTheProgramsToDrag) {
  using Hit = host::WindowFrame::Hit;
  struct Case {
    int x, y;
    Hit expected;
  } cases[] = {
      {160, 120, Hit::kClient}, {4, 4, Hit::kClient},       {315, 235, Hit::kClient},
      {0, 120, Hit::kLeft},     {319, 120, Hit::kRight},    {160, 0, Hit::kTop},
      {160, 239, Hit::kBottom}, {0, 0, Hit::kTopLeft},      {10, 2, Hit::kTopLeft},
      {2, 10, Hit::kTopLeft},   {317, 3, Hit::kTopRight},   {1, 230, Hit::kBottomLeft},
      {319, 239, Hit::kBottomRight}, {306, 238, Hit::kBottomRight}, {20, 1, Hit::kTop},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(host::WindowFrame::HitTest(c.x, c.y, 320, 240), c.expected) << c.x << "," << c.y;
  }
}

TEST(GlProbe, TellsSoftwareRasterizersFromGpus) {
  EXPECT_TRUE(host::IsSoftwareGlRenderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
  EXPECT_TRUE(host::IsSoftwareGlRenderer("softpipe"));
  EXPECT_TRUE(host::IsSoftwareGlRenderer("Software Rasterizer"));
  EXPECT_TRUE(host::IsSoftwareGlRenderer("Google SwiftShader"));
  EXPECT_FALSE(host::IsSoftwareGlRenderer("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
  EXPECT_FALSE(host::IsSoftwareGlRenderer("AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)"));
}

}  // namespace
