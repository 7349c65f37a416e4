// The transition patterns, plain and reflected.
#include "scenes/transition_patterns.h"

#include <cmath>

#include "gfx/graphics_device.h"
#include "gfx/vertex_formats.h"
#include "scenes/frame_targets.h"

const RenderStatePair CrossFadeStates[3] = {
    {D3DRS_ALPHABLENDENABLE, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
    {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
};

namespace {

constexpr D3DCOLOR kWhite = 0xFFFFFFFF;
constexpr D3DCOLOR kReflectionTint = 0xFF7070FF;
constexpr float kScreenRight = 640.5f;
constexpr float kScreenBottom = 480.5f;
constexpr float kWaterLine = 400.5f;
constexpr float kFrameU = 0.625f;    // 320 / 512
constexpr float kFrameV = 0.9375f;   // 240 / 256
constexpr float kWaterV = 0.78125f;  // 200 / 256
constexpr float kFivePi = 15.70796f;
constexpr int kVerticalBands = 16;   // 40 pixels wide
constexpr int kHorizontalBands = 12; // 40 pixels high
constexpr int kPlainPieceVertices = 4;
constexpr int kReflectedPieceVertices = 86;  // a top quad and 41 rows of two
constexpr int kReflectionRowPrimitives = 80;

// The progress at which band i of n starts to move; each band then takes half the range.
float BandStart(int i, int n) { return 1.0f - 0.5f * static_cast<float>(i) / static_cast<float>(n); }

float Grow(float d, float t) {
  if (d > t) return 0.0f;
  float g = 2.0f * (t - d);
  return g > 1.0f ? 1.0f : g;
}

float Shrink(float d, float t) {
  if (d > t) return 1.0f;
  float s = 1.0f - 2.0f * (t - d);
  return s < 0.0f ? 0.0f : s;
}

// Quartic ease-out of a band's growth: fast at first, settling gently.
float Ease(float d, float t) {
  float rest = 1.0f - Grow(d, t);
  return 1.0f - rest * rest * rest * rest;
}

void Put(ScreenVertex& v, float x, float y, D3DCOLOR colour, float u, float tv) {
  v.x = x;
  v.y = y;
  v.diffuse = colour;
  v.u = u;
  v.v = tv;
}

// A 4-vertex strip quad; z and rhw stand from the buffer's creation.
void PutQuad(ScreenVertex* v, float x0, float x1, float y0, float y1, float u0, float u1, float v0, float v1,
             D3DCOLOR colour) {
  Put(v[0], x0, y0, colour, u0, v0);
  Put(v[1], x1, y0, colour, u1, v0);
  Put(v[2], x0, y1, colour, u0, v1);
  Put(v[3], x1, y1, colour, u1, v1);
}

// A reflected piece: the top quad from topY to rowsY with the picture's rows 0..200, then the 41
// rippled rows of its reflection starting at rowsY, in the same ripple as the post pass.
void PutReflectedPiece(ScreenVertex* v, float x0, float x1, float u0, float u1, float topY, float rowsY,
                       D3DCOLOR topColour, D3DCOLOR rowColour) {
  PutQuad(v, x0, x1, topY, rowsY, u0, u1, 0.0f, kWaterV, topColour);
  v += 4;
  for (int r = 0; r < kReflectionRows; ++r, v += 2) {
    float y = rowsY + static_cast<float>(2 * r);
    float tv = ReflectionRowV(r, RipplePhase);
    Put(v[0], x0, y, rowColour, u0, tv);
    Put(v[1], x1, y, rowColour, u1, tv);
  }
}

ScreenVertex* LockPieces(int vertexCount) {
  BYTE* bytes = nullptr;
  FrameVertexBuffer->Lock(kTransitionFirstVertex * sizeof(ScreenVertex), vertexCount * sizeof(ScreenVertex), &bytes,
                          0);
  return reinterpret_cast<ScreenVertex*>(bytes);
}

void DrawPlainPieces(int count) {
  for (int k = 0; k < count; ++k) {
    d3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, kTransitionFirstVertex + kPlainPieceVertices * k, 2);
  }
}

void DrawReflectedPieces(int count) {
  for (int k = 0; k < count; ++k) {
    int first = kTransitionFirstVertex + kReflectedPieceVertices * k;
    d3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, first, 2);
    d3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, first + 4, kReflectionRowPrimitives);
  }
}

