// The device's API front: argument checks, state, resources, targets, scenes and presentation.
#include "direct3d_device8.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "direct3d8.h"
#include "direct3d_index_buffer8.h"
#include "direct3d_texture8.h"
#include "direct3d_vertex_buffer8.h"
#include "platform/host/host.h"
#include "test_control_state.h"
#include "vertex_format.h"

namespace d3d8sw {

namespace {

// Largest surface side the device makes (caps MaxTextureWidth/Height and back buffers).
constexpr UINT kMaxSurfaceSide = 4096;
// Point sprites through software vertex processing may be this large whatever the hardware's
// MaxPointSize (which is why a mixed device switches to software processing for big sprites;
// PointsTest.SoftwareVertexProcessingDrawsSpritesBeyondTheHardwareLimit).
constexpr float kSoftwareMaxPointSize = 64.0f;

bool ValidPool(D3DPOOL pool) {
  return pool == D3DPOOL_DEFAULT || pool == D3DPOOL_MANAGED || pool == D3DPOOL_SYSTEMMEM;
}

TargetKind KindOf(D3DFORMAT format) {
  if (format == D3DFMT_A8R8G8B8) return TargetKind::kA8R8G8B8;
  if (format == D3DFMT_R5G6B5) return TargetKind::kR5G6B5;
  return TargetKind::kX8R8G8B8;
}

// Vertices a primitive count needs, 0 for a type this device does not draw.
uint64_t VerticesFor(D3DPRIMITIVETYPE type, UINT count) {
  switch (type) {
    case D3DPT_POINTLIST: return count;
    case D3DPT_TRIANGLELIST: return uint64_t{count} * 3;
    case D3DPT_TRIANGLESTRIP: return uint64_t{count} + 2;
    default: return 0;
  }
}

}  // namespace

Direct3DDevice8::Direct3DDevice8(Direct3D8* owner, UINT adapter, const D3DCAPS8& caps, DWORD behaviorFlags)
    : owner_(owner), adapter_(adapter), caps_(caps), behaviorFlags_(behaviorFlags) {
  owner_->AddRef();
  const TestControlState& controls = TestControls();
  pipeline_.SetReferencePixels(controls.referencePixels);
  pipeline_.SetReferenceRasterizer(controls.referenceRasterizer);
  pipeline_.SetWideVectors(controls.wideVectors);
}

Direct3DDevice8::~Direct3DDevice8() {
  UnbindAll();
  renderTarget_ = depthTarget_ = nullptr;
  backBuffer_.reset();
  depthBuffer_.reset();
  owner_->Release();
}

HRESULT Direct3DDevice8::CheckPresentParameters(D3DPRESENT_PARAMETERS* p) {
  if (p->Windowed && (p->BackBufferWidth == 0 || p->BackBufferHeight == 0)) {
    // A windowed back buffer of size 0 takes the window's size.
    host::Host* h = host::ActiveHost();
    if (h != nullptr) {
      host::Rect r = h->WindowRect();
      if (p->BackBufferWidth == 0 && r.right > r.left) p->BackBufferWidth = static_cast<UINT>(r.right - r.left);
      if (p->BackBufferHeight == 0 && r.bottom > r.top) p->BackBufferHeight = static_cast<UINT>(r.bottom - r.top);
    }
  }
  if (p->BackBufferWidth == 0 || p->BackBufferHeight == 0 || p->BackBufferWidth > kMaxSurfaceSide ||
      p->BackBufferHeight > kMaxSurfaceSide) {
    return D3DERR_INVALIDCALL;
  }
  if (p->Windowed && p->BackBufferFormat == D3DFMT_UNKNOWN) p->BackBufferFormat = D3DFMT_X8R8G8B8;
  if (p->BackBufferCount > 3) return D3DERR_INVALIDCALL;
  if (p->BackBufferCount == 0) p->BackBufferCount = 1;
  if (p->SwapEffect < D3DSWAPEFFECT_DISCARD || p->SwapEffect > D3DSWAPEFFECT_COPY_VSYNC) return D3DERR_INVALIDCALL;
  if (p->BackBufferFormat != D3DFMT_X8R8G8B8 && p->BackBufferFormat != D3DFMT_R5G6B5) return D3DERR_NOTAVAILABLE;
  if (p->MultiSampleType != D3DMULTISAMPLE_NONE) return D3DERR_NOTAVAILABLE;
  if (p->EnableAutoDepthStencil) {
    D3DFORMAT d = p->AutoDepthStencilFormat;
    if (d != D3DFMT_D16 && d != D3DFMT_D16_LOCKABLE && d != D3DFMT_D32) return D3DERR_NOTAVAILABLE;
  }
  D3DFORMAT depth = p->EnableAutoDepthStencil ? p->AutoDepthStencilFormat : D3DFMT_UNKNOWN;
  if (TestControls().ModeRefused(p->BackBufferFormat, depth)) return D3DERR_NOTAVAILABLE;
  return D3D_OK;
}

HRESULT Direct3DDevice8::MakeSurfaces(const D3DPRESENT_PARAMETERS& p, std::unique_ptr<Direct3DSurface8>* backBuffer,
                                      std::unique_ptr<Direct3DSurface8>* depthBuffer) {
  *backBuffer = Direct3DSurface8::Create(this, nullptr, p.BackBufferFormat, p.BackBufferWidth, p.BackBufferHeight,
                                         D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, false);
  if (!*backBuffer) return D3DERR_OUTOFVIDEOMEMORY;
  depthBuffer->reset();
  if (p.EnableAutoDepthStencil) {
    *depthBuffer = Direct3DSurface8::Create(this, nullptr, p.AutoDepthStencilFormat, p.BackBufferWidth,
                                            p.BackBufferHeight, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, false);
    if (!*depthBuffer) return D3DERR_OUTOFVIDEOMEMORY;
  }
  return D3D_OK;
}

HRESULT Direct3DDevice8::Create(Direct3D8* owner, UINT adapter, const D3DCAPS8& caps, DWORD behaviorFlags,
                                D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) {
  HRESULT check = CheckPresentParameters(parameters);
  if (FAILED(check)) return check;
  Direct3DDevice8* d = new (std::nothrow) Direct3DDevice8(owner, adapter, caps, behaviorFlags);
  if (d == nullptr) return E_OUTOFMEMORY;
  HRESULT made = d->MakeSurfaces(*parameters, &d->backBuffer_, &d->depthBuffer_);
  if (FAILED(made)) {
    d->Release();
    return made;
  }
  d->parameters_ = *parameters;
  d->renderTarget_ = d->backBuffer_.get();
  d->depthTarget_ = d->depthBuffer_.get();
  d->state_.SetDefaults(d->depthTarget_ != nullptr, parameters->BackBufferWidth, parameters->BackBufferHeight);
  if (host::ActiveHost() != nullptr) host::ActiveHost()->SetFullScreen(!parameters->Windowed);
  *device = d;
  return D3D_OK;
}

ULONG Direct3DDevice8::Release() {
  if (references_ == 0) return 0;
  if (--references_ > 0) return references_;
  delete this;
  return 0;
}

void Direct3DDevice8::ResourceCreated(D3DPOOL pool) {
  if (pool == D3DPOOL_DEFAULT) ++liveDefault_;
}

void Direct3DDevice8::ResourceReleased(D3DPOOL pool) {
  if (pool == D3DPOOL_DEFAULT) --liveDefault_;
}

void Direct3DDevice8::UnbindAll() {
  for (Direct3DTexture8*& t : textures_) {
    if (t != nullptr) t->Unbind();
    t = nullptr;
  }
  if (stream_ != nullptr) stream_->Unbind();
  stream_ = nullptr;
  streamStride_ = 0;
  if (indices_ != nullptr) indices_->Unbind();
  indices_ = nullptr;
  baseVertexIndex_ = 0;
  if (renderTarget_ != nullptr) renderTarget_->Unbind();
  renderTarget_ = nullptr;
  if (depthTarget_ != nullptr) depthTarget_->Unbind();
  depthTarget_ = nullptr;
  pipelineDirty_ = true;
}

bool Direct3DDevice8::Owns(const Direct3DSurface8* surface) const {
  if (surface == nullptr) return false;
  if (surface == backBuffer_.get() || surface == depthBuffer_.get()) return true;
  const Direct3DTexture8* t = surface->texture();
  return t != nullptr && t->owner() == this;
}

Direct3DTexture8* Direct3DDevice8::OwnTexture(IDirect3DBaseTexture8* texture) const {
  Direct3DTexture8* t = dynamic_cast<Direct3DTexture8*>(texture);
  return (t != nullptr && t->owner() == this) ? t : nullptr;
}

// ---- Capabilities, reset, presentation ----

HRESULT Direct3DDevice8::GetDeviceCaps(D3DCAPS8* caps) {
  if (caps == nullptr) return D3DERR_INVALIDCALL;
  *caps = caps_;
  return D3D_OK;
}

HRESULT Direct3DDevice8::Reset(D3DPRESENT_PARAMETERS* p) {
  if (p == nullptr) return D3DERR_INVALIDCALL;
  // As on the real API, every default-pool resource and every reference the program took to
  // the device's own surfaces must be given back first.
  if (liveDefault_ > 0) return D3DERR_INVALIDCALL;
  if (backBuffer_->programReferences() > 0) return D3DERR_INVALIDCALL;
  if (depthBuffer_ && depthBuffer_->programReferences() > 0) return D3DERR_INVALIDCALL;
  TestControlState& controls = TestControls();
  if (controls.resetFailures > 0) {
    --controls.resetFailures;
    lost_ = true;
    return controls.resetResult;
  }
  D3DPRESENT_PARAMETERS checked = *p;
  HRESULT check = CheckPresentParameters(&checked);
  if (FAILED(check)) {
    lost_ = true;
    return check;
  }
  std::unique_ptr<Direct3DSurface8> backBuffer;
  std::unique_ptr<Direct3DSurface8> depthBuffer;
  HRESULT made = MakeSurfaces(checked, &backBuffer, &depthBuffer);
  if (FAILED(made)) {
    lost_ = true;
    return made;
  }
  lost_ = false;
  UnbindAll();
  backBuffer_ = std::move(backBuffer);
  depthBuffer_ = std::move(depthBuffer);
  renderTarget_ = backBuffer_.get();
  depthTarget_ = depthBuffer_.get();
  *p = checked;
  parameters_ = checked;
  state_.SetDefaults(depthTarget_ != nullptr, checked.BackBufferWidth, checked.BackBufferHeight);
  vertexShader_ = 0;
  inScene_ = false;
  pipelineDirty_ = true;
  if (host::ActiveHost() != nullptr) host::ActiveHost()->SetFullScreen(!checked.Windowed);
  return D3D_OK;
}

HRESULT Direct3DDevice8::Present(const RECT* sourceRect, const RECT* destRect, HWND, const RGNDATA* dirtyRegion) {
  if (sourceRect != nullptr || destRect != nullptr || dirtyRegion != nullptr) return D3DERR_INVALIDCALL;
  if (lost_) return D3DERR_DEVICELOST;
  host::Host* h = host::ActiveHost();
  if (h != nullptr) {
    // Back buffers hold A8R8G8B8 values with alpha 255 (R5G6B5 ones expanded), which is the
    // host's X8R8G8B8.
    h->Present(backBuffer_->colour(), static_cast<int>(backBuffer_->width()), static_cast<int>(backBuffer_->height()),
               static_cast<int>(backBuffer_->width() * 4));
  }
  return D3D_OK;
}

HRESULT Direct3DDevice8::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** surface) {
  if (surface == nullptr || index != 0 || type != D3DBACKBUFFER_TYPE_MONO) return D3DERR_INVALIDCALL;
  backBuffer_->AddRef();
  *surface = backBuffer_.get();
  return D3D_OK;
}

