// Win32 key state, message box, performance counter, COM and module calls over the active host.
#include <windows.h>

#include <string>

#include "platform/host/host.h"

namespace {
int comInitCount = 0;
// The program's module handle: any distinct non-null value serves.
HINSTANCE__* const moduleHandle = reinterpret_cast<HINSTANCE__*>(static_cast<uintptr_t>(0x400000));
}  // namespace

SHORT WINAPI GetAsyncKeyState(int virtualKey) {
  host::Host* h = host::ActiveHost();
  return h != nullptr ? h->KeyState(virtualKey) : 0;
}

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
  host::ActiveHost()->MessageBox(caption ? caption : "Error", text ? text : "");
  return IDOK;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  if (frequency == nullptr) return FALSE;
  frequency->QuadPart = host::ActiveHost()->CounterFrequency();
  return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count) {
  if (count == nullptr) return FALSE;
  count->QuadPart = host::ActiveHost()->Counter();
  return TRUE;
}

HRESULT WINAPI CoInitialize(LPVOID) { return comInitCount++ == 0 ? S_OK : S_FALSE; }

void WINAPI CoUninitialize() {
  if (comInitCount > 0) --comInitCount;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) { return moduleName == nullptr ? moduleHandle : nullptr; }