// Alpha from the vertex colour for the draws `draw` makes, blending over what is there.
template <typename Draw>
void DrawCrossFaded(Draw draw) {
  ApplyRenderStates(CrossFadeStates, kCrossFadeStateCount);
  d3dDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
  draw();
  d3dDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
}

D3DCOLOR FadeAlpha(float d) {
  DWORD a = static_cast<DWORD>(static_cast<int>((1.0f - d) * 255.0f));
  return a << 24;
}

float BounceHeight(float d) { return -480.0f * d * std::fabs(std::cos(d * kFivePi)); }

// Extent a..b of band i's width or height for the wipes (kinds 0..7): rightwards/downwards grow
// from the band's start, leftwards/upwards shrink towards its end.
void WipeExtent(unsigned kind, float d, float t, float* a, float* b) {
  bool growing = (kind & 1) == 0;
  *a = growing ? 0.0f : Shrink(d, t);
  *b = growing ? Grow(d, t) : 1.0f;
}

// Band position: forward order, or reversed (the band at the far end starts first) for kinds 2, 3, 6, 7.
int BandPosition(unsigned kind, int i, int n) { return (kind & 2) ? n - 1 - i : i; }

}  // namespace

void DrawTransitionPlain(unsigned kind, float progress) {
  RestoreBackBuffer(IncomingFrameTexture);
  if (kind >= kTransitionPatternCount) return;
  const float d = progress;

  if (kind <= 3) {  // wipes of 16 vertical bands
    ScreenVertex* v = LockPieces(kVerticalBands * kPlainPieceVertices);
    for (int i = 0; i < kVerticalBands; ++i, v += 4) {
      float a, b;
      WipeExtent(kind, d, BandStart(i, kVerticalBands), &a, &b);
      float p = static_cast<float>(BandPosition(kind, i, kVerticalBands));
      PutQuad(v, (p + a) * 640.0f / 16.0f, (p + b) * 640.0f / 16.0f, 0.0f, kScreenBottom, (p + a) * kFrameU / 16.0f,
              (p + b) * kFrameU / 16.0f, 0.0f, kFrameV, kWhite);
    }
    FrameVertexBuffer->Unlock();
    DrawPlainPieces(kVerticalBands);
  } else if (kind <= 7) {  // wipes of 12 horizontal bands
    ScreenVertex* v = LockPieces(kHorizontalBands * kPlainPieceVertices);
    for (int i = 0; i < kHorizontalBands; ++i, v += 4) {
      float a, b;
      WipeExtent(kind, d, BandStart(i, kHorizontalBands), &a, &b);
      float p = static_cast<float>(BandPosition(kind, i, kHorizontalBands));
      PutQuad(v, 0.0f, kScreenRight, (p + a) * 480.0f / 12.0f, (p + b) * 480.0f / 12.0f, 0.0f, kFrameU,
              (p + a) * kFrameV / 12.0f, (p + b) * kFrameV / 12.0f, kWhite);
    }
    FrameVertexBuffer->Unlock();
    DrawPlainPieces(kHorizontalBands);
  } else if (kind == 8 || kind == 10) {  // vertical bands sliding in from above and below
    ScreenVertex* v = LockPieces(kVerticalBands * kPlainPieceVertices);
    for (int i = 0; i < kVerticalBands; ++i, v += 4) {
      float dy = 480.0f * Ease(d, BandStart(i, kVerticalBands));
      bool fromAbove = (i & 1) == (kind == 8 ? 1 : 0);
      float y0 = fromAbove ? dy - 480.0f : 480.0f - dy;
      float y1 = fromAbove ? dy : 960.0f - dy;
      float fi = static_cast<float>(i);
      PutQuad(v, 40.0f * fi, 40.0f * (fi + 1.0f), y0, y1, fi * kFrameU / 16.0f, (fi + 1.0f) * kFrameU / 16.0f, 0.0f,
              kFrameV, kWhite);
    }
    FrameVertexBuffer->Unlock();
    DrawPlainPieces(kVerticalBands);
  } else if (kind == 9 || kind == 11) {  // horizontal bands sliding in from the left and right
    ScreenVertex* v = LockPieces(kHorizontalBands * kPlainPieceVertices);
    for (int i = 0; i < kHorizontalBands; ++i, v += 4) {
      float dx = 640.0f * Ease(d, BandStart(i, kHorizontalBands));
      bool fromLeft = (i & 1) == (kind == 9 ? 1 : 0);
      float x0 = fromLeft ? dx - 640.0f : 640.0f - dx;
      float x1 = fromLeft ? dx : 1280.0f - dx;
      float fi = static_cast<float>(i);
      PutQuad(v, x0, x1, 40.0f * fi, 40.0f * (fi + 1.0f), 0.0f, kFrameU, fi * kFrameV / 12.0f,
              (fi + 1.0f) * kFrameV / 12.0f, kWhite);
    }
    FrameVertexBuffer->Unlock();
    DrawPlainPieces(kHorizontalBands);
  } else if (kind == 12) {  // cross-fade
    ScreenVertex* v = LockPieces(kPlainPieceVertices);
    PutQuad(v, 0.0f, kScreenRight, 0.0f, kScreenBottom, 0.0f, kFrameU, 0.0f, kFrameV, FadeAlpha(d) | 0xFFFFFF);
    FrameVertexBuffer->Unlock();
    DrawCrossFaded([] { DrawPlainPieces(1); });
  } else if (kind == 13) {  // bouncing drop
    ScreenVertex* v = LockPieces(kPlainPieceVertices);
    float h = BounceHeight(d);
    PutQuad(v, 0.0f, kScreenRight, h, h + kScreenBottom, 0.0f, kFrameU, 0.0f, kFrameV, kWhite);
    FrameVertexBuffer->Unlock();
    DrawPlainPieces(1);
  } else {  // 14 opens from the horizontal centre line, 15 closes in from top and bottom
    ScreenVertex* v = LockPieces(2 * kPlainPieceVertices);
    float j = 1.0f - d;
    if (kind == 14) {
      PutQuad(v, 0.0f, kScreenRight, 240.0f * d, 240.0f, 0.0f, kFrameU, 120.0f * d / 256.0f, 0.46875f, kWhite);
      PutQuad(v + 4, 0.0f, kScreenRight, 240.0f, 240.0f * (1.0f + j), 0.0f, kFrameU, 0.46875f,
              0.46875f + 120.0f * j / 256.0f, kWhite);
    } else {
      PutQuad(v, 0.0f, kScreenRight, 0.0f, 240.0f * j, 0.0f, kFrameU, 0.0f, 120.0f * j / 256.0f, kWhite);
      PutQuad(v + 4, 0.0f, kScreenRight, 480.0f - 240.0f * j, 480.0f, 0.0f, kFrameU, kFrameV - 120.0f * j / 256.0f,
              kFrameV, kWhite);
    }
    FrameVertexBuffer->Unlock();
    DrawPlainPieces(2);
  }
}