// ---- Resources ----

HRESULT Direct3DDevice8::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                       D3DPOOL pool, IDirect3DTexture8** texture) {
  if (texture == nullptr) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  if (width == 0 || height == 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return D3DERR_INVALIDCALL;
  if ((usage & ~DWORD{D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC}) != 0 || !ValidPool(pool)) return D3DERR_INVALIDCALL;
  bool renderTarget = (usage & D3DUSAGE_RENDERTARGET) != 0;
  PixelFormat f = PixelFormat::Of(format);
  if (!f.texture) return D3DERR_INVALIDCALL;
  if (renderTarget && (pool != D3DPOOL_DEFAULT || !f.renderTarget || (usage & D3DUSAGE_DYNAMIC))) {
    return D3DERR_INVALIDCALL;
  }
  if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED) return D3DERR_INVALIDCALL;
  TestControlState& controls = TestControls();
  if (controls.TextureRefused(format, renderTarget)) return D3DERR_INVALIDCALL;
  if (lost_ && pool == D3DPOOL_DEFAULT) return D3DERR_DEVICELOST;
  if (controls.CreationFails(d3d8test::ResourceKind::kTexture)) return D3DERR_OUTOFVIDEOMEMORY;
  Direct3DTexture8* t = nullptr;
  HRESULT hr = Direct3DTexture8::Create(this, width, height, levels, usage, format, pool, &t);
  if (SUCCEEDED(hr)) *texture = t;
  return hr;
}

