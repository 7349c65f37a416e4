// Vertex buffers.
#include "direct3d_vertex_buffer8.h"

#include <new>

namespace d3d8sw {

HRESULT Direct3DVertexBuffer8::Create(Direct3DDevice8* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                      Direct3DVertexBuffer8** buffer) {
  Direct3DVertexBuffer8* b = new (std::nothrow) Direct3DVertexBuffer8(device, pool);
  if (b == nullptr) return E_OUTOFMEMORY;
  try {
    b->data_.assign(length, 0);
  } catch (const std::bad_alloc&) {
    b->Release();
    return pool == D3DPOOL_DEFAULT ? D3DERR_OUTOFVIDEOMEMORY : E_OUTOFMEMORY;
  }
  b->usage_ = usage;
  b->fvf_ = fvf;
  *buffer = b;
  return D3D_OK;
}

HRESULT Direct3DVertexBuffer8::Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD) {
  if (data == nullptr) return D3DERR_INVALIDCALL;
  uint64_t length = data_.size();
  if (offsetToLock > length) return D3DERR_INVALIDCALL;
  uint64_t size = sizeToLock == 0 ? length - offsetToLock : sizeToLock;
  if (uint64_t{offsetToLock} + size > length) return D3DERR_INVALIDCALL;
  *data = data_.data() + offsetToLock;
  ++locks_;
  return D3D_OK;
}

HRESULT Direct3DVertexBuffer8::Unlock() {
  if (locks_ == 0) return D3DERR_INVALIDCALL;
  --locks_;
  return D3D_OK;
}

HRESULT Direct3DVertexBuffer8::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
  if (desc == nullptr) return D3DERR_INVALIDCALL;
  desc->Format = D3DFMT_VERTEXDATA;
  desc->Type = D3DRTYPE_VERTEXBUFFER;
  desc->Usage = usage_;
  desc->Pool = pool();
  desc->Size = length();
  desc->FVF = fvf_;
  return D3D_OK;
}

}  // namespace d3d8sw
