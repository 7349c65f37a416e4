// Shell state: the flags through which the window procedure, the input poll and the frame driver
// talk to the main loop.
#pragma once

#include <windows.h>

extern HINSTANCE instanceHandle;
// The one top-level window.
extern HWND mainWindow;
// Where the window is placed whenever it is in windowed mode (screen coordinates).
extern RECT windowedRect;
// Any nonzero value ends the main loop.
extern int quitRequested;
// The wParam of the last WM_ACTIVATEAPP: nonzero while the program is the active application.
extern int appActive;
// 1 = full screen, 0 = windowed; the device's presentParams.Windowed is always its negation.
extern unsigned char fullScreen;
// Set just before the frame timer starts and the main loop is entered.
extern unsigned char loopStarted;

// The window procedure of the "Tarnvik" class.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
