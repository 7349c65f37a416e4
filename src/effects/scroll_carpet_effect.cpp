// Spinning scroll-text carpet.
#include "effects/scroll_carpet_effect.h"

#include <cmath>

#include "app/frame_timer.h"
#include "embedded_data.h"
#include "gfx/graphics_device.h"
#include "gfx/pixel_snap.h"
#include "gfx/render_state_list.h"
#include "gfx/vertex_formats.h"

namespace {

constexpr float kTwoPi = 6.283184f;  // bits 0x40C90FD8, slightly below 2π
constexpr float kPi = 3.141592f;

// Grid: columns from x 160 leftwards in steps of 320/30, strips from y 100 downwards.
constexpr float kFirstColumnX = 160.0f;
constexpr float kColumnStep = 10.666667f;
constexpr float kFirstStripY = 100.0f;
constexpr float kStripHeight = 12.5f;

constexpr float kSwellHeight = 32.0f;     // units the swell rises and falls
constexpr float kColumnWaves = 30.0f;     // columns per swell wavelength across the carpet
constexpr float kStripHalfWaves = 16.0f;  // strips per half wavelength along the carpet
constexpr float kPhaseSpeed = 1.5f;       // radians of swell per second
constexpr float kSpinSpeed = 1.0f;        // radians per second, clockwise from above
constexpr float kScrollSpeed = 28.0f;     // text columns per second
constexpr int kLowestShade = 63;          // red of the lowest point; the highest is 255
// The swell's 64 units of height spread over 192 shades; negative because the truncated step is
// subtracted from the lowest shade.
constexpr float kShadeSteps = -192.0f;
constexpr float kSwellRange = 64.0f;

// The system face at cell height 8, regular.
constexpr int kFontHeight = 8;
constexpr int kFontWeight = 400;
const char* const kMessageFaces[] = {"System"};

constexpr D3DCOLOR kOpaque = 0xFF000000;

const RenderStatePair kCarpetStates[] = {
    {D3DRS_ZENABLE, TRUE},    {D3DRS_CULLMODE, D3DCULL_CCW}, {D3DRS_LIGHTING, FALSE}, {D3DRS_SHADEMODE, D3DSHADE_FLAT},
    {D3DRS_FOGENABLE, FALSE},
};
// Flat shading is for the carpet's cells only.
const RenderStatePair kRestoreShading[] = {{D3DRS_SHADEMODE, D3DSHADE_GOURAUD}};

MaskText BuiltInMessage() {
  return {reinterpret_cast<const char*>(embedded::text_carpet_message_txt),
          static_cast<int>(embedded::text_carpet_message_txt_size), kMessageFaces, 1};
}

}  // namespace

ScrollCarpetEffect::ScrollCarpetEffect() : ScrollCarpetEffect(BuiltInMessage()) {}

ScrollCarpetEffect::ScrollCarpetEffect(const MaskText& text)
    : text_(text),
      vertexBuffer_(nullptr),
      world_(identityMatrix),
      maskWidth_(1),
      spin_(0.0f),
      scroll_(0.0f),
      phase_(0.0f) {
  camera_.eye = {0.0f, -384.0f, 300.0f};
  camera_.target = {0.0f, 0.0f, 0.0f};
  camera_.farPlane = 1024.0f;
  camera_.LookAt();
}

ScrollCarpetEffect::~ScrollCarpetEffect() { Release(); }

int ScrollCarpetEffect::Init() {
  Release();
  if (d3dDevice->CreateVertexBuffer(kVertexCount * sizeof(PointVertex), D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC,
                                    kPointVertexFvf, D3DPOOL_DEFAULT, &vertexBuffer_) != D3D_OK) {
    vertexBuffer_ = nullptr;
    return -1;
  }
  BYTE* bytes = nullptr;
  vertexBuffer_->Lock(0, 0, &bytes, D3DLOCK_DISCARD);
  if (bytes != nullptr) {
    PointVertex* v = reinterpret_cast<PointVertex*>(bytes);
    for (int s = 0; s < kStripCount; ++s) {
      float top = kFirstStripY - kStripHeight * static_cast<float>(s);
      float bottom = top - kStripHeight;
      float x = kFirstColumnX;
      for (int i = 0; i < kColumnCount; ++i) {
        PointVertex* column = v + s * kVerticesPerStrip + 2 * i;
        column[0] = {x, top, 0.0f, 0};
        column[1] = {x, bottom, 0.0f, 0};
        x -= kColumnStep;
      }
    }
  }
  vertexBuffer_->Unlock();

  TextMask mask = BuildTextMask({text_, kFontHeight, kFontWeight, kMaskRows, true});
  textMask_ = std::move(mask.bytes);
  maskWidth_ = textMask_ != nullptr ? mask.width : 1;
  return 0;
}

