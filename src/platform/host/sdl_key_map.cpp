// The virtual-key code Windows gives a key of an SDL keyboard event on a US layout.
#include "platform/host/sdl_key_map.h"

#include <windows.h>

namespace host {

namespace {

// Keypad keys: the code with Num Lock on, and with it off.
struct KeypadKey {
  SDL_Scancode scancode;
  int numLockOn;
  int numLockOff;
};

constexpr KeypadKey kKeypad[] = {
    {SDL_SCANCODE_KP_0, VK_NUMPAD0, VK_INSERT}, {SDL_SCANCODE_KP_1, VK_NUMPAD1, VK_END},
    {SDL_SCANCODE_KP_2, VK_NUMPAD2, VK_DOWN},   {SDL_SCANCODE_KP_3, VK_NUMPAD3, VK_NEXT},
    {SDL_SCANCODE_KP_4, VK_NUMPAD4, VK_LEFT},   {SDL_SCANCODE_KP_5, VK_NUMPAD5, VK_CLEAR},
    {SDL_SCANCODE_KP_6, VK_NUMPAD6, VK_RIGHT},  {SDL_SCANCODE_KP_7, VK_NUMPAD7, VK_HOME},
    {SDL_SCANCODE_KP_8, VK_NUMPAD8, VK_UP},     {SDL_SCANCODE_KP_9, VK_NUMPAD9, VK_PRIOR},
    {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL, VK_DELETE},
};

// Every other key by position. Letters are here too, for layouts whose letter keys type no
// Latin letter.
int VirtualKeyOfPosition(SDL_Scancode scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return 'A' + (scancode - SDL_SCANCODE_A);
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return '1' + (scancode - SDL_SCANCODE_1);
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return VK_F1 + (scancode - SDL_SCANCODE_F1);
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) return VK_F13 + (scancode - SDL_SCANCODE_F13);
  switch (scancode) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_RETURN2:
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    // The OEM keys, named by what they type on a US keyboard.
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return VK_OEM_5;  // an ISO keyboard's key left of Enter sits where \ is
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;  // the 105th key, between left Shift and Z
    case SDL_SCANCODE_INTERNATIONAL1: return VK_OEM_8;
    // Locks, editing and navigation.
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_PRINTSCREEN:
    case SDL_SCANCODE_SYSREQ: return VK_SNAPSHOT;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_CANCEL: return VK_CANCEL;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_PAGEUP:
    case SDL_SCANCODE_PRIOR: return VK_PRIOR;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_CLEAR:
    case SDL_SCANCODE_KP_CLEAR: return VK_CLEAR;
    case SDL_SCANCODE_SELECT: return VK_SELECT;
    case SDL_SCANCODE_EXECUTE: return VK_EXECUTE;
    case SDL_SCANCODE_HELP: return VK_HELP;
    // The keypad's operators, the same with Num Lock on or off.
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_COMMA:
    case SDL_SCANCODE_SEPARATOR: return VK_SEPARATOR;
    // Modifiers: the sided codes (the key table keeps the generic ones).
    case SDL_SCANCODE_LSHIFT: return VK_LSHIFT;
    case SDL_SCANCODE_RSHIFT: return VK_RSHIFT;
    case SDL_SCANCODE_LCTRL: return VK_LCONTROL;
    case SDL_SCANCODE_RCTRL: return VK_RCONTROL;
    case SDL_SCANCODE_LALT: return VK_LMENU;
    case SDL_SCANCODE_RALT:
    case SDL_SCANCODE_MODE: return VK_RMENU;  // AltGr
    case SDL_SCANCODE_LGUI: return VK_LWIN;
    case SDL_SCANCODE_RGUI: return VK_RWIN;
    case SDL_SCANCODE_APPLICATION:
    case SDL_SCANCODE_MENU: return VK_APPS;
    case SDL_SCANCODE_SLEEP: return VK_SLEEP;
    // Browser, volume, media and launch keys.
    case SDL_SCANCODE_AC_BACK: return VK_BROWSER_BACK;
    case SDL_SCANCODE_AC_FORWARD: return VK_BROWSER_FORWARD;
    case SDL_SCANCODE_AC_REFRESH: return VK_BROWSER_REFRESH;
    case SDL_SCANCODE_AC_STOP:
    case SDL_SCANCODE_STOP: return VK_BROWSER_STOP;
    case SDL_SCANCODE_AC_SEARCH:
    case SDL_SCANCODE_FIND: return VK_BROWSER_SEARCH;
    case SDL_SCANCODE_AC_BOOKMARKS: return VK_BROWSER_FAVORITES;
    case SDL_SCANCODE_AC_HOME:
    case SDL_SCANCODE_WWW: return VK_BROWSER_HOME;
    case SDL_SCANCODE_MUTE:
    case SDL_SCANCODE_AUDIOMUTE: return VK_VOLUME_MUTE;
    case SDL_SCANCODE_VOLUMEDOWN: return VK_VOLUME_DOWN;
    case SDL_SCANCODE_VOLUMEUP: return VK_VOLUME_UP;
    case SDL_SCANCODE_AUDIONEXT: return VK_MEDIA_NEXT_TRACK;
    case SDL_SCANCODE_AUDIOPREV: return VK_MEDIA_PREV_TRACK;
    case SDL_SCANCODE_AUDIOSTOP: return VK_MEDIA_STOP;
    case SDL_SCANCODE_AUDIOPLAY: return VK_MEDIA_PLAY_PAUSE;
    case SDL_SCANCODE_MAIL: return VK_LAUNCH_MAIL;
    case SDL_SCANCODE_MEDIASELECT: return VK_LAUNCH_MEDIA_SELECT;
    case SDL_SCANCODE_COMPUTER:
    case SDL_SCANCODE_APP1: return VK_LAUNCH_APP1;
    case SDL_SCANCODE_CALCULATOR:
    case SDL_SCANCODE_APP2: return VK_LAUNCH_APP2;
    default: return kUnnamedVirtualKey;
  }
}

}  // namespace

int VirtualKeyOf(SDL_Scancode scancode, SDL_Keycode keycode, bool numLock) {
  if (keycode >= SDLK_a && keycode <= SDLK_z) return 'A' + (keycode - SDLK_a);
  for (const KeypadKey& key : kKeypad) {
    if (key.scancode == scancode) return numLock ? key.numLockOn : key.numLockOff;
  }
  return VirtualKeyOfPosition(scancode);
}

int VirtualKeyOfButton(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT: return VK_LBUTTON;
    case SDL_BUTTON_RIGHT: return VK_RBUTTON;
    case SDL_BUTTON_MIDDLE: return VK_MBUTTON;
    case SDL_BUTTON_X1: return VK_XBUTTON1;
    case SDL_BUTTON_X2: return VK_XBUTTON2;
    default: return 0;
  }
}

}  // namespace host
