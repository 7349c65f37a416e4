// The glyph-tile message panel: six short text panels of 17x9 letter tiles that zoom in one by
// one in one of 32 orders, hold, and zoom out, their letters filled with scrolling colour stripes
// through a depth mask. While the effect sequence is frozen the panel zooms out and stays away.
#pragma once

#include <d3d8.h>

#include "scenes/scene.h"

class MessagePanel : public Scene {
 public:
  static constexpr int kColumns = 17;
  static constexpr int kRows = 9;
  static constexpr int kCells = kColumns * kRows;  // 153
  static constexpr int kPanelCount = 6;
  static constexpr int kOrderPatterns = 32;
  static constexpr int kRampEntries = 234;
  static constexpr unsigned char kEmptyCell = 0xFF;

  struct Tile {
    float x;  // top-left corner relative to the panel centre (320, 310), pixels
    float y;
    float t;  // 1 or more: shrunk to a point; 0: full size; in between: scaled by 1 - t
  };

  MessagePanel();
  ~MessagePanel() override;
  int Init() override;
  void Release() override;
  void Render() override;

  // The constant tables, computed as their definitions say.
  static const int* SpiralA();
  static const int* SpiralB();
  static const int* Ring();
  static const D3DCOLOR* StripeRamp();

  // Where the stripe strip starts for a stripe offset: the ramp entry of its first band and the
  // y of its first row (0, -2 or -4; +2 just above 0). Each offset unit moves the stripes 2 pixels
  // up, and the ramp's bands are 3 units apart.
  struct StripeStart {
    int rampEntry;
    float y0;
  };
  static StripeStart StripeStartAt(float offset);

  int panelIndex() const { return panelIndex_; }
  int tileCount() const { return tileCount_; }
  float direction() const { return direction_; }
  float holdTime() const { return holdTime_; }
  float stripeOffset() const { return stripeOffset_; }
  int orderPattern() const { return orderPattern_; }
  const Tile& tile(int i) const { return tiles_[i]; }

 private:
  void BuildPanel(bool withTiming);
  float OrderDelay(int i, int j) const;
  void UpdateTiles();
  void FillStripes();

  IDirect3DVertexBuffer8* tileVertexBuffer_;
  IDirect3DVertexBuffer8* stripeVertexBuffer_;
  IDirect3DIndexBuffer8* tileIndexBuffer_;
  IDirect3DTexture8* glyphTexture_;
  float holdTime_;
  int panelIndex_;
  int tileCount_;
  bool startNext_;
  float startDelay_;
  Tile tiles_[kCells];
  float direction_;
  float stripeOffset_;
  int orderPattern_;
};
