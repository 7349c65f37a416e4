// Textures: level chains and their locks.
#include "direct3d_texture8.h"

#include <algorithm>
#include <new>

namespace d3d8sw {

HRESULT Direct3DTexture8::Create(Direct3DDevice8* device, UINT width, UINT height, UINT levels, DWORD usage,
                                 D3DFORMAT format, D3DPOOL pool, Direct3DTexture8** texture) {
  UINT full = 1;
  for (UINT w = width, h = height; w > 1 || h > 1; w = std::max(1u, w / 2), h = std::max(1u, h / 2)) ++full;
  if (levels == 0 || levels > full) levels = full;
  if (levels > static_cast<UINT>(kMaxTextureLevels)) levels = kMaxTextureLevels;
  Direct3DTexture8* t = new (std::nothrow) Direct3DTexture8(device, pool);
  if (t == nullptr) return E_OUTOFMEMORY;
  bool renderTarget = (usage & D3DUSAGE_RENDERTARGET) != 0;
  bool lockable = !renderTarget && (pool != D3DPOOL_DEFAULT || (usage & D3DUSAGE_DYNAMIC) != 0);
  UINT w = width, h = height;
  for (UINT i = 0; i < levels; ++i) {
    std::unique_ptr<Direct3DSurface8> level = Direct3DSurface8::Create(device, t, format, w, h, usage, pool, lockable);
    if (!level) {
      t->Release();
      return pool == D3DPOOL_DEFAULT ? D3DERR_OUTOFVIDEOMEMORY : E_OUTOFMEMORY;
    }
    t->levels_.push_back(std::move(level));
    w = std::max(1u, w / 2);
    h = std::max(1u, h / 2);
  }
  *texture = t;
  return D3D_OK;
}

HRESULT Direct3DTexture8::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (level >= levels_.size()) return D3DERR_INVALIDCALL;
  return levels_[level]->GetDesc(desc);
}

HRESULT Direct3DTexture8::GetSurfaceLevel(UINT level, IDirect3DSurface8** surfaceLevel) {
  if (surfaceLevel == nullptr || level >= levels_.size()) return D3DERR_INVALIDCALL;
  AddRef();
  *surfaceLevel = levels_[level].get();
  return D3D_OK;
}

HRESULT Direct3DTexture8::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) {
  if (level >= levels_.size()) return D3DERR_INVALIDCALL;
  return levels_[level]->LockRect(lockedRect, rect, flags);
}

HRESULT Direct3DTexture8::UnlockRect(UINT level) {
  if (level >= levels_.size()) return D3DERR_INVALIDCALL;
  return levels_[level]->UnlockRect();
}

void Direct3DTexture8::Views(TextureBinding* binding) const {
  binding->levelCount = static_cast<int>(levels_.size());
  for (size_t i = 0; i < levels_.size(); ++i) binding->levels[i] = levels_[i]->View();
}

}  // namespace d3d8sw
