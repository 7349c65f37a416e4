// Placeholder until the software device lands: no Direct3D 8 runtime.
#include <d3d8.h>

IDirect3D8* WINAPI Direct3DCreate8(UINT) { return nullptr; }
