// Surfaces: storage, locking, clearing and read-back.
#include "direct3d_surface8.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "colour_math.h"
#include "direct3d_device8.h"
#include "direct3d_texture8.h"
#include "span_job.h"

namespace d3d8sw {

namespace {

// Fills columns [x0, x1) of rows [y0, y1) of a surface `width` values wide (x0 < x1, y0 < y1).
// Whole rows make one contiguous block, and a value whose bytes are all alike is a memset: clears
// of the big targets run at memory speed instead of a row at a time.
template <typename T>
void FillBlock(T* surface, size_t width, size_t x0, size_t y0, size_t x1, size_t y1, T value) {
  bool bytesAlike = true;
  for (size_t b = 1; b < sizeof(T); ++b) bytesAlike &= ((value >> (8 * b)) & 0xFF) == (value & 0xFF);
  auto fill = [&](T* first, size_t count) {
    if (bytesAlike) {
      std::memset(first, static_cast<int>(value & 0xFF), count * sizeof(T));
    } else {
      std::fill(first, first + count, value);
    }
  };
  if (x0 == 0 && x1 == width) {
    fill(surface + y0 * width, (y1 - y0) * width);
    return;
  }
  for (size_t y = y0; y < y1; ++y) fill(surface + y * width + x0, x1 - x0);
}

}  // namespace

std::unique_ptr<Direct3DSurface8> Direct3DSurface8::Create(Direct3DDevice8* device, Direct3DTexture8* texture,
                                                           D3DFORMAT format, UINT width, UINT height, DWORD usage,
                                                           D3DPOOL pool, bool lockable) {
  std::unique_ptr<Direct3DSurface8> s(new (std::nothrow) Direct3DSurface8());
  if (!s) return nullptr;
  s->device_ = device;
  s->texture_ = texture;
  s->format_ = PixelFormat::Of(format);
  s->width_ = width;
  s->height_ = height;
  s->usage_ = usage;
  s->pool_ = pool;
  s->lockable_ = lockable;
  size_t pixels = static_cast<size_t>(width) * height;
  try {
    if (s->format_.depth) {
      if (format == D3DFMT_D32) {
        s->depth32_.assign(pixels, 0xFFFFFFFF);
        s->depthRows_.Reset(s->depth32_.data(), false, static_cast<int>(width), static_cast<int>(height), 0xFFFFFFFF);
      } else {
        s->depth16_.assign(pixels, 0xFFFF);
        s->depthRows_.Reset(s->depth16_.data(), true, static_cast<int>(width), static_cast<int>(height), 0xFFFF);
      }
    } else {
      s->argb_.assign(pixels, s->format_.alphaOr);
      if (lockable && format != D3DFMT_A8R8G8B8) {
        s->rawPitch_ = s->format_.Pitch(width);
        s->raw_.assign(s->format_.LevelSize(width, height), 0);
        s->format_.Expand(s->raw_.data(), s->rawPitch_, s->argb_.data(), width, width, height, 0, 0, width, height);
      }
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return s;
}

ULONG Direct3DSurface8::AddRef() {
  if (texture_ != nullptr) return texture_->AddRef();
  ++programReferences_;
  return device_->AddRef();
}

ULONG Direct3DSurface8::Release() {
  if (texture_ != nullptr) return texture_->Release();
  if (programReferences_ > 0) --programReferences_;
  return device_->Release();
}

HRESULT Direct3DSurface8::GetDevice(IDirect3DDevice8** device) {
  if (device == nullptr) return D3DERR_INVALIDCALL;
  device_->AddRef();
  *device = device_;
  return D3D_OK;
}

HRESULT Direct3DSurface8::GetDesc(D3DSURFACE_DESC* desc) {
  if (desc == nullptr) return D3DERR_INVALIDCALL;
  desc->Format = format_.format;
  desc->Type = D3DRTYPE_SURFACE;
  desc->Usage = usage_;
  desc->Pool = pool_;
  desc->Size = format_.depth ? width_ * height_ * static_cast<UINT>(format_.bytesPerTexel)
                             : format_.LevelSize(width_, height_);
  desc->MultiSampleType = D3DMULTISAMPLE_NONE;
  desc->Width = width_;
  desc->Height = height_;
  return D3D_OK;
}

HRESULT Direct3DSurface8::LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) {
  if (lockedRect == nullptr || !lockable_ || locked_) return D3DERR_INVALIDCALL;
  RECT r = {0, 0, static_cast<LONG>(width_), static_cast<LONG>(height_)};
  if (rect != nullptr) {
    r = *rect;
    if (r.left < 0 || r.top < 0 || r.left >= r.right || r.top >= r.bottom ||
        r.right > static_cast<LONG>(width_) || r.bottom > static_cast<LONG>(height_)) {
      return D3DERR_INVALIDCALL;
    }
    if (format_.compressed) {
      // Compressed surfaces lock whole 4x4 blocks.
      auto aligned = [](LONG v, UINT size) { return v % 4 == 0 || v == static_cast<LONG>(size); };
      if (r.left % 4 != 0 || r.top % 4 != 0 || !aligned(r.right, width_) || !aligned(r.bottom, height_)) {
        return D3DERR_INVALIDCALL;
      }
    }
  }
  uint8_t* base;
  UINT pitch;
  if (raw_.empty()) {
    base = reinterpret_cast<uint8_t*>(argb_.data());
    pitch = width_ * 4;
  } else {
    base = raw_.data();
    pitch = rawPitch_;
  }
  size_t offset;
  if (format_.compressed) {
    offset = static_cast<size_t>(r.top / 4) * pitch + static_cast<size_t>(r.left / 4) * format_.blockBytes;
  } else {
    offset = static_cast<size_t>(r.top) * pitch + static_cast<size_t>(r.left) * format_.bytesPerTexel;
  }
  lockedRect->pBits = base + offset;
  lockedRect->Pitch = static_cast<INT>(pitch);
  locked_ = true;
  lockReadOnly_ = (flags & D3DLOCK_READONLY) != 0;
  lockRect_ = r;
  return D3D_OK;
}

HRESULT Direct3DSurface8::UnlockRect() {
  if (!locked_) return D3DERR_INVALIDCALL;
  locked_ = false;
  if (!lockReadOnly_ && !raw_.empty()) {
    format_.Expand(raw_.data(), rawPitch_, argb_.data(), width_, width_, height_, static_cast<UINT>(lockRect_.left),
                   static_cast<UINT>(lockRect_.top), static_cast<UINT>(lockRect_.right),
                   static_cast<UINT>(lockRect_.bottom));
  }
  return D3D_OK;
}

TextureLevelView Direct3DSurface8::View() const {
  TextureLevelView v;
  v.texels = argb_.data();
  v.width = static_cast<int>(width_);
  v.height = static_cast<int>(height_);
  v.pitch = static_cast<int>(width_);
  v.alphaOr = format_.alphaOr;
  return v;
}

void Direct3DSurface8::Bind() {
  if (texture_ != nullptr) texture_->Bind();
}

void Direct3DSurface8::Unbind() {
  if (texture_ != nullptr) texture_->Unbind();
}

void Direct3DSurface8::FillColour(const RECT& rect, D3DCOLOR colour) {
  if (format_.depth || argb_.empty()) return;
  uint32_t value = colour;
  if (format_.format == D3DFMT_R5G6B5) {
    value = QuantiseToR5G6B5(colour);
  } else {
    value |= format_.alphaOr;
  }
  LONG x0 = std::max<LONG>(rect.left, 0), y0 = std::max<LONG>(rect.top, 0);
  LONG x1 = std::min<LONG>(rect.right, static_cast<LONG>(width_));
  LONG y1 = std::min<LONG>(rect.bottom, static_cast<LONG>(height_));
  if (x1 <= x0 || y1 <= y0) return;
  FillBlock(argb_.data(), width_, static_cast<size_t>(x0), static_cast<size_t>(y0), static_cast<size_t>(x1),
            static_cast<size_t>(y1), value);
}

void Direct3DSurface8::FillDepth(const RECT& rect, float z) {
  if (!format_.depth) return;
  double clamped = std::clamp(static_cast<double>(z), 0.0, 1.0);
  int64_t fixed = static_cast<int64_t>(clamped * static_cast<double>(kDepthOne) + 0.5);
  LONG x0 = std::max<LONG>(rect.left, 0), y0 = std::max<LONG>(rect.top, 0);
  LONG x1 = std::min<LONG>(rect.right, static_cast<LONG>(width_));
  LONG y1 = std::min<LONG>(rect.bottom, static_cast<LONG>(height_));
  if (x1 <= x0 || y1 <= y0) return;
  const uint32_t value = format_.format == D3DFMT_D32 ? DepthD32(fixed) : DepthD16(fixed);
  // Recorded, not written: the rows' memory takes the value where something reads or writes it.
  depthRows_.Clear(x0, y0, x1, y1, value);
}

void Direct3DSurface8::Read(std::vector<uint32_t>* pixels) const {
  if (!format_.depth) {
    pixels->resize(argb_.size());
    for (size_t i = 0; i < argb_.size(); ++i) (*pixels)[i] = argb_[i] | format_.alphaOr;
  } else {
    if (format_.format == D3DFMT_D32) {
      pixels->assign(depth32_.begin(), depth32_.end());
    } else {
      pixels->assign(depth16_.begin(), depth16_.end());
    }
    // Cleared values the memory does not hold yet.
    for (UINT y = 0; y < height_; ++y) {
      uint32_t* row = pixels->data() + static_cast<size_t>(y) * width_;
      depthRows_.ForEachPending(static_cast<int>(y), [&](int x0, int x1, uint32_t value) {
        std::fill(row + x0, row + x1, value);
      });
    }
  }
}

}  // namespace d3d8sw
