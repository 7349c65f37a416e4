// IDirect3DDevice8: the API front of the software device. Checks every argument, keeps the raw
// state, owns the back buffer and the automatic depth buffer, counts live default-pool resources
// (Reset refuses while any lives), and hands draws to the pipeline.
#pragma once

#include <memory>

#include "d3d8.h"
#include "device_state.h"
#include "direct3d_surface8.h"
#include "draw_pipeline.h"

namespace d3d8sw {

class Direct3D8;
class Direct3DTexture8;
class Direct3DVertexBuffer8;
class Direct3DIndexBuffer8;

class Direct3DDevice8 final : public IDirect3DDevice8 {
 public:
  // Creates a device on `owner` (which it holds a reference to). The presentation parameters
  // are checked and completed (BackBufferCount 0 becomes 1, sizes 0 take the window's).
  static HRESULT Create(Direct3D8* owner, UINT adapter, const D3DCAPS8& caps, DWORD behaviorFlags,
                        D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device);
  // The check CreateDevice and Reset share: D3D_OK, or why the parameters cannot be used.
  static HRESULT CheckPresentParameters(D3DPRESENT_PARAMETERS* parameters);

  // ---- IUnknown ----
  ULONG WINAPI AddRef() override { return ++references_; }
  ULONG WINAPI Release() override;

  // ---- IDirect3DDevice8 ----
  HRESULT WINAPI GetDeviceCaps(D3DCAPS8* caps) override;
  HRESULT WINAPI Reset(D3DPRESENT_PARAMETERS* presentationParameters) override;
  HRESULT WINAPI Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                         const RGNDATA* dirtyRegion) override;
  HRESULT WINAPI GetBackBuffer(UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** backBufferSurface) override;
  HRESULT WINAPI CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                               IDirect3DTexture8** texture) override;
  HRESULT WINAPI CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                    IDirect3DVertexBuffer8** vertexBuffer) override;
  HRESULT WINAPI CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                   IDirect3DIndexBuffer8** indexBuffer) override;
  HRESULT WINAPI SetRenderTarget(IDirect3DSurface8* renderTarget, IDirect3DSurface8* newZStencil) override;
  HRESULT WINAPI GetRenderTarget(IDirect3DSurface8** renderTarget) override;
  HRESULT WINAPI GetDepthStencilSurface(IDirect3DSurface8** zStencilSurface) override;
  HRESULT WINAPI BeginScene() override;
  HRESULT WINAPI EndScene() override;
  HRESULT WINAPI Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z,
                       DWORD stencil) override;
  HRESULT WINAPI SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
  HRESULT WINAPI GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
  HRESULT WINAPI SetViewport(const D3DVIEWPORT8* viewport) override;
  HRESULT WINAPI GetViewport(D3DVIEWPORT8* viewport) override;
  HRESULT WINAPI SetMaterial(const D3DMATERIAL8* material) override;
  HRESULT WINAPI GetMaterial(D3DMATERIAL8* material) override;
  HRESULT WINAPI SetLight(DWORD index, const D3DLIGHT8* light) override;
  HRESULT WINAPI GetLight(DWORD index, D3DLIGHT8* light) override;
  HRESULT WINAPI LightEnable(DWORD index, BOOL enable) override;
  HRESULT WINAPI GetLightEnable(DWORD index, BOOL* enable) override;
  HRESULT WINAPI SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT WINAPI GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
  HRESULT WINAPI GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) override;
  HRESULT WINAPI SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) override;
  HRESULT WINAPI GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
  HRESULT WINAPI SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
  HRESULT WINAPI DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex, UINT primitiveCount) override;
  HRESULT WINAPI DrawIndexedPrimitive(D3DPRIMITIVETYPE primitiveType, UINT minIndex, UINT numVertices,
                                      UINT startIndex, UINT primitiveCount) override;
  HRESULT WINAPI DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount, const void* vertexStreamZeroData,
                                 UINT vertexStreamZeroStride) override;
  HRESULT WINAPI SetVertexShader(DWORD handle) override;
  HRESULT WINAPI GetVertexShader(DWORD* handle) override;
  HRESULT WINAPI SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* streamData, UINT stride) override;
  HRESULT WINAPI GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8** streamData, UINT* stride) override;
  HRESULT WINAPI SetIndices(IDirect3DIndexBuffer8* indexData, UINT baseVertexIndex) override;
  HRESULT WINAPI GetIndices(IDirect3DIndexBuffer8** indexData, UINT* baseVertexIndex) override;

  // ---- Resource bookkeeping and test access ----
  void ResourceCreated(D3DPOOL pool);
  void ResourceReleased(D3DPOOL pool);
  int liveDefaultResources() const { return liveDefault_; }
  // Whether `surface` is one of this device's surfaces (its own or a level of its texture).
  bool Owns(const Direct3DSurface8* surface) const;

 private:
  Direct3DDevice8(Direct3D8* owner, UINT adapter, const D3DCAPS8& caps, DWORD behaviorFlags);
  ~Direct3DDevice8() override;

  // Makes the back buffer and the automatic depth buffer the parameters ask for.
  HRESULT MakeSurfaces(const D3DPRESENT_PARAMETERS& parameters, std::unique_ptr<Direct3DSurface8>* backBuffer,
                       std::unique_ptr<Direct3DSurface8>* depthBuffer);
  void UnbindAll();
  // Checks a draw's state and readies the pipeline for it; D3D_OK or D3DERR_INVALIDCALL.
  HRESULT PrepareDraw(D3DPRIMITIVETYPE type, UINT primitiveCount, UINT* vertexCount);
  Direct3DTexture8* OwnTexture(IDirect3DBaseTexture8* texture) const;

  ULONG references_ = 1;
  Direct3D8* owner_;
  UINT adapter_;
  D3DCAPS8 caps_;
  DWORD behaviorFlags_;
  D3DPRESENT_PARAMETERS parameters_{};
  std::unique_ptr<Direct3DSurface8> backBuffer_;
  std::unique_ptr<Direct3DSurface8> depthBuffer_;
  Direct3DSurface8* renderTarget_ = nullptr;
  Direct3DSurface8* depthTarget_ = nullptr;
  DeviceState state_;
  Direct3DTexture8* textures_[kStageCount] = {};
  Direct3DVertexBuffer8* stream_ = nullptr;
  UINT streamStride_ = 0;
  Direct3DIndexBuffer8* indices_ = nullptr;
  UINT baseVertexIndex_ = 0;
  DWORD vertexShader_ = 0;
  bool inScene_ = false;
  // Set by a Reset that failed after its checks, cleared by one that succeeds: as on the real API,
  // a device that could not be reset is lost and makes no default-pool resources or pictures.
  bool lost_ = false;
  int liveDefault_ = 0;

  DrawPipeline pipeline_;
  bool pipelineDirty_ = true;
  bool pipelineValid_ = false;
  bool configuredPoints_ = false;
};

}  // namespace d3d8sw
