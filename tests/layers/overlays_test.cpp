// The three overlays on the headless device: the message panel's cycle, freeze and stripes, the
// logo banner's fade and 16-bit fallback, the now-playing ticker's copies, scroll and captions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "../support/headless_program.h"
#include "app/random_generator.h"
#include "embedded_data.h"
#include "layers/logo_banner.h"
#include "layers/message_panel.h"
#include "layers/now_playing_ticker.h"
#include "music/music_bank.h"
#include "scenes/effect_scheduler.h"

namespace {

using test_support::HeadlessDevice;

// Draws one overlay per frame over a black back buffer whose depth is cleared to 1.0, as the frame
// composition leaves it for the overlays.
class OverlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(device_.created());
    sequenceFrozen = 0;
    currentTrack = 0;
  }

  std::vector<uint32_t> Frame(Scene& scene, double seconds) {
    device_.Advance(seconds);
    UpdateTimer();
    d3dDevice->BeginScene();
    d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    scene.Render();
    d3dDevice->EndScene();
    return device_.BackBuffer();
  }

  // Seeds the generator so that the next panel draws order pattern `pattern` first.
  static void SeedForPattern(int pattern) {
    for (uint32_t seed = 1;; ++seed) {
      SeedRandom(seed);
      if ((NextRandom() & 31) == pattern) {
        SeedRandom(seed);
        return;
      }
    }
  }

  static int CellCount(int panel) {
    const unsigned char* cells = embedded::panels_panels_raw + MessagePanel::kCells * panel;
    return static_cast<int>(std::count_if(cells, cells + MessagePanel::kCells, [](unsigned char c) { return c != 0xFF; }));
  }

  HeadlessDevice device_;
};

TEST_F(OverlayTest, PanelWaitsFourSecondsThenCyclesThroughTheSixPanelsInOrder) {
  MessagePanel panel;
  ASSERT_EQ(panel.Init(), 0);
  Frame(panel, 3.9);
  Frame(panel, 0.0);
  EXPECT_EQ(panel.panelIndex(), -1);
  std::vector<int> shown;
  for (int frame = 0; frame < 75 * 30; ++frame) {
    Frame(panel, 1.0 / 30);
    if (panel.panelIndex() >= 0 && (shown.empty() || shown.back() != panel.panelIndex())) {
      shown.push_back(panel.panelIndex());
      EXPECT_EQ(panel.tileCount(), CellCount(panel.panelIndex())) << "empty cells take no tile";
    }
  }
  ASSERT_GE(shown.size(), 7u);
  EXPECT_EQ(std::vector<int>(shown.begin(), shown.begin() + 7), (std::vector<int>{0, 1, 2, 3, 4, 5, 0}));
}

TEST_F(OverlayTest, PatternZeroGrowsAllTilesTogetherThenHoldsSixSecondsAndZoomsOutInAThird) {
  MessagePanel panel;
  ASSERT_EQ(panel.Init(), 0);
  Frame(panel, 4.0);  // the start delay
  SeedForPattern(0);
  Frame(panel, 0.0);
  ASSERT_EQ(panel.orderPattern(), 0);
  for (int i = 0; i < panel.tileCount(); ++i) ASSERT_EQ(panel.tile(i).t, 1.0f);
  Frame(panel, 0.0);
  Frame(panel, 0.2);
  EXPECT_EQ(panel.direction(), -1.0f);
  for (int i = 0; i < panel.tileCount(); ++i) ASSERT_NEAR(panel.tile(i).t, 0.4f, 1e-5) << "all tiles alike";
  Frame(panel, 0.2);  // every tile settles
  EXPECT_EQ(panel.direction(), 0.0f);
  Frame(panel, 5.9);
  EXPECT_EQ(panel.direction(), 0.0f);
  Frame(panel, 0.2);
  EXPECT_EQ(panel.direction(), 1.0f) << "the hold is over after six seconds";
  Frame(panel, 0.3);
  EXPECT_EQ(panel.direction(), 1.0f);
  Frame(panel, 0.1);
  EXPECT_EQ(panel.direction(), -1.0f) << "zoomed out after a third of a second: the next panel starts";
}

