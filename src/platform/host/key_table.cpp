// Key and button state by virtual-key code, answering as GetAsyncKeyState does.
#include "platform/host/key_table.h"

#include <windows.h>

namespace host {

namespace {

// The generic code of a sided modifier, or 0.
int GenericCode(int virtualKey) {
  switch (virtualKey) {
    case VK_LSHIFT:
    case VK_RSHIFT:
      return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
      return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
      return VK_MENU;
    default:
      return 0;
  }
}

// The other side of a sided modifier, or 0.
int OtherSide(int virtualKey) {
  switch (virtualKey) {
    case VK_LSHIFT: return VK_RSHIFT;
    case VK_RSHIFT: return VK_LSHIFT;
    case VK_LCONTROL: return VK_RCONTROL;
    case VK_RCONTROL: return VK_LCONTROL;
    case VK_LMENU: return VK_RMENU;
    case VK_RMENU: return VK_LMENU;
    default: return 0;
  }
}

bool ValidCode(int code) { return code >= 0 && code < KeyTable::kCodeCount; }

}  // namespace

void KeyTable::SetDown(int code, bool down) {
  if (!ValidCode(code)) return;
  if (down && !down_[code]) pressedSinceQuery_[code] = true;
  down_[code] = down;
}

void KeyTable::Press(int virtualKey) {
  SetDown(virtualKey, true);
  if (int generic = GenericCode(virtualKey)) SetDown(generic, true);
}

void KeyTable::Release(int virtualKey) {
  SetDown(virtualKey, false);
  if (int generic = GenericCode(virtualKey)) {
    int other = OtherSide(virtualKey);
    if (!down_[other]) SetDown(generic, false);
  }
}

void KeyTable::ReleaseAll() { down_.fill(false); }

int16_t KeyTable::Query(int virtualKey) {
  if (!ValidCode(virtualKey)) return 0;
  int16_t result = static_cast<int16_t>((down_[virtualKey] ? 0x8000 : 0) | (pressedSinceQuery_[virtualKey] ? 1 : 0));
  pressedSinceQuery_[virtualKey] = false;
  return result;
}

bool KeyTable::IsDown(int virtualKey) const { return ValidCode(virtualKey) && down_[virtualKey]; }

}  // namespace host
