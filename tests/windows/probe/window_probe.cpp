// musidisk-window-probe.exe: reads what the program's dialogs say, as a screen reader does, for the
// tests that run the Windows program under Wine. For every visible top-level window captioned
// CAPTION it prints "window<TAB>class", then "class<TAB>text" for each of its controls.
// Usage: musidisk-window-probe.exe CAPTION
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// Window texts and class names the probe reads are short; longer ones are cut.
constexpr int kTextChars = 512;

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
  char className[kTextChars] = {};
  char text[kTextChars] = {};
  GetClassNameA(control, className, kTextChars);
  GetWindowTextA(control, text, kTextChars);
  std::printf("%s\t%s\n", className, text);
  return TRUE;
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM caption) {
  char text[kTextChars] = {};
  if (!IsWindowVisible(window) || GetWindowTextA(window, text, kTextChars) == 0) return TRUE;
  if (std::strcmp(text, reinterpret_cast<const char*>(caption)) != 0) return TRUE;
  char className[kTextChars] = {};
  GetClassNameA(window, className, kTextChars);
  std::printf("window\t%s\n", className);
  EnumChildWindows(window, PrintControl, 0);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: musidisk-window-probe.exe CAPTION\n");
    return 2;
  }
  EnumWindows(PrintWindow, reinterpret_cast<LPARAM>(argv[1]));
  std::fflush(stdout);
  return 0;
}