HRESULT Direct3DDevice8::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                            IDirect3DVertexBuffer8** vertexBuffer) {
  if (vertexBuffer == nullptr) return D3DERR_INVALIDCALL;
  *vertexBuffer = nullptr;
  const DWORD allowed = D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC | D3DUSAGE_POINTS | D3DUSAGE_DONOTCLIP |
                        D3DUSAGE_SOFTWAREPROCESSING;
  if (length == 0 || (usage & ~allowed) != 0 || !ValidPool(pool)) return D3DERR_INVALIDCALL;
  if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED) return D3DERR_INVALIDCALL;
  if (fvf != 0) {
    VertexFormat f = VertexFormat::Decode(fvf);
    if (f.supported && length < f.size) return D3DERR_INVALIDCALL;
  }
  if (lost_ && pool == D3DPOOL_DEFAULT) return D3DERR_DEVICELOST;
  if (TestControls().CreationFails(d3d8test::ResourceKind::kVertexBuffer)) return D3DERR_OUTOFVIDEOMEMORY;
  Direct3DVertexBuffer8* b = nullptr;
  HRESULT hr = Direct3DVertexBuffer8::Create(this, length, usage, fvf, pool, &b);
  if (SUCCEEDED(hr)) *vertexBuffer = b;
  return hr;
}

