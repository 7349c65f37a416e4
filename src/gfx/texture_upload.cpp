// Texture upload from raw pixel blocks, honouring the locked pitch.
#include "gfx/texture_upload.h"

#include <cstring>

#include "gfx/graphics_device.h"

namespace {

enum class CopyMode { kNone, kRows, kWholeSurface };

struct CopyPlan {
  CopyMode mode;
  UINT bytesPerPixel;
};

// Formats without alpha in a 32 or 15-bit layout are refused: the blocks never hold them.
CopyPlan PlanFor(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_R8G8B8: return {CopyMode::kRows, 3};
    case D3DFMT_A8R8G8B8: return {CopyMode::kRows, 4};
    case D3DFMT_R5G6B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4: return {CopyMode::kRows, 2};
    case D3DFMT_DXT1:
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5: return {CopyMode::kWholeSurface, 0};
    default: return {CopyMode::kNone, 0};
  }
}

}  // namespace

int CreateTextureFromImage(const void* source, IDirect3DTexture8** texture, UINT width, UINT height, D3DFORMAT format,
                           UINT levels) {
  if (d3dDevice->CreateTexture(width, height, levels, 0, format, D3DPOOL_MANAGED, texture) < 0) return -1;

  IDirect3DSurface8* level0 = nullptr;
  if ((*texture)->GetSurfaceLevel(0, &level0) < 0) return -1;
  D3DSURFACE_DESC desc;
  level0->GetDesc(&desc);

  CopyPlan plan = PlanFor(desc.Format);
  if (plan.mode == CopyMode::kNone) {
    level0->Release();
    return -1;
  }

  const unsigned char* from = static_cast<const unsigned char*>(source);
  UINT rowBytes = desc.Width * plan.bytesPerPixel;
  UINT surfaceBytes = desc.Size;
  DWORD levelCount = (*texture)->GetLevelCount();
  for (DWORD i = 0; i < levelCount; ++i) {
    IDirect3DSurface8* surface = nullptr;
    (*texture)->GetSurfaceLevel(i, &surface);
    D3DLOCKED_RECT locked;
    if (surface->LockRect(&locked, nullptr, 0) < 0) {
      surface->Release();
      level0->Release();
      return -1;
    }
    if (plan.mode == CopyMode::kRows) {
      unsigned char* to = static_cast<unsigned char*>(locked.pBits);
      for (UINT row = 0; row < (desc.Height >> i); ++row) {
        std::memcpy(to + row * locked.Pitch, from, rowBytes);
        from += rowBytes;
      }
    } else {
      std::memcpy(locked.pBits, from, surfaceBytes);
      from += surfaceBytes;
      surfaceBytes /= 4;
    }
    rowBytes /= 2;
    HRESULT unlocked = surface->UnlockRect();
    surface->Release();
    if (unlocked < 0) {
      level0->Release();
      return -1;
    }
  }
  level0->Release();
  return 0;
}
