// The desktop host's keys: every key of a 105-key keyboard and the usual extra keys reach
// GetAsyncKeyState under the code Windows gives them on a US layout, and a key with no code still
// counts as down.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/host/sdl_host.h"
#include "platform/host/sdl_key_map.h"

namespace {

struct KeyCase {
  SDL_Scancode scancode;
  SDL_Keycode keycode;
  bool numLock;
  int expected;
};

TEST(SdlKeyMap, GivesEachKeyItsWindowsCode) {
  const KeyCase cases[] = {
      // Letters follow the layout: the key in Q's place types 'a' on AZERTY and is VK 'A'.
      {SDL_SCANCODE_J, SDLK_j, false, 'J'},
      {SDL_SCANCODE_Q, SDLK_a, false, 'A'},
      // A letter key that types no Latin letter keeps its US name.
      {SDL_SCANCODE_K, 0x43B, false, 'K'},
      {SDL_SCANCODE_0, SDLK_0, false, '0'},
      {SDL_SCANCODE_1, SDLK_AMPERSAND, false, '1'},
      {SDL_SCANCODE_F1, SDLK_F1, false, VK_F1},
      {SDL_SCANCODE_F12, SDLK_F12, false, VK_F12},
      {SDL_SCANCODE_F13, SDLK_F13, false, VK_F13},
      {SDL_SCANCODE_F24, SDLK_F24, false, VK_F24},
      {SDL_SCANCODE_RETURN, SDLK_RETURN, false, VK_RETURN},
      {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, true, VK_RETURN},
      // Punctuation as the OEM keys.
      {SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, false, VK_OEM_1},
      {SDL_SCANCODE_EQUALS, SDLK_EQUALS, false, VK_OEM_PLUS},
      {SDL_SCANCODE_COMMA, SDLK_COMMA, false, VK_OEM_COMMA},
      {SDL_SCANCODE_MINUS, SDLK_MINUS, false, VK_OEM_MINUS},
      {SDL_SCANCODE_PERIOD, SDLK_PERIOD, false, VK_OEM_PERIOD},
      {SDL_SCANCODE_SLASH, SDLK_SLASH, false, VK_OEM_2},
      {SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE, false, VK_OEM_3},
      {SDL_SCANCODE_LEFTBRACKET, SDLK_LEFTBRACKET, false, VK_OEM_4},
      {SDL_SCANCODE_BACKSLASH, SDLK_BACKSLASH, false, VK_OEM_5},
      {SDL_SCANCODE_NONUSHASH, SDLK_HASH, false, VK_OEM_5},
      {SDL_SCANCODE_RIGHTBRACKET, SDLK_RIGHTBRACKET, false, VK_OEM_6},
      {SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE, false, VK_OEM_7},
      {SDL_SCANCODE_NONUSBACKSLASH, SDLK_LESS, false, VK_OEM_102},
      // Editing and navigation, locks, system keys.
      {SDL_SCANCODE_INSERT, SDLK_INSERT, false, VK_INSERT},
      {SDL_SCANCODE_DELETE, SDLK_DELETE, false, VK_DELETE},
      {SDL_SCANCODE_HOME, SDLK_HOME, false, VK_HOME},
      {SDL_SCANCODE_END, SDLK_END, false, VK_END},
      {SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, false, VK_PRIOR},
      {SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, false, VK_NEXT},
      {SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK, false, VK_CAPITAL},
      {SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR, true, VK_NUMLOCK},
      {SDL_SCANCODE_SCROLLLOCK, SDLK_SCROLLLOCK, false, VK_SCROLL},
      {SDL_SCANCODE_PRINTSCREEN, SDLK_PRINTSCREEN, false, VK_SNAPSHOT},
      {SDL_SCANCODE_PAUSE, SDLK_PAUSE, false, VK_PAUSE},
      {SDL_SCANCODE_LGUI, SDLK_LGUI, false, VK_LWIN},
      {SDL_SCANCODE_RGUI, SDLK_RGUI, false, VK_RWIN},
      {SDL_SCANCODE_APPLICATION, SDLK_APPLICATION, false, VK_APPS},
      {SDL_SCANCODE_RALT, SDLK_RALT, false, VK_RMENU},
      // The keypad with Num Lock on and off; its operators do not care.
      {SDL_SCANCODE_KP_4, SDLK_KP_4, true, VK_NUMPAD4},
      {SDL_SCANCODE_KP_4, SDLK_KP_4, false, VK_LEFT},
      {SDL_SCANCODE_KP_5, SDLK_KP_5, false, VK_CLEAR},
      {SDL_SCANCODE_KP_9, SDLK_KP_9, false, VK_PRIOR},
      {SDL_SCANCODE_KP_0, SDLK_KP_0, false, VK_INSERT},
      {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, true, VK_DECIMAL},
      {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, false, VK_DELETE},
      {SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, false, VK_DIVIDE},
      {SDL_SCANCODE_KP_MULTIPLY, SDLK_KP_MULTIPLY, true, VK_MULTIPLY},
      {SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, true, VK_SUBTRACT},
      {SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, false, VK_ADD},
      // Browser, volume and media keys.
      {SDL_SCANCODE_AC_BACK, SDLK_AC_BACK, false, VK_BROWSER_BACK},
      {SDL_SCANCODE_AC_HOME, SDLK_AC_HOME, false, VK_BROWSER_HOME},
      {SDL_SCANCODE_AUDIOMUTE, SDLK_AUDIOMUTE, false, VK_VOLUME_MUTE},
      {SDL_SCANCODE_VOLUMEUP, SDLK_VOLUMEUP, false, VK_VOLUME_UP},
      {SDL_SCANCODE_AUDIONEXT, SDLK_AUDIONEXT, false, VK_MEDIA_NEXT_TRACK},
      {SDL_SCANCODE_AUDIOPREV, SDLK_AUDIOPREV, false, VK_MEDIA_PREV_TRACK},
      {SDL_SCANCODE_AUDIOPLAY, SDLK_AUDIOPLAY, false, VK_MEDIA_PLAY_PAUSE},
      {SDL_SCANCODE_MAIL, SDLK_MAIL, false, VK_LAUNCH_MAIL},
      // No Windows code: down under the code nobody names.
      {SDL_SCANCODE_BRIGHTNESSUP, SDLK_BRIGHTNESSUP, false, host::kUnnamedVirtualKey},
      {SDL_SCANCODE_KP_LEFTPAREN, SDLK_KP_LEFTPAREN, false, host::kUnnamedVirtualKey},
  };
  for (const KeyCase& c : cases) {
    EXPECT_EQ(host::VirtualKeyOf(c.scancode, c.keycode, c.numLock), c.expected)
        << SDL_GetScancodeName(c.scancode) << (c.numLock ? " with Num Lock" : "");
  }
}

// The host's key state through real SDL events (SDL's offscreen video driver).
class SdlHostKeys : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(sdl_.Init()) << sdl_.error(); }

  void Send(Uint32 type, SDL_Scancode scancode, Uint16 mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
    host::HostEvent event;
    while (sdl_.PollEvent(&event)) {
    }
  }
  bool Down(int vk) { return (sdl_.KeyState(vk) & 0x8000) != 0; }

  host::SdlHost sdl_;
};

