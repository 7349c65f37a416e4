// Reference counting of device resources.
#include "device_resource.h"

#include "direct3d_device8.h"

namespace d3d8sw {

DeviceResource::DeviceResource(Direct3DDevice8* device, D3DPOOL pool) : device_(device), pool_(pool) {
  device_->AddRef();
  device_->ResourceCreated(pool_);
}

ULONG DeviceResource::ReleaseResource() {
  if (references_ == 0) return 0;
  if (--references_ > 0) return references_;
  Direct3DDevice8* device = device_;
  device_ = nullptr;
  device->ResourceReleased(pool_);
  if (bindings_ == 0) delete this;
  // May destroy the device, which unbinds (and so deletes) this resource if still bound.
  device->Release();
  return 0;
}

void DeviceResource::Unbind() {
  if (bindings_ > 0) --bindings_;
  if (bindings_ == 0 && references_ == 0) delete this;
}

HRESULT DeviceResource::GetDeviceOf(IDirect3DDevice8** device) {
  if (device == nullptr || device_ == nullptr) return D3DERR_INVALIDCALL;
  device_->AddRef();
  *device = device_;
  return D3D_OK;
}

}  // namespace d3d8sw
