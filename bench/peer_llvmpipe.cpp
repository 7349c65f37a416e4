// Our software Direct3D 8 device side by side with Mesa's llvmpipe (OpenGL ES 3 on the CPU through
// EGL without a window): the same workloads drawn through both, their pictures compared, and for
// each workload both CPU times per frame and their ratio, measured interleaved in one run.
// Run it on one core with llvmpipe single-threaded:
//   LP_NUM_THREADS=0 taskset -c 1 build/bench/bench_peer_llvmpipe [--rounds N]
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES3/gl3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <d3d8.h>

#include "platform/d3d8/d3d8_test_control.h"
#include "platform/host/headless_host.h"

namespace {

// ---- The scenes, in Direct3D's conventions (pixel centres at integers, y down, row vectors) ----

constexpr int kWide = 640, kHigh = 480;    // the back buffer, and the overlays' target
constexpr int kFrameW = 320, kFrameH = 240;  // an effect's frame (a viewport of the back buffer)

struct ScreenVertex {  // XYZRHW | DIFFUSE | TEX1
  float x, y, z, rhw;
  uint32_t colour;
  float u, v;
};
struct ScreenColourVertex {  // XYZRHW | DIFFUSE
  float x, y, z, rhw;
  uint32_t colour;
};
struct SceneVertex {  // XYZ | DIFFUSE | TEX1
  float x, y, z;
  uint32_t colour;
  float u, v;
};
struct ColourVertex {  // XYZ | DIFFUSE
  float x, y, z;
  uint32_t colour;
};
constexpr DWORD kFvfScreen = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr DWORD kFvfScreenColour = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;
constexpr DWORD kFvfScene = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr DWORD kFvfColour = D3DFVF_XYZ | D3DFVF_DIFFUSE;

// A picture of A8R8G8B8 texels.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> texels;
};

uint32_t Argb(double a, double r, double g, double b) {
  auto byte = [](double c) { return static_cast<uint32_t>(std::clamp(c, 0.0, 255.0) + 0.5); };
  return (byte(a) << 24) | (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

// Smooth colour waves: sampling a texel early or late changes a pixel a little, not wholly.
Picture Waves(int width, int height, double phase) {
  Picture p{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      double r = 128 + 120 * std::sin(x * 0.05 + phase);
      double g = 128 + 120 * std::sin(y * 0.07 + 2 * phase);
      double b = 128 + 120 * std::sin((x + y) * 0.03 + 3 * phase);
      p.texels[static_cast<size_t>(y) * width + x] = Argb(255, r, g, b);
    }
  }
  return p;
}

// Rounded opaque blobs on a transparent field (a banner, or an atlas of glyph cells of `cell` texels).
Picture Blobs(int size, int cell) {
  Picture p{size, size, std::vector<uint32_t>(static_cast<size_t>(size) * size)};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double cx = x % cell - cell / 2 + 0.5, cy = y % cell - cell / 2 + 0.5;
      double radius = cell * (0.25 + 0.05 * ((x / cell + 3 * (y / cell)) % 4));
      bool inside = cx * cx + cy * cy < radius * radius;
      p.texels[static_cast<size_t>(y) * size + x] =
          inside ? Argb(255, 200 + 50 * std::sin(x * 0.1), 120 + 100 * std::sin(y * 0.1), 90) : 0;
    }
  }
  return p;
}

// A left-handed perspective projection as Direct3D programs build it: z in 0..w.
struct Matrix {
  float m[4][4];
};
Matrix Perspective(float fovY, float aspect, float zn, float zf) {
  float ys = 1.0f / std::tan(fovY / 2), xs = ys / aspect, q = zf / (zf - zn);
  return {{{xs, 0, 0, 0}, {0, ys, 0, 0}, {0, 0, q, 1}, {0, 0, -q * zn, 0}}};
}

// Linear vertex fog over view-space distance.
constexpr float kFogStart = 3.0f, kFogEnd = 14.0f;
constexpr uint32_t kFogColour = 0x00304050;

// Three coaxial textured tubes seen from inside, drawn outermost first so that every layer passes
// the depth test: about three times the frame, in 2,016 triangles.
std::vector<SceneVertex> TunnelTriangles() {
  constexpr int kTubes = 3, kAround = 24, kDeep = 14;
  std::vector<SceneVertex> out;
  for (int t = 0; t < kTubes; ++t) {
    float radius = 1.2f - 0.1f * t;
    float turn = t * 0.33f * 6.2831853f / kAround;
    uint32_t tint = t == 0 ? 0xFFFFFFFF : (t == 1 ? 0xFFFFE0C0 : 0xFFC0E0FF);
    auto at = [&](int k, int d) {
      float a = turn + k * 6.2831853f / kAround;
      float z = 0.6f + d * 1.0f;
      return SceneVertex{radius * std::cos(a), radius * std::sin(a), z, tint, k * 4.0f / kAround, d * 0.5f};
    };
    for (int d = 0; d < kDeep; ++d) {
      for (int k = 0; k < kAround; ++k) {
        SceneVertex a = at(k, d), b = at(k + 1, d), c = at(k, d + 1), e = at(k + 1, d + 1);
        out.insert(out.end(), {a, b, c, c, b, e});
      }
    }
  }
  return out;
}