TEST_F(SdlHostKeys, ACodeSharedByTwoKeysIsUpOnlyWhenBothAre) {
  Send(SDL_KEYDOWN, SDL_SCANCODE_RETURN);
  Send(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER);
  Send(SDL_KEYUP, SDL_SCANCODE_RETURN);
  EXPECT_TRUE(Down(VK_RETURN));
  Send(SDL_KEYUP, SDL_SCANCODE_KP_ENTER);
  EXPECT_FALSE(Down(VK_RETURN));

  Send(SDL_KEYDOWN, SDL_SCANCODE_BRIGHTNESSUP);
  Send(SDL_KEYDOWN, SDL_SCANCODE_KP_LEFTPAREN);
  Send(SDL_KEYUP, SDL_SCANCODE_KP_LEFTPAREN);
  EXPECT_TRUE(Down(host::kUnnamedVirtualKey));
  Send(SDL_KEYUP, SDL_SCANCODE_BRIGHTNESSUP);
  EXPECT_FALSE(Down(host::kUnnamedVirtualKey));
}

TEST_F(SdlHostKeys, AKeyIsReleasedUnderTheCodeItWentDownAsWhenNumLockChangesMeanwhile) {
  Send(SDL_KEYDOWN, SDL_SCANCODE_KP_4, KMOD_NUM);
  EXPECT_TRUE(Down(VK_NUMPAD4));
  Send(SDL_KEYUP, SDL_SCANCODE_KP_4, KMOD_NONE);
  EXPECT_FALSE(Down(VK_NUMPAD4));
  EXPECT_FALSE(Down(VK_LEFT));
}

}  // namespace
