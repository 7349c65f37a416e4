// Greetings point landscape: a 50 by 50 grid of points over a scrolling fractal landscape, blue
// water and red land, with a greetings list rising in pink across its middle 32 rows; every six
// seconds the grid swings once around the vertical axis.
#pragma once

#include <d3d8.h>

#include <cstdint>
#include <memory>

#include "effects/text_mask.h"
#include "gfx/camera.h"
#include "gfx/matrix4.h"
#include "scenes/scene.h"

class GreetingsEffect : public Scene {
 public:
  static constexpr int kGridSide = 50;
  static constexpr int kVertexCount = kGridSide * kGridSide;  // 2,500
  // Text rows, on grid rows kFirstTextRow .. kFirstTextRow + kMaskRows - 1.
  static constexpr int kMaskRows = 32;
  static constexpr int kFirstTextRow = 9;
  // Heights below this are water.
  static constexpr int kSeaLevel = 64;

  static constexpr D3DCOLOR kWaterColour = 0xFF0000FF;
  static constexpr D3DCOLOR kLandColour = 0xFFFF0000;
  static constexpr D3DCOLOR kTextColour = 0xFFFF8080;

  // Shows the built-in greetings in the bold sans face, or the system face if that is missing.
  GreetingsEffect();
  // Shows another text or tries other faces: lets tests reach the short-text and no-font paths
  // through the real GDI procedure.
  explicit GreetingsEffect(const MaskText& text);
  ~GreetingsEffect() override;
  int Init() override;
  void Release() override;
  void Render() override;

  // 256 × 256 heights, row-major; null before Init.
  const uint8_t* heightMap() const { return heightMap_.get(); }
  // kMaskRows × maskWidth() bytes, row 0 the bottom row of the text image; null when no font
  // could be made.
  const uint8_t* textMask() const { return textMask_.get(); }
  int maskWidth() const { return maskWidth_; }
  float rowScroll() const { return rowScroll_; }
  float swing() const { return swing_; }
  float textScroll() const { return textScroll_; }
  const Camera& camera() const { return camera_; }
  const Matrix4& world() const { return world_; }
  IDirect3DVertexBuffer8* vertexBuffer() const { return vertexBuffer_; }

 private:
  MaskText text_;
  IDirect3DVertexBuffer8* vertexBuffer_;
  Matrix4 world_;
  std::unique_ptr<uint8_t[]> heightMap_;
  float rowScroll_;  // first height-map row under the grid, in [0, 256]
  std::unique_ptr<uint8_t[]> textMask_;
  // Power of two at least the text's width in pixels; 1 while there is no mask.
  int maskWidth_;
  float swing_;       // seconds into the 6-second swing cycle
  float textScroll_;  // left text column of the window, in [0, maskWidth_)
  Camera camera_;
};