// Two wavy Gouraud sheets tilted away from the eye, the far one first: twice the frame.
std::vector<ColourVertex> GouraudTriangles() {
  constexpr int kColumns = 12, kRows = 10;
  std::mt19937 random(21);
  std::vector<ColourVertex> out;
  for (int sheet = 0; sheet < 2; ++sheet) {
    std::vector<uint32_t> colours((kColumns + 1) * (kRows + 1));
    for (uint32_t& c : colours) c = 0xFF000000u | static_cast<uint32_t>(random() & 0x00FFFFFFu);
    auto at = [&](int i, int j) {
      float x = -3.0f + 6.0f * i / kColumns, t = static_cast<float>(j) / kRows;
      float y = -2.2f + 4.4f * t;
      float z = (sheet == 0 ? 4.0f : 2.5f) + 3.0f * t + 0.2f * std::sin(3.0f * x + t);
      return ColourVertex{x * (1 + t), y * (1 + t), z, colours[j * (kColumns + 1) + i]};
    };
    for (int j = 0; j < kRows; ++j) {
      for (int i = 0; i < kColumns; ++i) {
        ColourVertex a = at(i, j), b = at(i + 1, j), c = at(i, j + 1), d = at(i + 1, j + 1);
        out.insert(out.end(), {a, b, c, c, b, d});
      }
    }
  }
  return out;
}

// The same triangles as the device's vertex stage puts them on a 320x240 viewport, with rhw 1
// (screen-space interpolation, as the show sends its pre-transformed solids).
std::vector<ScreenColourVertex> ScreenTriangles(const std::vector<ColourVertex>& scene, const Matrix& p) {
  std::vector<ScreenColourVertex> out;
  for (const ColourVertex& v : scene) {
    float x = v.x * p.m[0][0] + v.z * p.m[2][0] + p.m[3][0];
    float y = v.y * p.m[1][1] + v.z * p.m[2][1] + p.m[3][1];
    float z = v.z * p.m[2][2] + p.m[3][2];
    float w = v.z * p.m[2][3] + p.m[3][3];
    out.push_back({kFrameW * 0.5f * (1 + x / w), kFrameH * 0.5f * (1 - y / w), z / w, 1.0f, v.colour});
  }
  return out;
}

std::vector<ColourVertex> Points() {
  std::mt19937 random(8);
  std::uniform_real_distribution<float> across(-1.0f, 1.0f), deep(2.0f, 12.0f);
  std::vector<ColourVertex> out;
  for (int i = 0; i < 20000; ++i) {
    float z = deep(random);
    out.push_back({across(random) * z * 0.7f, across(random) * z * 0.5f, z,
                   0xFF000000u | static_cast<uint32_t>(random() & 0x00FFFFFFu)});
  }
  return out;
}

// A quad over [x0, x1) x [y0, y1) as a strip of four vertices.
void Quad(ScreenVertex* q, float x0, float y0, float x1, float y1, uint32_t colour, float u0, float v0, float u1,
          float v1) {
  q[0] = {x0, y0, 0.5f, 1, colour, u0, v0};
  q[1] = {x1, y0, 0.5f, 1, colour, u1, v0};
  q[2] = {x0, y1, 0.5f, 1, colour, u0, v1};
  q[3] = {x1, y1, 0.5f, 1, colour, u1, v1};
}

// 300 glyph cells of 32x32 from an 8x8 atlas, as indexed triangle lists, over the screen.
void Glyphs(std::vector<ScreenVertex>* vertices, std::vector<uint16_t>* indices) {
  std::mt19937 random(4);
  for (int i = 0; i < 300; ++i) {
    float x = 8.25f + 32 * (i % 19) + (i / 19 % 2) * 16, y = 130.25f + 22 * (i / 19);
    int cell = static_cast<int>(random() % 64);
    float u = (cell % 8) / 8.0f, v = (cell / 8) / 8.0f;
    uint16_t base = static_cast<uint16_t>(vertices->size());
    ScreenVertex q[4];
    Quad(q, x, y, x + 32, y + 32, 0xFFFFFFFF, u, v, u + 0.125f, v + 0.125f);
    vertices->insert(vertices->end(), q, q + 4);
    for (int k : {0, 1, 2, 2, 1, 3}) indices->push_back(static_cast<uint16_t>(base + k));
  }
}

