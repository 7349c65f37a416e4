// Speed of the software Direct3D 8 device on the kinds of draw one frame of the show is made of,
// in millions of pixels (or points) per second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include <d3d8.h>

#include "platform/d3d8/d3d8_test_control.h"
#include "platform/host/headless_host.h"

namespace {

struct TlVertex {
  float x, y, z, rhw;
  DWORD colour;
  float u, v;
};
struct TlColourVertex {
  float x, y, z, rhw;
  DWORD colour;
};
struct PointVertex {
  float x, y, z;
  DWORD colour;
};

DWORD FloatBits(float f) {
  DWORD d;
  std::memcpy(&d, &f, sizeof d);
  return d;
}

// A 640x480 device with a 512x256 frame texture, as the show sets them up.
class Rig {
 public:
  Rig() {
    d3d8test::ResetControls();
    host::SetActiveHost(&host_);
    d3d_ = Direct3DCreate8(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS p = {};
    p.BackBufferWidth = 640;
    p.BackBufferHeight = 480;
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D32;
    d3d_->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device_);
    device_->CreateTexture(512, 256, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &frame_);
    frame_->GetSurfaceLevel(0, &frameSurface_);
    device_->GetRenderTarget(&back_);
    device_->GetDepthStencilSurface(&depth_);
    std::mt19937 random(5);
    std::vector<uint32_t> texels(256 * 256);
    for (uint32_t& t : texels) t = static_cast<uint32_t>(random()) | ((random() & 1) ? 0xFF000000u : 0u);
    device_->CreateTexture(256, 256, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &picture_);
    D3DLOCKED_RECT locked;
    picture_->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < 256; ++y) std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, &texels[y * 256], 1024);
    picture_->UnlockRect(0);
    // A cut-out: opaque rounded blobs on a transparent black field, as the banner, the glyph
    // atlas and the caption strip are drawn.
    device_->CreateTexture(256, 256, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &cutout_);
    cutout_->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < 256; ++y) {
      uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
      for (int x = 0; x < 256; ++x) {
        int cx = x % 16 - 8, cy = y % 17 - 8;
        bool inside = cx * cx + cy * cy < 30 && (x / 16 + y / 17) % 3 != 0;
        bool rim = inside && cx * cx + cy * cy >= 20;
        row[x] = rim ? 0xFFC0C0C0u : (inside ? 0xFF000000u : 0x00000000u);
      }
    }
    cutout_->UnlockRect(0);
    // A 16x16 ball with transparent corners, as the sprites use.
    device_->CreateTexture(16, 16, 1, 0, D3DFMT_A1R5G5B5, D3DPOOL_MANAGED, &ball_);
    ball_->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < 16; ++y) {
      uint16_t* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
      for (int x = 0; x < 16; ++x) {
        float dx = x - 7.5f, dy = y - 7.5f;
        row[x] = dx * dx + dy * dy < 64 ? static_cast<uint16_t>(0x8000 | (x * 2) << 10 | (y * 2) << 5 | 31) : 0;
      }
    }
    ball_->UnlockRect(0);
    device_->BeginScene();
    Common();
  }
  ~Rig() {
    device_->EndScene();
    device_->SetTexture(0, nullptr);
    ball_->Release();
    cutout_->Release();
    picture_->Release();
    back_->Release();
    depth_->Release();
    frameSurface_->Release();
    frame_->Release();
    device_->Release();
    d3d_->Release();
    host::SetActiveHost(nullptr);
  }
  void Common() {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device_->SetRenderState(D3DRS_ZENABLE, FALSE);
  }
  void IntoFrame() {
    device_->SetRenderTarget(frameSurface_, depth_);
    D3DVIEWPORT8 viewport = {0, 0, 320, 240, 0, 1};
    device_->SetViewport(&viewport);
  }
  void IntoBackBuffer() { device_->SetRenderTarget(back_, depth_); }
  void Quad(float x0, float y0, float x1, float y1, DWORD colour, float u1 = 1, float v1 = 1, float z = 0.5f) {
    TlVertex q[4] = {{x0, y0, z, 1, colour, 0, 0}, {x1, y0, z, 1, colour, u1, 0}, {x0, y1, z, 1, colour, 0, v1},
                     {x1, y1, z, 1, colour, u1, v1}};
    device_->SetVertexShader(0x144);
    device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(TlVertex));
  }
  void Camera() {
    // 45 degrees across, 4:3, near 1, far 10000, looking along +z.
    float xs = 1.0f / std::tan(0.3926991f), ys = xs * 4.0f / 3.0f, q = 10000.0f / 9999.0f;
    D3DMATRIX projection = {{{xs, 0, 0, 0, 0, ys, 0, 0, 0, 0, q, 1, 0, 0, -q, 0}}};
    device_->SetTransform(D3DTS_PROJECTION, &projection);
  }

  host::HeadlessHost host_;
  IDirect3D8* d3d_ = nullptr;
  IDirect3DDevice8* device_ = nullptr;
  IDirect3DTexture8* frame_ = nullptr;
  IDirect3DSurface8* frameSurface_ = nullptr;
  IDirect3DSurface8* back_ = nullptr;
  IDirect3DSurface8* depth_ = nullptr;
  IDirect3DTexture8* picture_ = nullptr;
  IDirect3DTexture8* cutout_ = nullptr;
  IDirect3DTexture8* ball_ = nullptr;
};

