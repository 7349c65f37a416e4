// Index buffers.
#include "direct3d_index_buffer8.h"

#include <new>

namespace d3d8sw {

HRESULT Direct3DIndexBuffer8::Create(Direct3DDevice8* device, UINT length, DWORD usage, D3DFORMAT format,
                                     D3DPOOL pool, Direct3DIndexBuffer8** buffer) {
  Direct3DIndexBuffer8* b = new (std::nothrow) Direct3DIndexBuffer8(device, pool);
  if (b == nullptr) return E_OUTOFMEMORY;
  try {
    b->data_.assign(length, 0);
  } catch (const std::bad_alloc&) {
    b->Release();
    return pool == D3DPOOL_DEFAULT ? D3DERR_OUTOFVIDEOMEMORY : E_OUTOFMEMORY;
  }
  b->usage_ = usage;
  b->format_ = format;
  *buffer = b;
  return D3D_OK;
}

HRESULT Direct3DIndexBuffer8::Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD) {
  if (data == nullptr) return D3DERR_INVALIDCALL;
  uint64_t length = data_.size();
  if (offsetToLock > length) return D3DERR_INVALIDCALL;
  uint64_t size = sizeToLock == 0 ? length - offsetToLock : sizeToLock;
  if (uint64_t{offsetToLock} + size > length) return D3DERR_INVALIDCALL;
  *data = data_.data() + offsetToLock;
  ++locks_;
  return D3D_OK;
}

HRESULT Direct3DIndexBuffer8::Unlock() {
  if (locks_ == 0) return D3DERR_INVALIDCALL;
  --locks_;
  return D3D_OK;
}

HRESULT Direct3DIndexBuffer8::GetDesc(D3DINDEXBUFFER_DESC* desc) {
  if (desc == nullptr) return D3DERR_INVALIDCALL;
  desc->Format = format_;
  desc->Type = D3DRTYPE_INDEXBUFFER;
  desc->Usage = usage_;
  desc->Pool = pool();
  desc->Size = length();
  return D3D_OK;
}

}  // namespace d3d8sw