// Everything the workloads draw, made once.
struct Scenes {
  Picture frameA = Waves(512, 256, 0.0), frameB = Waves(512, 256, 1.7), wall = Waves(256, 256, 0.6);
  Picture banner = Blobs(256, 64), atlas = Blobs(256, 32);
  Matrix projection = Perspective(1.5707963f, 4.0f / 3.0f, 0.25f, 100.0f);
  std::vector<SceneVertex> tunnel = TunnelTriangles();
  std::vector<ColourVertex> gouraud = GouraudTriangles();
  std::vector<ScreenColourVertex> gouraudScreen = ScreenTriangles(gouraud, projection);
  std::vector<ColourVertex> points = Points();
  std::vector<ScreenVertex> glyphs;
  std::vector<uint16_t> glyphIndices;
  Scenes() { Glyphs(&glyphs, &glyphIndices); }
};

// ---- Our device ----

DWORD FloatBits(float f) {
  DWORD d;
  std::memcpy(&d, &f, sizeof d);
  return d;
}

class Ours {
 public:
  explicit Ours(const Scenes& scenes) : scenes_(scenes) {
    host::SetActiveHost(&host_);
    d3d_ = Direct3DCreate8(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS p = {};
    p.BackBufferWidth = kWide;
    p.BackBufferHeight = kHigh;
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D32;
    if (d3d_ == nullptr ||
        d3d_->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device_) != D3D_OK) {
      std::fprintf(stderr, "our device could not be created\n");
      std::exit(1);
    }
    frameA_ = Texture(scenes.frameA);
    frameB_ = Texture(scenes.frameB);
    wall_ = Texture(scenes.wall);
    banner_ = Texture(scenes.banner);
    atlas_ = Texture(scenes.atlas);
    tunnel_ = Buffer(scenes.tunnel, kFvfScene);
    gouraud_ = Buffer(scenes.gouraud, kFvfColour);
    points_ = Buffer(scenes.points, kFvfColour);
    glyphs_ = Buffer(scenes.glyphs, kFvfScreen);
    device_->CreateIndexBuffer(static_cast<UINT>(scenes.glyphIndices.size() * 2), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                               D3DPOOL_MANAGED, &glyphIndices_);
    BYTE* data = nullptr;
    glyphIndices_->Lock(0, 0, &data, 0);
    std::memcpy(data, scenes.glyphIndices.data(), scenes.glyphIndices.size() * 2);
    glyphIndices_->Unlock();
    device_->GetRenderTarget(&back_);
    device_->BeginScene();
  }
  ~Ours() {
    device_->EndScene();
    device_->SetTexture(0, nullptr);
    device_->SetStreamSource(0, nullptr, 0);
    device_->SetIndices(nullptr, 0);
    for (IUnknown* u : std::initializer_list<IUnknown*>{frameA_, frameB_, wall_, banner_, atlas_, tunnel_, gouraud_,
                                                         points_, glyphs_, glyphIndices_, back_}) {
      u->Release();
    }
    device_->Release();
    d3d_->Release();
    host::SetActiveHost(nullptr);
  }

