// Starfield.
#include "effects/starfield_effect.h"

#include <bit>
#include <cstring>
#include <new>

#include "app/frame_timer.h"
#include "app/random_generator.h"
#include "gfx/graphics_device.h"
#include "gfx/render_state_list.h"

namespace {

// Just below pi/16 (bits 0x3E490FD8): a narrow view down the column.
constexpr float kFieldOfView = std::bit_cast<float>(0x3E490FD8u);
// The column spans -64..64 across, in x and in z.
constexpr float kColumnWidth = 128.0f;
// Largest value NextRandom hands out.
constexpr float kRandomMax = 32767.0f;
constexpr UINT kBufferBytes = StarfieldEffect::kStarCount * sizeof(PointVertex);  // 16384

// Black linear vertex fog over the far half of the column.
const RenderStatePair kStarStates[] = {
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

// A place across the column from one draw of the generator.
float RandomAcross() { return (0.5f - static_cast<float>(NextRandom()) / kRandomMax) * kColumnWidth; }

}  // namespace

StarfieldEffect::StarfieldEffect() : vertexBuffer_(nullptr), world_(identityMatrix), stars_(nullptr) {
  camera_.eye = {0.0f, 0.0f, 0.0f};
  camera_.target = {0.0f, 1024.0f, 0.0f};
  camera_.fieldOfView = kFieldOfView;
  camera_.farPlane = 1024.0f;
  camera_.LookAt();
}

StarfieldEffect::~StarfieldEffect() { StarfieldEffect::Release(); }

int StarfieldEffect::Init() {
  Release();
  if (d3dDevice->CreateVertexBuffer(kBufferBytes, D3DUSAGE_WRITEONLY | D3DUSAGE_POINTS | D3DUSAGE_DYNAMIC,
                                    kPointVertexFvf, D3DPOOL_DEFAULT, &vertexBuffer_) != D3D_OK) {
    vertexBuffer_ = nullptr;
    return -1;
  }
  stars_ = new (std::nothrow) PointVertex[kStarCount];
  if (stars_ == nullptr) return -1;
  // Three draws per star, x, y, z, stars in order: a given generator state gives the same field.
  for (int i = 0; i < kStarCount; ++i) {
    PointVertex& star = stars_[i];
    star.x = RandomAcross();
    star.y = static_cast<float>(NextRandom()) * kColumnDepth / kRandomMax;
    star.z = RandomAcross();
    star.diffuse = kStarColour;
  }
  return 0;
}

void StarfieldEffect::Release() {
  if (vertexBuffer_ != nullptr) {
    vertexBuffer_->Release();
    vertexBuffer_ = nullptr;
  }
  delete[] stars_;
  stars_ = nullptr;
}

void StarfieldEffect::Render() {
  // Nothing to draw into or move before a successful Init.
  if (vertexBuffer_ == nullptr || stars_ == nullptr) return;

  d3dDevice->SetTexture(0, nullptr);
  ApplyRenderStates(kStarStates, 10);

  SetIdentity(world_);
  d3dDevice->SetTransform(D3DTS_WORLD, &world_);
  camera_.ApplyProjection();
  camera_.ApplyView();

  d3dDevice->SetStreamSource(0, vertexBuffer_, sizeof(PointVertex));
  d3dDevice->SetVertexShader(kPointVertexFvf);

  float delta = frameTimer.deltaSeconds;
  for (int i = 0; i < kStarCount; ++i) {
    PointVertex& star = stars_[i];
    star.y -= delta * kStarSpeed;
    // One respawn per star and frame, drawing x before z: after a stall a star may stay behind the
    // camera and respawns again next frame, until it is ahead.
    if (star.y <= 0.0f) {
      star.x = RandomAcross();
      star.y += kColumnDepth;
      star.z = RandomAcross();
    }
  }

  BYTE* bytes = nullptr;
  vertexBuffer_->Lock(0, 0, &bytes, D3DLOCK_DISCARD);
  if (bytes != nullptr) std::memcpy(bytes, stars_, kBufferBytes);
  vertexBuffer_->Unlock();

  d3dDevice->DrawPrimitive(D3DPT_POINTLIST, 0, kStarCount);
}