HRESULT Direct3DDevice8::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           IDirect3DIndexBuffer8** indexBuffer) {
  if (indexBuffer == nullptr) return D3DERR_INVALIDCALL;
  *indexBuffer = nullptr;
  const DWORD allowed = D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC | D3DUSAGE_POINTS | D3DUSAGE_DONOTCLIP |
                        D3DUSAGE_SOFTWAREPROCESSING;
  if (length < 2 || (usage & ~allowed) != 0 || !ValidPool(pool)) return D3DERR_INVALIDCALL;
  // Only 16-bit indices are drawn (caps MaxVertexIndex 0xFFFF).
  if (format != D3DFMT_INDEX16) return D3DERR_INVALIDCALL;
  if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED) return D3DERR_INVALIDCALL;
  if (lost_ && pool == D3DPOOL_DEFAULT) return D3DERR_DEVICELOST;
  if (TestControls().CreationFails(d3d8test::ResourceKind::kIndexBuffer)) return D3DERR_OUTOFVIDEOMEMORY;
  Direct3DIndexBuffer8* b = nullptr;
  HRESULT hr = Direct3DIndexBuffer8::Create(this, length, usage, format, pool, &b);
  if (SUCCEEDED(hr)) *indexBuffer = b;
  return hr;
}

// ---- Targets ----

HRESULT Direct3DDevice8::SetRenderTarget(IDirect3DSurface8* renderTarget, IDirect3DSurface8* newZStencil) {
  Direct3DSurface8* target = renderTarget_;
  if (renderTarget != nullptr) {
    target = dynamic_cast<Direct3DSurface8*>(renderTarget);
    if (!Owns(target) || !target->isRenderTarget() || target->isDepth()) return D3DERR_INVALIDCALL;
  }
  Direct3DSurface8* depth = nullptr;
  if (newZStencil != nullptr) {
    depth = dynamic_cast<Direct3DSurface8*>(newZStencil);
    if (!Owns(depth) || !depth->isDepth()) return D3DERR_INVALIDCALL;
    // A depth buffer at least as large as the target serves it: pixel (x, y) uses depth (x, y)
    // (PixelStageTest.DepthWritesFollowZWriteEnableAndD16StoresRoundedDepth).
    if (depth->width() < target->width() || depth->height() < target->height()) return D3DERR_INVALIDCALL;
  }
  target->Bind();
  if (depth != nullptr) depth->Bind();
  if (renderTarget_ != nullptr) renderTarget_->Unbind();
  if (depthTarget_ != nullptr) depthTarget_->Unbind();
  renderTarget_ = target;
  depthTarget_ = depth;
  state_.viewport = {0, 0, target->width(), target->height(), 0.0f, 1.0f};
  pipelineDirty_ = true;
  return D3D_OK;
}

