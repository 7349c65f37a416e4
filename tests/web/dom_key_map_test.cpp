// Browser key names to the virtual-key codes the program reads: the web host's keys must be the
// ones the SDL host gives for the same keys.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/host/dom_key_map.h"

namespace {

struct KeyCase {
  const char* code;
  const char* key;
  int virtualKey;
};

TEST(DomKeyMap, KeysTheProgramReads) {
  const KeyCase cases[] = {
      {"ArrowRight", "ArrowRight", VK_RIGHT}, {"ArrowLeft", "ArrowLeft", VK_LEFT}, {"ArrowUp", "ArrowUp", VK_UP},
      {"ArrowDown", "ArrowDown", VK_DOWN},    {"Space", " ", VK_SPACE},            {"Escape", "Escape", VK_ESCAPE},
      {"Enter", "Enter", VK_RETURN},          {"NumpadEnter", "Enter", VK_RETURN}, {"AltLeft", "Alt", VK_LMENU},
      {"AltRight", "AltGraph", VK_RMENU},     {"ShiftRight", "Shift", VK_RSHIFT},  {"ControlLeft", "Control", VK_LCONTROL},
      {"KeyJ", "j", 'J'},                     {"KeyK", "K", 'K'},                  {"Digit7", "7", '7'},
      {"F1", "F1", VK_F1},                    {"F12", "F12", VK_F1 + 11},          {"F24", "F24", VK_F1 + 23},
      {"Numpad3", "3", 0x63},                 {"Backquote", "`", 0xC0},            {"IntlBackslash", "<", 0xE2},
  };
  for (const KeyCase& c : cases) EXPECT_EQ(host::VirtualKeyOfDomKey(c.code, c.key), c.virtualKey) << c.code;
}

// Letters follow the layout, as VK_A..VK_Z do on Windows, so a hidden sequence typed on a French
// keyboard is the same letters; a letter key typing no letter there keeps its position's letter.
TEST(DomKeyMap, LettersFollowTheLayout) {
  EXPECT_EQ(host::VirtualKeyOfDomKey("KeyQ", "a"), 'A');
  EXPECT_EQ(host::VirtualKeyOfDomKey("KeyM", ","), 'M');
  EXPECT_EQ(host::VirtualKeyOfDomKey("KeyE", "Dead"), 'E');
  EXPECT_EQ(host::VirtualKeyOfDomKey("KeyV", nullptr), 'V');
}

TEST(DomKeyMap, UnknownNamesHaveNoCode) {
  for (const char* code : {"", "F0", "F25", "F", "F1x", "Key", "KeyAB", "Digit", "Numpad", "Fn", "Unidentified"}) {
    EXPECT_EQ(host::VirtualKeyOfDomKey(code, ""), 0) << code;
  }
  EXPECT_EQ(host::VirtualKeyOfDomKey(nullptr, nullptr), 0);
}

TEST(DomKeyMap, MouseButtons) {
  EXPECT_EQ(host::VirtualKeyOfDomButton(0), VK_LBUTTON);
  EXPECT_EQ(host::VirtualKeyOfDomButton(1), VK_MBUTTON);
  EXPECT_EQ(host::VirtualKeyOfDomButton(2), VK_RBUTTON);
  EXPECT_EQ(host::VirtualKeyOfDomButton(3), 0);
  EXPECT_EQ(host::VirtualKeyOfDomButton(-1), 0);
}

}  // namespace
