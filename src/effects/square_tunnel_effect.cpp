// Twisted square tunnel.
#include "effects/square_tunnel_effect.h"

#include <cmath>

#include "app/frame_timer.h"
#include "gfx/graphics_device.h"
#include "gfx/matrix4.h"
#include "gfx/render_state_list.h"
#include "gfx/vertex_formats.h"

namespace {

constexpr float kTwoPi = 6.283184f;  // bits 0x40C90FD8, slightly below 2 pi
// Corners lie this far from the axis; a tube is kTubeLength long.
constexpr float kTubeRadius = 128.0f;
constexpr float kTubeLength = 256.0f;
// Tube t of a section sits 16t units further back and is turned back by 0.03t radians.
constexpr float kTubeStagger = 16.0f;
constexpr float kTubeTwist = 0.03f;
constexpr int kCornersPerSquare = 4;
// Each overlapping layer adds 0x30 per channel: four layers reach grey 0xC0.
constexpr D3DCOLOR kTubeColour = 0xFF303030;
constexpr UINT kBufferBytes = SquareTunnelEffect::kVertexCount * sizeof(PointVertex);  // 5120

// Additive, unfogged, without depth: overlaps glow brighter.
const RenderStatePair kTunnelStates[] = {
    {D3DRS_ZENABLE, D3DZB_FALSE},   {D3DRS_CULLMODE, D3DCULL_NONE},     {D3DRS_LIGHTING, FALSE},
    {D3DRS_ALPHABLENDENABLE, TRUE}, {D3DRS_SRCBLEND, D3DBLEND_ONE},     {D3DRS_DESTBLEND, D3DBLEND_ONE},
    {D3DRS_FOGENABLE, FALSE},
};

// Rate of the shared spin, radians a second, at a time within the cycle: +1 for 6 s, easing to -1
// over 2 s, -1 for 6 s, then climbing from 0 back to +1 over the last 2 s.
float SpinChange(float cycleTime, float delta) {
  if (cycleTime < 6.0f) return delta;
  if (cycleTime < 8.0f) return delta * (7.0f - cycleTime);
  if (cycleTime < 14.0f) return -delta;
  return (cycleTime - 14.0f) * delta * 0.5f;
}

}  // namespace

SquareTunnelEffect::SquareTunnelEffect()
    : vertexBuffer_(nullptr), sections_{}, cycleTime_(0.0f), spin_(0.0f) {
  camera_.eye = {0.0f, 0.0f, 0.0f};
  camera_.target = {0.0f, 1024.0f, 0.0f};
  camera_.farPlane = 4096.0f;
  camera_.LookAt();
}

SquareTunnelEffect::~SquareTunnelEffect() { SquareTunnelEffect::Release(); }

int SquareTunnelEffect::Init() {
  Release();
  if (d3dDevice->CreateVertexBuffer(kBufferBytes, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, kPointVertexFvf,
                                    D3DPOOL_DEFAULT, &vertexBuffer_) != D3D_OK) {
    vertexBuffer_ = nullptr;
    return -1;
  }
  for (int i = 0; i < kSectionCount; ++i) {
    sections_[i].y = static_cast<float>(i) * kTunnelLength / static_cast<float>(kSectionCount);
    sections_[i].angle = 0.0f;
  }
  return 0;
}

void SquareTunnelEffect::Release() {
  if (vertexBuffer_ != nullptr) {
    vertexBuffer_->Release();
    vertexBuffer_ = nullptr;
  }
}

void SquareTunnelEffect::Render() {
  // Nothing to draw into or move before a successful Init.
  if (vertexBuffer_ == nullptr) return;

  camera_.ApplyProjection();
  camera_.ApplyView();

  d3dDevice->SetTexture(0, nullptr);
  d3dDevice->SetVertexShader(kPointVertexFvf);
  d3dDevice->SetStreamSource(0, vertexBuffer_, sizeof(PointVertex));
  ApplyRenderStates(kTunnelStates, 7);

  Matrix4 world;
  SetIdentity(world);
  d3dDevice->SetTransform(D3DTS_WORLD, &world);

  float delta = frameTimer.deltaSeconds;
  BYTE* bytes = nullptr;
  vertexBuffer_->Lock(0, 0, &bytes, D3DLOCK_DISCARD);
  PointVertex* out = reinterpret_cast<PointVertex*>(bytes);
  for (Section& section : sections_) {
    if (out != nullptr) {
      for (int t = 0; t < kTubesPerSection; ++t) {
        float offset = kTubeStagger * static_cast<float>(t);
        float twist = kTubeTwist * static_cast<float>(t);
        for (int k = 0; k <= kCornersPerSquare; ++k) {
          float phi = static_cast<float>(k) * kTwoPi / static_cast<float>(kCornersPerSquare);
          float alpha = phi + section.angle - twist;
          float x = std::cos(alpha) * kTubeRadius;
          float z = std::sin(alpha) * kTubeRadius;
          *out++ = {x, section.y - offset, z, kTubeColour};
          *out++ = {x, section.y - kTubeLength - offset, z, kTubeColour};
        }
      }
    }
    // A section sent back takes the shared angle as it stood before this frame's change, and does
    // not turn in that frame. After a stall it may still be behind the camera: it is then sent back
    // again next frame.
    section.y -= kSectionSpeed * delta;
    if (section.y >= 0.0f) {
      section.angle += delta;
    } else {
      section.angle = spin_;
      section.y += kTunnelLength;
    }
  }

  spin_ += SpinChange(cycleTime_, delta);
  if (spin_ >= kTwoPi) spin_ -= kTwoPi;

  vertexBuffer_->Unlock();
  for (int m = 0; m < kStripCount; ++m) {
    d3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, m * kVerticesPerStrip, kVerticesPerStrip - 2);
  }

  // A remainder, not a single subtraction: after a stall of 16 s or more, one subtraction would
  // leave the time past the cycle for many frames and drive the last phase's rising rate far
  // beyond +1. For any delta under one period the two agree exactly.
  cycleTime_ += delta;
  if (cycleTime_ >= kCyclePeriod) cycleTime_ = std::fmod(cycleTime_, kCyclePeriod);
}
