// Morphing sprite shapes.
#include "effects/sprite_morph_effect.h"

#include <bit>
#include <cmath>
#include <new>

#include "app/frame_timer.h"
#include "app/random_generator.h"
#include "embedded_data.h"
#include "gfx/graphics_device.h"
#include "gfx/render_state_list.h"
#include "gfx/texture_upload.h"

namespace {

constexpr float kPi = 3.141592f;      // slightly below pi
constexpr float kTwoPi = 6.283184f;   // bits 0x40C90FD8, slightly below 2 pi
constexpr float kRadius = 125.0f;     // half the edge of the cube every shape fits in
constexpr float kBobHeight = 50.0f;   // amplitude of the vertical bob, world units
constexpr UINT kSpriteSize = 16;      // texels along each side of the sprite image

constexpr UINT kBufferBytes = SpriteMorphEffect::kPointCount * sizeof(Vector3);  // 4800
constexpr DWORD kBufferUsage = D3DUSAGE_WRITEONLY | D3DUSAGE_POINTS | D3DUSAGE_DYNAMIC;  // 0x248

// Sprites 16 frame pixels wide, cut out by the texture's alpha bit, fading to black between 500 and
// 750 units from the eye: the cloud's centre sits 500 units away.
const RenderStatePair kSpriteStates[] = {
    {D3DRS_ZENABLE, D3DZB_TRUE},
    {D3DRS_CULLMODE, D3DCULL_NONE},
    {D3DRS_LIGHTING, FALSE},
    {D3DRS_POINTSPRITEENABLE, TRUE},
    {D3DRS_POINTSCALEENABLE, FALSE},
    {D3DRS_POINTSIZE_MIN, FloatState(0.0f)},
    {D3DRS_POINTSCALE_A, FloatState(0.0f)},
    {D3DRS_POINTSCALE_B, FloatState(0.0f)},
    {D3DRS_POINTSCALE_C, FloatState(0.0f)},
    {D3DRS_POINTSIZE, FloatState(16.0f)},
    {D3DRS_ALPHABLENDENABLE, FALSE},
    {D3DRS_ALPHATESTENABLE, TRUE},
    {D3DRS_ALPHAREF, 0},
    {D3DRS_ALPHAFUNC, D3DCMP_NOTEQUAL},
    {D3DRS_FOGCOLOR, 0x00000000},
    {D3DRS_FOGTABLEMODE, D3DFOG_NONE},
    {D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR},
    {D3DRS_FOGDENSITY, FloatState(1.0f)},
    {D3DRS_FOGSTART, FloatState(500.0f)},
    {D3DRS_FOGEND, FloatState(750.0f)},
    {D3DRS_FOGENABLE, TRUE},
};
constexpr int kSpriteStateCount = sizeof kSpriteStates / sizeof kSpriteStates[0];

// What the next scene would not expect to find switched on.
const RenderStatePair kRestoreStates[] = {
    {D3DRS_POINTSPRITEENABLE, FALSE},
    {D3DRS_ALPHATESTENABLE, FALSE},
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_POINTSIZE, FloatState(1.0f)},
};
constexpr int kRestoreStateCount = sizeof kRestoreStates / sizeof kRestoreStates[0];

// The shapes' constants, each the single-precision value written.
constexpr float kSphereRowStep = 0.16534695f;    // ~pi/19: 20 rows pole to pole
constexpr float kSphereColumnStep = 0.3141592f;  // ~2pi/20
constexpr float kShellRowStep = 0.08055364f;     // ~pi/39: 40 rows
constexpr float kShellColumnStep = 0.6283184f;   // ~2pi/10
constexpr float kShellWaist = 93.75f;            // radius of the doubled-latitude rings
constexpr float kRippleHeight = 15.0f;           // amplitude of the sheet's ripple
constexpr float kGridHeight = 62.5f;             // amplitude of the cosine grid
constexpr float kMeridianStep = 0.0785398f;      // ~pi/40 down each meridian
constexpr float kMeridianTurn = 0.69813156f;     // ~2pi/9 between meridians