  // The states every workload starts from.
  void Reset(int width, int height) {
    D3DVIEWPORT8 viewport = {0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 1};
    device_->SetViewport(&viewport);
    Set(D3DRS_LIGHTING, FALSE);
    Set(D3DRS_CULLMODE, D3DCULL_NONE);
    Set(D3DRS_ZENABLE, FALSE);
    Set(D3DRS_ZWRITEENABLE, TRUE);
    Set(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    Set(D3DRS_ALPHABLENDENABLE, FALSE);
    Set(D3DRS_FOGENABLE, FALSE);
    Stage(D3DTSS_COLOROP, D3DTOP_MODULATE);
    Stage(D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    Stage(D3DTSS_MAGFILTER, D3DTEXF_POINT);
    Stage(D3DTSS_MINFILTER, D3DTEXF_POINT);
    Stage(D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    Stage(D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    device_->SetTransform(D3DTS_PROJECTION, reinterpret_cast<const D3DMATRIX*>(&scenes_.projection));
  }

  void Stretch() {
    Reset(kWide, kHigh);
    device_->SetTexture(0, frameA_);
    Screen(0, 0, 640.5f, 480.5f, 0xFFFFFFFF, 0.625f, 0.9375f);
  }

  void CrossFade() {
    Stretch();
    device_->SetTexture(0, frameB_);
    Stage(D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    Stage(D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    Screen(0, 0, 640.5f, 480.5f, 0x80FFFFFF, 0.625f, 0.9375f);
  }

  void BannerAndGlyphs() {
    Reset(kWide, kHigh);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF203040, 1, 0);
    Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    Stage(D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    Stage(D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
    device_->SetTexture(0, banner_);
    Screen(0, 0, 640.5f, 128.5f, 0xFFFFFFFF, 2.3f, 0.5f);
    device_->SetTexture(0, atlas_);
    device_->SetVertexShader(kFvfScreen);
    device_->SetStreamSource(0, glyphs_, sizeof(ScreenVertex));
    device_->SetIndices(glyphIndices_, 0);
    UINT quads = static_cast<UINT>(scenes_.glyphs.size() / 4);
    device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, quads * 4, 0, quads * 2);
  }

  void PointCloud() {
    Reset(kFrameW, kFrameH);
    Set(D3DRS_ZENABLE, TRUE);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1, 0);
    device_->SetTexture(0, nullptr);
    device_->SetVertexShader(kFvfColour);
    device_->SetStreamSource(0, points_, sizeof(ColourVertex));
    device_->DrawPrimitive(D3DPT_POINTLIST, 0, static_cast<UINT>(scenes_.points.size()));
  }

  void Tunnel() {
    Reset(kFrameW, kFrameH);
    Set(D3DRS_ZENABLE, TRUE);
    Set(D3DRS_FOGENABLE, TRUE);
    Set(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    Set(D3DRS_FOGSTART, FloatBits(kFogStart));
    Set(D3DRS_FOGEND, FloatBits(kFogEnd));
    Set(D3DRS_FOGCOLOR, kFogColour);
    Stage(D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    Stage(D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000 | kFogColour, 1, 0);
    device_->SetTexture(0, wall_);
    device_->SetVertexShader(kFvfScene);
    device_->SetStreamSource(0, tunnel_, sizeof(SceneVertex));
    device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(scenes_.tunnel.size() / 3));
  }

  void Gouraud() {
    Reset(kFrameW, kFrameH);
    Set(D3DRS_ZENABLE, TRUE);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1, 0);
    device_->SetTexture(0, nullptr);
    device_->SetVertexShader(kFvfColour);
    device_->SetStreamSource(0, gouraud_, sizeof(ColourVertex));
    device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(scenes_.gouraud.size() / 3));
  }

  void GouraudScreen() {
    Reset(kFrameW, kFrameH);
    Set(D3DRS_ZENABLE, TRUE);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1, 0);
    device_->SetTexture(0, nullptr);
    device_->SetVertexShader(kFvfScreenColour);
    device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(scenes_.gouraudScreen.size() / 3),
                             scenes_.gouraudScreen.data(), sizeof(ScreenColourVertex));
  }

  // The top-left width x height pixels of the back buffer, A8R8G8B8.
  std::vector<uint32_t> Read(int width, int height) {
    std::vector<uint32_t> all, out;
    d3d8test::ReadSurface(back_, &all);
    for (int y = 0; y < height; ++y) out.insert(out.end(), all.begin() + y * kWide, all.begin() + y * kWide + width);
    return out;
  }

 private:
  void Set(D3DRENDERSTATETYPE s, DWORD v) { device_->SetRenderState(s, v); }
  void Stage(D3DTEXTURESTAGESTATETYPE s, DWORD v) { device_->SetTextureStageState(0, s, v); }
  void Blend(DWORD source, DWORD destination) {
    Set(D3DRS_ALPHABLENDENABLE, TRUE);
    Set(D3DRS_SRCBLEND, source);
    Set(D3DRS_DESTBLEND, destination);
  }
  void Screen(float x0, float y0, float x1, float y1, uint32_t colour, float u1, float v1) {
    ScreenVertex q[4];
    Quad(q, x0, y0, x1, y1, colour, 0, 0, u1, v1);
    device_->SetVertexShader(kFvfScreen);
    device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(ScreenVertex));
  }
  IDirect3DTexture8* Texture(const Picture& p) {
    IDirect3DTexture8* t = nullptr;
    device_->CreateTexture(p.width, p.height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t);
    D3DLOCKED_RECT locked;
    t->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < p.height; ++y) {
      std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, &p.texels[static_cast<size_t>(y) * p.width],
                  p.width * 4);
    }
    t->UnlockRect(0);
    return t;
  }
  template <typename V>
  IDirect3DVertexBuffer8* Buffer(const std::vector<V>& vertices, DWORD fvf) {
    IDirect3DVertexBuffer8* b = nullptr;
    UINT bytes = static_cast<UINT>(vertices.size() * sizeof(V));
    device_->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, fvf, D3DPOOL_MANAGED, &b);
    BYTE* data = nullptr;
    b->Lock(0, 0, &data, 0);
    std::memcpy(data, vertices.data(), bytes);
    b->Unlock();
    return b;
  }

  const Scenes& scenes_;
  host::HeadlessHost host_;
  IDirect3D8* d3d_ = nullptr;
  IDirect3DDevice8* device_ = nullptr;
  IDirect3DTexture8 *frameA_, *frameB_, *wall_, *banner_, *atlas_;
  IDirect3DVertexBuffer8 *tunnel_, *gouraud_, *points_, *glyphs_;
  IDirect3DIndexBuffer8* glyphIndices_ = nullptr;
  IDirect3DSurface8* back_ = nullptr;
};

// ---- llvmpipe ----

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "llvmpipe: %s\n", what);
  std::exit(1);
}