void ScrollCarpetEffect::Release() {
  if (vertexBuffer_ != nullptr) {
    vertexBuffer_->Release();
    vertexBuffer_ = nullptr;
  }
  textMask_.reset();
}

void ScrollCarpetEffect::Render() {
  if (vertexBuffer_ == nullptr) return;
  camera_.ApplyProjection();
  camera_.ApplyView();
  d3dDevice->SetTexture(0, nullptr);
  ApplyRenderStates(kCarpetStates, 5);
  SetIdentity(world_);
  SetRotation(world_, 0.0f, 0.0f, spin_);
  d3dDevice->SetTransform(D3DTS_WORLD, &world_);
  d3dDevice->SetStreamSource(0, vertexBuffer_, sizeof(PointVertex));
  d3dDevice->SetVertexShader(kPointVertexFvf);

  BYTE* bytes = nullptr;
  vertexBuffer_->Lock(0, 0, &bytes, 0);
  if (bytes != nullptr) {
    PointVertex* v = reinterpret_cast<PointVertex*>(bytes);
    const uint8_t* mask = textMask_.get();
    int n = SnapScroll(scroll_);
    int wrap = maskWidth_ - 1;

    // The swell is a product of one wave across the columns and one along the strip edges; each
    // edge height is shared by the strips on both sides of it.
    float wave[kColumnCount];
    for (int i = 0; i < kColumnCount; ++i) wave[i] = std::cos(static_cast<float>(i) * kTwoPi / kColumnWaves + phase_);
    float edge[kStripCount + 1];
    for (int s = 0; s <= kStripCount; ++s) edge[s] = std::sin(static_cast<float>(s) * kPi / kStripHalfWaves + phase_);

    for (int s = 0; s < kStripCount; ++s) {
      // The strips without text, and every strip when no font could be made, read no mask.
      const uint8_t* textRow = (mask != nullptr && s >= 1 && s <= kMaskRows) ? mask + (s - 1) * maskWidth_ : nullptr;
      for (int i = 0; i < kColumnCount; ++i) {
        float topZ = edge[s] * wave[i] * kSwellHeight;
        int shade = kLowestShade - static_cast<int>((topZ + kSwellHeight) * kShadeSteps / kSwellRange);
        D3DCOLOR colour = kOpaque | static_cast<D3DCOLOR>(shade) << 16;
        if (textRow != nullptr && textRow[(i + n) & wrap] != 0) {
          colour = kOpaque | static_cast<D3DCOLOR>(shade) * 0x010101u;
        }
        PointVertex* column = v + s * kVerticesPerStrip + 2 * i;
        column[0].z = topZ;
        column[0].diffuse = colour;
        column[1].z = edge[s + 1] * wave[i] * kSwellHeight;
        column[1].diffuse = colour;
      }
    }
  }
  vertexBuffer_->Unlock();
  for (int s = 0; s < kStripCount; ++s) {
    d3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, s * kVerticesPerStrip, kVerticesPerStrip - 2);
  }
  ApplyRenderStates(kRestoreShading, 1);

  float dt = frameTimer.deltaSeconds;
  phase_ += kPhaseSpeed * dt;
  spin_ -= kSpinSpeed * dt;
  if (spin_ < 0.0f) spin_ += kTwoPi;
  // Without a mask there is no text to move.
  if (textMask_ != nullptr) {
    scroll_ += kScrollSpeed * dt;
    if (scroll_ >= static_cast<float>(maskWidth_)) scroll_ -= static_cast<float>(maskWidth_);
  }
}
