// Direct3D 8 interfaces (the subset of d3d8.h the music disk calls), with the real names, call
// shapes and result codes; implemented by the software device in this folder.
#pragma once

#include "d3d8caps.h"
#include "d3d8types.h"

#define D3D_SDK_VERSION 220

#define _FACD3D 0x876
#define MAKE_D3DHRESULT(code) ((HRESULT)((1UL << 31) | ((unsigned long)_FACD3D << 16) | (unsigned long)(code)))

#define D3D_OK S_OK
#define D3DERR_WRONGTEXTUREFORMAT MAKE_D3DHRESULT(2072)
#define D3DERR_UNSUPPORTEDCOLOROPERATION MAKE_D3DHRESULT(2073)
#define D3DERR_UNSUPPORTEDALPHAOPERATION MAKE_D3DHRESULT(2075)
#define D3DERR_CONFLICTINGRENDERSTATE MAKE_D3DHRESULT(2081)
#define D3DERR_DRIVERINTERNALERROR MAKE_D3DHRESULT(2087)
#define D3DERR_NOTFOUND MAKE_D3DHRESULT(2150)
#define D3DERR_MOREDATA MAKE_D3DHRESULT(2151)
#define D3DERR_DEVICELOST MAKE_D3DHRESULT(2152)
#define D3DERR_DEVICENOTRESET MAKE_D3DHRESULT(2153)
#define D3DERR_NOTAVAILABLE MAKE_D3DHRESULT(2154)
#define D3DERR_OUTOFVIDEOMEMORY MAKE_D3DHRESULT(380)
#define D3DERR_INVALIDDEVICE MAKE_D3DHRESULT(2155)
#define D3DERR_INVALIDCALL MAKE_D3DHRESULT(2156)

#define D3DADAPTER_DEFAULT 0

struct RGNDATA;
class IDirect3DDevice8;
class IDirect3DSurface8;
class IDirect3DTexture8;
class IDirect3DVertexBuffer8;
class IDirect3DIndexBuffer8;

class IUnknown {
 public:
  virtual ULONG WINAPI AddRef() = 0;
  virtual ULONG WINAPI Release() = 0;

 protected:
  virtual ~IUnknown() = default;
};

class IDirect3D8 : public IUnknown {
 public:
  virtual UINT WINAPI GetAdapterCount() = 0;
  virtual HRESULT WINAPI GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS8* caps) = 0;
  virtual HRESULT WINAPI CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                                      D3DPRESENT_PARAMETERS* presentationParameters,
                                      IDirect3DDevice8** returnedDevice) = 0;
};

class IDirect3DResource8 : public IUnknown {
 public:
  virtual HRESULT WINAPI GetDevice(IDirect3DDevice8** device) = 0;
  virtual D3DRESOURCETYPE WINAPI GetType() = 0;
};

class IDirect3DBaseTexture8 : public IDirect3DResource8 {
 public:
  virtual DWORD WINAPI GetLevelCount() = 0;
};

class IDirect3DTexture8 : public IDirect3DBaseTexture8 {
 public:
  virtual HRESULT WINAPI GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
  virtual HRESULT WINAPI GetSurfaceLevel(UINT level, IDirect3DSurface8** surfaceLevel) = 0;
  virtual HRESULT WINAPI LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) = 0;
  virtual HRESULT WINAPI UnlockRect(UINT level) = 0;
};

class IDirect3DSurface8 : public IUnknown {
 public:
  virtual HRESULT WINAPI GetDevice(IDirect3DDevice8** device) = 0;
  virtual HRESULT WINAPI GetDesc(D3DSURFACE_DESC* desc) = 0;
  virtual HRESULT WINAPI LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) = 0;
  virtual HRESULT WINAPI UnlockRect() = 0;
};

class IDirect3DVertexBuffer8 : public IDirect3DResource8 {
 public:
  virtual HRESULT WINAPI Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD flags) = 0;
  virtual HRESULT WINAPI Unlock() = 0;
  virtual HRESULT WINAPI GetDesc(D3DVERTEXBUFFER_DESC* desc) = 0;
};

class IDirect3DIndexBuffer8 : public IDirect3DResource8 {
 public:
  virtual HRESULT WINAPI Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD flags) = 0;
  virtual HRESULT WINAPI Unlock() = 0;
  virtual HRESULT WINAPI GetDesc(D3DINDEXBUFFER_DESC* desc) = 0;
};