void Rate(benchmark::State& state, double perIteration, const char* name = "Mpixels/s") {
  state.counters[name] = benchmark::Counter(perIteration * static_cast<double>(state.iterations()) / 1e6,
                                            benchmark::Counter::kIsRate);
}

// The plain post pass: the 320x240 corner of the frame stretched over 640x480, point sampled.
void BM_PostPassStretch(benchmark::State& state) {
  Rig rig;
  rig.IntoBackBuffer();
  rig.device_->SetTexture(0, rig.frame_);
  for (auto _ : state) rig.Quad(0, 0, 640.5f, 480.5f, 0xFFFFFFFF, 0.625f, 0.9375f);
  Rate(state, 640.0 * 480.0);
}
BENCHMARK(BM_PostPassStretch);

// The reflected post pass: a 640x400 quad and the 80-triangle tinted strip of 41 rows.
void BM_ReflectedPostPass(benchmark::State& state) {
  Rig rig;
  rig.IntoBackBuffer();
  rig.device_->SetTexture(0, rig.frame_);
  std::vector<TlVertex> strip;
  for (int r = 0; r <= 40; ++r) {
    float v = (40 - r) * 5.0f / 256.0f;
    strip.push_back({0, 400.5f + 2 * r, 0.5f, 1, 0xFF7070FF, 0, v});
    strip.push_back({640.5f, 400.5f + 2 * r, 0.5f, 1, 0xFF7070FF, 0.625f, v});
  }
  for (auto _ : state) {
    rig.Quad(0, 0, 640.5f, 400.5f, 0xFFFFFFFF, 0.625f, 0.78125f);
    rig.device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 80, strip.data(), sizeof(TlVertex));
  }
  Rate(state, 640.0 * 480.0);
}
BENCHMARK(BM_ReflectedPostPass);

// 320x240 of Gouraud-shaded triangles: 24 six-vertex bars.
void BM_GouraudTriangles(benchmark::State& state) {
  Rig rig;
  rig.IntoFrame();
  rig.device_->SetTexture(0, nullptr);
  TlColourVertex bars[24][6];
  for (int i = 0; i < 24; ++i) {
    for (int j = 0; j < 6; ++j) {
      bars[i][j] = {j % 2 ? 320.0f : 0.0f, i * 10.0f + (j / 2) * 5.0f, 0, 1,
                    (j == 2 || j == 3) ? 0x00FF0000u >> (i % 3 * 8) : 0u};
    }
  }
  rig.device_->SetVertexShader(0x44);
  for (auto _ : state) {
    for (auto& bar : bars) rig.device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 4, bar, sizeof(TlColourVertex));
  }
  Rate(state, 320.0 * 240.0);
}
BENCHMARK(BM_GouraudTriangles);