Vector3 SpherePoint(float radius, float theta, float phi) {
  return {radius * std::sin(theta) * std::cos(phi), radius * std::sin(theta) * std::sin(phi),
          radius * std::cos(theta)};
}

}  // namespace

SpriteMorphEffect::SpriteMorphEffect()
    : vertexBuffer_(nullptr),
      spriteTexture_(nullptr),
      world_(identityMatrix),
      angles_{0.0f, 0.0f, 0.0f, 0.0f},
      speeds_{0.8f, 0.6f, 0.3f, 0.5f} {
  camera_.eye = {0.0f, 500.0f, 0.0f};
  camera_.target = {0.0f, 0.0f, 0.0f};
  camera_.fieldOfView = std::bit_cast<float>(0x3F20D97Au);  // 0.6283184, 36 degrees
  camera_.farPlane = 1000.0f;
  camera_.LookAt();
}

SpriteMorphEffect::~SpriteMorphEffect() { SpriteMorphEffect::Release(); }

void SpriteMorphEffect::BuildShapes(Vector3* shapes) {
  // 0: sphere, 20 latitude rows of 20.
  Vector3* s = shapes;
  for (int i = 0; i < 20; ++i) {
    for (int j = 0; j < 20; ++j) {
      s[20 * i + j] = SpherePoint(kRadius, static_cast<float>(i) * kSphereRowStep,
                                  static_cast<float>(j) * kSphereColumnStep);
    }
  }
  // 1: random cube.
  s += kPointCount;
  for (int k = 0; k < kPointCount; ++k) {
    float c[3];
    for (float& v : c) v = (0.5f - static_cast<float>(NextRandom()) / 32767.0f) * 250.0f;
    s[k] = {c[0], c[1], c[2]};
  }
  // 2: rippled sheet.
  s += kPointCount;
  for (int n = 0; n < 20; ++n) {
    for (int m = 0; m < 20; ++m) {
      float fn = static_cast<float>(n), fm = static_cast<float>(m);
      s[20 * n + m] = {kRadius - fm * 250.0f / 19.0f,
                       kRippleHeight * std::cos(2.0f * fn * kPi / 19.0f) * std::cos(3.0f * fm * kPi / 19.0f),
                       kRadius - fn * 250.0f / 19.0f};
    }
  }
  // 3: looped shell, rings of doubled latitude.
  s += kPointCount;
  for (int i = 0; i < 40; ++i) {
    for (int j = 0; j < 10; ++j) {
      float a = static_cast<float>(i) * kShellRowStep;
      float b = a + a;
      float c = static_cast<float>(j) * kShellColumnStep;
      s[10 * i + j] = {kShellWaist * std::sin(b) * std::cos(c), kShellWaist * std::sin(b) * std::sin(c),
                       kRadius * std::cos(a)};
    }
  }
  // 4: helix, a little over ten turns.
  s += kPointCount;
  for (int i = 0; i < kPointCount; ++i) {
    float fi = static_cast<float>(i);
    float t = fi * kTwoPi / 39.0f;
    s[i] = {kRadius * std::cos(t), kRadius * std::sin(t), kRadius - fi * 250.0f / 400.0f};
  }
  // 5: cosine grid.
  s += kPointCount;
  for (int i = 0; i < 20; ++i) {
    for (int j = 0; j < 20; ++j) {
      s[20 * i + j] = {kRadius - static_cast<float>(j) * 250.0f / 19.0f,
                       kRadius - static_cast<float>(i) * 250.0f / 19.0f,
                       kGridHeight * std::cos(static_cast<float>(i * j) * kTwoPi / 19.0f)};
    }
  }
  // 6: ten meridians, each winding half a turn on its way down.
  s += kPointCount;
  for (int i = 0; i < 10; ++i) {
    for (int j = 0; j < 40; ++j) {
      float p = static_cast<float>(j) * kMeridianStep;
      float q = static_cast<float>(j) * kPi / 39.0f + static_cast<float>(i) * kMeridianTurn;
      s[40 * i + j] = SpherePoint(kRadius, p, q);
    }
  }
  // 7: knot.
  s += kPointCount;
  const float w = kTwoPi / 399.0f;
  for (int n = 0; n < kPointCount; ++n) {
    s[n] = {kRadius * std::cos(static_cast<float>(5 * n) * w), kRadius * std::sin(static_cast<float>(4 * n) * w),
            kRadius * std::sin(static_cast<float>(2 * n) * w) * std::cos(static_cast<float>(3 * n) * w)};
  }
}

