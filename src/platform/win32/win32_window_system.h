// Internal state of the Win32 layer: the registered classes, the one top-level window and the
// desktop window, shared by the window, message and input units.
#pragma once

#include <windows.h>

#include <string>

// An application window. The layer manages one top-level window and the desktop.
struct HWND__ {
  WNDPROC windowProc = nullptr;
  bool alive = false;
  bool isDesktop = false;
};

// The program's icon resources (the resource script's icons), defined by the program.
struct Win32IconResource {
  int id;
  const unsigned char* bgra;  // width x height texels, B G R A bytes, rows top to bottom
  int width;
  int height;
};
extern const Win32IconResource win32IconResources[];
extern const int win32IconResourceCount;

namespace win32 {

HWND MainWindowHandle();
HWND DesktopHandle();
bool IsLiveWindow(HWND window);
// Records the application's activation and tells whether it changed, so WM_ACTIVATEAPP is sent
// only on a change, as Windows does.
bool SetApplicationActive(bool active);

}  // namespace win32
