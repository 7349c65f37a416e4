// Keyboard and mouse control: arrows change the track, space freezes the effect sequence, a typed
// sequence plays the hidden track, the left button drags the window, Alt+Enter toggles full screen.
#include "app/input_poll.h"

#include "app/shell_state.h"
#include "gfx/graphics_device.h"
#include "music/music_bank.h"
#include "scenes/effect_scheduler.h"
#include "scenes/scene_table.h"

int keyStates[256] = {};
int dragFrames = 0;
POINT dragAnchor = {0, 0};
const int hiddenSequence[7] = {'J', 'O', 'V', 'R', 'E', 'L', 'K'};
int hiddenSequencePos = 0;

namespace {

constexpr int kKeyUp = 0;
constexpr int kJustPressed = 1;
constexpr int kHeld = 2;
constexpr int kSequenceLength = 7;

// Advances every key's state; returns how many codes are down.
int PollKeys() {
  int down = 0;
  for (int k = 0; k < 256; ++k) {
    if (GetAsyncKeyState(k) != 0) {
      if (keyStates[k] < kHeld) ++keyStates[k];
      ++down;
    } else {
      keyStates[k] = kKeyUp;
    }
  }
  return down;
}

void ToggleDisplayMode() {
  fullScreen = 1 - fullScreen;
  presentParams.Windowed = fullScreen == 0 ? 1 : 0;
  if (fullScreen == 1) {
    // Remember where the window was, dragging included, for the way back.
    GetWindowRect(mainWindow, &windowedRect);
    POINT topLeft = {windowedRect.left, windowedRect.top};
    POINT bottomRight = {windowedRect.right, windowedRect.bottom};
    ClientToScreen(GetDesktopWindow(), &topLeft);
    ClientToScreen(GetDesktopWindow(), &bottomRight);
    windowedRect = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
  } else {
    SetWindowPos(mainWindow, nullptr, windowedRect.left, windowedRect.top, 640, 480, SWP_NOZORDER);
  }

  if (ResetDevice() != 0) {
    if (fullScreen == 1) {
      quitRequested = 1;
    } else {
      // One more try in windowed mode with the smallest formats; later resets ask for the old ones.
      D3DPRESENT_PARAMETERS saved = presentParams;
      presentParams.BackBufferFormat = D3DFMT_R5G6B5;
      presentParams.AutoDepthStencilFormat = D3DFMT_D16;
      if (ResetDevice() != 0) quitRequested = 1;
      presentParams = saved;
    }
  }

  if (fullScreen == 1) {
    ShowCursor(FALSE);
  } else {
    SetWindowPos(mainWindow, nullptr, windowedRect.left, windowedRect.top, windowedRect.right - windowedRect.left,
                 windowedRect.bottom - windowedRect.top, SWP_NOOWNERZORDER | SWP_SHOWWINDOW);
    ShowCursor(TRUE);
  }
}

void ChangeTrack() {
  int result = 0;
  if (keyStates[VK_UP] == kJustPressed) result = NextTrack();
  if (keyStates[VK_RIGHT] == kJustPressed) result = NextTrack();
  if (keyStates[VK_DOWN] == kJustPressed) result = PreviousTrack();
  if (keyStates[VK_LEFT] == kJustPressed) result = PreviousTrack();
  if (result != 0) quitRequested = 1;
}

void DragWindow() {
  if (fullScreen != 0 || keyStates[VK_LBUTTON] == kKeyUp) {
    dragFrames = 0;
    return;
  }
  if (dragFrames < 2) {
    GetCursorPos(&dragAnchor);
    ++dragFrames;
    return;
  }
  if (keyStates[VK_LBUTTON] == kHeld) {
    POINT cursor;
    RECT rect;
    GetCursorPos(&cursor);
    GetWindowRect(mainWindow, &rect);
    int dx = cursor.x - dragAnchor.x;
    int dy = cursor.y - dragAnchor.y;
    dragAnchor = cursor;
    SetWindowPos(mainWindow, nullptr, rect.left + dx, rect.top + dy, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOOWNERZORDER | SWP_SHOWWINDOW);
  } else {
    dragFrames = 0;
  }
}

// Each key of the sequence must be pressed alone, released, and followed by the next one alone.
void FollowHiddenSequence() {
  int p = hiddenSequencePos;
  if (p == 0) {
    if (keyStates[hiddenSequence[0]] != kKeyUp) hiddenSequencePos = 1;
    return;
  }
  int previous = keyStates[hiddenSequence[p - 1]];
  if (previous == kJustPressed) {
    hiddenSequencePos = 0;
  } else if (previous == kHeld) {
    return;
  } else if (keyStates[hiddenSequence[p]] != kKeyUp) {
    hiddenSequencePos = p + 1;
    if (hiddenSequencePos == kSequenceLength) {
      if (PlayHiddenTrack() != 0) quitRequested = 1;
      hiddenSequencePos = 0;
    }
  } else {
    hiddenSequencePos = 0;
  }
}

}  // namespace

void PollInput() {
  int down = PollKeys();
  if (down == 0) return;

  if (down >= 2) {
    int e = keyStates[VK_RETURN];
    int a = keyStates[VK_MENU];
    // At least one of the two just pressed: holding both does not toggle again.
    if (e != 0 && a != 0 && (e + a == 2 || e + a == 3)) ToggleDisplayMode();
    hiddenSequencePos = 0;
    return;
  }

  ChangeTrack();
  DragWindow();
  if (keyStates[VK_SPACE] == kJustPressed) sequenceFrozen = 1 - sequenceFrozen;
  FollowHiddenSequence();
}
