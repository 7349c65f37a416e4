// IDirect3DVertexBuffer8: vertex memory the program locks, writes and draws from.
#pragma once

#include <cstdint>
#include <vector>

#include "d3d8.h"
#include "device_resource.h"

namespace d3d8sw {

class Direct3DVertexBuffer8 final : public IDirect3DVertexBuffer8, public DeviceResource {
 public:
  // Arguments are checked by the device; fails only for want of memory.
  static HRESULT Create(Direct3DDevice8* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                        Direct3DVertexBuffer8** buffer);

  ULONG WINAPI AddRef() override { return AddRefResource(); }
  ULONG WINAPI Release() override { return ReleaseResource(); }
  HRESULT WINAPI GetDevice(IDirect3DDevice8** device) override { return GetDeviceOf(device); }
  D3DRESOURCETYPE WINAPI GetType() override { return D3DRTYPE_VERTEXBUFFER; }
  // Offset and size 0 lock everything; size 0 alone locks from the offset to the end. Locks
  // nest; DISCARD keeps the contents (drawing finishes before the call returns).
  HRESULT WINAPI Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD flags) override;
  HRESULT WINAPI Unlock() override;
  HRESULT WINAPI GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

  const uint8_t* data() const { return data_.data(); }
  UINT length() const { return static_cast<UINT>(data_.size()); }

 private:
  Direct3DVertexBuffer8(Direct3DDevice8* device, D3DPOOL pool) : DeviceResource(device, pool) {}
  ~Direct3DVertexBuffer8() override = default;

  std::vector<uint8_t> data_;
  DWORD usage_ = 0;
  DWORD fvf_ = 0;
  int locks_ = 0;
};

}  // namespace d3d8sw