HRESULT Direct3DDevice8::GetRenderTarget(IDirect3DSurface8** renderTarget) {
  if (renderTarget == nullptr) return D3DERR_INVALIDCALL;
  renderTarget_->AddRef();
  *renderTarget = renderTarget_;
  return D3D_OK;
}

HRESULT Direct3DDevice8::GetDepthStencilSurface(IDirect3DSurface8** zStencilSurface) {
  if (zStencilSurface == nullptr) return D3DERR_INVALIDCALL;
  *zStencilSurface = nullptr;
  if (depthTarget_ == nullptr) return D3DERR_NOTFOUND;
  depthTarget_->AddRef();
  *zStencilSurface = depthTarget_;
  return D3D_OK;
}

// ---- Scene and clear ----

HRESULT Direct3DDevice8::BeginScene() {
  if (inScene_) return D3DERR_INVALIDCALL;
  inScene_ = true;
  return D3D_OK;
}

HRESULT Direct3DDevice8::EndScene() {
  if (!inScene_) return D3DERR_INVALIDCALL;
  inScene_ = false;
  return D3D_OK;
}

HRESULT Direct3DDevice8::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD) {
  if ((flags & ~DWORD{D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL}) != 0) return D3DERR_INVALIDCALL;
  // No depth format here has stencil bits.
  if (flags & D3DCLEAR_STENCIL) return D3DERR_INVALIDCALL;
  if ((flags & D3DCLEAR_ZBUFFER) && depthTarget_ == nullptr) return D3DERR_INVALIDCALL;
  if (count > 0 && rects == nullptr) return D3DERR_INVALIDCALL;
  const D3DVIEWPORT8& vp = state_.viewport;
  RECT view = {static_cast<LONG>(vp.X), static_cast<LONG>(vp.Y), static_cast<LONG>(vp.X + vp.Width),
               static_cast<LONG>(vp.Y + vp.Height)};
  auto fill = [&](const RECT& r) {
    if (flags & D3DCLEAR_TARGET) renderTarget_->FillColour(r, colour);
    if (flags & D3DCLEAR_ZBUFFER) depthTarget_->FillDepth(r, z);
  };
  if (count == 0) {
    // Without rectangles only the viewport is cleared.
    fill(view);
    return D3D_OK;
  }
  for (DWORD i = 0; i < count; ++i) {
    RECT r = {std::max(rects[i].x1, view.left), std::max(rects[i].y1, view.top), std::min(rects[i].x2, view.right),
              std::min(rects[i].y2, view.bottom)};
    if (r.left < r.right && r.top < r.bottom) fill(r);
  }
  return D3D_OK;
}

// ---- State ----

HRESULT Direct3DDevice8::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  if (matrix == nullptr) return D3DERR_INVALIDCALL;
  if (state == D3DTS_VIEW) {
    state_.view = *matrix;
  } else if (state == D3DTS_PROJECTION) {
    state_.projection = *matrix;
  } else if (state == D3DTS_WORLD) {
    state_.world = *matrix;
  } else if (state >= D3DTS_TEXTURE0 && state < D3DTS_TEXTURE0 + kStageCount) {
    state_.textureTransforms[state - D3DTS_TEXTURE0] = *matrix;
  } else {
    return D3DERR_INVALIDCALL;
  }
  pipelineDirty_ = true;
  return D3D_OK;
}

HRESULT Direct3DDevice8::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  if (matrix == nullptr) return D3DERR_INVALIDCALL;
  if (state == D3DTS_VIEW) {
    *matrix = state_.view;
  } else if (state == D3DTS_PROJECTION) {
    *matrix = state_.projection;
  } else if (state == D3DTS_WORLD) {
    *matrix = state_.world;
  } else if (state >= D3DTS_TEXTURE0 && state < D3DTS_TEXTURE0 + kStageCount) {
    *matrix = state_.textureTransforms[state - D3DTS_TEXTURE0];
  } else {
    return D3DERR_INVALIDCALL;
  }
  return D3D_OK;
}

