// IDirect3D8: the adapters (as the test controls shape them), their capabilities, and device
// creation.
#pragma once

#include "d3d8.h"

namespace d3d8sw {

class Direct3D8 final : public IDirect3D8 {
 public:
  Direct3D8() = default;

  ULONG WINAPI AddRef() override { return ++references_; }
  ULONG WINAPI Release() override;
  UINT WINAPI GetAdapterCount() override;
  HRESULT WINAPI GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS8* caps) override;
  HRESULT WINAPI CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                              D3DPRESENT_PARAMETERS* presentationParameters,
                              IDirect3DDevice8** returnedDevice) override;

  // The capabilities of the software device on an adapter.
  static void FillCaps(UINT adapter, D3DCAPS8* caps);

 private:
  ~Direct3D8() override = default;
  HRESULT TryCreateDevice(UINT adapter, D3DDEVTYPE deviceType, DWORD behaviorFlags,
                          D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device);

  ULONG references_ = 1;
};

}  // namespace d3d8sw
