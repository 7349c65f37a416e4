// Interference rings.
#include "effects/rings_effect.h"

#include <cmath>
#include <memory>
#include <new>

#include "app/frame_timer.h"
#include "gfx/graphics_device.h"
#include "gfx/render_state_list.h"
#include "gfx/texture_upload.h"

namespace {

const RenderStatePair kBaseStates[] = {
    {D3DRS_ZENABLE, D3DZB_FALSE}, {D3DRS_CULLMODE, D3DCULL_NONE},     {D3DRS_LIGHTING, FALSE},
    {D3DRS_FOGENABLE, FALSE},     {D3DRS_ALPHABLENDENABLE, FALSE},
};
// The second field adds its rings to the first.
const RenderStatePair kAdditiveStates[] = {
    {D3DRS_ALPHABLENDENABLE, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ONE},
};
// The tint quad multiplies the frame by its colour.
const RenderStatePair kTintStates[] = {
    {D3DRS_SRCBLEND, D3DBLEND_ZERO},
    {D3DRS_DESTBLEND, D3DBLEND_SRCCOLOR},
};

constexpr float kTwoPi = 6.283184f;   // bits 0x40C90FD8, slightly below 2 pi
constexpr float kFourPi = 12.566368f;  // bits 0x41490FD8, slightly below 4 pi: two wobble waves per quarter
constexpr float kQuarterSize = 256.0f;  // pixels, and rows of a quarter's strip
// Red scaled by 0x80/255, green by 0xA0/255, blue kept.
constexpr D3DCOLOR kTint = 0xFF80A0FF;
constexpr D3DCOLOR kFieldColour = 0xFFFFFFFF;
// The centre disc has radius 8 field units; every band after it is 16 wide.
constexpr int kBandWidth = 16;
constexpr int kCentreRadius = 8;
// Envelope marks, seconds: still until kSwellStart, full from kSwellStart + kFade to kFadeStart.
constexpr float kSwellStart = 6.0f;
constexpr float kFadeStart = 14.0f;
constexpr float kFade = 2.0f;

}  // namespace

RingsEffect::RingsEffect()
    : vertexBuffer_(nullptr),
      ringTexture_(nullptr),
      tintQuad_{{0.0f, 0.0f, 0.5f, 1.0f, 0, 0.0f, 0.0f},
                {320.0f, 0.0f, 0.5f, 1.0f, 0, 0.0f, 0.0f},
                {0.0f, 240.0f, 0.5f, 1.0f, 0, 0.0f, 0.0f},
                {320.0f, 240.0f, 0.5f, 1.0f, 0, 0.0f, 0.0f}},
      speeds_{4.0f, 4.0f, 2.0f, 2.0f, 1.0f, 2.1f, 1.3f, 2.1f, 0.9f, 1.0f},
      phases_{},
      wobble_(0.0f),
      envelopeTime_(0.0f) {}

RingsEffect::~RingsEffect() {
  if (ringTexture_ != nullptr) ringTexture_->Release();
  if (vertexBuffer_ != nullptr) vertexBuffer_->Release();
}

void RingsEffect::BuildRingTexels(uint16_t* block) {
  // The pattern's centre is the field's last element, so the texture corner (1, 1) holds it.
  constexpr int kCentre = kFieldSize - 1;
  for (int r = 0; r < kFieldSize; ++r) {
    for (int c = 0; c < kFieldSize; ++c) {
      int squared = (r - kCentre) * (r - kCentre) + (c - kCentre) * (c - kCentre);
      int n = static_cast<int>(std::sqrt(static_cast<float>(squared)));
      block[r * kFieldSize + c] = ((n + kCentreRadius) / kBandWidth) % 2 == 0 ? 1 : 0;
    }
  }
  // Texel i is written at index i, never past the elements texel i and later texels still read
  // (texel (R, C) reads from index 1024 R + 2 C on), so the field can be averaged in place.
  for (int row = 0; row < kTextureSize; ++row) {
    for (int column = 0; column < kTextureSize; ++column) {
      const uint16_t* top = block + 2 * row * kFieldSize + 2 * column;
      int sum = top[0] + top[1] + top[kFieldSize] + top[kFieldSize + 1];
      unsigned g = static_cast<unsigned>(static_cast<float>(sum) * 255.0f / 4.0f);
      block[row * kTextureSize + column] = static_cast<uint16_t>((g >> 3) << 11 | (g >> 2) << 5 | (g >> 3));
    }
  }
}

int RingsEffect::Init() {
  Release();
  if (d3dDevice->CreateVertexBuffer(kVertexCount * sizeof(ScreenVertex), D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC,
                                    kScreenVertexFvf, D3DPOOL_DEFAULT, &vertexBuffer_) != D3D_OK) {
    return -1;
  }
  std::unique_ptr<uint16_t[]> block(new (std::nothrow) uint16_t[kFieldSize * kFieldSize]);
  if (!block) return -1;
  BuildRingTexels(block.get());
  int result = CreateTextureFromImage(block.get(), &ringTexture_, kTextureSize, kTextureSize, D3DFMT_R5G6B5, 1);
  return result == 0 ? 0 : -1;
}

