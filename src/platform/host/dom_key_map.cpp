// Browser key names to Windows virtual-key codes.
#include "platform/host/dom_key_map.h"

#include <windows.h>

#include <cstring>

namespace host {

namespace {

// Windows virtual-key codes that the program's headers do not name, under their Windows names.
constexpr int kVkPause = 0x13;
constexpr int kVkCapital = 0x14;
constexpr int kVkPrior = 0x21;      // Page Up
constexpr int kVkNext = 0x22;       // Page Down
constexpr int kVkEnd = 0x23;
constexpr int kVkHome = 0x24;
constexpr int kVkSnapshot = 0x2C;   // Print Screen
constexpr int kVkInsert = 0x2D;
constexpr int kVkDelete = 0x2E;
constexpr int kVkLWin = 0x5B;
constexpr int kVkRWin = 0x5C;
constexpr int kVkApps = 0x5D;       // the context menu key
constexpr int kVkNumpad0 = 0x60;    // .. 0x69 for Numpad9
constexpr int kVkMultiply = 0x6A;
constexpr int kVkAdd = 0x6B;
constexpr int kVkSubtract = 0x6D;
constexpr int kVkDecimal = 0x6E;
constexpr int kVkDivide = 0x6F;
constexpr int kVkNumLock = 0x90;
constexpr int kVkScroll = 0x91;
constexpr int kVkOem1 = 0xBA;       // ;:
constexpr int kVkOemPlus = 0xBB;    // =+
constexpr int kVkOemComma = 0xBC;
constexpr int kVkOemMinus = 0xBD;
constexpr int kVkOemPeriod = 0xBE;
constexpr int kVkOem2 = 0xBF;       // /?
constexpr int kVkOem3 = 0xC0;       // `~
constexpr int kVkOem4 = 0xDB;       // [{
constexpr int kVkOem5 = 0xDC;       // \|
constexpr int kVkOem6 = 0xDD;       // ]}
constexpr int kVkOem7 = 0xDE;       // '"
constexpr int kVkOem102 = 0xE2;     // the extra key beside left Shift on ISO keyboards

// F1..F24 are consecutive on Windows.
constexpr int kFunctionKeys = 24;

struct NamedKey {
  const char* code;
  int virtualKey;
};

// Every other key of a 105-key keyboard, by KeyboardEvent.code.
constexpr NamedKey kNamedKeys[] = {
    {"Enter", VK_RETURN},          {"NumpadEnter", VK_RETURN},      {"Escape", VK_ESCAPE},
    {"Space", VK_SPACE},           {"Backspace", VK_BACK},          {"Tab", VK_TAB},
    {"ArrowLeft", VK_LEFT},        {"ArrowRight", VK_RIGHT},        {"ArrowUp", VK_UP},
    {"ArrowDown", VK_DOWN},        {"ShiftLeft", VK_LSHIFT},        {"ShiftRight", VK_RSHIFT},
    {"ControlLeft", VK_LCONTROL},  {"ControlRight", VK_RCONTROL},   {"AltLeft", VK_LMENU},
    {"AltRight", VK_RMENU},        {"MetaLeft", kVkLWin},           {"MetaRight", kVkRWin},
    {"ContextMenu", kVkApps},      {"CapsLock", kVkCapital},        {"NumLock", kVkNumLock},
    {"ScrollLock", kVkScroll},     {"Pause", kVkPause},             {"PrintScreen", kVkSnapshot},
    {"Insert", kVkInsert},         {"Delete", kVkDelete},           {"Home", kVkHome},
    {"End", kVkEnd},               {"PageUp", kVkPrior},            {"PageDown", kVkNext},
    {"NumpadMultiply", kVkMultiply}, {"NumpadAdd", kVkAdd},         {"NumpadSubtract", kVkSubtract},
    {"NumpadDecimal", kVkDecimal}, {"NumpadDivide", kVkDivide},     {"Minus", kVkOemMinus},
    {"Equal", kVkOemPlus},         {"BracketLeft", kVkOem4},        {"BracketRight", kVkOem6},
    {"Backslash", kVkOem5},        {"Semicolon", kVkOem1},          {"Quote", kVkOem7},
    {"Backquote", kVkOem3},        {"Comma", kVkOemComma},          {"Period", kVkOemPeriod},
    {"Slash", kVkOem2},            {"IntlBackslash", kVkOem102},
};

bool StartsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

// The number after `prefix` in `code` ("F12" -> 12), or -1 when the rest is not a plain number.
int NumberAfter(const char* code, const char* prefix) {
  if (!StartsWith(code, prefix)) return -1;
  const char* digits = code + std::strlen(prefix);
  if (*digits == '\0' || std::strlen(digits) > 2) return -1;
  int value = 0;
  for (const char* c = digits; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return -1;
    value = value * 10 + (*c - '0');
  }
  return value;
}

int LetterOf(char c) {
  if (c >= 'a' && c <= 'z') return 'A' + (c - 'a');
  if (c >= 'A' && c <= 'Z') return c;
  return 0;
}

}  // namespace

int VirtualKeyOfDomKey(const char* code, const char* key) {
  if (code == nullptr) code = "";
  // A letter key types a letter of the layout (KeyQ types 'a' on a French keyboard); a key that
  // types some other character there (KeyM types ',' on it) keeps its position's letter.
  if (StartsWith(code, "Key") && std::strlen(code) == 4) {
    if (key != nullptr && key[0] != '\0' && key[1] == '\0') {
      if (int letter = LetterOf(key[0])) return letter;
    }
    return LetterOf(code[3]);
  }
  if (StartsWith(code, "Digit") && std::strlen(code) == 6 && code[5] >= '0' && code[5] <= '9') return code[5];
  if (StartsWith(code, "Numpad") && std::strlen(code) == 7 && code[6] >= '0' && code[6] <= '9') {
    return kVkNumpad0 + (code[6] - '0');
  }
  int f = NumberAfter(code, "F");
  if (f >= 1 && f <= kFunctionKeys) return VK_F1 + (f - 1);
  for (const NamedKey& named : kNamedKeys) {
    if (std::strcmp(code, named.code) == 0) return named.virtualKey;
  }
  return 0;
}

int VirtualKeyOfDomButton(int button) {
  switch (button) {
    case 0: return VK_LBUTTON;
    case 1: return VK_MBUTTON;
    case 2: return VK_RBUTTON;
    default: return 0;
  }
}

}  // namespace host