// A 640x128 textured quad blended by alpha (the banner), and a 320x240 additive textured quad.
void BM_AlphaBlendedQuad(benchmark::State& state) {
  Rig rig;
  rig.IntoBackBuffer();
  rig.device_->SetTexture(0, rig.picture_);
  rig.device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  rig.device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  rig.device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  rig.device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  for (auto _ : state) rig.Quad(0, 0, 640.5f, 128.5f, 0xC0FFFFFF, 0.625f, 1);
  Rate(state, 640.0 * 128.0);
}
BENCHMARK(BM_AlphaBlendedQuad);

void BM_AdditiveQuad(benchmark::State& state) {
  Rig rig;
  rig.IntoFrame();
  rig.device_->SetTexture(0, rig.picture_);
  rig.device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  rig.device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  rig.device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  for (auto _ : state) rig.Quad(0, 0, 320, 240, 0xFFD99980, 1.3f, 0.9f);
  Rate(state, 320.0 * 240.0);
}
BENCHMARK(BM_AdditiveQuad);

void BM_BilinearQuad(benchmark::State& state) {
  Rig rig;
  rig.IntoFrame();
  rig.device_->SetTexture(0, rig.picture_);
  rig.device_->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  rig.device_->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  rig.device_->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
  for (auto _ : state) rig.Quad(0, 0, 320, 240, 0xFFD99980, 0.7f, 0.6f);
  Rate(state, 320.0 * 240.0);
}
BENCHMARK(BM_BilinearQuad);

// Two ring plates of four mirrored quads each, magnified and bilinear over the whole frame, the
// second added to the first.
void BM_MoirePlates(benchmark::State& state) {
  Rig rig;
  rig.IntoFrame();
  rig.device_->SetTexture(0, rig.picture_);
  rig.device_->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  auto plate = [&](float cx, float cy, float s) {
    rig.device_->SetVertexShader(0x144);
    const float quads[4][8] = {{cx - s, cy - s, cx, cy, 0, 0, 1, 1},
                               {cx, cy - s, cx + s, cy, 1, 0, 0, 1},
                               {cx - s, cy, cx, cy + s, 0, 1, 1, 0},
                               {cx, cy, cx + s, cy + s, 1, 1, 0, 0}};
    for (const auto& q : quads) {
      TlVertex v[4] = {{q[0], q[1], 0.5f, 1, 0xFFD99980, q[4], q[5]}, {q[2], q[1], 0.5f, 1, 0xFFD99980, q[6], q[5]},
                       {q[0], q[3], 0.5f, 1, 0xFFD99980, q[4], q[7]}, {q[2], q[3], 0.5f, 1, 0xFFD99980, q[6], q[7]}};
      rig.device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(TlVertex));
    }
  };
  float phase = 0;
  for (auto _ : state) {
    phase += 0.01f;
    rig.device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    plate(160 + 60 * std::cos(phase), 120 + 20 * std::sin(phase), 450);
    rig.device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    rig.device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    rig.device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    plate(160 + 140 * std::sin(phase), 120 + 100 * std::cos(phase), 450);
  }
  Rate(state, 2 * 320.0 * 240.0);
}
BENCHMARK(BM_MoirePlates);

// 2,500 transformed single-pixel points with depth test, as the landscape grid draws them.
void BM_Points2500(benchmark::State& state) {
  Rig rig;
  rig.IntoFrame();
  rig.Camera();
  rig.device_->SetTexture(0, nullptr);
  rig.device_->SetRenderState(D3DRS_ZENABLE, TRUE);
  std::vector<PointVertex> points;
  for (int i = 0; i < 50; ++i) {
    for (int j = 0; j < 50; ++j) points.push_back({(i - 25) * 4.0f, (j - 25) * 3.0f, 150.0f + j * 2.0f, 0xFF4060FF});
  }
  IDirect3DVertexBuffer8* buffer = nullptr;
  rig.device_->CreateVertexBuffer(40000, D3DUSAGE_WRITEONLY | D3DUSAGE_POINTS | D3DUSAGE_DYNAMIC, 0x42,
                                  D3DPOOL_DEFAULT, &buffer);
  BYTE* data = nullptr;
  buffer->Lock(0, 0, &data, D3DLOCK_DISCARD);
  std::memcpy(data, points.data(), 40000);
  buffer->Unlock();
  rig.device_->SetStreamSource(0, buffer, 16);
  rig.device_->SetVertexShader(0x42);
  for (auto _ : state) {
    rig.device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1, 0);
    rig.device_->DrawPrimitive(D3DPT_POINTLIST, 0, 2500);
  }
  Rate(state, 2500.0, "Mpoints/s");
  rig.device_->SetStreamSource(0, nullptr, 0);
  buffer->Release();
}
BENCHMARK(BM_Points2500);

