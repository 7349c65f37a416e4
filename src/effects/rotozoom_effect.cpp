// Rotozoom picture.
#include "effects/rotozoom_effect.h"

#include <cmath>

#include "app/frame_timer.h"
#include "embedded_data.h"
#include "gfx/graphics_device.h"
#include "gfx/render_state_list.h"
#include "gfx/texture_upload.h"
#include "gfx/vertex_formats.h"

int nextRotozoomImage = 0;

namespace {

// Both pictures: 128x128 texels of R5G6B5, rows from the top.
constexpr UINT kPictureSize = 128;

const RenderStatePair kStates[] = {
    {D3DRS_ZENABLE, D3DZB_FALSE}, {D3DRS_CULLMODE, D3DCULL_NONE},     {D3DRS_LIGHTING, FALSE},
    {D3DRS_FOGENABLE, FALSE},     {D3DRS_ALPHABLENDENABLE, FALSE},
};

constexpr float kTwoPi = 6.283184f;  // bits 0x40C90FD8, slightly below 2 pi
constexpr float kFrameWidth = 320.0f;
constexpr float kFrameHeight = 240.0f;
// The frame's width spans one texture width before zoom; x and y share this scale.
constexpr float kTextureUnitPixels = 320.0f;
// The loop counter beside the row runs in steps of 2 and one ripple wave spans 241 of its units,
// so the frame's height holds two waves.
constexpr float kRippleWaveLength = 241.0f;
// Seconds at which the ripple has faded out, starts fading in, is fully in.
constexpr float kRippleOutEnd = 2.0f;
constexpr float kRippleInStart = 6.0f;
constexpr float kRippleFade = 2.0f;

// Texture coordinate of one frame point under the current mapping.
struct TexturePoint {
  float u, v;
};

}  // namespace

RotozoomEffect::RotozoomEffect()
    : vertexBuffer_(nullptr),
      pictureTexture_(nullptr),
      ripple_(0.0f),
      rippleTime_(0.0f),
      phases_{},
      speeds_{0.1f, 0.09f, 0.13f, 0.093f, -0.09f, 0.07f, 0.4f, 0.37f, 1.0f} {}

RotozoomEffect::~RotozoomEffect() {
  if (vertexBuffer_ != nullptr) vertexBuffer_->Release();
  if (pictureTexture_ != nullptr) pictureTexture_->Release();
}

int RotozoomEffect::Init() {
  Release();
  if (d3dDevice->CreateVertexBuffer(kVertexCount * sizeof(ScreenVertex), D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC,
                                    kScreenVertexFvf, D3DPOOL_DEFAULT, &vertexBuffer_) != D3D_OK) {
    return -1;
  }
  const unsigned char* picture =
      nextRotozoomImage == 0 ? embedded::images_rotozoom_a_raw : embedded::images_rotozoom_b_raw;
  if (CreateTextureFromImage(picture, &pictureTexture_, kPictureSize, kPictureSize, D3DFMT_R5G6B5, 1) != 0) {
    return -1;
  }
  // Only a complete Init hands the other picture to the next instance.
  nextRotozoomImage = nextRotozoomImage == 0 ? 1 : 0;
  return 0;
}

void RotozoomEffect::Release() {
  if (vertexBuffer_ != nullptr) {
    vertexBuffer_->Release();
    vertexBuffer_ = nullptr;
  }
  if (pictureTexture_ != nullptr) {
    pictureTexture_->Release();
    pictureTexture_ = nullptr;
  }
}

RotozoomEffect::RippleState RotozoomEffect::StepRipple(RippleState state, float deltaSeconds) {
  float t = state.rippleTime + deltaSeconds;
  RippleState next = {state.ripple, t};
  if (t < kRippleOutEnd) {
    next.ripple = (kRippleOutEnd - t) * kRippleMax / kRippleFade;
  } else if (t < kRippleInStart) {
    next.ripple = 0.0f;
  } else if (t < kRippleCycle) {
    next.ripple = (t - kRippleInStart) * kRippleMax / kRippleFade;
  } else {
    // The wrapping frame keeps the ripple it had.
    next.rippleTime = t - kRippleCycle;
  }
  if (next.ripple < 0.0f) next.ripple = 0.0f;
  if (next.ripple > kRippleMax) next.ripple = kRippleMax;
  return next;
}

void RotozoomEffect::Render() {
  d3dDevice->SetTexture(0, pictureTexture_);
  d3dDevice->SetVertexShader(kScreenVertexFvf);
  d3dDevice->SetStreamSource(0, vertexBuffer_, sizeof(ScreenVertex));
  ApplyRenderStates(kStates, 5);

  const float* p = phases_;
  // The frame turns about the point (320 U, 320 V) and zooms by S there.
  float centreU = 0.3f * std::sin(p[1]) + 0.9f * std::cos(p[0]) - 1.1f * std::cos(p[2]);
  float centreV = 0.81f * std::cos(p[5]) + 1.3f * std::sin(p[4]) - 1.1f * std::cos(p[3]);
  float zoom = 1.5f * std::cos(p[6]) + 1.6f;
  float cosAngle = std::cos(p[7]);
  float sinAngle = std::sin(p[7]);
  auto map = [&](float x, float y) {
    float ox = x / kTextureUnitPixels - centreU;
    float oy = y / kTextureUnitPixels - centreV;
    return TexturePoint{centreU + zoom * (ox * cosAngle + oy * sinAngle),
                        centreV + zoom * (oy * cosAngle - ox * sinAngle)};
  };
  TexturePoint left = map(0.0f, 0.0f);
  TexturePoint right = map(kFrameWidth, 0.0f);
  TexturePoint bottomLeft = map(0.0f, kFrameHeight);
  float stepU = (bottomLeft.u - left.u) / kFrameHeight;
  float stepV = (bottomLeft.v - left.v) / kFrameHeight;

  BYTE* bytes = nullptr;
  // A buffer that cannot be locked leaves this frame's picture undrawn rather than writing nowhere.
  if (vertexBuffer_->Lock(0, 0, &bytes, D3DLOCK_DISCARD) == D3D_OK && bytes != nullptr) {
    ScreenVertex* v = reinterpret_cast<ScreenVertex*>(bytes);
    for (int row = 0, k = 0; row < kRowCount; ++row, k += 2) {
      float w = ripple_ * std::sin(static_cast<float>(k) * kTwoPi / kRippleWaveLength + p[8]);
      float y = static_cast<float>(row);
      v[0] = {0.0f, y, 0.5f, 1.0f, 0xFFFFFFFF, left.u + w, left.v + w};
      v[1] = {kFrameWidth, y, 0.5f, 1.0f, 0xFFFFFFFF, right.u + w, right.v + w};
      v += 2;
      left.u += stepU;
      left.v += stepV;
      right.u += stepU;
      right.v += stepV;
    }
    vertexBuffer_->Unlock();
    d3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, kVertexCount - 2);
  }

  float dt = frameTimer.deltaSeconds;
  RippleState next = StepRipple({ripple_, rippleTime_}, dt);
  ripple_ = next.ripple;
  rippleTime_ = next.rippleTime;
  for (int k = 0; k < kPhaseCount; ++k) {
    phases_[k] += dt * speeds_[k];
    if (phases_[k] < 0.0f) {
      phases_[k] += kTwoPi;
    } else if (phases_[k] >= kTwoPi) {
      phases_[k] -= kTwoPi;
    }
  }
}
