// The offscreen frame targets and the two post passes.
#include "scenes/frame_targets.h"

#include <cmath>

#include "app/frame_timer.h"
#include "gfx/graphics_device.h"
#include "gfx/vertex_formats.h"

IDirect3DTexture8* CurrentFrameTexture = nullptr;
IDirect3DTexture8* IncomingFrameTexture = nullptr;
IDirect3DVertexBuffer8* FrameVertexBuffer = nullptr;
D3DVIEWPORT8 SavedViewport = {};
float RipplePhase = 0.0f;

const RenderStatePair PostPassStates[6] = {
    {D3DRS_ZENABLE, FALSE},       {D3DRS_ALPHABLENDENABLE, FALSE}, {D3DRS_LIGHTING, FALSE},
    {D3DRS_SPECULARENABLE, FALSE}, {D3DRS_CULLMODE, D3DCULL_NONE},  {D3DRS_FOGENABLE, FALSE},
};

namespace {

// Vertex buffer layout (ScreenVertex, each quad a strip: top-left, top-right, bottom-left,
// bottom-right; every vertex z 0.5 and rhw 1.0 from creation on):
//   0..3     full-screen quad, x 0..640.5, y 0..480.5, u 0..0.625, v 0..0.9375
//   4..7     top quad, x 0..640.5, y 0..400.5, v 0..0.78125 (texel rows 0..200)
//   8..89    reflection strip: rows r = 0..40 at y 400.5 + 2r, left and right vertex
//   90..2969 more rows r = 41..1480, overwritten by the transition drawers
constexpr UINT kFrameVertexBufferBytes = kFrameVertexCount * sizeof(ScreenVertex);  // 83,160
constexpr int kFillRows = 1481;
// The frame's 320x240 picture within the 512x256 texture.
constexpr float kFrameU = 0.625f;    // 320 / 512
constexpr float kFrameV = 0.9375f;   // 240 / 256
constexpr float kScreenRight = 640.5f;
constexpr float kWaterLine = 400.5f;
// Blue tint of the reflection under texture-times-diffuse modulation.
constexpr D3DCOLOR kReflectionTint = 0xFF7070FF;
constexpr float kTwoPi = 6.283184f;     // bits 0x40C90FD8, slightly below 2 pi
constexpr float kFourPi = 12.566368f;   // two full waves over the strip
constexpr float kRippleSpeed = 6.0f;    // radians per second

// Rendering in progress into one of the textures: the surfaces a begin took references to.
IDirect3DSurface8* savedRenderTarget = nullptr;
IDirect3DSurface8* savedDepthSurface = nullptr;
IDirect3DSurface8* targetSurface = nullptr;

int CreateTargetTexture(IDirect3DTexture8** texture) {
  if (d3dDevice->CreateTexture(512, 256, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, texture) ==
      D3D_OK) {
    return 0;
  }
  if (d3dDevice->CreateTexture(512, 256, 1, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, D3DPOOL_DEFAULT, texture) ==
      D3D_OK) {
    return 0;
  }
  return -1;
}

template <typename T>
void ReleaseAndClear(T*& object) {
  if (object != nullptr) {
    object->Release();
    object = nullptr;
  }
}

void SetVertex(ScreenVertex& v, float x, float y, D3DCOLOR colour, float u, float tv) {
  v.x = x;
  v.y = y;
  v.z = 0.5f;
  v.rhw = 1.0f;
  v.diffuse = colour;
  v.u = u;
  v.v = tv;
}

void BeginFrame(IDirect3DTexture8* texture) {
  d3dDevice->GetViewport(&SavedViewport);
  d3dDevice->GetRenderTarget(&savedRenderTarget);
  d3dDevice->GetDepthStencilSurface(&savedDepthSurface);
  texture->GetSurfaceLevel(0, &targetSurface);
  d3dDevice->SetRenderTarget(targetSurface, savedDepthSurface);
  D3DVIEWPORT8 frame = {0, 0, 320, 240, SavedViewport.MinZ, SavedViewport.MaxZ};
  d3dDevice->SetViewport(&frame);
}

}  // namespace

float ReflectionRowV(int r, float phase) {
  float n = static_cast<float>(121 - r);
  float s = std::sin(static_cast<float>(r) * kFourPi / 40.0f - phase);
  float ripple = (s + 1.0f) * 120.0f / n;
  float v = ((ripple + static_cast<float>(40 - r)) * 159.0f / 40.0f + 40.0f) / 256.0f;
  return v > kReflectionMaxV ? kReflectionMaxV : v;
}

