// The window procedure: quit, activation, paint, cursor and Escape.
#include <windows.h>

#include "app/shell_state.h"
#include "scenes/scene_table.h"

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUIT:
      quitRequested = 1;
      break;
    case WM_PAINT:
      // Never painted through GDI: the device presents every frame.
      ValidateRect(window, nullptr);
      return 1;
    case WM_ACTIVATEAPP:
      appActive = static_cast<int>(wParam);
      // A full-screen program that comes back must rebuild its device resources first.
      if (loopStarted == 1 && wParam != 0 && fullScreen == 1) {
        if (ResetDevice() != 0) quitRequested = 1;
      }
      break;
    case WM_SETCURSOR:
      SetCursor(LoadCursorA(nullptr, IDC_ARROW));
      break;
    case WM_KEYDOWN:
      if (appActive != 0 && wParam == VK_ESCAPE) quitRequested = 1;
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
