// IDirect3DSurface8: a level of a texture, or one of the device's own surfaces (the back buffer
// and the automatic depth buffer). Colour surfaces keep their pixels as A8R8G8B8 for the pixel
// pipeline; lockable levels in another format also keep the bytes of their real format, which
// UnlockRect expands. Depth surfaces keep D16 or D32 values.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "d3d8.h"
#include "depth_rows.h"
#include "pixel_format.h"
#include "pixel_state.h"

namespace d3d8sw {

class Direct3DDevice8;
class Direct3DTexture8;

class Direct3DSurface8 final : public IDirect3DSurface8 {
 public:
  // A surface of `format`; `texture` is its container (null for the device's own surfaces).
  // Returns null when the memory cannot be had.
  static std::unique_ptr<Direct3DSurface8> Create(Direct3DDevice8* device, Direct3DTexture8* texture,
                                                  D3DFORMAT format, UINT width, UINT height, DWORD usage,
                                                  D3DPOOL pool, bool lockable);
  ~Direct3DSurface8() override = default;

  // ---- IUnknown: a texture level counts on its texture, a device surface on the device ----
  ULONG WINAPI AddRef() override;
  ULONG WINAPI Release() override;

  // ---- IDirect3DSurface8 ----
  HRESULT WINAPI GetDevice(IDirect3DDevice8** device) override;
  HRESULT WINAPI GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT WINAPI LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
  HRESULT WINAPI UnlockRect() override;

  // ---- Device side ----
  const PixelFormat& format() const { return format_; }
  UINT width() const { return width_; }
  UINT height() const { return height_; }
  DWORD usage() const { return usage_; }
  bool isDepth() const { return format_.depth; }
  bool isRenderTarget() const { return (usage_ & D3DUSAGE_RENDERTARGET) != 0; }
  Direct3DTexture8* texture() const { return texture_; }
  uint32_t* colour() { return argb_.data(); }
  void* depth() { return format_.format == D3DFMT_D32 ? static_cast<void*>(depth32_.data()) : depth16_.data(); }
  // Depth surfaces: the rows' bounds and pending clears, which every access to the values goes
  // through (depth() points at memory that may not hold them yet).
  DepthRows* depthRows() { return &depthRows_; }
  TextureLevelView View() const;
  // References the program holds to a device surface (GetRenderTarget and the like).
  int programReferences() const { return programReferences_; }

  // The device binds the surface as render target or depth buffer.
  void Bind();
  void Unbind();

  // Fills rect (clipped to the surface) with a colour (stored as the format stores it) or a depth.
  void FillColour(const RECT& rect, D3DCOLOR colour);
  void FillDepth(const RECT& rect, float z);

  // The pixels as d3d8test::ReadSurface describes them.
  void Read(std::vector<uint32_t>* pixels) const;

 private:
  Direct3DSurface8() = default;

  Direct3DDevice8* device_ = nullptr;
  Direct3DTexture8* texture_ = nullptr;
  PixelFormat format_;
  UINT width_ = 0;
  UINT height_ = 0;
  DWORD usage_ = 0;
  D3DPOOL pool_ = D3DPOOL_DEFAULT;
  bool lockable_ = false;
  std::vector<uint32_t> argb_;   // colour surfaces
  std::vector<uint8_t> raw_;     // lockable levels not stored as A8R8G8B8
  UINT rawPitch_ = 0;
  std::vector<uint16_t> depth16_;
  std::vector<uint32_t> depth32_;
  DepthRows depthRows_;
  bool locked_ = false;
  bool lockReadOnly_ = false;
  RECT lockRect_ = {0, 0, 0, 0};
  int programReferences_ = 0;
};

}  // namespace d3d8sw