int SpriteMorphEffect::Init() {
  Release();
  if (d3dDevice->CreateVertexBuffer(kBufferBytes, kBufferUsage, D3DFVF_XYZ, D3DPOOL_DEFAULT, &vertexBuffer_) !=
      D3D_OK) {
    return -1;
  }
  shapes_.reset(new (std::nothrow) Vector3[kShapeCount * kPointCount]);
  if (!shapes_) return -1;
  BuildShapes(shapes_.get());
  if (CreateTextureFromImage(embedded::images_sprite_ball_raw, &spriteTexture_, kSpriteSize, kSpriteSize,
                             D3DFMT_A1R5G5B5, 1) != 0) {
    return -1;
  }
  return 0;
}

void SpriteMorphEffect::Release() {
  if (vertexBuffer_ != nullptr) {
    vertexBuffer_->Release();
    vertexBuffer_ = nullptr;
  }
  if (spriteTexture_ != nullptr) {
    spriteTexture_->Release();
    spriteTexture_ = nullptr;
  }
  shapes_.reset();
}

void SpriteMorphEffect::Render() {
  camera_.ApplyProjection();
  camera_.ApplyView();
  d3dDevice->SetTexture(0, spriteTexture_);
  d3dDevice->SetVertexShader(D3DFVF_XYZ);
  // A device that transforms in hardware but cannot size points draws the sprites in software.
  const bool mixed = behaviorFlags == D3DCREATE_MIXED_VERTEXPROCESSING;
  if (mixed) d3dDevice->SetRenderState(D3DRS_SOFTWAREVERTEXPROCESSING, TRUE);
  ApplyRenderStates(kSpriteStates, kSpriteStateCount);
  d3dDevice->SetStreamSource(0, vertexBuffer_, sizeof(Vector3));

  SetIdentity(world_);
  SetRotation(world_, angles_[0], angles_[1], angles_[2]);
  world_.m[3][2] = kBobHeight * std::sin(angles_[3]);
  d3dDevice->SetTransform(D3DTS_WORLD, &world_);

  BYTE* bytes = nullptr;
  vertexBuffer_->Lock(0, 0, &bytes, D3DLOCK_DISCARD);
  if (bytes != nullptr) {
    Vector3* out = reinterpret_cast<Vector3*>(bytes);
    const Vector3* a = &shapes_[clock_.current * kPointCount];
    const Vector3* b = &shapes_[((clock_.current + 1) % kShapeCount) * kPointCount];
    const float f = clock_.morph;
    const float g = 1.0f - f;
    for (int k = 0; k < kPointCount; ++k) {
      out[k] = {g * a[k].x + f * b[k].x, g * a[k].y + f * b[k].y, g * a[k].z + f * b[k].z};
    }
  }
  vertexBuffer_->Unlock();
  d3dDevice->DrawPrimitive(D3DPT_POINTLIST, 0, kPointCount);

  if (mixed) d3dDevice->SetRenderState(D3DRS_SOFTWAREVERTEXPROCESSING, FALSE);
  ApplyRenderStates(kRestoreStates, kRestoreStateCount);

  const float d = frameTimer.deltaSeconds;
  clock_.Advance(d, kShapeCount);
  for (int k = 0; k < 4; ++k) {
    angles_[k] += d * speeds_[k];
    if (angles_[k] > kTwoPi) angles_[k] -= kTwoPi;
  }
}
