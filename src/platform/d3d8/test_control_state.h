// The settings behind the d3d8test controls, read by the device implementation.
#pragma once

#include <utility>
#include <vector>

#include "d3d8_test_control.h"

namespace d3d8sw {

struct TestControlState {
  bool runtimeAvailable = true;
  UINT adapterCount = 1;
  std::vector<d3d8test::AdapterSetup> adapters;
  std::vector<std::pair<D3DFORMAT, D3DFORMAT>> refusedModes;
  std::vector<std::pair<D3DFORMAT, d3d8test::TextureUse>> refusedTextures;
  int creationCountdown[3] = {0, 0, 0};  // per ResourceKind: creations left until the failing one
  int resetFailures = 0;
  HRESULT resetResult = D3DERR_INVALIDCALL;
  std::vector<d3d8test::CreateDeviceAttempt> attempts;
  bool referencePixels = false;
  bool referenceRasterizer = false;
  bool wideVectors = true;

  d3d8test::AdapterSetup Adapter(UINT adapter) const;
  bool ModeRefused(D3DFORMAT backBuffer, D3DFORMAT depth) const;
  bool TextureRefused(D3DFORMAT format, bool renderTarget) const;
  // Counts one creation of `kind`; true when it is the one that must fail.
  bool CreationFails(d3d8test::ResourceKind kind);
};

TestControlState& TestControls();

}  // namespace d3d8sw
