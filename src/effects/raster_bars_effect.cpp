// Rainbow raster bars.
#include "effects/raster_bars_effect.h"

#include <bit>
#include <cmath>

#include "app/frame_timer.h"
#include "gfx/graphics_device.h"
#include "gfx/render_state_list.h"

namespace {

// Once around the colour wheel; bars 1 and 9 carry 0x30, not 0x3F, in their second channel.
constexpr D3DCOLOR kBarColours[RasterBarsEffect::kBarCount] = {
    0x00FF0000, 0x00FF3000, 0x00FF7F00, 0x00FFBF00, 0x00FFFF00, 0x00BFFF00, 0x007FFF00, 0x003FFF00,
    0x0000FF00, 0x0000FF30, 0x0000FF7F, 0x0000FFBF, 0x0000FFFF, 0x0000BFFF, 0x00007FFF, 0x00003FFF,
    0x000000FF, 0x003F00FF, 0x007F00FF, 0x00BF00FF, 0x00FF00FF, 0x00FF00BF, 0x00FF007F, 0x00FF003F,
};

const RenderStatePair kBarStates[] = {
    {D3DRS_ZENABLE, FALSE},  {D3DRS_CULLMODE, D3DCULL_NONE},     {D3DRS_LIGHTING, FALSE},
    {D3DRS_FOGENABLE, FALSE}, {D3DRS_ALPHABLENDENABLE, FALSE},
};

constexpr float kTwoPi = 6.283184f;  // bits 0x40C90FD8, slightly below 2 pi
constexpr float kRestOffset = 240.0f;
constexpr float kBarSpacing = 0.075f;  // phase step from one bar to the next
constexpr float kRowStep = 12.0f;  // units between a bar's vertex rows, before halving

}  // namespace

RasterBarsEffect::RasterBarsEffect()
    : vertices_{},
      phases_{3.14f, 0.7f, 1.9f},
      riseOffset_(1000.0f),
      speeds_{1.5f, 0.9f, 1.3f},
      riseSpeed_(std::bit_cast<float>(0xC3531C72u)) {}

int RasterBarsEffect::Init() {
  for (int bar = 0; bar < kBarCount; ++bar) {
    for (int j = 0; j < kVerticesPerBar; ++j) {
      ColourVertex& v = vertices_[bar * kVerticesPerBar + j];
      v.x = (j & 1) ? 320.0f : 0.0f;
      v.z = 0.0f;
      v.rhw = 1.0f;
      v.diffuse = (j == 2 || j == 3) ? kBarColours[bar] : 0x00000000;
    }
  }
  return 0;
}

void RasterBarsEffect::Render() {
  d3dDevice->SetTexture(0, nullptr);
  ApplyRenderStates(kBarStates, 5);
  d3dDevice->SetVertexShader(kColourVertexFvf);

  for (int bar = 0; bar < kBarCount; ++bar) {
    float a = static_cast<float>(bar) * kBarSpacing;
    float w = std::cos(a + phases_[0]) * std::sin(a + phases_[1]) * std::cos(a + phases_[2]);
    ColourVertex* v = &vertices_[bar * kVerticesPerBar];
    for (int j = 0; j < kVerticesPerBar; ++j) {
      v[j].y = (w * 240.0f + static_cast<float>(j / 2) * kRowStep + riseOffset_) * 0.5f;
    }
    d3dDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 4, v, sizeof(ColourVertex));
  }

  float dt = frameTimer.deltaSeconds;
  for (int k = 0; k < 3; ++k) {
    phases_[k] += dt * speeds_[k];
    if (phases_[k] > kTwoPi) phases_[k] -= kTwoPi;
  }
  riseOffset_ += dt * riseSpeed_;
  if (riseOffset_ < kRestOffset) riseOffset_ = kRestOffset;
}