void RingsEffect::Release() {
  if (ringTexture_ != nullptr) {
    ringTexture_->Release();
    ringTexture_ = nullptr;
  }
  if (vertexBuffer_ != nullptr) {
    vertexBuffer_->Release();
    vertexBuffer_ = nullptr;
  }
}

RingsEffect::EnvelopeState RingsEffect::StepEnvelope(float envelopeTime, float deltaSeconds) {
  float t = envelopeTime + deltaSeconds;
  if (t < kSwellStart) return {0.0f, t};
  if (t < kSwellStart + kFade) return {(t - kSwellStart) / kFade, t};
  if (t < kFadeStart) return {1.0f, t};
  if (t < kEnvelopeCycle) return {(kEnvelopeCycle - t) / kFade, t};
  return {0.0f, t - kEnvelopeCycle};
}

void RingsEffect::DrawQuarter(float x0, float y0, float amplitude, float uLeft, float uRight, float v0, float vStep,
                              D3DCOLOR colour) {
  BYTE* bytes = nullptr;
  // A buffer that cannot be locked leaves the quarter undrawn rather than writing nowhere.
  if (vertexBuffer_->Lock(0, 0, &bytes, D3DLOCK_DISCARD) != D3D_OK || bytes == nullptr) return;
  ScreenVertex* v = reinterpret_cast<ScreenVertex*>(bytes);
  for (int i = 0; i < kQuarterRows; ++i) {
    float fi = static_cast<float>(i);
    float g = fi * kFourPi / kQuarterSize;
    float y = y0 + fi;
    float texV = fi * vStep / kQuarterSize + v0;
    v[0] = {x0 + amplitude * std::sin(g + phases_[0]), y, 0.5f, 1.0f, colour, uLeft, texV};
    v[1] = {x0 + kQuarterSize + amplitude * std::sin(g + phases_[1]), y, 0.5f, 1.0f, colour, uRight, texV};
    v += 2;
  }
  vertexBuffer_->Unlock();
  d3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, kVertexCount - 2);
}

void RingsEffect::DrawRingField(float cx, float cy, float amplitude, D3DCOLOR colour) {
  // Each quarter puts the texture corner (1, 1), the pattern's centre, at (cx, cy).
  DrawQuarter(cx - kQuarterSize, cy - kQuarterSize, amplitude, 0.0f, 1.0f, 0.0f, 1.0f, colour);
  DrawQuarter(cx, cy - kQuarterSize, amplitude, 1.0f, 0.0f, 0.0f, 1.0f, colour);
  DrawQuarter(cx - kQuarterSize, cy, amplitude, 0.0f, 1.0f, 1.0f, -1.0f, colour);
  DrawQuarter(cx, cy, amplitude, 1.0f, 0.0f, 1.0f, -1.0f, colour);
}

void RingsEffect::Render() {
  // Clamped: coordinates of exactly 1 at a field's centre lines must sample the centre texels, not
  // wrap round to the far corner of the pattern.
  d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
  d3dDevice->SetTexture(0, ringTexture_);
  d3dDevice->SetVertexShader(kScreenVertexFvf);
  d3dDevice->SetStreamSource(0, vertexBuffer_, sizeof(ScreenVertex));
  ApplyRenderStates(kBaseStates, 5);

  const float* p = phases_;
  DrawRingField(std::cos(p[2]) * 60.0f + 160.0f, std::sin(p[3]) * 20.0f + 120.0f, std::cos(p[4]) * wobble_ * 20.0f,
                kFieldColour);
  ApplyRenderStates(kAdditiveStates, 3);
  DrawRingField(std::sin(p[6]) * std::sin(-p[5]) * 70.0f + 160.0f, std::sin(-p[8]) * std::cos(p[7]) * 100.0f + 120.0f,
                std::sin(p[9]) * wobble_ * 30.0f, kFieldColour);

  ApplyRenderStates(kTintStates, 2);
  d3dDevice->SetTexture(0, nullptr);
  for (ScreenVertex& v : tintQuad_) v.diffuse = kTint;
  d3dDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, tintQuad_, sizeof(ScreenVertex));
  d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
  d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);

  float dt = frameTimer.deltaSeconds;
  for (int k = 0; k < kPhaseCount; ++k) {
    phases_[k] += dt * speeds_[k];
    if (phases_[k] > kTwoPi) phases_[k] -= kTwoPi;
  }
  EnvelopeState next = StepEnvelope(envelopeTime_, dt);
  wobble_ = next.wobble;
  envelopeTime_ = next.envelopeTime;
}
