// Handle values, lifetimes and deferred deletion of the GDI layer's objects.
#include "platform/gdi/gdi_object_table.h"

#include <utility>

namespace gdi {
namespace {

constexpr uintptr_t kKindMask = 3;
constexpr int kKindBits = 2;

ObjectKind KindOf(uintptr_t handle) { return static_cast<ObjectKind>(handle & kKindMask); }

}  // namespace

GdiObjectTable::GdiObjectTable() {
  // A new DC draws with the system face into a 1 by 1 bitmap until the program selects its own.
  GdiObject font;
  font.kind = ObjectKind::Font;
  font.stock = true;
  for (int f = 0; f < bakedFaceCount; ++f) {
    if (bakedFaces[f].rasterFace) font.font.face = &bakedFaces[f];
  }
  if (font.font.face == nullptr) font.font.face = &bakedFaces[0];
  stockFont_ = Add(std::move(font));

  GdiObject bitmap;
  bitmap.kind = ObjectKind::Bitmap;
  bitmap.stock = true;
  bitmap.bitmap.width = 1;
  bitmap.bitmap.height = 1;
  bitmap.bitmap.pixels.reset(new uint32_t[1]());
  stockBitmap_ = Add(std::move(bitmap));
}

uintptr_t GdiObjectTable::Add(GdiObject object) {
  uintptr_t handle = (nextSerial_++ << kKindBits) | static_cast<uintptr_t>(object.kind);
  objects_.emplace(handle, std::move(object));
  return handle;
}

GdiObject* GdiObjectTable::Find(uintptr_t handle, ObjectKind kind) {
  GdiObject* object = FindHeld(handle);
  return object != nullptr && object->kind == kind && !object->deletePending ? object : nullptr;
}

GdiObject* GdiObjectTable::FindHeld(uintptr_t handle) {
  auto it = objects_.find(handle);
  if (it == objects_.end() || it->second.kind != KindOf(handle)) return nullptr;
  return &it->second;
}

bool GdiObjectTable::Delete(uintptr_t handle, ObjectKind kind) {
  GdiObject* object = Find(handle, kind);
  if (object == nullptr) return false;
  if (object->stock) return true;
  // As GDI does, an object still selected into a DC goes once the DC lets it go, so that a caller
  // deleting its font and bitmap before the DC (the usual order) leaks nothing.
  if (object->selectCount > 0) {
    object->deletePending = true;
    return true;
  }
  objects_.erase(handle);
  return true;
}

void GdiObjectTable::Unselect(uintptr_t handle) {
  GdiObject* object = FindHeld(handle);
  if (object == nullptr) return;
  if (object->selectCount > 0) --object->selectCount;
  if (object->selectCount == 0 && object->deletePending) objects_.erase(handle);
}

GdiObjectTable& Objects() {
  static GdiObjectTable table;
  return table;
}

}  // namespace gdi
