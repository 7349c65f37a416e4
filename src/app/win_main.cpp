// The program's entry and spine: start-up chain, main loop and shutdown chain.
#include <windows.h>

#include "app/frame_timer.h"
#include "app/random_generator.h"
#include "app/shell_state.h"
#include "gfx/graphics_device.h"
#include "music/music_bank.h"
#include "scenes/effect_scheduler.h"
#include "scenes/scene_table.h"

HINSTANCE instanceHandle = nullptr;
HWND mainWindow = nullptr;
RECT windowedRect = {0, 0, 0, 0};
int quitRequested = 0;
int appActive = 0;
unsigned char fullScreen = 1;
unsigned char loopStarted = 0;

namespace {

// The program's icon in its resources.
constexpr int kIconResourceId = 101;
constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
// The first switch to windowed mode shows a window of this size, centred on the desktop.
constexpr int kFirstWindowedWidth = 320;
constexpr int kFirstWindowedHeight = 240;

// Runs the start-up steps that can fail, in order, and reports the result of the last one that ran.
int StartUp() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  SeedRandom(static_cast<uint32_t>(count.QuadPart));

  int result = LoadMusic();
  if (result != 0) return result;
  result = CreateGraphicsDevice(mainWindow);
  if (result != 0) return result;
  result = CreateScenes();
  if (result != 0) return result;

  ShowWindow(mainWindow, SW_SHOWDEFAULT);
  UpdateWindow(mainWindow);
  result = PlayCurrentTrack();
  if (result != 0) return result;

  // From here on a re-activation in full screen resets the device.
  loopStarted = 1;
  StartTimer();
  return 0;
}

// Runs passes until a quit is requested; a quit requested before the first pass skips the loop.
void RunMainLoop() {
  MSG msg = {};
  while (quitRequested == 0) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    } else if (appActive != 0 || fullScreen == 0) {
      RunFrame();
    }
  }
}

void ShutDown() {
  DestroyWindow(mainWindow);
  DestroyScenes();
  FreeMusic();
  ReleaseGraphicsDevice();
  CoUninitialize();
  ShowCursor(TRUE);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  instanceHandle = instance;

  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResourceId));
  windowClass.lpszClassName = "Tarnvik";
  RegisterClassA(&windowClass);

  RECT desktop;
  GetWindowRect(GetDesktopWindow(), &desktop);
  int w = desktop.right - desktop.left;
  int h = desktop.bottom - desktop.top;
  mainWindow = CreateWindowExA(0, "Tarnvik", "Tarnvik Musidisk", WS_POPUP | WS_VISIBLE | WS_BORDER | WS_THICKFRAME,
                               (w >> 1) - kWindowWidth / 2, (h >> 1) - kWindowHeight / 2, kWindowWidth, kWindowHeight,
                               nullptr, nullptr, instance, nullptr);
  windowedRect.left = (w >> 1) - kFirstWindowedWidth / 2;
  windowedRect.top = (h >> 1) - kFirstWindowedHeight / 2;
  windowedRect.right = windowedRect.left + kFirstWindowedWidth;
  windowedRect.bottom = windowedRect.top + kFirstWindowedHeight;

  ShowCursor(FALSE);
  ShowWindow(mainWindow, SW_SHOW);
  UpdateWindow(mainWindow);
  CoInitialize(nullptr);

  int result = StartUp();
  if (result == 0) RunMainLoop();

  ShutDown();
  return result;
}
