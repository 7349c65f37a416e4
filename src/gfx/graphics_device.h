// The Direct3D 8 object and the one rendering device everything draws through, created with the
// adapter's best vertex processing and lower-quality surface formats as fallbacks.
#pragma once

#include <d3d8.h>

extern IDirect3D8* direct3D;
// The rendering device used by every drawing unit; null until created.
extern IDirect3DDevice8* d3dDevice;
// The vertex-processing flag the device was created with (0x20, 0x40 or 0x80).
extern DWORD behaviorFlags;
// Used for creation and for every Reset; Windowed is kept equal to 1 - fullScreen.
extern D3DPRESENT_PARAMETERS presentParams;

// (back-buffer format, depth format) pairs tried, in order, when the first creation fails.
struct FallbackMode {
  D3DFORMAT backBufferFormat;
  D3DFORMAT depthFormat;
};
extern const FallbackMode fallbackModes[3];

int CreateGraphicsDevice(HWND window);
void ReleaseGraphicsDevice();