// Every vertex shader maps Direct3D's screen to OpenGL's: pixel centres half a pixel over, y up,
// z from 0..w to -w..w. `pixel` is (2 / width, 2 / height).
const char* const kScreenVertexShader = R"(
attribute vec4 position;  // screen x, y, z, rhw
attribute vec4 colour;
attribute vec2 uv;
uniform vec2 pixel;
varying vec4 vColour;
varying vec2 vUv;
void main() {
  gl_Position = vec4((position.x + 0.5) * pixel.x - 1.0, 1.0 - (position.y + 0.5) * pixel.y, 2.0 * position.z - 1.0, 1.0);
  vColour = colour.zyxw;
  vUv = uv;
}
)";
const char* const kSceneVertexShader = R"(
attribute vec3 position;
attribute vec4 colour;
attribute vec2 uv;
uniform mat4 projection;  // Direct3D's row-vector matrix, as stored
uniform vec2 pixel;
uniform vec2 fog;  // start, end
varying vec4 vColour;
varying vec2 vUv;
varying float vFog;
void main() {
  vec4 c = projection * vec4(position, 1.0);
  gl_Position = vec4(c.x + 0.5 * pixel.x * c.w, c.y - 0.5 * pixel.y * c.w, 2.0 * c.z - c.w, c.w);
  gl_PointSize = 1.0;
  vColour = colour.zyxw;
  vUv = uv;
  vFog = clamp((fog.y - abs(position.z)) / (fog.y - fog.x), 0.0, 1.0);
}
)";
const char* const kTextureShader = R"(
precision mediump float;
uniform sampler2D picture;
varying vec4 vColour;
varying vec2 vUv;
void main() { gl_FragColor = texture2D(picture, vUv); }
)";
const char* const kFadeShader = R"(
precision mediump float;
uniform sampler2D picture;
varying vec4 vColour;
varying vec2 vUv;
void main() { gl_FragColor = vec4(texture2D(picture, vUv).rgb, vColour.a); }
)";
const char* const kColourShader = R"(
precision mediump float;
varying vec4 vColour;
void main() { gl_FragColor = vColour; }
)";
const char* const kFoggedTextureShader = R"(
precision mediump float;
uniform sampler2D picture;
uniform vec3 fogColour;
varying vec4 vColour;
varying vec2 vUv;
varying float vFog;
void main() {
  vec4 c = texture2D(picture, vUv) * vColour;
  gl_FragColor = vec4(mix(fogColour, c.rgb, vFog), c.a);
}
)";

// Direct3D's A8R8G8B8 as OpenGL's RGBA bytes.
std::vector<uint8_t> RgbaBytes(const std::vector<uint32_t>& argb) {
  std::vector<uint8_t> out(argb.size() * 4);
  for (size_t i = 0; i < argb.size(); ++i) {
    uint32_t c = argb[i];
    out[4 * i] = static_cast<uint8_t>(c >> 16);
    out[4 * i + 1] = static_cast<uint8_t>(c >> 8);
    out[4 * i + 2] = static_cast<uint8_t>(c);
    out[4 * i + 3] = static_cast<uint8_t>(c >> 24);
  }
  return out;
}

