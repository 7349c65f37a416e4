// The Direct3D 8 object and its entry point.
#include "direct3d8.h"

#include <cstring>
#include <new>

#include "direct3d_device8.h"
#include "test_control_state.h"

namespace d3d8sw {

ULONG Direct3D8::Release() {
  if (references_ == 0) return 0;
  if (--references_ > 0) return references_;
  delete this;
  return 0;
}

UINT Direct3D8::GetAdapterCount() { return TestControls().adapterCount; }

void Direct3D8::FillCaps(UINT adapter, D3DCAPS8* caps) {
  d3d8test::AdapterSetup setup = TestControls().Adapter(adapter);
  std::memset(caps, 0, sizeof *caps);
  caps->DeviceType = D3DDEVTYPE_HAL;
  caps->AdapterOrdinal = adapter;
  caps->PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
  caps->DevCaps = setup.devCaps;
  caps->PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW;
  caps->RasterCaps = D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_FOGVERTEX;
  const DWORD compare = D3DPCMPCAPS_NEVER | D3DPCMPCAPS_LESS | D3DPCMPCAPS_EQUAL | D3DPCMPCAPS_LESSEQUAL |
                        D3DPCMPCAPS_GREATER | D3DPCMPCAPS_NOTEQUAL | D3DPCMPCAPS_GREATEREQUAL | D3DPCMPCAPS_ALWAYS;
  caps->ZCmpCaps = compare;
  caps->AlphaCmpCaps = compare;
  const DWORD blend = D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCCOLOR | D3DPBLENDCAPS_INVSRCCOLOR |
                      D3DPBLENDCAPS_SRCALPHA | D3DPBLENDCAPS_INVSRCALPHA | D3DPBLENDCAPS_DESTCOLOR |
                      D3DPBLENDCAPS_INVDESTCOLOR;
  caps->SrcBlendCaps = blend;
  caps->DestBlendCaps = blend;
  caps->ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_FOGGOURAUD;
  caps->TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP;
  caps->TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
                            D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
  caps->TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_CLAMP;
  caps->MaxTextureWidth = 4096;
  caps->MaxTextureHeight = 4096;
  caps->MaxTextureRepeat = 8192;
  caps->MaxTextureAspectRatio = 4096;
  caps->MaxAnisotropy = 1;
  caps->MaxVertexW = 1.0e10f;
  caps->GuardBandLeft = -16384.0f;
  caps->GuardBandTop = -16384.0f;
  caps->GuardBandRight = 16384.0f;
  caps->GuardBandBottom = 16384.0f;
  caps->FVFCaps = 1 & D3DFVFCAPS_TEXCOORDCOUNTMASK;
  caps->TextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 |
                        D3DTEXOPCAPS_MODULATE;
  caps->MaxTextureBlendStages = 1;
  caps->MaxSimultaneousTextures = 1;
  caps->VertexProcessingCaps = D3DVTXPCAPS_MATERIALSOURCE7 | D3DVTXPCAPS_DIRECTIONALLIGHTS;
  caps->MaxActiveLights = 8;
  caps->MaxPointSize = setup.maxPointSize;
  caps->MaxPrimitiveCount = 0xFFFFF;
  caps->MaxVertexIndex = 0xFFFF;
  caps->MaxStreams = 1;
  caps->MaxStreamStride = 256;
}

HRESULT Direct3D8::GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS8* caps) {
  if (caps == nullptr || adapter >= GetAdapterCount()) return D3DERR_INVALIDCALL;
  // Only a hardware-style device exists, and only on adapters the controls give one.
  if (deviceType != D3DDEVTYPE_HAL || !TestControls().Adapter(adapter).hal) return D3DERR_NOTAVAILABLE;
  FillCaps(adapter, caps);
  return D3D_OK;
}

HRESULT Direct3D8::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND, DWORD behaviorFlags,
                                D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) {
  HRESULT hr = TryCreateDevice(adapter, deviceType, behaviorFlags, parameters, device);
  d3d8test::CreateDeviceAttempt attempt;
  attempt.adapter = adapter;
  attempt.deviceType = deviceType;
  attempt.behaviorFlags = behaviorFlags;
  attempt.backBufferFormat = parameters != nullptr ? parameters->BackBufferFormat : D3DFMT_UNKNOWN;
  attempt.depthFormat = (parameters != nullptr && parameters->EnableAutoDepthStencil)
                            ? parameters->AutoDepthStencilFormat
                            : D3DFMT_UNKNOWN;
  attempt.windowed = parameters != nullptr ? parameters->Windowed : FALSE;
  attempt.result = hr;
  TestControls().attempts.push_back(attempt);
  return hr;
}

HRESULT Direct3D8::TryCreateDevice(UINT adapter, D3DDEVTYPE deviceType, DWORD behaviorFlags,
                                   D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) {
  if (device == nullptr) return D3DERR_INVALIDCALL;
  *device = nullptr;
  if (parameters == nullptr || adapter >= GetAdapterCount()) return D3DERR_INVALIDCALL;
  D3DCAPS8 caps;
  HRESULT hr = GetDeviceCaps(adapter, deviceType, &caps);
  if (FAILED(hr)) return hr;
  const DWORD processing = D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                           D3DCREATE_MIXED_VERTEXPROCESSING;
  DWORD chosen = behaviorFlags & processing;
  if (chosen != D3DCREATE_SOFTWARE_VERTEXPROCESSING && chosen != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
      chosen != D3DCREATE_MIXED_VERTEXPROCESSING) {
    return D3DERR_INVALIDCALL;
  }
  bool hardwareProcessing = chosen != D3DCREATE_SOFTWARE_VERTEXPROCESSING;
  if (hardwareProcessing && (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) == 0) return D3DERR_INVALIDCALL;
  if ((behaviorFlags & D3DCREATE_PUREDEVICE) &&
      (chosen != D3DCREATE_HARDWARE_VERTEXPROCESSING || (caps.DevCaps & D3DDEVCAPS_PUREDEVICE) == 0)) {
    return D3DERR_INVALIDCALL;
  }
  return Direct3DDevice8::Create(this, adapter, caps, behaviorFlags, parameters, device);
}

}  // namespace d3d8sw

IDirect3D8* WINAPI Direct3DCreate8(UINT sdkVersion) {
  if (sdkVersion != D3D_SDK_VERSION || !d3d8sw::TestControls().runtimeAvailable) return nullptr;
  return new (std::nothrow) d3d8sw::Direct3D8();
}