int CreateFrameTargets() {
  ReleaseFrameTargets();
  if (CreateTargetTexture(&CurrentFrameTexture) != 0) return -1;
  if (CreateTargetTexture(&IncomingFrameTexture) != 0) return -1;
  if (d3dDevice->CreateVertexBuffer(kFrameVertexBufferBytes, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, kScreenVertexFvf,
                                    D3DPOOL_DEFAULT, &FrameVertexBuffer) != D3D_OK) {
    return -1;
  }

  BYTE* bytes = nullptr;
  FrameVertexBuffer->Lock(0, 0, &bytes, D3DLOCK_DISCARD);
  ScreenVertex* v = reinterpret_cast<ScreenVertex*>(bytes);
  for (int i = 0; i < 2; ++i) {
    float y = 480.5f * static_cast<float>(i);
    float tv = 240.0f * static_cast<float>(i) / 256.0f;
    SetVertex(*v++, 0.0f, y, 0xFFFFFFFF, 0.0f, tv);
    SetVertex(*v++, kScreenRight, y, 0xFFFFFFFF, kFrameU, tv);
  }
  for (int i = 0; i < 2; ++i) {
    float y = kWaterLine * static_cast<float>(i);
    float tv = 200.0f * static_cast<float>(i) / 256.0f;
    SetVertex(*v++, 0.0f, y, 0xFFFFFFFF, 0.0f, tv);
    SetVertex(*v++, kScreenRight, y, 0xFFFFFFFF, kFrameU, tv);
  }
  for (int r = 0; r < kFillRows; ++r) {
    float y = kWaterLine + static_cast<float>(2 * r);
    float tv = static_cast<float>(40 - r) * 5.0f / 256.0f;
    SetVertex(*v++, 0.0f, y, kReflectionTint, 0.0f, tv);
    SetVertex(*v++, kScreenRight, y, kReflectionTint, kFrameU, tv);
  }
  FrameVertexBuffer->Unlock();
  return 0;
}

void ReleaseFrameTargets() {
  ReleaseAndClear(CurrentFrameTexture);
  ReleaseAndClear(IncomingFrameTexture);
  ReleaseAndClear(FrameVertexBuffer);
}

void BeginCurrentFrame() {
  BeginFrame(CurrentFrameTexture);
  RipplePhase += frameTimer.deltaSeconds * kRippleSpeed;
  if (RipplePhase > kTwoPi) RipplePhase -= kTwoPi;
}

void BeginIncomingFrame() { BeginFrame(IncomingFrameTexture); }

void RestoreBackBuffer(IDirect3DTexture8* rendered) {
  targetSurface->Release();
  targetSurface = nullptr;
  d3dDevice->SetRenderTarget(savedRenderTarget, savedDepthSurface);
  savedRenderTarget->Release();
  savedRenderTarget = nullptr;
  savedDepthSurface->Release();
  savedDepthSurface = nullptr;
  d3dDevice->SetViewport(&SavedViewport);
  ApplyRenderStates(PostPassStates, kPostPassStateCount);
  d3dDevice->SetTexture(0, rendered);
  d3dDevice->SetVertexShader(kScreenVertexFvf);
  d3dDevice->SetStreamSource(0, FrameVertexBuffer, sizeof(ScreenVertex));
}

void PresentPlainFrame() {
  RestoreBackBuffer(CurrentFrameTexture);
  d3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
}

void PresentReflectedFrame() {
  RestoreBackBuffer(CurrentFrameTexture);
  d3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 4, 2);

  BYTE* bytes = nullptr;
  FrameVertexBuffer->Lock(kReflectionFirstVertex * sizeof(ScreenVertex), 2 * kReflectionRows * sizeof(ScreenVertex),
                          &bytes, 0);
  ScreenVertex* row = reinterpret_cast<ScreenVertex*>(bytes);
  for (int r = 0; r < kReflectionRows; ++r, row += 2) {
    float v = ReflectionRowV(r, RipplePhase);
    row[0].v = v;
    row[1].v = v;
  }
  FrameVertexBuffer->Unlock();
  d3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, kReflectionFirstVertex, 2 * (kReflectionRows - 1));
}