class Llvmpipe {
 public:
  explicit Llvmpipe(const Scenes& scenes) : scenes_(scenes) {
    display_ = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr)) Fail("no surfaceless EGL display");
    eglBindAPI(EGL_OPENGL_ES_API);
    // No window, no surface: the context renders into framebuffer objects only.
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_NONE};
    context_ = eglCreateContext(display_, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, contextAttributes);
    if (context_ == EGL_NO_CONTEXT || !eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) {
      Fail("no context");
    }
    renderer_ = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (renderer_.find("llvmpipe") == std::string::npos) Fail(("the renderer is " + renderer_).c_str());

    wide_ = Target(kWide, kHigh);
    frame_ = Target(kFrameW, kFrameH);
    screenTexture_ = Program(kScreenVertexShader, kTextureShader);
    screenFade_ = Program(kScreenVertexShader, kFadeShader);
    screenColour_ = Program(kScreenVertexShader, kColourShader);
    sceneColour_ = Program(kSceneVertexShader, kColourShader);
    sceneFogged_ = Program(kSceneVertexShader, kFoggedTextureShader);
    frameA_ = Texture(scenes.frameA, GL_NEAREST, GL_REPEAT);
    frameB_ = Texture(scenes.frameB, GL_NEAREST, GL_REPEAT);
    wall_ = Texture(scenes.wall, GL_LINEAR, GL_REPEAT);
    banner_ = Texture(scenes.banner, GL_NEAREST, GL_CLAMP_TO_EDGE);
    atlas_ = Texture(scenes.atlas, GL_NEAREST, GL_CLAMP_TO_EDGE);
    tunnel_ = Buffer(GL_ARRAY_BUFFER, scenes.tunnel);
    gouraud_ = Buffer(GL_ARRAY_BUFFER, scenes.gouraud);
    gouraudScreen_ = Buffer(GL_ARRAY_BUFFER, scenes.gouraudScreen);
    points_ = Buffer(GL_ARRAY_BUFFER, scenes.points);
    glyphs_ = Buffer(GL_ARRAY_BUFFER, scenes.glyphs);
    glyphIndices_ = Buffer(GL_ELEMENT_ARRAY_BUFFER, scenes.glyphIndices);
    quad_ = Buffer(GL_ARRAY_BUFFER, std::vector<ScreenVertex>(4));
    glDepthFunc(GL_LEQUAL);
  }
  ~Llvmpipe() {
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
    eglTerminate(display_);
  }
  const std::string& renderer() const { return renderer_; }

  void Stretch() {
    Use(wide_, kWide, kHigh);
    glDisable(GL_BLEND);
    ScreenQuad(screenTexture_, frameA_, 0, 0, 640.5f, 480.5f, 0xFFFFFFFF, 0.625f, 0.9375f);
  }

  void CrossFade() {
    Stretch();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    ScreenQuad(screenFade_, frameB_, 0, 0, 640.5f, 480.5f, 0x80FFFFFF, 0.625f, 0.9375f);
  }

  void BannerAndGlyphs() {
    Use(wide_, kWide, kHigh);
    glClearColor(0x20 / 255.0f, 0x30 / 255.0f, 0x40 / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    ScreenQuad(screenTexture_, banner_, 0, 0, 640.5f, 128.5f, 0xFFFFFFFF, 2.3f, 0.5f);
    glBindTexture(GL_TEXTURE_2D, atlas_);
    Attributes(screenTexture_, glyphs_, true);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, glyphIndices_);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(scenes_.glyphIndices.size()), GL_UNSIGNED_SHORT, nullptr);
  }

  void PointCloud() {
    Use(frame_, kFrameW, kFrameH);
    glDisable(GL_BLEND);
    Clear(0xFF000000);
    glEnable(GL_DEPTH_TEST);
    Attributes(sceneColour_, points_, false);
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(scenes_.points.size()));
    glDisable(GL_DEPTH_TEST);
  }

  void Tunnel() {
    Use(frame_, kFrameW, kFrameH);
    glDisable(GL_BLEND);
    Clear(0xFF000000 | kFogColour);
    glEnable(GL_DEPTH_TEST);
    glBindTexture(GL_TEXTURE_2D, wall_);
    Attributes(sceneFogged_, tunnel_, false);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(scenes_.tunnel.size()));
    glDisable(GL_DEPTH_TEST);
  }

  void Gouraud() {
    Use(frame_, kFrameW, kFrameH);
    glDisable(GL_BLEND);
    Clear(0xFF000000);
    glEnable(GL_DEPTH_TEST);
    Attributes(sceneColour_, gouraud_, false);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(scenes_.gouraud.size()));
    glDisable(GL_DEPTH_TEST);
  }

  void GouraudScreen() {
    Use(frame_, kFrameW, kFrameH);
    glDisable(GL_BLEND);
    Clear(0xFF000000);
    glEnable(GL_DEPTH_TEST);
    Attributes(screenColour_, gouraudScreen_, true);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(scenes_.gouraudScreen.size()));
    glDisable(GL_DEPTH_TEST);
  }

  void Finish() { glFinish(); }

  // The target's pixels as A8R8G8B8, top row first.
  std::vector<uint32_t> Read(int width, int height) {
    std::vector<uint8_t> bytes(static_cast<size_t>(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    std::vector<uint32_t> out(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const uint8_t* p = &bytes[(static_cast<size_t>(height - 1 - y) * width + x) * 4];
        out[static_cast<size_t>(y) * width + x] = (uint32_t{p[3]} << 24) | (p[0] << 16) | (p[1] << 8) | p[2];
      }
    }
    return out;
  }

 private:
  GLuint Target(int width, int height) {
    GLuint colour, depth, fbo;
    glGenTextures(1, &colour);
    glBindTexture(GL_TEXTURE_2D, colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) Fail("incomplete framebuffer");
    return fbo;
  }
  GLuint Shader(GLenum kind, const char* source) {
    GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
      char log[1024];
      glGetShaderInfoLog(s, sizeof log, nullptr, log);
      Fail(log);
    }
    return s;
  }
  GLuint Program(const char* vertex, const char* fragment) {
    GLuint p = glCreateProgram();
    glAttachShader(p, Shader(GL_VERTEX_SHADER, vertex));
    glAttachShader(p, Shader(GL_FRAGMENT_SHADER, fragment));
    glBindAttribLocation(p, 0, "position");
    glBindAttribLocation(p, 1, "colour");
    glBindAttribLocation(p, 2, "uv");
    glLinkProgram(p);
    GLint ok = 0;
    glGetProgramiv(p, GL_LINK_STATUS, &ok);
    if (!ok) Fail("a program did not link");
    glUseProgram(p);
    glUniform1i(glGetUniformLocation(p, "picture"), 0);
    glUniformMatrix4fv(glGetUniformLocation(p, "projection"), 1, GL_FALSE, &scenes_.projection.m[0][0]);
    glUniform2f(glGetUniformLocation(p, "fog"), kFogStart, kFogEnd);
    glUniform3f(glGetUniformLocation(p, "fogColour"), ((kFogColour >> 16) & 0xFF) / 255.0f,
                ((kFogColour >> 8) & 0xFF) / 255.0f, (kFogColour & 0xFF) / 255.0f);
    return p;
  }
  GLuint Texture(const Picture& p, GLint filter, GLint wrap) {
    GLuint t;
    glGenTextures(1, &t);
    glBindTexture(GL_TEXTURE_2D, t);
    std::vector<uint8_t> bytes = RgbaBytes(p.texels);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, p.width, p.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    return t;
  }
  template <typename T>
  GLuint Buffer(GLenum kind, const std::vector<T>& data) {
    GLuint b;
    glGenBuffers(1, &b);
    glBindBuffer(kind, b);
    glBufferData(kind, static_cast<GLsizeiptr>(data.size() * sizeof(T)), data.data(), GL_STATIC_DRAW);
    return b;
  }
  void Use(GLuint target, int width, int height) {
    glBindFramebuffer(GL_FRAMEBUFFER, target);
    glViewport(0, 0, width, height);
    pixelX_ = 2.0f / width;
    pixelY_ = 2.0f / height;
  }
  void Clear(uint32_t argb) {
    glClearColor(((argb >> 16) & 0xFF) / 255.0f, ((argb >> 8) & 0xFF) / 255.0f, (argb & 0xFF) / 255.0f, 1);
    glClearDepthf(1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  // Points `program` at the vertices of `buffer`: ScreenVertex / ScreenColourVertex layouts when
  // `screen`, SceneVertex / ColourVertex otherwise (told apart by the buffer's vertex size).
  void Attributes(GLuint program, GLuint buffer, bool screen) {
    glUseProgram(program);
    glUniform2f(glGetUniformLocation(program, "pixel"), pixelX_, pixelY_);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const bool textured = buffer == glyphs_ || buffer == quad_ || buffer == tunnel_;
    const int positions = screen ? 4 : 3;
    const GLsizei stride = static_cast<GLsizei>((positions + 1 + (textured ? 2 : 0)) * 4);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, positions, GL_FLOAT, GL_FALSE, stride, nullptr);
    // D3DCOLOR is B, G, R, A in memory: the vertex shaders swizzle it to RGBA.
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<void*>(positions * 4));
    if (textured) {
      glEnableVertexAttribArray(2);
      glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>((positions + 1) * 4));
    } else {
      glDisableVertexAttribArray(2);
    }
  }
  void ScreenQuad(GLuint program, GLuint texture, float x0, float y0, float x1, float y1, uint32_t colour, float u1,
                  float v1) {
    ScreenVertex q[4];
    Quad(q, x0, y0, x1, y1, colour, 0, 0, u1, v1);
    glBindBuffer(GL_ARRAY_BUFFER, quad_);
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof q, q);
    glBindTexture(GL_TEXTURE_2D, texture);
    Attributes(program, quad_, true);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  }

  const Scenes& scenes_;
  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLContext context_ = EGL_NO_CONTEXT;
  std::string renderer_;
  GLuint wide_ = 0, frame_ = 0;
  GLuint screenTexture_ = 0, screenFade_ = 0, screenColour_ = 0, sceneColour_ = 0, sceneFogged_ = 0;
  GLuint frameA_ = 0, frameB_ = 0, wall_ = 0, banner_ = 0, atlas_ = 0;
  GLuint tunnel_ = 0, gouraud_ = 0, gouraudScreen_ = 0, points_ = 0, glyphs_ = 0, glyphIndices_ = 0, quad_ = 0;
  float pixelX_ = 1, pixelY_ = 1;
};

