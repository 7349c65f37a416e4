// Creation of the Direct3D 8 device with its capability choice and format fallbacks.
#include "gfx/graphics_device.h"

IDirect3D8* direct3D = nullptr;
IDirect3DDevice8* d3dDevice = nullptr;
DWORD behaviorFlags = 0;

D3DPRESENT_PARAMETERS presentParams = {
    640,                            // BackBufferWidth
    480,                            // BackBufferHeight
    D3DFMT_X8R8G8B8,                // BackBufferFormat
    1,                              // BackBufferCount
    D3DMULTISAMPLE_NONE,            // MultiSampleType
    D3DSWAPEFFECT_DISCARD,          // SwapEffect
    nullptr,                        // hDeviceWindow, set at creation
    0,                              // Windowed: the program starts full screen
    1,                              // EnableAutoDepthStencil
    D3DFMT_D32,                     // AutoDepthStencilFormat
    0,                              // Flags
    0,                              // FullScreen_RefreshRateInHz
    D3DPRESENT_INTERVAL_IMMEDIATE,  // FullScreen_PresentationInterval
};

const FallbackMode fallbackModes[3] = {
    {D3DFMT_X8R8G8B8, D3DFMT_D16},
    {D3DFMT_R5G6B5, D3DFMT_D32},
    {D3DFMT_R5G6B5, D3DFMT_D16},
};

int CreateGraphicsDevice(HWND window) {
  direct3D = Direct3DCreate8(D3D_SDK_VERSION);
  if (direct3D == nullptr) return -1;

  UINT adapterCount = direct3D->GetAdapterCount();
  UINT adapter = 0;
  D3DCAPS8 caps;
  while (adapter < adapterCount && FAILED(direct3D->GetDeviceCaps(adapter, D3DDEVTYPE_HAL, &caps))) ++adapter;
  if (adapter >= adapterCount) return -1;

  if (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) {
    // A device that transforms in hardware but cannot draw large points keeps software vertex
    // processing at hand for the point sprites.
    behaviorFlags = caps.MaxPointSize > 1.0f ? D3DCREATE_HARDWARE_VERTEXPROCESSING : D3DCREATE_MIXED_VERTEXPROCESSING;
  } else {
    behaviorFlags = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
  }

  presentParams.hDeviceWindow = window;
  if (direct3D->CreateDevice(adapter, D3DDEVTYPE_HAL, window, behaviorFlags, &presentParams, &d3dDevice) == D3D_OK) {
    return 0;
  }
  for (const FallbackMode& mode : fallbackModes) {
    presentParams.BackBufferFormat = mode.backBufferFormat;
    presentParams.AutoDepthStencilFormat = mode.depthFormat;
    if (direct3D->CreateDevice(adapter, D3DDEVTYPE_HAL, window, behaviorFlags, &presentParams, &d3dDevice) ==
        D3D_OK) {
      return 0;
    }
  }
  return -1;
}

void ReleaseGraphicsDevice() {
  if (d3dDevice != nullptr) {
    d3dDevice->Release();
    d3dDevice = nullptr;
  }
  if (direct3D != nullptr) {
    direct3D->Release();
    direct3D = nullptr;
  }
}
