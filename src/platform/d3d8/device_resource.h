// Lifetime of a resource the device created (texture, vertex buffer, index buffer): the program's
// reference count, and the device's own bindings, which keep the memory of a released resource
// alive until the device lets go of it. A live resource holds a reference to its device.
#pragma once

#include "d3d8.h"

namespace d3d8sw {

class Direct3DDevice8;

class DeviceResource {
 public:
  DeviceResource(const DeviceResource&) = delete;
  DeviceResource& operator=(const DeviceResource&) = delete;
  virtual ~DeviceResource() = default;

  // The device binds the resource (SetTexture, SetStreamSource, SetIndices, SetRenderTarget).
  void Bind() { ++bindings_; }
  // Deletes the resource when the program has released it and this was the last binding.
  void Unbind();

  D3DPOOL pool() const { return pool_; }
  // The device that made the resource; null once the program has released it.
  Direct3DDevice8* owner() const { return device_; }

 protected:
  // Takes a reference to the device and counts the resource as live.
  DeviceResource(Direct3DDevice8* device, D3DPOOL pool);

  ULONG AddRefResource() { return ++references_; }
  // At zero: the resource stops counting as live, gives back its device reference and is
  // deleted (at once, or at its last unbinding).
  ULONG ReleaseResource();
  HRESULT GetDeviceOf(IDirect3DDevice8** device);
  Direct3DDevice8* device() const { return device_; }

 private:
  Direct3DDevice8* device_;
  D3DPOOL pool_;
  ULONG references_ = 1;
  ULONG bindings_ = 0;
};

}  // namespace d3d8sw
