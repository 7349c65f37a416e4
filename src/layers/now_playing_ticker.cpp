// The now-playing ticker.
#include "layers/now_playing_ticker.h"

#include "app/frame_timer.h"
#include "embedded_data.h"
#include "gfx/graphics_device.h"
#include "gfx/pixel_snap.h"
#include "gfx/render_state_list.h"
#include "gfx/texture_upload.h"
#include "gfx/vertex_formats.h"
#include "music/music_bank.h"

namespace {

// Caption widths for tracks 0..15, in units of 4 texels: each caption's laid-out width / 4, rounded up.
constexpr int kCaptionWidths[NowPlayingTicker::kCaptionCount] = {27, 29, 26, 23, 28, 26, 32, 30,
                                                                  35, 34, 48, 46, 36, 38, 47, 27};
constexpr int kMaxQuads = 40;
constexpr float kBandTop = 471.0f;
constexpr float kBandBottom = 480.0f;
constexpr float kScrollSpeed = 60.0f;  // pixels per second, to the right
constexpr float kFadeStart = 4.0f;
constexpr float kFadeEnd = 8.0f;
// Half a texel more than the copy's width, and 8.5 texel rows over the band's 9 pixel rows.
constexpr float kExtraU = 0.001953125f;  // 1/512
constexpr float kVSpan = 0.033203125f;   // 17/512

const RenderStatePair kTickerStates[] = {
    {D3DRS_ZENABLE, FALSE},        {D3DRS_CULLMODE, D3DCULL_NONE},          {D3DRS_LIGHTING, FALSE},
    {D3DRS_ALPHABLENDENABLE, TRUE}, {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},     {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
    {D3DRS_FOGENABLE, FALSE},
};

}  // namespace

NowPlayingTicker::NowPlayingTicker()
    : captions_{}, vertexBuffer_(nullptr), captionTexture_(nullptr), scroll_(0.0f), fadeTime_(0.0f) {
  for (int k = 0; k < kCaptionCount; ++k) {
    int w = kCaptionWidths[k];
    captions_[k] = Caption{w, 640 / w + 2, static_cast<float>(w) * 4.0f / 256.0f, static_cast<float>(7 * k) / 256.0f};
  }
}

NowPlayingTicker::~NowPlayingTicker() { Release(); }

int NowPlayingTicker::Init() {
  Release();
  if (d3dDevice->CreateVertexBuffer(kMaxQuads * 4 * sizeof(ScreenVertex), D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC,
                                    kScreenVertexFvf, D3DPOOL_DEFAULT, &vertexBuffer_) != D3D_OK) {
    return -1;
  }
  BYTE* bytes = nullptr;
  vertexBuffer_->Lock(0, 0, &bytes, D3DLOCK_DISCARD);
  ScreenVertex* v = reinterpret_cast<ScreenVertex*>(bytes);
  for (int i = 0; i < kMaxQuads * 4; ++i) {
    v[i].y = (i & 2) ? kBandBottom : kBandTop;
    v[i].z = 0.5f;
    v[i].rhw = 1.0f;
    v[i].u = 0.0f;
  }
  vertexBuffer_->Unlock();
  return CreateTextureFromImage(embedded::images_captions_raw, &captionTexture_, 256, 256, D3DFMT_A4R4G4B4, 1) == 0
             ? 0
             : -1;
}

void NowPlayingTicker::Release() {
  if (vertexBuffer_ != nullptr) {
    vertexBuffer_->Release();
    vertexBuffer_ = nullptr;
  }
  if (captionTexture_ != nullptr) {
    captionTexture_->Release();
    captionTexture_ = nullptr;
  }
}

void NowPlayingTicker::Render() {
  const float delta = frameTimer.deltaSeconds;
  DWORD alpha = 255;
  if (fadeTime_ < kFadeStart) {
    alpha = 0;
    fadeTime_ += delta;
  } else if (fadeTime_ < kFadeEnd) {
    alpha = static_cast<DWORD>(static_cast<int>((fadeTime_ - kFadeStart) * 255.0f / 4.0f));
    fadeTime_ += delta;
  }
  const D3DCOLOR colour = (alpha << 24) + 0x00FFFFFF;

  d3dDevice->SetTexture(0, captionTexture_);
  d3dDevice->SetStreamSource(0, vertexBuffer_, sizeof(ScreenVertex));
  d3dDevice->SetVertexShader(kScreenVertexFvf);
  d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
  d3dDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);

  const Caption& c = captions_[currentTrack];
  const int snapped = SnapScroll(scroll_);
  BYTE* bytes = nullptr;
  vertexBuffer_->Lock(0, 0, &bytes, 0);
  ScreenVertex* v = reinterpret_cast<ScreenVertex*>(bytes);
  for (int i = 0; i < c.copies; ++i, v += 4) {
    float left = static_cast<float>(4 * c.w * i + snapped);
    float right = static_cast<float>(4 * c.w * (i + 1) + snapped);
    float uRight = c.uSpan + kExtraU;
    v[0].x = left;
    v[1].x = right;
    v[2].x = left;
    v[3].x = right;
    v[1].u = uRight;
    v[3].u = uRight;
    v[0].v = v[1].v = c.vTop;
    v[2].v = v[3].v = c.vTop + kVSpan;
    for (int k = 0; k < 4; ++k) v[k].diffuse = colour;
  }
  vertexBuffer_->Unlock();

  ApplyRenderStates(kTickerStates, 7);
  for (int i = 0; i < c.copies; ++i) d3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 4 * i, 2);
  d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
  d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
  d3dDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);

  scroll_ += delta * kScrollSpeed;
  // Wrap by the width of the caption playing now, so a track change keeps the strip moving.
  if (scroll_ > 0.0f) scroll_ -= static_cast<float>(4 * captions_[currentTrack].w);
}
