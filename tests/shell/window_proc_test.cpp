// The window procedure: Escape only while active, close requests, paint.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/shell_state.h"
#include "platform/host/headless_host.h"

namespace {

TEST(WindowProc, EscapeQuitsOnlyWhileActive) {
  struct Case {
    int active;
    WPARAM key;
    int quits;
  } cases[] = {{1, VK_ESCAPE, 1}, {0, VK_ESCAPE, 0}, {1, VK_SPACE, 0}};
  for (const Case& c : cases) {
    quitRequested = 0;
    appActive = c.active;
    WindowProc(nullptr, WM_KEYDOWN, c.key, 0);
    EXPECT_EQ(quitRequested, c.quits) << "active " << c.active << " key " << c.key;
  }
}

TEST(WindowProc, CloseDestroyAndQuitMessagesRequestQuit) {
  for (UINT message : {WM_CLOSE, WM_DESTROY, WM_QUIT}) {
    quitRequested = 0;
    WindowProc(nullptr, message, 0, 0);
    EXPECT_EQ(quitRequested, 1) << message;
  }
}

TEST(WindowProc, PaintIsAnsweredWithOne) { EXPECT_EQ(WindowProc(nullptr, WM_PAINT, 0, 0), 1); }

TEST(WindowProc, ActivationRecordsTheFlag) {
  loopStarted = 0;
  WindowProc(nullptr, WM_ACTIVATEAPP, 1, 0);
  EXPECT_EQ(appActive, 1);
  WindowProc(nullptr, WM_ACTIVATEAPP, 0, 0);
  EXPECT_EQ(appActive, 0);
}

}  // namespace