HRESULT Direct3DDevice8::SetViewport(const D3DVIEWPORT8* viewport) {
  if (viewport == nullptr) return D3DERR_INVALIDCALL;
  const D3DVIEWPORT8& v = *viewport;
  if (v.Width == 0 || v.Height == 0 || uint64_t{v.X} + v.Width > renderTarget_->width() ||
      uint64_t{v.Y} + v.Height > renderTarget_->height()) {
    return D3DERR_INVALIDCALL;
  }
  if (!(v.MinZ >= 0.0f && v.MinZ <= 1.0f && v.MaxZ >= 0.0f && v.MaxZ <= 1.0f)) return D3DERR_INVALIDCALL;
  state_.viewport = v;
  pipelineDirty_ = true;
  return D3D_OK;
}

HRESULT Direct3DDevice8::GetViewport(D3DVIEWPORT8* viewport) {
  if (viewport == nullptr) return D3DERR_INVALIDCALL;
  *viewport = state_.viewport;
  return D3D_OK;
}

HRESULT Direct3DDevice8::SetMaterial(const D3DMATERIAL8* material) {
  if (material == nullptr) return D3DERR_INVALIDCALL;
  state_.material = *material;
  pipelineDirty_ = true;
  return D3D_OK;
}

HRESULT Direct3DDevice8::GetMaterial(D3DMATERIAL8* material) {
  if (material == nullptr) return D3DERR_INVALIDCALL;
  *material = state_.material;
  return D3D_OK;
}

HRESULT Direct3DDevice8::SetLight(DWORD index, const D3DLIGHT8* light) {
  if (light == nullptr || index >= static_cast<DWORD>(kLightCount)) return D3DERR_INVALIDCALL;
  if (light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL) return D3DERR_INVALIDCALL;
  state_.lights[index].light = *light;
  state_.lights[index].defined = true;
  pipelineDirty_ = true;
  return D3D_OK;
}

HRESULT Direct3DDevice8::GetLight(DWORD index, D3DLIGHT8* light) {
  if (light == nullptr || index >= static_cast<DWORD>(kLightCount) || !state_.lights[index].defined) {
    return D3DERR_INVALIDCALL;
  }
  *light = state_.lights[index].light;
  return D3D_OK;
}

HRESULT Direct3DDevice8::LightEnable(DWORD index, BOOL enable) {
  if (index >= static_cast<DWORD>(kLightCount)) return D3DERR_INVALIDCALL;
  LightSlot& slot = state_.lights[index];
  if (!slot.defined) {
    slot.light = DefaultLight();
    slot.defined = true;
  }
  slot.enabled = enable != FALSE;
  pipelineDirty_ = true;
  return D3D_OK;
}

HRESULT Direct3DDevice8::GetLightEnable(DWORD index, BOOL* enable) {
  if (enable == nullptr || index >= static_cast<DWORD>(kLightCount) || !state_.lights[index].defined) {
    return D3DERR_INVALIDCALL;
  }
  *enable = state_.lights[index].enabled ? TRUE : FALSE;
  return D3D_OK;
}

HRESULT Direct3DDevice8::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (!DeviceState::IsRenderState(state)) return D3DERR_INVALIDCALL;
  if (state_.renderStates[state] != value) {
    state_.renderStates[state] = value;
    pipelineDirty_ = true;
  }
  return D3D_OK;
}

HRESULT Direct3DDevice8::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
  if (value == nullptr || !DeviceState::IsRenderState(state)) return D3DERR_INVALIDCALL;
  *value = state_.renderStates[state];
  return D3D_OK;
}

HRESULT Direct3DDevice8::GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) {
  if (texture == nullptr || stage >= static_cast<DWORD>(kStageCount)) return D3DERR_INVALIDCALL;
  *texture = textures_[stage];
  if (textures_[stage] != nullptr) textures_[stage]->AddRef();
  return D3D_OK;
}

HRESULT Direct3DDevice8::SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) {
  if (stage >= static_cast<DWORD>(kStageCount)) return D3DERR_INVALIDCALL;
  Direct3DTexture8* t = nullptr;
  if (texture != nullptr) {
    t = OwnTexture(texture);
    if (t == nullptr) return D3DERR_INVALIDCALL;
    t->Bind();
  }
  if (textures_[stage] != nullptr) textures_[stage]->Unbind();
  if (textures_[stage] != t) pipelineDirty_ = true;
  textures_[stage] = t;
  return D3D_OK;
}

