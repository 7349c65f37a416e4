// The d3d8test controls over the software device.
#include "d3d8_test_control.h"

#include "direct3d_device8.h"
#include "direct3d_surface8.h"
#include "test_control_state.h"

namespace d3d8test {

using d3d8sw::TestControls;

void ResetControls() { TestControls() = d3d8sw::TestControlState(); }

void SetRuntimeAvailable(bool available) { TestControls().runtimeAvailable = available; }

void SetAdapterCount(UINT count) { TestControls().adapterCount = count; }

void SetAdapter(UINT adapter, const AdapterSetup& setup) {
  auto& adapters = TestControls().adapters;
  if (adapters.size() <= adapter) adapters.resize(adapter + 1);
  adapters[adapter] = setup;
}

void RefuseDisplayFormats(D3DFORMAT backBuffer, D3DFORMAT depth) {
  TestControls().refusedModes.emplace_back(backBuffer, depth);
}

void RefuseTextureFormat(D3DFORMAT format, TextureUse use) { TestControls().refusedTextures.emplace_back(format, use); }

void FailNthCreation(ResourceKind kind, int n) { TestControls().creationCountdown[static_cast<int>(kind)] = n; }

void FailResets(int count, HRESULT result) {
  TestControls().resetFailures = count;
  TestControls().resetResult = result;
}

const std::vector<CreateDeviceAttempt>& CreateDeviceAttempts() { return TestControls().attempts; }

int LiveDefaultPoolResources(IDirect3DDevice8* device) {
  auto* d = dynamic_cast<d3d8sw::Direct3DDevice8*>(device);
  return d != nullptr ? d->liveDefaultResources() : 0;
}

bool ReadSurface(IDirect3DSurface8* surface, std::vector<uint32_t>* pixels) {
  auto* s = dynamic_cast<d3d8sw::Direct3DSurface8*>(surface);
  if (s == nullptr || pixels == nullptr) return false;
  s->Read(pixels);
  return true;
}

void UseReferencePixels(bool on) { TestControls().referencePixels = on; }

void UseReferenceRasterizer(bool on) { TestControls().referenceRasterizer = on; }

void UseWideVectors(bool on) { TestControls().wideVectors = on; }

}  // namespace d3d8test