void DrawTransitionReflected(unsigned kind, float progress) {
  RestoreBackBuffer(IncomingFrameTexture);
  if (kind >= kTransitionPatternCount) return;
  const float d = progress;

  if (kind <= 7) {  // wipes of 16 vertical bands; 4..7 have no horizontal form here and act as 0..3
    unsigned wipe = kind & 3;
    ScreenVertex* v = LockPieces(kVerticalBands * kReflectedPieceVertices);
    for (int i = 0; i < kVerticalBands; ++i, v += kReflectedPieceVertices) {
      float a, b;
      WipeExtent(wipe, d, BandStart(i, kVerticalBands), &a, &b);
      float p = static_cast<float>(BandPosition(wipe, i, kVerticalBands));
      PutReflectedPiece(v, (p + a) * 640.0f / 16.0f, (p + b) * 640.0f / 16.0f, (p + a) * kFrameU / 16.0f,
                        (p + b) * kFrameU / 16.0f, 0.0f, kWaterLine, kWhite, kReflectionTint);
    }
    FrameVertexBuffer->Unlock();
    DrawReflectedPieces(kVerticalBands);
  } else if (kind <= 11) {  // vertical bands sliding in; 8, 9: odd bands from above; 10, 11: even
    ScreenVertex* v = LockPieces(kVerticalBands * kReflectedPieceVertices);
    for (int i = 0; i < kVerticalBands; ++i, v += kReflectedPieceVertices) {
      float dy = 480.0f * Ease(d, BandStart(i, kVerticalBands));
      bool fromAbove = (i & 1) == (kind <= 9 ? 1 : 0);
      float top = fromAbove ? dy - 480.0f : 480.0f - dy;
      float rows = fromAbove ? dy - 80.0f : 880.0f - dy;
      float fi = static_cast<float>(i);
      PutReflectedPiece(v, 40.0f * fi, 40.0f * (fi + 1.0f), fi * kFrameU / 16.0f, (fi + 1.0f) * kFrameU / 16.0f, top,
                        rows, kWhite, kReflectionTint);
    }
    FrameVertexBuffer->Unlock();
    DrawReflectedPieces(kVerticalBands);
  } else if (kind == 12) {  // cross-fade
    ScreenVertex* v = LockPieces(kReflectedPieceVertices);
    D3DCOLOR alpha = FadeAlpha(d);
    PutReflectedPiece(v, 0.0f, kScreenRight, 0.0f, kFrameU, 0.0f, kWaterLine, alpha | 0xFFFFFF, alpha | 0x7070FF);
    FrameVertexBuffer->Unlock();
    DrawCrossFaded([] { DrawReflectedPieces(1); });
  } else if (kind == 13) {  // bouncing drop
    ScreenVertex* v = LockPieces(kReflectedPieceVertices);
    float h = BounceHeight(d);
    PutReflectedPiece(v, 0.0f, kScreenRight, 0.0f, kFrameU, h, h + kWaterLine, kWhite, kReflectionTint);
    FrameVertexBuffer->Unlock();
    DrawReflectedPieces(1);
  } else {  // 14 opens from the vertical centre line, 15 closes in from left and right
    ScreenVertex* v = LockPieces(2 * kReflectedPieceVertices);
    float j = 1.0f - d;
    if (kind == 14) {
      PutReflectedPiece(v, 320.0f * d, 320.0f, 160.0f * d / 512.0f, 0.3125f, 0.0f, kWaterLine, kWhite,
                        kReflectionTint);
      PutReflectedPiece(v + kReflectedPieceVertices, 320.0f, 320.0f * (1.0f + j), 0.3125f,
                        0.3125f + 160.0f * j / 512.0f, 0.0f, kWaterLine, kWhite, kReflectionTint);
    } else {
      PutReflectedPiece(v, 0.0f, 320.0f * j, 0.0f, 160.0f * j / 512.0f, 0.0f, kWaterLine, kWhite, kReflectionTint);
      PutReflectedPiece(v + kReflectedPieceVertices, 640.0f - 320.0f * j, 640.0f, kFrameU - 160.0f * j / 512.0f,
                        kFrameU, 0.0f, kWaterLine, kWhite, kReflectionTint);
    }
    FrameVertexBuffer->Unlock();
    DrawReflectedPieces(2);
  }
}