HRESULT Direct3DDevice8::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
  if (value == nullptr || stage >= static_cast<DWORD>(kStageCount) || !DeviceState::IsStageState(type)) {
    return D3DERR_INVALIDCALL;
  }
  *value = state_.stageStates[stage][type];
  return D3D_OK;
}

HRESULT Direct3DDevice8::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  if (stage >= static_cast<DWORD>(kStageCount) || !DeviceState::IsStageState(type)) return D3DERR_INVALIDCALL;
  if (state_.stageStates[stage][type] != value) {
    state_.stageStates[stage][type] = value;
    pipelineDirty_ = true;
  }
  return D3D_OK;
}

HRESULT Direct3DDevice8::SetVertexShader(DWORD handle) {
  if (vertexShader_ != handle) pipelineDirty_ = true;
  vertexShader_ = handle;
  // Kept even when not drawable, so that later draws fail instead of using an older format.
  return VertexFormat::Decode(handle).supported ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT Direct3DDevice8::GetVertexShader(DWORD* handle) {
  if (handle == nullptr) return D3DERR_INVALIDCALL;
  *handle = vertexShader_;
  return D3D_OK;
}

HRESULT Direct3DDevice8::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* streamData, UINT stride) {
  if (streamNumber != 0) return D3DERR_INVALIDCALL;
  Direct3DVertexBuffer8* b = nullptr;
  if (streamData != nullptr) {
    b = dynamic_cast<Direct3DVertexBuffer8*>(streamData);
    if (b == nullptr || b->owner() != this || stride > caps_.MaxStreamStride) return D3DERR_INVALIDCALL;
    b->Bind();
  }
  if (stream_ != nullptr) stream_->Unbind();
  stream_ = b;
  streamStride_ = stride;
  return D3D_OK;
}

HRESULT Direct3DDevice8::GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8** streamData, UINT* stride) {
  if (streamNumber != 0 || streamData == nullptr || stride == nullptr) return D3DERR_INVALIDCALL;
  *streamData = stream_;
  if (stream_ != nullptr) stream_->AddRef();
  *stride = streamStride_;
  return D3D_OK;
}

HRESULT Direct3DDevice8::SetIndices(IDirect3DIndexBuffer8* indexData, UINT baseVertexIndex) {
  Direct3DIndexBuffer8* b = nullptr;
  if (indexData != nullptr) {
    b = dynamic_cast<Direct3DIndexBuffer8*>(indexData);
    if (b == nullptr || b->owner() != this) return D3DERR_INVALIDCALL;
    b->Bind();
  }
  if (indices_ != nullptr) indices_->Unbind();
  indices_ = b;
  baseVertexIndex_ = baseVertexIndex;
  return D3D_OK;
}

HRESULT Direct3DDevice8::GetIndices(IDirect3DIndexBuffer8** indexData, UINT* baseVertexIndex) {
  if (indexData == nullptr || baseVertexIndex == nullptr) return D3DERR_INVALIDCALL;
  *indexData = indices_;
  if (indices_ != nullptr) indices_->AddRef();
  *baseVertexIndex = baseVertexIndex_;
  return D3D_OK;
}

// ---- Drawing ----

