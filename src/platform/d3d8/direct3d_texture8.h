// IDirect3DTexture8: a chain of level surfaces. Managed, system-memory and dynamic textures can
// be locked; render-target textures are drawn into and sampled, never locked.
#pragma once

#include <memory>
#include <vector>

#include "d3d8.h"
#include "device_resource.h"
#include "direct3d_surface8.h"
#include "draw_pipeline.h"

namespace d3d8sw {

class Direct3DTexture8 final : public IDirect3DTexture8, public DeviceResource {
 public:
  // Arguments are checked by the device; fails only for want of memory.
  static HRESULT Create(Direct3DDevice8* device, UINT width, UINT height, UINT levels, DWORD usage,
                        D3DFORMAT format, D3DPOOL pool, Direct3DTexture8** texture);

  ULONG WINAPI AddRef() override { return AddRefResource(); }
  ULONG WINAPI Release() override { return ReleaseResource(); }
  HRESULT WINAPI GetDevice(IDirect3DDevice8** device) override { return GetDeviceOf(device); }
  D3DRESOURCETYPE WINAPI GetType() override { return D3DRTYPE_TEXTURE; }
  DWORD WINAPI GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
  HRESULT WINAPI GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT WINAPI GetSurfaceLevel(UINT level, IDirect3DSurface8** surfaceLevel) override;
  HRESULT WINAPI LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
  HRESULT WINAPI UnlockRect(UINT level) override;

  // The levels as the pixel stage samples them.
  void Views(TextureBinding* binding) const;
  Direct3DSurface8* level(UINT i) const { return levels_[i].get(); }

 private:
  Direct3DTexture8(Direct3DDevice8* device, D3DPOOL pool) : DeviceResource(device, pool) {}
  ~Direct3DTexture8() override = default;

  std::vector<std::unique_ptr<Direct3DSurface8>> levels_;
};

}  // namespace d3d8sw