// 12,800 pre-transformed points with depth test, as the dot balls draw them.
void BM_Points12800Pretransformed(benchmark::State& state) {
  Rig rig;
  rig.IntoFrame();
  rig.device_->SetTexture(0, nullptr);
  rig.device_->SetRenderState(D3DRS_ZENABLE, TRUE);
  std::mt19937 random(3);
  std::vector<TlColourVertex> points;
  for (int i = 0; i < 12800; ++i) {
    points.push_back({static_cast<float>(random() % 3200) / 10.0f, static_cast<float>(random() % 2400) / 10.0f, 0.5f,
                      1, 0xFFFFFFFF});
  }
  rig.device_->SetVertexShader(0x44);
  for (auto _ : state) {
    rig.device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1, 0);
    rig.device_->DrawPrimitiveUP(D3DPT_POINTLIST, 12800, points.data(), sizeof(TlColourVertex));
  }
  Rate(state, 12800.0, "Mpoints/s");
}
BENCHMARK(BM_Points12800Pretransformed);

// 400 point sprites of 16x16, alpha tested, fogged and depth tested.
void BM_Sprites400(benchmark::State& state) {
  Rig rig;
  rig.IntoFrame();
  rig.Camera();
  rig.device_->SetTexture(0, rig.ball_);
  rig.device_->SetRenderState(D3DRS_ZENABLE, TRUE);
  rig.device_->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
  rig.device_->SetRenderState(D3DRS_POINTSIZE, FloatBits(16.0f));
  rig.device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  rig.device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_NOTEQUAL);
  rig.device_->SetRenderState(D3DRS_FOGENABLE, TRUE);
  rig.device_->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
  rig.device_->SetRenderState(D3DRS_FOGSTART, FloatBits(500.0f));
  rig.device_->SetRenderState(D3DRS_FOGEND, FloatBits(750.0f));
  std::mt19937 random(4);
  std::vector<float> sprites;
  for (int i = 0; i < 400; ++i) {
    sprites.push_back(static_cast<float>(random() % 500) - 250.0f);
    sprites.push_back(static_cast<float>(random() % 380) - 190.0f);
    sprites.push_back(static_cast<float>(random() % 300) + 450.0f);
  }
  rig.device_->SetVertexShader(D3DFVF_XYZ);
  for (auto _ : state) {
    rig.device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1, 0);
    rig.device_->DrawPrimitiveUP(D3DPT_POINTLIST, 400, sprites.data(), 12);
  }
  Rate(state, 400.0 * 256.0);
}
BENCHMARK(BM_Sprites400);

