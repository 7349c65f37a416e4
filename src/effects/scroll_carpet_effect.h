// Spinning scroll-text carpet: a waving carpet of 30 by 16 cells, shaded in reds by height and
// turning about the vertical axis, with a long message scrolling across its middle 14 rows in
// greys, one text pixel per cell.
#pragma once

#include <d3d8.h>

#include <cstdint>
#include <memory>

#include "effects/text_mask.h"
#include "gfx/camera.h"
#include "gfx/matrix4.h"
#include "scenes/scene.h"

class ScrollCarpetEffect : public Scene {
 public:
  static constexpr int kStripCount = 16;
  static constexpr int kColumnCount = 31;  // vertex columns; 30 cells between them
  static constexpr int kVerticesPerStrip = 2 * kColumnCount;
  static constexpr int kVertexCount = kStripCount * kVerticesPerStrip;  // 992
  // Text rows: one per strip except the first and the last.
  static constexpr int kMaskRows = 14;

  // Shows the built-in message in the system face.
  ScrollCarpetEffect();
  // Shows another text or tries other faces: lets tests reach the short-text and no-font paths
  // through the real GDI procedure.
  explicit ScrollCarpetEffect(const MaskText& text);
  ~ScrollCarpetEffect() override;
  int Init() override;
  void Release() override;
  void Render() override;

  // kMaskRows × maskWidth() bytes, row 0 the lowest text row; null when no font could be made.
  const uint8_t* textMask() const { return textMask_.get(); }
  int maskWidth() const { return maskWidth_; }
  float spin() const { return spin_; }
  float scroll() const { return scroll_; }
  float phase() const { return phase_; }
  const Camera& camera() const { return camera_; }
  const Matrix4& world() const { return world_; }
  IDirect3DVertexBuffer8* vertexBuffer() const { return vertexBuffer_; }

 private:
  MaskText text_;
  IDirect3DVertexBuffer8* vertexBuffer_;
  Matrix4 world_;
  std::unique_ptr<uint8_t[]> textMask_;
  // Power of two at least the text's width in pixels; 1 while there is no mask.
  int maskWidth_;
  float spin_;    // radians about the z axis, in [0, 6.283184)
  float scroll_;  // left text column of the window, in [0, maskWidth_)
  float phase_;   // radians of the swell; grows without wrapping
  Camera camera_;
};
