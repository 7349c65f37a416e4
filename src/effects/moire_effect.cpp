// Moire ring plates.
#include "effects/moire_effect.h"

#include <cmath>
#include <memory>
#include <new>

#include "app/frame_timer.h"
#include "gfx/graphics_device.h"
#include "gfx/render_state_list.h"
#include "gfx/texture_upload.h"

namespace {

const RenderStatePair kFirstPlateStates[] = {
    {D3DRS_ZENABLE, D3DZB_FALSE}, {D3DRS_CULLMODE, D3DCULL_NONE},     {D3DRS_LIGHTING, FALSE},
    {D3DRS_FOGENABLE, FALSE},     {D3DRS_ALPHABLENDENABLE, FALSE},
};
// The second plate's rings are added to the first.
const RenderStatePair kSecondPlateStates[] = {
    {D3DRS_ALPHABLENDENABLE, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ONE},
};

constexpr float kTwoPi = 6.283184f;  // bits 0x40C90FD8, slightly below 2 pi
// The plate's phase is d2 * 32 pi / (2 * 255.5^2): 32 pi at the texture's far corner, 16 pi at the
// middle of its outer edges, so 8 bright rings lie along each axis.
constexpr float kThirtyTwoPi = 100.530945f;
constexpr float kFarCornerSquared = 130560.5f;  // 2 * 255.5 * 255.5
// Texel centres measured from the plate's centre, which lies half a texel beyond the last texel.
constexpr float kTexelOffset = -255.5f;
// Warm orange-beige; texture stage 0 multiplies the grey rings by it.
constexpr D3DCOLOR kPlateColour = 0xFFD99980;

}  // namespace

MoireEffect::MoireEffect()
    : ringTexture_(nullptr),
      quad_{{0.0f, 0.0f, 0.5f, 1.0f, 0, 0.0f, 0.0f},
            {0.0f, 0.0f, 0.5f, 1.0f, 0, 0.0f, 0.0f},
            {0.0f, 0.0f, 0.5f, 1.0f, 0, 0.0f, 0.0f},
            {0.0f, 0.0f, 0.5f, 1.0f, 0, 0.0f, 0.0f}},
      speeds_{0.5f, 2.0f, -1.7f, 1.9f, 2.1f, 1.3f, 2.1f, -0.9f},
      phases_{} {}

MoireEffect::~MoireEffect() {
  if (ringTexture_ != nullptr) ringTexture_->Release();
}

void MoireEffect::BuildPlateTexels(uint8_t* block) {
  for (int r = 0; r < kTextureSize; ++r) {
    for (int c = 0; c < kTextureSize; ++c) {
      float x = kTexelOffset + static_cast<float>(c);
      float y = kTexelOffset + static_cast<float>(r);
      float d2 = y * y + x * x;
      float k = std::cos(d2 * kThirtyTwoPi / kFarCornerSquared);
      // Dark at the centre; k never leaves -1..1, so g stays within 0..255.
      uint8_t g = static_cast<uint8_t>(static_cast<int>((1.0f - k) * 127.5f));
      uint8_t* texel = block + (r * kTextureSize + c) * kTexelBytes;
      texel[0] = g;
      texel[1] = g;
      texel[2] = g;
      texel[3] = 255;
    }
  }
}

int MoireEffect::Init() {
  Release();
  std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[kTextureSize * kTextureSize * kTexelBytes]);
  if (!block) return -1;
  BuildPlateTexels(block.get());
  int result = CreateTextureFromImage(block.get(), &ringTexture_, kTextureSize, kTextureSize, D3DFMT_A8R8G8B8, 1);
  return result == 0 ? 0 : -1;
}

void MoireEffect::Release() {
  if (ringTexture_ != nullptr) {
    ringTexture_->Release();
    ringTexture_ = nullptr;
  }
}

MoireEffect::PlateLayout MoireEffect::layout() const {
  const float* p = phases_;
  PlateLayout plates;
  plates.x1 = std::cos(p[2]) * std::cos(p[1]) * 60.0f + 160.0f;
  plates.y1 = std::sin(p[3]) * 20.0f + 120.0f;
  plates.x2 = std::sin(p[5]) * std::sin(p[4]) * 140.0f + 160.0f;
  plates.y2 = std::sin(p[7]) * std::cos(p[6]) * 200.0f + 120.0f;
  // Breathes between 384 and 640 pixels, so either plate always covers the whole frame.
  plates.halfSize = (std::cos(p[0]) + 1.0f) * 128.0f + 384.0f;
  return plates;
}

void MoireEffect::DrawPlate(float cx, float cy, float halfSize, D3DCOLOR colour) {
  for (ScreenVertex& v : quad_) v.diffuse = colour;
  float left = cx - halfSize;
  float right = cx + halfSize;
  float top = cy - halfSize;
  float bottom = cy + halfSize;
  // Per quad: x and y of its top-left and bottom-right corners, then u and v at those corners;
  // the texture corner (1, 1) always meets the plate's centre.
  const float quads[4][8] = {
      {left, top, cx, cy, 0.0f, 0.0f, 1.0f, 1.0f},
      {cx, top, right, cy, 1.0f, 0.0f, 0.0f, 1.0f},
      {left, cy, cx, bottom, 0.0f, 1.0f, 1.0f, 0.0f},
      {cx, cy, right, bottom, 1.0f, 1.0f, 0.0f, 0.0f},
  };
  auto corner = [](ScreenVertex& v, float x, float y, float u, float texV) {
    v.x = x;
    v.y = y;
    v.u = u;
    v.v = texV;
  };
  for (const float* q : quads) {
    corner(quad_[0], q[0], q[1], q[4], q[5]);
    corner(quad_[1], q[2], q[1], q[6], q[5]);
    corner(quad_[2], q[0], q[3], q[4], q[7]);
    corner(quad_[3], q[2], q[3], q[6], q[7]);
    d3dDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad_, sizeof(ScreenVertex));
  }
}

void MoireEffect::Render() {
  d3dDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  d3dDevice->SetTexture(0, ringTexture_);
  d3dDevice->SetVertexShader(kScreenVertexFvf);

  PlateLayout plates = layout();
  ApplyRenderStates(kFirstPlateStates, 5);
  DrawPlate(plates.x1, plates.y1, plates.halfSize, kPlateColour);
  ApplyRenderStates(kSecondPlateStates, 3);
  DrawPlate(plates.x2, plates.y2, plates.halfSize, kPlateColour);
  d3dDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);

  float dt = frameTimer.deltaSeconds;
  for (int k = 0; k < kPhaseCount; ++k) {
    phases_[k] += dt * speeds_[k];
    // Only a passage upwards wraps: the phases with a negative speed keep falling.
    if (phases_[k] > kTwoPi) phases_[k] -= kTwoPi;
  }
}