// Eight 256x256 quarters of ring texture as 257-row strips with wobbling edges (1-pixel rows of
// two thin triangles each), additive over the first four, then a multiplying tint quad.
void BM_RingStrips(benchmark::State& state) {
  Rig rig;
  rig.IntoFrame();
  rig.device_->SetTexture(0, rig.picture_);
  rig.device_->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  rig.device_->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
  std::vector<TlVertex> strip(514);
  auto quarter = [&](float x0, float y0, float uLeft, float uRight, float v0, float vStep, float phase) {
    for (int i = 0; i <= 256; ++i) {
      float g = i * 12.566368f / 256;
      strip[2 * i] = {x0 + 6 * std::sin(g + phase), y0 + i, 0.5f, 1, 0xFFFFFFFF, uLeft, i * vStep / 256 + v0};
      strip[2 * i + 1] = {x0 + 256 + 6 * std::sin(g + phase + 1), y0 + i, 0.5f, 1, 0xFFFFFFFF, uRight,
                          i * vStep / 256 + v0};
    }
    rig.device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 512, strip.data(), sizeof(TlVertex));
  };
  rig.device_->SetVertexShader(0x144);
  float phase = 0;
  for (auto _ : state) {
    phase += 0.01f;
    rig.device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    for (int field = 0; field < 2; ++field) {
      float cx = field ? 190.0f : 150.0f, cy = field ? 100.0f : 130.0f;
      quarter(cx - 256, cy - 256, 0, 1, 0, 1, phase);
      quarter(cx, cy - 256, 1, 0, 0, 1, phase);
      quarter(cx - 256, cy, 0, 1, 1, -1, phase);
      quarter(cx, cy, 1, 0, 1, -1, phase);
      rig.device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
      rig.device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
      rig.device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    }
    rig.device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    rig.device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCCOLOR);
    rig.device_->SetTexture(0, nullptr);
    rig.Quad(0, 0, 320, 240, 0xFF80A0FF);
    rig.device_->SetTexture(0, rig.picture_);
  }
  Rate(state, 3 * 320.0 * 240.0);
}
BENCHMARK(BM_RingStrips);

// A rotating, zooming picture over the whole frame: a 241-row strip of rotated rows.
void BM_RotozoomStrip(benchmark::State& state) {
  Rig rig;
  rig.IntoFrame();
  rig.device_->SetTexture(0, rig.picture_);
  std::vector<TlVertex> strip(482);
  float angle = 0;
  rig.device_->SetVertexShader(0x144);
  for (auto _ : state) {
    angle += 0.01f;
    float c = std::cos(angle) * 1.5f, s = std::sin(angle) * 1.5f;
    for (int r = 0; r <= 240; ++r) {
      float oy = r / 320.0f;
      strip[2 * r] = {0, static_cast<float>(r), 0.5f, 1, 0xFFFFFFFF, oy * s, oy * c};
      strip[2 * r + 1] = {320, static_cast<float>(r), 0.5f, 1, 0xFFFFFFFF, c + oy * s, oy * c - s};
    }
    rig.device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 480, strip.data(), sizeof(TlVertex));
  }
  Rate(state, 320.0 * 240.0);
}
BENCHMARK(BM_RotozoomStrip);

void BM_ClearTargetAndDepth(benchmark::State& state) {
  Rig rig;
  rig.IntoBackBuffer();
  for (auto _ : state) rig.device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1, 0);
  Rate(state, 640.0 * 480.0);
}
BENCHMARK(BM_ClearTargetAndDepth);

