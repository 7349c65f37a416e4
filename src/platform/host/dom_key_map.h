// The virtual-key code of a browser key event, as Windows would report the same key: the web
// host's counterpart of the SDL host's key mapping.
#pragma once

namespace host {

// `code` is the event's physical key (KeyboardEvent.code, e.g. "ArrowRight", "KeyJ", "AltLeft"),
// `key` what it types in the user's layout (KeyboardEvent.key). Letters follow the layout, as
// VK_A..VK_Z do on Windows; every other key follows its position. Sided modifiers give their
// sided codes (VK_LMENU, ...). 0 for a key with no virtual-key code; either may be null.
int VirtualKeyOfDomKey(const char* code, const char* key);

// VK_LBUTTON, VK_RBUTTON or VK_MBUTTON for MouseEvent.button 0, 2, 1; 0 for other buttons.
int VirtualKeyOfDomButton(int button);

}  // namespace host
