// Key and button state by virtual-key code, answering as GetAsyncKeyState does, shared by both hosts.
#pragma once

#include <array>
#include <cstdint>

namespace host {

class KeyTable {
 public:
  static constexpr int kCodeCount = 256;

  // A sided modifier (VK_LMENU, VK_RSHIFT, ...) also drives its generic code (VK_MENU, VK_SHIFT, ...),
  // which stays down while either side is down, as on Windows.
  void Press(int virtualKey);
  void Release(int virtualKey);
  void ReleaseAll();

  // Bit 15 while down; bit 0 when pressed since the previous query of this code, which clears it.
  // So a press shorter than the gap between two queries is still seen once.
  int16_t Query(int virtualKey);
  bool IsDown(int virtualKey) const;

 private:
  void SetDown(int code, bool down);
  std::array<bool, kCodeCount> down_{};
  std::array<bool, kCodeCount> pressedSinceQuery_{};
};

}  // namespace host