// One frame of the show in outline: an effect into the frame texture, the post pass, the
// overlays (banner, 153 glyph tiles in two passes and their stripes, ticker) and Present.
void BM_ShowFrame(benchmark::State& state) {
  Rig rig;
  rig.host_.SetPresentHandler([](const uint32_t*, int, int, int) {});
  std::vector<TlVertex> tiles;
  std::vector<uint16_t> indices;
  for (int i = 0; i < 9; ++i) {
    for (int j = 0; j < 17; ++j) {
      float x = 48.0f + 32 * j, y = 147.0f + 34 * i;
      uint16_t base = static_cast<uint16_t>(tiles.size());
      tiles.push_back({x, y, 0.9f, 1, 0xFFFFFFFF, 0, 0});
      tiles.push_back({x + 32, y, 0.9f, 1, 0xFFFFFFFF, 0.125f, 0});
      tiles.push_back({x, y + 32, 0.9f, 1, 0xFFFFFFFF, 0, 0.125f});
      tiles.push_back({x + 32, y + 32, 0.9f, 1, 0xFFFFFFFF, 0.125f, 0.125f});
      for (int k : {0, 1, 2, 2, 1, 3}) indices.push_back(static_cast<uint16_t>(base + k));
    }
  }
  IDirect3DVertexBuffer8* tileBuffer = nullptr;
  rig.device_->CreateVertexBuffer(static_cast<UINT>(tiles.size() * sizeof(TlVertex)), D3DUSAGE_WRITEONLY, 0x144,
                                  D3DPOOL_DEFAULT, &tileBuffer);
  BYTE* data = nullptr;
  tileBuffer->Lock(0, 0, &data, 0);
  std::memcpy(data, tiles.data(), tiles.size() * sizeof(TlVertex));
  tileBuffer->Unlock();
  IDirect3DIndexBuffer8* tileIndices = nullptr;
  rig.device_->CreateIndexBuffer(static_cast<UINT>(indices.size() * 2), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                 D3DPOOL_MANAGED, &tileIndices);
  tileIndices->Lock(0, 0, &data, 0);
  std::memcpy(data, indices.data(), indices.size() * 2);
  tileIndices->Unlock();
  std::vector<TlVertex> stripes;
  for (int k = 0; k < 82; ++k) {
    DWORD c = 0xFF000022 + static_cast<DWORD>(k) * 0x030201;
    stripes.push_back({48, -2.0f + 6 * k, 0.9f, 1, c, 0, 0});
    stripes.push_back({592, -2.0f + 6 * k, 0.9f, 1, c, 0, 0});
  }
  TlColourVertex bars[24][6];
  for (int i = 0; i < 24; ++i) {
    for (int j = 0; j < 6; ++j) {
      bars[i][j] = {j % 2 ? 320.0f : 0.0f, i * 10.0f + (j / 2) * 5.0f, 0, 1,
                    (j == 2 || j == 3) ? 0x00FF0000u >> (i % 3 * 8) : 0u};
    }
  }
  IDirect3DDevice8* d = rig.device_;
  for (auto _ : state) {
    // Effect: raster bars into the frame texture.
    rig.IntoFrame();
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1, 0);
    rig.Common();
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    d->SetTexture(0, nullptr);
    d->SetVertexShader(0x44);
    for (auto& bar : bars) d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 4, bar, sizeof(TlColourVertex));
    // Post pass.
    rig.IntoBackBuffer();
    D3DVIEWPORT8 full = {0, 0, 640, 480, 0, 1};
    d->SetViewport(&full);
    d->SetTexture(0, rig.frame_);
    rig.Quad(0, 0, 640.5f, 480.5f, 0xFFFFFFFF, 0.625f, 0.9375f);
    d->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1, 0);
    // Banner.
    d->SetTexture(0, rig.cutout_);
    d->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    d->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    rig.Quad(0, 0, 640.5f, 128.5f, 0xFFFFFFFF, 0.625f, 1);
    // Glyph tiles: outline pass (additive), mask pass, stripes.
    d->SetStreamSource(0, tileBuffer, sizeof(TlVertex));
    d->SetIndices(tileIndices, 0);
    d->SetVertexShader(0x144);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 612, 0, 306);
    d->SetRenderState(D3DRS_ZENABLE, TRUE);
    d->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    d->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    d->SetRenderState(D3DRS_ALPHAREF, 0);
    d->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_EQUAL);
    d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 612, 0, 306);
    d->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    d->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    d->SetTexture(0, nullptr);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    d->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    d->SetRenderState(D3DRS_ZFUNC, D3DCMP_EQUAL);
    d->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 162, stripes.data(), sizeof(TlVertex));
    d->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    d->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    d->SetRenderState(D3DRS_ZENABLE, FALSE);
    // Ticker.
    d->SetTexture(0, rig.cutout_);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    for (int i = 0; i < 6; ++i) rig.Quad(108.0f * i, 471, 108.0f * (i + 1), 480, 0xFFFFFFFF, 0.42f, 0.033f);
    d->EndScene();
    d->Present(nullptr, nullptr, nullptr, nullptr);
    d->BeginScene();
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  d->SetStreamSource(0, nullptr, 0);
  d->SetIndices(nullptr, 0);
  tileBuffer->Release();
  tileIndices->Release();
}
BENCHMARK(BM_ShowFrame);

}  // namespace