// ---- Measuring ----

double CpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

struct Workload {
  const char* name;
  int width, height;  // the region drawn
  std::function<void()> ours, theirs;
};

// How alike two pictures are: the share of pixels with a channel more than `tolerance` apart.
double DifferingShare(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int tolerance) {
  size_t differing = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    for (int shift = 0; shift < 24; shift += 8) {
      int d = static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF);
      if (d > tolerance || d < -tolerance) {
        ++differing;
        break;
      }
    }
  }
  return static_cast<double>(differing) / static_cast<double>(a.size());
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 7;
  int profiled = -1;
  int profiledFrames = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--profile") == 0 && i + 1 < argc) {
      profiled = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
      profiledFrames = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--sse2") == 0) {
      d3d8test::UseWideVectors(false);
    } else {
      std::fprintf(stderr, "usage: %s [--rounds N] [--sse2] [--profile WORKLOAD [--frames N]]\n"
                   "  --sse2: our device without its AVX2 paths\n"
                   "  --profile K: only our device draws workload K (1..7), for a profiler: for five seconds,\n"
                   "  or N frames (for an instruction-counting one)\n",
                   argv[0]);
      return 2;
    }
  }
  // Mesa's software rasterizer, whatever else the machine has.
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  setenv("GALLIUM_DRIVER", "llvmpipe", 0);
  const char* threads = std::getenv("LP_NUM_THREADS");

  Scenes scenes;
  Ours ours(scenes);
  Llvmpipe gl(scenes);
  std::printf("peer: %s, LP_NUM_THREADS=%s\n", gl.renderer().c_str(), threads != nullptr ? threads : "(unset)");

  const Workload workloads[] = {
      {"320x240 -> 640x480 point-filtered stretch", kWide, kHigh, [&] { ours.Stretch(); }, [&] { gl.Stretch(); }},
      {"full-screen cross-fade", kWide, kHigh, [&] { ours.CrossFade(); }, [&] { gl.CrossFade(); }},
      {"banner + 300 alpha-blended glyph quads", kWide, kHigh, [&] { ours.BannerAndGlyphs(); },
       [&] { gl.BannerAndGlyphs(); }},
      {"20,000 untransformed points", kFrameW, kFrameH, [&] { ours.PointCloud(); }, [&] { gl.PointCloud(); }},
      {"perspective tunnel (2,016 triangles, bilinear, fog, depth)", kFrameW, kFrameH, [&] { ours.Tunnel(); },
       [&] { gl.Tunnel(); }},
      {"untransformed Gouraud triangles (480, depth)", kFrameW, kFrameH, [&] { ours.Gouraud(); },
       [&] { gl.Gouraud(); }},
      {"the same Gouraud triangles pre-transformed", kFrameW, kFrameH, [&] { ours.GouraudScreen(); },
       [&] { gl.GouraudScreen(); }},
  };
  constexpr size_t kCount = sizeof(workloads) / sizeof(workloads[0]);
  if (profiled >= 1 && profiled <= static_cast<int>(kCount)) {
    const double start = CpuSeconds();
    for (int frame = 0; profiledFrames > 0 ? frame < profiledFrames : CpuSeconds() - start < 5.0; ++frame) {
      workloads[profiled - 1].ours();
    }
    return 0;
  }

  // Both draw each workload once (llvmpipe compiles its shaders then), and the pictures are compared.
  bool alike = true;
  std::printf("\n%-60s %s\n", "workload", "pixels differing by more than 24 of 255 in a channel");
  for (const Workload& w : workloads) {
    w.ours();
    w.theirs();
    gl.Finish();
    std::vector<uint32_t> a = ours.Read(w.width, w.height), b = gl.Read(w.width, w.height);
    double share = DifferingShare(a, b, 24);
    const size_t centre = static_cast<size_t>(w.height / 2) * w.width + w.width / 2;
    std::printf("%-60s %5.2f%%  (centre pixel: ours %08X, llvmpipe %08X)\n", w.name, 100 * share, a[centre] | 0xFF000000u,
                b[centre] | 0xFF000000u);
    if (share > 0.02) alike = false;
  }
  if (!alike) {
    std::fprintf(stderr, "the two drew different pictures\n");
    return 1;
  }

  // Frames per measurement, so that one takes about 40 ms of the slower of the two.
  int frames[kCount];
  for (size_t i = 0; i < kCount; ++i) {
    double start = CpuSeconds();
    int n = 0;
    while (CpuSeconds() - start < 0.04) {
      workloads[i].ours();
      workloads[i].theirs();
      gl.Finish();
      ++n;
    }
    frames[i] = std::max(1, n);
  }
  // Rounds of every workload, ours then llvmpipe's, back to back; the median of each.
  std::vector<double> oursTimes[kCount], theirTimes[kCount];
  for (int r = 0; r < rounds; ++r) {
    for (size_t i = 0; i < kCount; ++i) {
      double start = CpuSeconds();
      for (int f = 0; f < frames[i]; ++f) workloads[i].ours();
      double middle = CpuSeconds();
      for (int f = 0; f < frames[i]; ++f) {
        workloads[i].theirs();
        gl.Finish();
      }
      double end = CpuSeconds();
      oursTimes[i].push_back((middle - start) / frames[i]);
      theirTimes[i].push_back((end - middle) / frames[i]);
    }
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  std::printf("\nCPU time per frame, median of %d interleaved rounds\n", rounds);
  std::printf("%-60s %12s %12s %10s\n", "workload", "ours", "llvmpipe", "llvmpipe/ours");
  for (size_t i = 0; i < kCount; ++i) {
    double a = median(oursTimes[i]), b = median(theirTimes[i]);
    std::printf("%-60s %9.1f us %9.1f us %9.2fx\n", workloads[i].name, a * 1e6, b * 1e6, b / a);
  }
  return 0;
}
