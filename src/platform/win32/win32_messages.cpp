// Win32 message retrieval and dispatch: posted messages first, then the host's events turned
// into the window messages the program answers.
#include <windows.h>

#include <deque>

#include "platform/host/host.h"
#include "platform/win32/win32_window_system.h"

namespace {

std::deque<MSG>& PostedMessages() {
  static std::deque<MSG> posted;
  return posted;
}

// Turns the next host event into a message for the main window; false when none is pending.
bool NextHostMessage(MSG* msg) {
  host::Host* h = host::ActiveHost();
  if (h == nullptr) return false;
  host::HostEvent event;
  while (h->PollEvent(&event)) {
    HWND window = win32::MainWindowHandle();
    if (!win32::IsLiveWindow(window)) continue;
    *msg = MSG{window, WM_NULL, 0, 0, 0, {0, 0}};
    switch (event.kind) {
      case host::HostEvent::Kind::kClose:
        msg->message = WM_CLOSE;
        return true;
      case host::HostEvent::Kind::kActivate:
        if (!win32::SetApplicationActive(event.active)) continue;
        msg->message = WM_ACTIVATEAPP;
        msg->wParam = event.active ? 1 : 0;
        return true;
      case host::HostEvent::Kind::kKeyDown:
        msg->message = WM_KEYDOWN;
        msg->wParam = static_cast<WPARAM>(event.virtualKey);
        return true;
      case host::HostEvent::Kind::kPaint:
        msg->message = WM_PAINT;
        return true;
    }
  }
  return false;
}

}  // namespace

BOOL WINAPI PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT removeFlags) {
  auto& posted = PostedMessages();
  if (!posted.empty()) {
    *msg = posted.front();
    if (removeFlags & PM_REMOVE) posted.pop_front();
    return TRUE;
  }
  MSG next;
  if (!NextHostMessage(&next)) return FALSE;
  *msg = next;
  if (!(removeFlags & PM_REMOVE)) posted.push_front(next);
  return TRUE;
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PostedMessages().push_back(MSG{window, message, wParam, lParam, 0, {0, 0}});
  return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  if (msg == nullptr || !win32::IsLiveWindow(msg->hwnd) || msg->hwnd->windowProc == nullptr) return 0;
  return msg->hwnd->windowProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_CLOSE:
      // The default answer to a close request destroys the window (which sends WM_DESTROY).
      DestroyWindow(window);
      return 0;
    case WM_SETCURSOR:
      return FALSE;
    default:
      return 0;
  }
}

BOOL WINAPI ValidateRect(HWND window, const RECT*) { return win32::IsLiveWindow(window) ? TRUE : FALSE; }
