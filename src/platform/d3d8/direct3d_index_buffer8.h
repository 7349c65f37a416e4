// IDirect3DIndexBuffer8: 16-bit indices the program locks, writes and draws with.
#pragma once

#include <cstdint>
#include <vector>

#include "d3d8.h"
#include "device_resource.h"

namespace d3d8sw {

class Direct3DIndexBuffer8 final : public IDirect3DIndexBuffer8, public DeviceResource {
 public:
  // Arguments are checked by the device; fails only for want of memory.
  static HRESULT Create(Direct3DDevice8* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                        Direct3DIndexBuffer8** buffer);

  ULONG WINAPI AddRef() override { return AddRefResource(); }
  ULONG WINAPI Release() override { return ReleaseResource(); }
  HRESULT WINAPI GetDevice(IDirect3DDevice8** device) override { return GetDeviceOf(device); }
  D3DRESOURCETYPE WINAPI GetType() override { return D3DRTYPE_INDEXBUFFER; }
  // Locking as for vertex buffers.
  HRESULT WINAPI Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD flags) override;
  HRESULT WINAPI Unlock() override;
  HRESULT WINAPI GetDesc(D3DINDEXBUFFER_DESC* desc) override;

  const uint8_t* data() const { return data_.data(); }
  UINT length() const { return static_cast<UINT>(data_.size()); }

 private:
  Direct3DIndexBuffer8(Direct3DDevice8* device, D3DPOOL pool) : DeviceResource(device, pool) {}
  ~Direct3DIndexBuffer8() override = default;

  std::vector<uint8_t> data_;
  DWORD usage_ = 0;
  D3DFORMAT format_ = D3DFMT_INDEX16;
  int locks_ = 0;
};

}  // namespace d3d8sw
