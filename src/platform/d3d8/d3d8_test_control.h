// Controls for tests of the software Direct3D 8 device and of the code above it: refuse formats,
// fail the nth creation of a kind of resource, shape the adapters and their capabilities, fail
// Reset, count live default-pool resources, and read back the pixels of any surface (render
// targets cannot be locked). Not part of the Direct3D API; only tests and tools include it.
#pragma once

#include <cstdint>
#include <vector>

#include <d3d8.h>

namespace d3d8test {

enum class ResourceKind { kTexture = 0, kVertexBuffer = 1, kIndexBuffer = 2 };

// Which texture creations a refusal applies to.
enum class TextureUse { kAny, kRenderTarget, kPlain };

struct AdapterSetup {
  bool hal = true;  // GetDeviceCaps(HAL) succeeds and CreateDevice(HAL) may
  DWORD devCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_DRAWPRIMTLVERTEX |
                  D3DDEVCAPS_DRAWPRIMITIVES2 | D3DDEVCAPS_DRAWPRIMITIVES2EX | D3DDEVCAPS_PUREDEVICE;
  float maxPointSize = 64.0f;
};

struct CreateDeviceAttempt {
  UINT adapter;
  D3DDEVTYPE deviceType;
  DWORD behaviorFlags;
  D3DFORMAT backBufferFormat;
  D3DFORMAT depthFormat;  // D3DFMT_UNKNOWN without an automatic depth buffer
  BOOL windowed;
  HRESULT result;
};

// Back to the defaults: Direct3D available, one adapter with a HAL device and the default
// setup, nothing refused or failing, the attempt log empty, fast pixel paths on.
void ResetControls();

// Direct3DCreate8 returns null while unavailable (no Direct3D 8 runtime).
void SetRuntimeAvailable(bool available);

void SetAdapterCount(UINT count);
void SetAdapter(UINT adapter, const AdapterSetup& setup);

// CreateDevice and Reset fail with D3DERR_NOTAVAILABLE for this (back buffer, depth) pair;
// D3DFMT_UNKNOWN as the depth format also matches a request without an automatic depth buffer.
void RefuseDisplayFormats(D3DFORMAT backBuffer, D3DFORMAT depth);
// CreateTexture fails with D3DERR_INVALIDCALL for this format and use.
void RefuseTextureFormat(D3DFORMAT format, TextureUse use = TextureUse::kAny);
// The nth creation of `kind` from now (1 = the next) fails with D3DERR_OUTOFVIDEOMEMORY; 0 cancels.
void FailNthCreation(ResourceKind kind, int n);
// The next `count` Reset calls fail with `result` and leave the device as it was.
void FailResets(int count, HRESULT result = D3DERR_INVALIDCALL);

// Every CreateDevice call since the last ResetControls, in order.
const std::vector<CreateDeviceAttempt>& CreateDeviceAttempts();

// Resources in D3DPOOL_DEFAULT that the program still holds a reference to (what Reset refuses on).
int LiveDefaultPoolResources(IDirect3DDevice8* device);

// The pixels of a surface of this device, row by row without padding: colour surfaces as
// A8R8G8B8 values (alpha 255 for formats without alpha; R5G6B5 values expanded by bit
// replication), depth surfaces as the stored D16 or D32 values. False for a foreign surface.
bool ReadSurface(IDirect3DSurface8* surface, std::vector<uint32_t>* pixels);

// Devices created from now on shade every pixel through the reference path (or rasterize with
// the reference walk); used to compare the fast paths with it.
void UseReferencePixels(bool on);
void UseReferenceRasterizer(bool on);

// Devices created from now on use their AVX2 paths where the processor has them (the default), or
// only the SSE2 ones: tests compare both with the reference path.
void UseWideVectors(bool on);

}  // namespace d3d8test
