// The GDI layer's handle table: device contexts, fonts and DIB sections behind handles that are
// looked up, never dereferenced, so null, stale and made-up handles are refused without harm.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "platform/gdi/baked_font.h"

namespace gdi {

// Kept in the low two bits of every handle value, so a handle of the wrong kind is told apart
// before any lookup.
enum class ObjectKind : uintptr_t { DeviceContext = 1, Font = 2, Bitmap = 3 };

struct FontState {
  const BakedFace* face = nullptr;
};

// 32-bit pixels, zero when created; rows top-down in memory when topDown, else bottom-up.
struct BitmapState {
  int width = 0;
  int height = 0;
  bool topDown = false;
  std::unique_ptr<uint32_t[]> pixels;
};

struct DeviceContextState {
  uintptr_t font = 0;    // selected font handle; never 0 (a new DC holds the stock font)
  uintptr_t bitmap = 0;  // selected bitmap handle; never 0 (a new DC holds the stock bitmap)
  COLORREF textColour = 0x000000;   // black, as on a new DC
  COLORREF backColour = 0xFFFFFF;   // white, as on a new DC
  int mapMode = MM_TEXT;
  UINT textAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
};

struct GdiObject {
  ObjectKind kind = ObjectKind::Font;
  bool stock = false;          // a default every new DC starts with; never freed
  int selectCount = 0;         // device contexts this object is selected into
  bool deletePending = false;  // deleted while selected: freed when the last DC lets go of it
  FontState font;
  BitmapState bitmap;
  DeviceContextState dc;
};

class GdiObjectTable {
 public:
  GdiObjectTable();

  // Takes the object and returns its new handle value; handle values are never reused.
  uintptr_t Add(GdiObject object);
  // A live object of the kind, or null for 0, unknown, deleted or other-kind handles.
  GdiObject* Find(uintptr_t handle, ObjectKind kind);
  // Like Find, but also an object whose deletion waits for its DCs: what a DC holds stays usable.
  GdiObject* FindHeld(uintptr_t handle);
  // Frees the object now, or marks it to be freed when no DC holds it any more. False for handles
  // that Find would refuse.
  bool Delete(uintptr_t handle, ObjectKind kind);
  // A DC stops holding the object; a pending deletion then completes.
  void Unselect(uintptr_t handle);

  uintptr_t StockFont() const { return stockFont_; }
  uintptr_t StockBitmap() const { return stockBitmap_; }
  // Objects in the table, stock objects included; lets tests see that nothing is left behind.
  size_t Size() const { return objects_.size(); }

 private:
  std::unordered_map<uintptr_t, GdiObject> objects_;
  uintptr_t nextSerial_ = 1;
  uintptr_t stockFont_ = 0;
  uintptr_t stockBitmap_ = 0;
};

// The one table of the process (GDI handles are process-wide).
GdiObjectTable& Objects();

}  // namespace gdi