class IDirect3DDevice8 : public IUnknown {
 public:
  virtual HRESULT WINAPI GetDeviceCaps(D3DCAPS8* caps) = 0;
  virtual HRESULT WINAPI Reset(D3DPRESENT_PARAMETERS* presentationParameters) = 0;
  virtual HRESULT WINAPI Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                                 const RGNDATA* dirtyRegion) = 0;
  virtual HRESULT WINAPI GetBackBuffer(UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** backBufferSurface) = 0;

  virtual HRESULT WINAPI CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                       D3DPOOL pool, IDirect3DTexture8** texture) = 0;
  virtual HRESULT WINAPI CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                            IDirect3DVertexBuffer8** vertexBuffer) = 0;
  virtual HRESULT WINAPI CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           IDirect3DIndexBuffer8** indexBuffer) = 0;

  virtual HRESULT WINAPI SetRenderTarget(IDirect3DSurface8* renderTarget, IDirect3DSurface8* newZStencil) = 0;
  virtual HRESULT WINAPI GetRenderTarget(IDirect3DSurface8** renderTarget) = 0;
  virtual HRESULT WINAPI GetDepthStencilSurface(IDirect3DSurface8** zStencilSurface) = 0;

  virtual HRESULT WINAPI BeginScene() = 0;
  virtual HRESULT WINAPI EndScene() = 0;
  virtual HRESULT WINAPI Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z,
                               DWORD stencil) = 0;

  virtual HRESULT WINAPI SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
  virtual HRESULT WINAPI GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) = 0;
  virtual HRESULT WINAPI SetViewport(const D3DVIEWPORT8* viewport) = 0;
  virtual HRESULT WINAPI GetViewport(D3DVIEWPORT8* viewport) = 0;
  virtual HRESULT WINAPI SetMaterial(const D3DMATERIAL8* material) = 0;
  virtual HRESULT WINAPI GetMaterial(D3DMATERIAL8* material) = 0;
  virtual HRESULT WINAPI SetLight(DWORD index, const D3DLIGHT8* light) = 0;
  virtual HRESULT WINAPI GetLight(DWORD index, D3DLIGHT8* light) = 0;
  virtual HRESULT WINAPI LightEnable(DWORD index, BOOL enable) = 0;
  virtual HRESULT WINAPI GetLightEnable(DWORD index, BOOL* enable) = 0;
  virtual HRESULT WINAPI SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
  virtual HRESULT WINAPI GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;

  virtual HRESULT WINAPI GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) = 0;
  virtual HRESULT WINAPI SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) = 0;
  virtual HRESULT WINAPI GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) = 0;
  virtual HRESULT WINAPI SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;

  virtual HRESULT WINAPI DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex, UINT primitiveCount) = 0;
  virtual HRESULT WINAPI DrawIndexedPrimitive(D3DPRIMITIVETYPE primitiveType, UINT minIndex, UINT numVertices,
                                              UINT startIndex, UINT primitiveCount) = 0;
  virtual HRESULT WINAPI DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount,
                                         const void* vertexStreamZeroData, UINT vertexStreamZeroStride) = 0;

  virtual HRESULT WINAPI SetVertexShader(DWORD handle) = 0;
  virtual HRESULT WINAPI GetVertexShader(DWORD* handle) = 0;
  virtual HRESULT WINAPI SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* streamData, UINT stride) = 0;
  virtual HRESULT WINAPI GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8** streamData, UINT* stride) = 0;
  virtual HRESULT WINAPI SetIndices(IDirect3DIndexBuffer8* indexData, UINT baseVertexIndex) = 0;
  virtual HRESULT WINAPI GetIndices(IDirect3DIndexBuffer8** indexData, UINT* baseVertexIndex) = 0;
};

typedef IDirect3D8* LPDIRECT3D8;
typedef IDirect3DDevice8* LPDIRECT3DDEVICE8;
typedef IDirect3DTexture8* LPDIRECT3DTEXTURE8;
typedef IDirect3DBaseTexture8* LPDIRECT3DBASETEXTURE8;
typedef IDirect3DSurface8* LPDIRECT3DSURFACE8;
typedef IDirect3DVertexBuffer8* LPDIRECT3DVERTEXBUFFER8;
typedef IDirect3DIndexBuffer8* LPDIRECT3DINDEXBUFFER8;

IDirect3D8* WINAPI Direct3DCreate8(UINT sdkVersion);
