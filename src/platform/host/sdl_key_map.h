// The virtual-key code Windows gives a key of an SDL keyboard event on a US layout.
#pragma once

#include <SDL.h>

namespace host {

// Keys Windows has no virtual-key code for (and SDL keys we know no code for) still count as down,
// under this code, which Windows leaves unassigned and the program never names: an arrow pressed
// together with such a key is still "two keys down".
constexpr int kUnnamedVirtualKey = 0xFF;

// Letters follow the layout (the key that types J is VK 'J'), as Windows' virtual keys do; every
// other key is known by its position, named as on a US keyboard. Keypad keys depend on Num Lock:
// with it on they are the VK_NUMPAD digits and VK_DECIMAL, with it off the navigation keys they
// are printed with (keypad 4 is VK_LEFT), as on Windows.
int VirtualKeyOf(SDL_Scancode scancode, SDL_Keycode keycode, bool numLock);

// The virtual-key code of a mouse button, or 0 for buttons Windows has none for.
int VirtualKeyOfButton(Uint8 button);

}  // namespace host
