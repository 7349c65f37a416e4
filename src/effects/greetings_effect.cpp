// Greetings point landscape.
#include "effects/greetings_effect.h"

#include <new>

#include "app/frame_timer.h"
#include "effects/landscape_synthesis.h"
#include "embedded_data.h"
#include "gfx/graphics_device.h"
#include "gfx/pixel_snap.h"
#include "gfx/render_state_list.h"
#include "gfx/vertex_formats.h"

namespace {

constexpr float kPi = 3.141592f;

// Grid: -1..1 in steps of 2/49 on both axes, scaled to ±128 units.
constexpr float kGridStart = -1.0f;
constexpr float kGridStep = 0.040816326f;
constexpr float kGridScale = 128.0f;

// The grid samples columns 64..113 of successive height-map rows; the sample index is 16 bits,
// so reading past the last row continues from the first.
constexpr int kFirstSampleColumn = 64;
constexpr int kRowSkip = kLandscapeSide - GreetingsEffect::kGridSide;  // 206

constexpr float kLandScale = 0.25f;       // units per height step above sea level
constexpr float kTextLift = 10.0f;        // units text points stand above their ground
constexpr float kRowSpeed = 24.0f;        // height-map rows per second
constexpr float kTextSpeed = 64.0f;       // text columns per second
constexpr float kSwingCycle = 6.0f;       // seconds from one swing to the next
constexpr float kRestTime = 4.0f;         // seconds of each cycle the grid rests
constexpr float kRestAngle = 0.6283184f;  // radians about z while resting
// During the last 2 s of a cycle the angle falls by π a second: one whole turn.
constexpr float kSwingSpeed = kPi;

// Tahoma bold at cell height 32; the system face in the same request if Tahoma is missing.
constexpr int kFontHeight = 32;
constexpr int kFontWeight = 700;
const char* const kGreetingsFaces[] = {"Tahoma", "System"};

const RenderStatePair kLandscapeStates[] = {
    {D3DRS_ZENABLE, TRUE},
    {D3DRS_CULLMODE, D3DCULL_NONE},
    {D3DRS_LIGHTING, FALSE},
    {D3DRS_FOGENABLE, FALSE},
};

MaskText BuiltInGreetings() {
  return {reinterpret_cast<const char*>(embedded::text_greetings_txt),
          static_cast<int>(embedded::text_greetings_txt_size), kGreetingsFaces, 2};
}

}  // namespace

GreetingsEffect::GreetingsEffect() : GreetingsEffect(BuiltInGreetings()) {}

GreetingsEffect::GreetingsEffect(const MaskText& text)
    : text_(text),
      vertexBuffer_(nullptr),
      world_(identityMatrix),
      rowScroll_(0.0f),
      maskWidth_(1),
      swing_(0.0f),
      textScroll_(0.0f) {
  camera_.eye = {0.0f, -384.0f, 256.0f};
  camera_.target = {0.0f, 0.0f, 0.0f};
  camera_.nearPlane = 1.0f;
  camera_.LookAt();
}

GreetingsEffect::~GreetingsEffect() { Release(); }

int GreetingsEffect::Init() {
  Release();
  if (d3dDevice->CreateVertexBuffer(kVertexCount * sizeof(PointVertex),
                                    D3DUSAGE_WRITEONLY | D3DUSAGE_POINTS | D3DUSAGE_DYNAMIC, kPointVertexFvf,
                                    D3DPOOL_DEFAULT, &vertexBuffer_) != D3D_OK) {
    vertexBuffer_ = nullptr;
    return -1;
  }
  BYTE* bytes = nullptr;
  vertexBuffer_->Lock(0, 0, &bytes, D3DLOCK_DISCARD);
  if (bytes != nullptr) {
    PointVertex* v = reinterpret_cast<PointVertex*>(bytes);
    float p[kGridSide];
    p[0] = kGridStart;
    for (int k = 1; k < kGridSide; ++k) p[k] = p[k - 1] + kGridStep;
    for (int r = 0; r < kGridSide; ++r) {
      for (int k = 0; k < kGridSide; ++k) v[r * kGridSide + k] = {kGridScale * p[k], kGridScale * p[r], 0.0f, 0};
    }
  }
  vertexBuffer_->Unlock();

  // Without the memory for the landscape there is nothing to show.
  heightMap_.reset(new (std::nothrow) uint8_t[kLandscapeSize]);
  if (heightMap_ == nullptr || !SynthesizeLandscape(heightMap_.get())) {
    Release();
    return -1;
  }
  ShrinkAndTile(heightMap_.get());

  TextMask mask = BuildTextMask({text_, kFontHeight, kFontWeight, kMaskRows, false});
  textMask_ = std::move(mask.bytes);
  maskWidth_ = textMask_ != nullptr ? mask.width : 1;
  return 0;
}

