// The logo banner.
#include "layers/logo_banner.h"

#include <memory>
#include <new>

#include "app/frame_timer.h"
#include "embedded_data.h"
#include "gfx/graphics_device.h"
#include "gfx/render_state_list.h"
#include "gfx/texture_upload.h"

namespace {

constexpr int kLogoWidth = 512;
constexpr int kLogoHeight = 64;
constexpr float kFadeLength = 4.0f;

const RenderStatePair kBannerStates[] = {
    {D3DRS_ZENABLE, FALSE},        {D3DRS_CULLMODE, D3DCULL_NONE},      {D3DRS_LIGHTING, FALSE},
    {D3DRS_FOGENABLE, FALSE},      {D3DRS_ALPHABLENDENABLE, TRUE},      {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
    {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
};

}  // namespace

LogoBanner::LogoBanner()
    : logoTexture_(nullptr),
      // The left 320x64 texels of the logo stretched to 640x128 pixels; only the alpha byte of the
      // colour changes later.
      quad_{{0.0f, 0.0f, 0.5f, 1.0f, 0x00FFFFFF, 0.0f, 0.0f},
            {640.5f, 0.0f, 0.5f, 1.0f, 0x00FFFFFF, 0.625f, 0.0f},
            {0.0f, 128.5f, 0.5f, 1.0f, 0x00FFFFFF, 0.0f, 1.0f},
            {640.5f, 128.5f, 0.5f, 1.0f, 0x00FFFFFF, 0.625f, 1.0f}},
      fadeTime_(-1.0f) {}

LogoBanner::~LogoBanner() { Release(); }

void LogoBanner::ConvertTo16Bit(const unsigned char* bgra, unsigned short* out, int texels) {
  for (int i = 0; i < texels; ++i, bgra += 4) {
    unsigned b = bgra[0], g = bgra[1], r = bgra[2], a = bgra[3];
    out[i] = static_cast<unsigned short>((((a & 0xF0) | (r >> 4)) << 8) | (g & 0xF0) | (b >> 4));
  }
}

int LogoBanner::Init() {
  Release();
  if (CreateTextureFromImage(embedded::images_logo_raw, &logoTexture_, kLogoWidth, kLogoHeight, D3DFMT_A8R8G8B8, 1) ==
      0) {
    return 0;
  }
  // The device refused the 32-bit format: keep the high four bits of each channel.
  Release();
  std::unique_ptr<unsigned short[]> texels(new (std::nothrow) unsigned short[kLogoWidth * kLogoHeight]);
  if (!texels) return 1;
  ConvertTo16Bit(embedded::images_logo_raw, texels.get(), kLogoWidth * kLogoHeight);
  return CreateTextureFromImage(texels.get(), &logoTexture_, kLogoWidth, kLogoHeight, D3DFMT_A4R4G4B4, 1) == 0 ? 0 : 1;
}

void LogoBanner::Release() {
  if (logoTexture_ != nullptr) {
    logoTexture_->Release();
    logoTexture_ = nullptr;
  }
}

D3DFORMAT LogoBanner::textureFormat() const {
  D3DSURFACE_DESC desc{};
  if (logoTexture_ != nullptr) logoTexture_->GetLevelDesc(0, &desc);
  return desc.Format;
}

void LogoBanner::Render() {
  if (fadeTime_ > 0.0f) {
    DWORD alpha = static_cast<DWORD>(static_cast<int>(fadeTime_ / kFadeLength * 255.0f)) << 24;
    for (ScreenVertex& v : quad_) v.diffuse = (v.diffuse & 0x00FFFFFF) | alpha;
    d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
    d3dDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d3dDevice->SetTexture(0, logoTexture_);
    d3dDevice->SetVertexShader(kScreenVertexFvf);
    ApplyRenderStates(kBannerStates, 7);
    d3dDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad_, sizeof(ScreenVertex));
    d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    d3dDevice->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    d3dDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  }
  fadeTime_ += frameTimer.deltaSeconds;
  if (fadeTime_ > kFadeLength) fadeTime_ = kFadeLength;
}
