// Win32 window class, window, cursor and placement calls over the active host.
#include <windows.h>

#include <cstring>
#include <map>
#include <string>

#include "platform/host/host.h"
#include "platform/win32/win32_window_system.h"

namespace win32 {

namespace {

struct RegisteredClass {
  WNDCLASSA windowClass;
};

std::map<std::string, RegisteredClass>& Classes() {
  static std::map<std::string, RegisteredClass> classes;
  return classes;
}

HWND__ mainWindow;
HWND__ desktopWindow{nullptr, true, true};
bool applicationActive = false;

// Icon handles point at their resource entry.
HICON IconHandle(const Win32IconResource* resource) {
  return reinterpret_cast<HICON>(const_cast<Win32IconResource*>(resource));
}

const Win32IconResource* IconResource(HICON icon) { return reinterpret_cast<const Win32IconResource*>(icon); }

// Cursor handles are the ids of the system cursors.
HCURSOR arrowCursor = reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(32512));

}  // namespace

HWND MainWindowHandle() { return &mainWindow; }
HWND DesktopHandle() { return &desktopWindow; }
bool IsLiveWindow(HWND window) { return window != nullptr && window->alive; }

bool SetApplicationActive(bool active) {
  if (applicationActive == active) return false;
  applicationActive = active;
  return true;
}

}  // namespace win32

ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
  if (windowClass == nullptr || windowClass->lpszClassName == nullptr || windowClass->lpfnWndProc == nullptr) return 0;
  auto& classes = win32::Classes();
  if (classes.count(windowClass->lpszClassName)) return 0;
  classes[windowClass->lpszClassName] = win32::RegisteredClass{*windowClass};
  return static_cast<ATOM>(0xC000 + classes.size());
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND, HMENU, HINSTANCE, LPVOID) {
  host::Host* h = host::ActiveHost();
  auto& classes = win32::Classes();
  auto found = className ? classes.find(className) : classes.end();
  if (h == nullptr || found == classes.end() || win32::mainWindow.alive) return nullptr;
  if (!h->CreateMainWindow(windowName ? windowName : "", host::Rect{x, y, x + width, y + height})) return nullptr;
  win32::mainWindow.windowProc = found->second.windowClass.lpfnWndProc;
  win32::mainWindow.alive = true;
  if (const Win32IconResource* icon = win32::IconResource(found->second.windowClass.hIcon)) {
    h->SetIcon(reinterpret_cast<const uint32_t*>(icon->bgra), icon->width, icon->height);
  }
  if (style & WS_VISIBLE) ShowWindow(&win32::mainWindow, SW_SHOW);
  return &win32::mainWindow;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
  if (!win32::IsLiveWindow(window) || window->isDesktop) return FALSE;
  if (command == SW_HIDE) return TRUE;
  host::ActiveHost()->ShowMainWindow();
  // Showing the window of the foreground process activates the application; Windows sends
  // WM_ACTIVATEAPP at once, before ShowWindow returns.
  if (win32::SetApplicationActive(true)) window->windowProc(window, WM_ACTIVATEAPP, 1, 0);
  return TRUE;
}

BOOL WINAPI UpdateWindow(HWND window) { return win32::IsLiveWindow(window) ? TRUE : FALSE; }

BOOL WINAPI DestroyWindow(HWND window) {
  if (!win32::IsLiveWindow(window) || window->isDesktop) return FALSE;
  window->windowProc(window, WM_DESTROY, 0, 0);
  window->alive = false;
  host::ActiveHost()->DestroyMainWindow();
  return TRUE;
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR name) {
  uintptr_t id = reinterpret_cast<uintptr_t>(name);
  for (int i = 0; i < win32IconResourceCount; ++i) {
    if (static_cast<uintptr_t>(win32IconResources[i].id) == id) return win32::IconHandle(&win32IconResources[i]);
  }
  return nullptr;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (instance == nullptr && name == IDC_ARROW) return win32::arrowCursor;
  return nullptr;
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
  // The host shows the system arrow; the previous cursor is always that arrow.
  return cursor == nullptr ? nullptr : win32::arrowCursor;
}

int WINAPI ShowCursor(BOOL show) { return host::ActiveHost()->ShowCursor(show != FALSE); }

HWND WINAPI GetDesktopWindow() { return win32::DesktopHandle(); }

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
  if (rect == nullptr || !win32::IsLiveWindow(window)) return FALSE;
  host::Rect r = window->isDesktop ? host::ActiveHost()->DesktopRect() : host::ActiveHost()->WindowRect();
  *rect = RECT{r.left, r.top, r.right, r.bottom};
  return TRUE;
}

BOOL WINAPI ClientToScreen(HWND window, LPPOINT point) {
  if (point == nullptr || !win32::IsLiveWindow(window)) return FALSE;
  // The client area lies inside the window's frame; the desktop is all client area.
  host::Rect r = window->isDesktop ? host::ActiveHost()->DesktopRect() : host::ActiveHost()->ClientRect();
  point->x += r.left;
  point->y += r.top;
  return TRUE;
}

BOOL WINAPI SetWindowPos(HWND window, HWND, int x, int y, int cx, int cy, UINT flags) {
  if (!win32::IsLiveWindow(window) || window->isDesktop) return FALSE;
  host::Host* h = host::ActiveHost();
  host::Rect current = h->WindowRect();
  if (h->IsFullScreen()) current = h->DesktopRect();
  host::Rect next = current;
  if (!(flags & SWP_NOMOVE)) {
    next.right = x + (current.right - current.left);
    next.bottom = y + (current.bottom - current.top);
    next.left = x;
    next.top = y;
  }
  if (!(flags & SWP_NOSIZE)) {
    next.right = next.left + cx;
    next.bottom = next.top + cy;
  }
  h->SetWindowRect(next);
  if (flags & SWP_SHOWWINDOW) h->ShowMainWindow();
  return TRUE;
}

BOOL WINAPI GetCursorPos(LPPOINT point) {
  if (point == nullptr) return FALSE;
  host::ActiveHost()->CursorPos(&point->x, &point->y);
  return TRUE;
}