void GreetingsEffect::Release() {
  if (vertexBuffer_ != nullptr) {
    vertexBuffer_->Release();
    vertexBuffer_ = nullptr;
  }
  heightMap_.reset();
  textMask_.reset();
}

void GreetingsEffect::Render() {
  if (vertexBuffer_ == nullptr || heightMap_ == nullptr) return;
  camera_.ApplyProjection();
  camera_.ApplyView();
  d3dDevice->SetTexture(0, nullptr);
  ApplyRenderStates(kLandscapeStates, 4);
  float angle = swing_ < kRestTime ? kRestAngle : (kRestTime - swing_) * kSwingSpeed + kRestAngle;
  SetIdentity(world_);
  SetRotation(world_, 0.0f, 0.0f, angle);
  d3dDevice->SetTransform(D3DTS_WORLD, &world_);
  d3dDevice->SetStreamSource(0, vertexBuffer_, sizeof(PointVertex));
  d3dDevice->SetVertexShader(kPointVertexFvf);

  BYTE* bytes = nullptr;
  vertexBuffer_->Lock(0, 0, &bytes, 0);
  if (bytes != nullptr) {
    PointVertex* v = reinterpret_cast<PointVertex*>(bytes);
    const uint8_t* heights = heightMap_.get();
    const uint8_t* mask = textMask_.get();
    uint16_t sample =
        static_cast<uint16_t>((static_cast<int>(rowScroll_) & 0xFF) * kLandscapeSide + kFirstSampleColumn);
    int n = SnapScroll(textScroll_);
    int wrap = maskWidth_ - 1;
    for (int r = 0; r < kGridSide; ++r) {
      // The rows without text, and every row when no font could be made, read no mask.
      const uint8_t* textRow = (mask != nullptr && r >= kFirstTextRow && r < kFirstTextRow + kMaskRows)
                                   ? mask + (r - kFirstTextRow) * maskWidth_
                                   : nullptr;
      for (int k = 0; k < kGridSide; ++k) {
        int h = heights[sample];
        float z = 0.0f;
        D3DCOLOR colour = kWaterColour;
        if (h >= kSeaLevel) {
          z = static_cast<float>(h - kSeaLevel) * kLandScale;
          colour = kLandColour;
        }
        if (textRow != nullptr && textRow[(k + n) & wrap] != 0) {
          z += kTextLift;
          colour = kTextColour;
        }
        v[r * kGridSide + k].z = z;
        v[r * kGridSide + k].diffuse = colour;
        ++sample;
      }
      sample = static_cast<uint16_t>(sample + kRowSkip);
    }
  }
  vertexBuffer_->Unlock();
  d3dDevice->DrawPrimitive(D3DPT_POINTLIST, 0, kVertexCount);

  float dt = frameTimer.deltaSeconds;
  rowScroll_ += kRowSpeed * dt;
  if (rowScroll_ > static_cast<float>(kLandscapeSide)) rowScroll_ -= static_cast<float>(kLandscapeSide);
  swing_ += dt;
  if (swing_ >= kSwingCycle) swing_ -= kSwingCycle;
  // Without a mask there is no text to move.
  if (textMask_ != nullptr) {
    textScroll_ += kTextSpeed * dt;
    if (textScroll_ >= static_cast<float>(maskWidth_)) textScroll_ -= static_cast<float>(maskWidth_);
  }
}
