// Winding point tunnel.
#include "effects/point_tunnel_effect.h"

#include <cmath>
#include <new>

#include "app/frame_timer.h"
#include "gfx/graphics_device.h"
#include "gfx/matrix4.h"
#include "gfx/render_state_list.h"
#include "gfx/vertex_formats.h"

namespace {

constexpr float kTwoPi = 6.283184f;  // bits 0x40C90FD8, slightly below 2 pi
constexpr float kRingRadius = 64.0f;
constexpr float kCurveAmplitude = 128.0f;
constexpr float kRingSpacing = PointTunnelEffect::kTunnelLength / PointTunnelEffect::kRingCount;  // 32
// The follow point trails the next ring to be placed by one tunnel length of rings (32 × 0.05).
constexpr float kFollowLag = 1.6f;
constexpr D3DCOLOR kPointColour = 0xFFFFFFFF;
constexpr UINT kBufferBytes = PointTunnelEffect::kVertexCount * sizeof(PointVertex);  // 16384

// Black linear vertex fog over the far half of the tunnel.
const RenderStatePair kTunnelStates[] = {
    {D3DRS_ZENABLE, D3DZB_TRUE},
    {D3DRS_CULLMODE, D3DCULL_NONE},
    {D3DRS_LIGHTING, FALSE},
    {D3DRS_FOGCOLOR, 0x00000000},
    {D3DRS_FOGTABLEMODE, D3DFOG_NONE},
    {D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR},
    {D3DRS_FOGDENSITY, FloatState(1.0f)},
    {D3DRS_FOGSTART, FloatState(512.0f)},
    {D3DRS_FOGEND, FloatState(1024.0f)},
    {D3DRS_FOGENABLE, TRUE},
};

}  // namespace

PointTunnelEffect::PointTunnelEffect()
    : vertexBuffer_(nullptr), rings_(nullptr), spin_(0.0f), nearestRing_(0), pathParameter_(0.0f) {
  camera_.eye = {0.0f, 0.0f, 0.0f};
  camera_.target = {0.0f, 1024.0f, 0.0f};
  camera_.farPlane = 1024.0f;
  camera_.LookAt();
}

PointTunnelEffect::~PointTunnelEffect() { PointTunnelEffect::Release(); }

float PointTunnelEffect::CurveX(float a) {
  return std::cos(1.9f * a) * std::sin(0.7f * a) * std::cos(1.1f * a) * kCurveAmplitude;
}

float PointTunnelEffect::CurveZ(float a) {
  return std::cos(0.9f * a) * std::sin(a) * std::sin(2.3f * a) * kCurveAmplitude;
}

int PointTunnelEffect::Init() {
  Release();
  rings_ = new (std::nothrow) Ring[kRingCount];
  if (rings_ == nullptr) return -1;
  if (d3dDevice->CreateVertexBuffer(kBufferBytes, D3DUSAGE_WRITEONLY | D3DUSAGE_POINTS | D3DUSAGE_DYNAMIC,
                                    kPointVertexFvf, D3DPOOL_DEFAULT, &vertexBuffer_) != D3D_OK) {
    vertexBuffer_ = nullptr;
    return -1;
  }
  // The path parameter carries on from where it was, so a reset lays the rings further along.
  for (int i = 0; i < kRingCount; ++i) {
    rings_[i].y = static_cast<float>(i) * kTunnelLength / static_cast<float>(kRingCount);
    rings_[i].x = CurveX(pathParameter_);
    rings_[i].z = CurveZ(pathParameter_);
    pathParameter_ += kPathStep;
  }
  nearestRing_ = 0;
  return 0;
}

void PointTunnelEffect::Release() {
  if (vertexBuffer_ != nullptr) {
    vertexBuffer_->Release();
    vertexBuffer_ = nullptr;
  }
  delete[] rings_;
  rings_ = nullptr;
}

void PointTunnelEffect::Render() {
  // Nothing to draw into or move before a successful Init.
  if (vertexBuffer_ == nullptr || rings_ == nullptr) return;

  camera_.ApplyProjection();
  camera_.ApplyView();

  d3dDevice->SetTexture(0, nullptr);
  ApplyRenderStates(kTunnelStates, 10);

  Matrix4 world;
  SetIdentity(world);
  d3dDevice->SetTransform(D3DTS_WORLD, &world);
  d3dDevice->SetStreamSource(0, vertexBuffer_, sizeof(PointVertex));
  d3dDevice->SetVertexShader(kPointVertexFvf);

  // The curve point at the nearest ring, slid forward as that ring closes in, so the camera rides
  // the centre line smoothly instead of jumping once per ring.
  float b = pathParameter_ - kFollowLag + (kRingSpacing - rings_[nearestRing_].y) * kPathStep / kRingSpacing;
  float gx = CurveX(b);
  float gz = CurveZ(b);

  float offsetX[kPointsPerRing];
  float offsetZ[kPointsPerRing];
  for (int j = 0; j < kPointsPerRing; ++j) {
    float theta = static_cast<float>(j) * kTwoPi / static_cast<float>(kPointsPerRing);
    offsetX[j] = std::cos(theta + spin_) * kRingRadius - gx;
    offsetZ[j] = std::sin(theta + spin_) * kRingRadius - gz;
  }

  float delta = frameTimer.deltaSeconds;
  BYTE* bytes = nullptr;
  vertexBuffer_->Lock(0, 0, &bytes, D3DLOCK_DISCARD);
  PointVertex* out = reinterpret_cast<PointVertex*>(bytes);
  for (int i = 0; i < kRingCount; ++i) {
    Ring& ring = rings_[i];
    if (out != nullptr) {
      for (int j = 0; j < kPointsPerRing; ++j) {
        *out++ = {ring.x + offsetX[j], ring.y, ring.z + offsetZ[j], kPointColour};
      }
    }
    ring.y -= kRingSpeed * delta;
    // One recycle per ring and frame: after a stall a ring may stay behind the camera and is sent
    // back again next frame. Rings pass the camera in table order, so the next one is nearest.
    if (ring.y < 0.0f) {
      ring.y += kTunnelLength;
      ring.x = CurveX(pathParameter_);
      ring.z = CurveZ(pathParameter_);
      nearestRing_ = (nearestRing_ + 1) & (kRingCount - 1);
      pathParameter_ += kPathStep;
    }
  }
  vertexBuffer_->Unlock();

  spin_ -= delta;
  if (spin_ < 0.0f) spin_ += kTwoPi;
  // Within a frame the parameter may pass the period; rings placed then use the unwrapped value.
  if (pathParameter_ >= kPathPeriod) pathParameter_ -= kPathPeriod;

  d3dDevice->DrawPrimitive(D3DPT_POINTLIST, 0, kVertexCount);
}