// Delays, in units of 1/3 s, of each deterministic zoom-in order at nine border and centre cells of
// panel 0, worked out from the order each pattern shows: serpentines, column walks, spirals, rings
// and distances.
TEST_F(OverlayTest, EachOrderPatternGivesTheDelaysOfTheOrderItShows) {
  constexpr int kProbes = 9;
  const int cells[kProbes][2] = {{0, 0}, {0, 1}, {0, 16}, {1, 0}, {4, 8}, {8, 0}, {8, 16}, {1, 16}, {8, 1}};
  auto k = [](int steps) { return steps * 10.0f / 153.0f; };  // place in a walk of the 153 cells
  auto r = [](float squared) { return std::sqrt(squared / 80.0f) * 10.0f; };
  struct Case {
    int pattern;
    float d[kProbes];
  } cases[] = {
      {0, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {1, {0, 0, 0, 1.25f, 5, 0, 0, 1.25f, 0}},
      {2, {0, 0.625f, 0, 0, 5, 0, 0, 0, 0.625f}},
      {3, {10, r(65), 10, r(73), 0, 10, 10, r(73), r(65)}},
      {4, {k(0), k(1), k(16), k(33), k(76), k(136), k(152), k(17), k(137)}},
      {5, {k(16), k(15), k(0), k(17), k(76), k(152), k(136), k(33), k(151)}},
      {6, {k(0), k(1), k(16), k(17), k(76), k(136), k(152), k(33), k(137)}},
      {7, {k(153), k(152), k(137), k(136), k(77), k(17), k(1), k(120), k(16)}},
      {8, {k(153), k(152), k(137), k(120), k(77), k(17), k(1), k(136), k(16)}},
      {9, {k(137), k(138), k(153), k(136), k(77), k(1), k(17), k(120), k(2)}},
      {10, {k(0), k(9), k(144), k(1), k(76), k(8), k(152), k(145), k(17)}},
      {11, {k(153), k(144), k(9), k(152), k(77), k(145), k(1), k(8), k(136)}},
      {12, {k(0), k(17), k(144), k(1), k(76), k(8), k(152), k(145), k(9)}},
      {13, {k(8), k(9), k(152), k(7), k(76), k(0), k(144), k(151), k(17)}},
      {14, {k(153), k(136), k(9), k(152), k(77), k(145), k(1), k(8), k(144)}},
      {15, {k(145), k(144), k(1), k(146), k(77), k(153), k(9), k(2), k(136)}},
      {20, {k(0), k(1), k(16), k(47), k(148), k(40), k(24), k(17), k(39)}},
      {21, {k(153), k(152), k(137), k(106), k(5), k(113), k(129), k(136), k(114)}},
      {22, {k(0), k(47), k(32), k(1), k(148), k(8), k(24), k(31), k(9)}},
      {23, {k(153), k(106), k(121), k(152), k(5), k(145), k(129), k(122), k(144)}},
      {24, {0, 0, 0, 0, 5, 0, 0, 0, 0}},
      {25, {5, 5, 5, 5, 0, 5, 5, 5, 5}},
      {26, {0, r(15), 0, r(7), 10, 0, 0, r(7), r(15)}},
      {27, {5, 5, 5, 3.75f, 0, 5, 5, 3.75f, 5}},
      {28, {5, 4.375f, 5, 5, 0, 5, 5, 5, 4.375f}},
  };
  const unsigned char* panel0 = embedded::panels_panels_raw;
  auto tileOf = [&](int i, int j) {
    int tile = 0;
    for (int c = 0; c < 17 * i + j; ++c) tile += panel0[c] != 0xFF;
    return tile;
  };
  for (const Case& c : cases) {
    MessagePanel panel;
    ASSERT_EQ(panel.Init(), 0);
    Frame(panel, 4.0);
    SeedForPattern(c.pattern);
    Frame(panel, 0.0);
    ASSERT_EQ(panel.orderPattern(), c.pattern);
    for (int p = 0; p < kProbes; ++p) {
      const int i = cells[p][0], j = cells[p][1];
      ASSERT_NE(panel0[17 * i + j], 0xFF) << "probe cells hold a tile";
      EXPECT_NEAR(panel.tile(tileOf(i, j)).t, 1.0f + c.d[p], 1e-5f) << "pattern " << c.pattern << " cell " << i << "," << j;
    }
  }
}

TEST_F(OverlayTest, FreezingZoomsThePanelOutAndUnfreezingStartsTheNextOne) {
  MessagePanel panel;
  ASSERT_EQ(panel.Init(), 0);
  Frame(panel, 4.0);
  Frame(panel, 1.0);  // panel 0 part way in
  ASSERT_EQ(panel.panelIndex(), 0);
  sequenceFrozen = 1;
  Frame(panel, 0.01);
  EXPECT_EQ(panel.direction(), 1.0f);
  EXPECT_EQ(panel.holdTime(), 0.0f);
  for (int i = 0; i < 30; ++i) Frame(panel, 0.05);
  EXPECT_EQ(panel.tileCount(), 0) << "nothing is drawn while frozen";
  EXPECT_EQ(panel.panelIndex(), 0);
  std::vector<uint32_t> screen = Frame(panel, 0.05);
  EXPECT_TRUE(std::all_of(screen.begin(), screen.end(), [](uint32_t p) { return (p & 0xFFFFFF) == 0; }))
      << "the stripes alone are masked away";
  sequenceFrozen = 0;
  Frame(panel, 0.05);
  EXPECT_EQ(panel.panelIndex(), 1);
}

TEST_F(OverlayTest, AResetInMidPanelKeepsItsTilesAndGlyphs) {
  MessagePanel panel;
  ASSERT_EQ(panel.Init(), 0);
  Frame(panel, 4.0);
  Frame(panel, 0.5);
  std::vector<uint32_t> before = Frame(panel, 0.0);
  std::vector<MessagePanel::Tile> tiles;
  for (int i = 0; i < panel.tileCount(); ++i) tiles.push_back(panel.tile(i));
  panel.Release();
  ASSERT_EQ(panel.Init(), 0);
  for (size_t i = 0; i < tiles.size(); ++i) {
    EXPECT_EQ(panel.tile(static_cast<int>(i)).t, tiles[i].t);
    EXPECT_EQ(panel.tile(static_cast<int>(i)).x, tiles[i].x);
  }
  std::vector<uint32_t> after = Frame(panel, 0.0);
  // Same tiles and glyphs; only the stripes' colours inside the letters may have moved on.
  int outlinesBefore = 0, outlinesAfter = 0;
  for (size_t i = 0; i < before.size(); ++i) {
    outlinesBefore += (before[i] & 0xFFFFFF) == 0x8C8C8C || (before[i] & 0xFFFFFF) == 0xEFEFEF;
    outlinesAfter += (after[i] & 0xFFFFFF) == 0x8C8C8C || (after[i] & 0xFFFFFF) == 0xEFEFEF;
  }
  EXPECT_GT(outlinesBefore, 0);
  EXPECT_EQ(outlinesAfter, outlinesBefore);
}

TEST_F(OverlayTest, StripesShowOnlyInsideTheLettersAndOutlinesAddGrey) {
  MessagePanel panel;
  ASSERT_EQ(panel.Init(), 0);
  Frame(panel, 4.0);
  SeedForPattern(0);
  Frame(panel, 0.0);
  Frame(panel, 1.0);
  std::vector<uint32_t> screen = Frame(panel, 0.0);
  const unsigned char* cells = embedded::panels_panels_raw;  // panel 0, all tiles at full size
  const uint16_t* atlas = reinterpret_cast<const uint16_t*>(embedded::images_glyph_atlas_raw);
  int checked = 0;
  for (int i = 0; i < 9; ++i) {
    for (int j = 0; j < 17; ++j) {
      int g = cells[17 * i + j];
      if (g == 0xFF) continue;
      for (int ty = 0; ty < 16; ++ty) {
        for (int tx = 0; tx < 16; ++tx) {
          uint16_t texel = atlas[(17 * (g / 8) + ty) * 128 + 16 * (g % 8) + tx];
          uint32_t pixel = screen[(147 + 34 * i + 2 * ty) * 640 + 48 + 32 * j + 2 * tx] & 0xFFFFFF;
          switch (texel) {
            case 0x8000: ASSERT_EQ(pixel, 0u) << "background stays black"; break;
            case 0xF7BD: ASSERT_EQ(pixel, 0xEFEFEFu) << "light outline"; break;
            case 0xC631: ASSERT_EQ(pixel, 0x8C8C8Cu) << "mid-grey outline"; break;
            default: ASSERT_NE(pixel, 0u) << "a stripe colour fills the letter"; break;
          }
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 1000);
}

TEST_F(OverlayTest, StripeOffsetSnapsToWholeRowsAndWrapsAt702) {
  struct Case {
    float offset;
    int entry;
    float y0;
  } cases[] = {{0.0f, 0, 0.0f}, {0.25f, 0, 2.0f}, {1.0f, 0, 0.0f}, {2.0f, 0, -2.0f},
               {3.0f, 0, -4.0f}, {4.0f, 1, 0.0f}, {701.9f, 233, -4.0f}};
  for (const Case& c : cases) {
    MessagePanel::StripeStart s = MessagePanel::StripeStartAt(c.offset);
    EXPECT_EQ(s.rampEntry, c.entry) << c.offset;
    EXPECT_EQ(s.y0, c.y0) << c.offset;
  }
  MessagePanel panel;
  ASSERT_EQ(panel.Init(), 0);
  Frame(panel, 4.0);
  for (int i = 0; i < 100; ++i) {
    Frame(panel, 0.37);
    ASSERT_GE(panel.stripeOffset(), 0.0f);
    ASSERT_LT(panel.stripeOffset(), 702.0f);
  }
}

TEST_F(OverlayTest, BannerIsInvisibleForASecondThenFadesInToFullAlpha) {
  LogoBanner banner;
  ASSERT_EQ(banner.Init(), 0);
  auto logoPixels = [](const std::vector<uint32_t>& s) {
    return std::count_if(s.begin(), s.begin() + 640 * 128, [](uint32_t p) { return (p & 0xFFFFFF) != 0; });
  };
  EXPECT_EQ(logoPixels(Frame(banner, 0.0)), 0);
  EXPECT_EQ(logoPixels(Frame(banner, 0.5)), 0);
  EXPECT_EQ(logoPixels(Frame(banner, 0.49)), 0);
  Frame(banner, 0.02);  // the fade time passes 0 here
  EXPECT_GT(banner.fadeTime(), 0.0f);
  for (int i = 0; i < 10; ++i) Frame(banner, 0.5);
  EXPECT_EQ(banner.fadeTime(), 4.0f);
  std::vector<uint32_t> full = Frame(banner, 0.0);
  // Columns 9..309 of the logo stretched twice: the opaque texels show with alpha 255.
  const uint8_t* logo = embedded::images_logo_raw;
  for (int y = 0; y < 64; y += 3) {
    for (int x = 0; x < 320; x += 3) {
      const uint8_t* t = logo + (y * 512 + x) * 4;
      uint32_t expected = t[3] == 255 ? (t[2] << 16 | t[1] << 8 | t[0]) : 0;
      ASSERT_EQ(full[(2 * y + 1) * 640 + 2 * x + 1] & 0xFFFFFF, expected) << x << "," << y;
    }
  }
}

TEST_F(OverlayTest, BannerFallsBackTo16BitKeepingCutOutAlpha) {
  d3d8test::RefuseTextureFormat(D3DFMT_A8R8G8B8, d3d8test::TextureUse::kPlain);
  LogoBanner banner;
  ASSERT_EQ(banner.Init(), 0);
  EXPECT_EQ(banner.textureFormat(), D3DFMT_A4R4G4B4);
  const unsigned char texels[8] = {0x12, 0x34, 0x56, 0x00, 0xFF, 0xEE, 0xDD, 0xFF};
  unsigned short converted[2];
  LogoBanner::ConvertTo16Bit(texels, converted, 2);
  EXPECT_EQ(converted[0], 0x0531);
  EXPECT_EQ(converted[1], 0xFDEF);
}

TEST_F(OverlayTest, TickerDrawsEnoughCopiesForEveryCaption) {
  NowPlayingTicker ticker;
  for (int k = 0; k < NowPlayingTicker::kCaptionCount; ++k) {
    const NowPlayingTicker::Caption& c = ticker.caption(k);
    EXPECT_EQ(c.copies, 640 / c.w + 2);
    EXPECT_GT(c.copies * 4 * c.w, 640 + 4 * c.w) << "copies cover the screen whatever the scroll";
    EXPECT_EQ(c.vTop, 7.0f * k / 256.0f);
  }
  EXPECT_EQ(ticker.caption(10).copies, 15);
  EXPECT_EQ(ticker.caption(3).copies, 29);
}

TEST_F(OverlayTest, TickerScrollsRightAndSwitchesCaptionsAtOnce) {
  NowPlayingTicker ticker;
  ASSERT_EQ(ticker.Init(), 0);
  Frame(ticker, 0.0);
  EXPECT_EQ(ticker.scroll(), 0.0f) << "a scroll of exactly 0 does not wrap";
  Frame(ticker, 0.5);
  EXPECT_EQ(ticker.scroll(), 30.0f - 108.0f) << "wrapped by the caption's width 4w";
  for (int i = 0; i < 20; ++i) Frame(ticker, 0.5);  // fade in
  std::vector<uint32_t> a = Frame(ticker, 0.0);
  currentTrack = 10;
  std::vector<uint32_t> b = Frame(ticker, 0.0);
  int differing = 0;
  for (int x = 0; x < 640; ++x) differing += (a[475 * 640 + x] != b[475 * 640 + x]);
  EXPECT_GT(differing, 50) << "the new track's caption shows from the next frame on, with no fade";
  float before = ticker.scroll();
  Frame(ticker, 1.0 / 60);
  EXPECT_NEAR(ticker.scroll(), before + 1.0f, 1e-3) << "60 pixels a second";
}

TEST_F(OverlayTest, TickerFadesInBetweenFourAndEightSeconds) {
  NowPlayingTicker ticker;
  ASSERT_EQ(ticker.Init(), 0);
  auto bandLit = [](const std::vector<uint32_t>& s) {
    return std::count_if(s.begin() + 471 * 640, s.end(), [](uint32_t p) { return (p & 0xFFFFFF) != 0; });
  };
  EXPECT_EQ(bandLit(Frame(ticker, 0.0)), 0);
  for (int i = 0; i < 8; ++i) Frame(ticker, 0.5);
  EXPECT_EQ(bandLit(Frame(ticker, 0.0)), 0) << "still invisible at 4 s";
  for (int i = 0; i < 4; ++i) Frame(ticker, 0.5);
  EXPECT_GT(bandLit(Frame(ticker, 0.0)), 0);
  for (int i = 0; i < 8; ++i) Frame(ticker, 0.5);
  EXPECT_GE(ticker.fadeTime(), 8.0f);
  std::vector<uint32_t> s = Frame(ticker, 0.0);
  uint32_t white = 0;
  for (int x = 0; x < 640; ++x) white = std::max(white, s[475 * 640 + x] & 0xFFFFFF);
  EXPECT_EQ(white, 0xFFFFFFu) << "lettering at full alpha once faded in";
}

}  // namespace