HRESULT Direct3DDevice8::PrepareDraw(D3DPRIMITIVETYPE type, UINT primitiveCount, UINT* vertexCount) {
  if (!inScene_) return D3DERR_INVALIDCALL;
  uint64_t vertices = VerticesFor(type, primitiveCount);
  if (vertices == 0 && primitiveCount != 0) return D3DERR_INVALIDCALL;
  if (type != D3DPT_POINTLIST && type != D3DPT_TRIANGLELIST && type != D3DPT_TRIANGLESTRIP) {
    return D3DERR_INVALIDCALL;
  }
  if (primitiveCount > caps_.MaxPrimitiveCount) return D3DERR_INVALIDCALL;
  *vertexCount = static_cast<UINT>(vertices);
  bool points = type == D3DPT_POINTLIST;
  if (pipelineDirty_ || points != configuredPoints_) {
    VertexFormat format = VertexFormat::Decode(vertexShader_);
    pipelineValid_ = false;
    if (format.supported) {
      TargetBinding target;
      target.colour = renderTarget_->colour();
      target.colourPitch = static_cast<int>(renderTarget_->width());
      target.width = static_cast<int>(renderTarget_->width());
      target.height = static_cast<int>(renderTarget_->height());
      target.kind = KindOf(renderTarget_->format().format);
      if (depthTarget_ != nullptr) {
        target.depth = depthTarget_->depth();
        target.depthPitch = static_cast<int>(depthTarget_->width());
        target.depthD16 = depthTarget_->format().format != D3DFMT_D32;
        target.depthRows = depthTarget_->depthRows();
      }
      TextureBinding texture;
      if (textures_[0] != nullptr) textures_[0]->Views(&texture);
      bool software = (behaviorFlags_ & D3DCREATE_SOFTWARE_VERTEXPROCESSING) != 0 ||
                      ((behaviorFlags_ & D3DCREATE_MIXED_VERTEXPROCESSING) != 0 &&
                       state_.renderStates[D3DRS_SOFTWAREVERTEXPROCESSING] != 0);
      float maxPointSize = software ? kSoftwareMaxPointSize : caps_.MaxPointSize;
      pipelineValid_ = pipeline_.Configure(state_, format, type, target, textures_[0] != nullptr ? &texture : nullptr,
                                           maxPointSize);
    }
    pipelineDirty_ = false;
    configuredPoints_ = points;
  }
  return pipelineValid_ ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT Direct3DDevice8::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
  UINT vertexCount = 0;
  HRESULT hr = PrepareDraw(type, primitiveCount, &vertexCount);
  if (FAILED(hr)) return hr;
  if (primitiveCount == 0) return D3D_OK;
  if (stream_ == nullptr) return D3DERR_INVALIDCALL;
  VertexFormat format = VertexFormat::Decode(vertexShader_);
  if (streamStride_ < format.size) return D3DERR_INVALIDCALL;
  uint64_t end = (uint64_t{startVertex} + vertexCount - 1) * streamStride_ + format.size;
  if (end > stream_->length()) return D3DERR_INVALIDCALL;
  pipeline_.DrawVertices(type, stream_->data() + uint64_t{startVertex} * streamStride_, streamStride_, vertexCount,
                         primitiveCount);
  return D3D_OK;
}

HRESULT Direct3DDevice8::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT numVertices,
                                              UINT startIndex, UINT primitiveCount) {
  UINT indexCount = 0;
  HRESULT hr = PrepareDraw(type, primitiveCount, &indexCount);
  if (FAILED(hr)) return hr;
  if (primitiveCount == 0) return D3D_OK;
  if (stream_ == nullptr || indices_ == nullptr || numVertices == 0) return D3DERR_INVALIDCALL;
  VertexFormat format = VertexFormat::Decode(vertexShader_);
  if (streamStride_ < format.size) return D3DERR_INVALIDCALL;
  if ((uint64_t{startIndex} + indexCount) * 2 > indices_->length()) return D3DERR_INVALIDCALL;
  uint64_t first = uint64_t{baseVertexIndex_} + minIndex;
  uint64_t end = (first + numVertices - 1) * streamStride_ + format.size;
  if (end > stream_->length()) return D3DERR_INVALIDCALL;
  const uint16_t* indices = reinterpret_cast<const uint16_t*>(indices_->data()) + startIndex;
  for (UINT i = 0; i < indexCount; ++i) {
    if (indices[i] < minIndex || uint64_t{indices[i]} >= uint64_t{minIndex} + numVertices) return D3DERR_INVALIDCALL;
  }
  pipeline_.DrawIndexed(type, stream_->data() + first * streamStride_, streamStride_, numVertices, indices, minIndex,
                        primitiveCount);
  return D3D_OK;
}

HRESULT Direct3DDevice8::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* data, UINT stride) {
  if (data == nullptr) return D3DERR_INVALIDCALL;
  UINT vertexCount = 0;
  HRESULT hr = PrepareDraw(type, primitiveCount, &vertexCount);
  if (FAILED(hr)) return hr;
  VertexFormat format = VertexFormat::Decode(vertexShader_);
  if (stride < format.size) return D3DERR_INVALIDCALL;
  if (primitiveCount > 0) {
    pipeline_.DrawVertices(type, static_cast<const uint8_t*>(data), stride, vertexCount, primitiveCount);
  }
  // As on the real API, drawing from program memory leaves stream 0 unset
  // (DeviceApiTest.DrawingFromProgramMemoryLeavesStreamZeroUnset).
  if (stream_ != nullptr) stream_->Unbind();
  stream_ = nullptr;
  streamStride_ = 0;
  return D3D_OK;
}

}  // namespace d3d8sw
