// GetAsyncKeyState over the host's key table: latched presses and sided modifiers.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/host/headless_host.h"

namespace {

class KeyStateTest : public ::testing::Test {
 protected:
  void SetUp() override { host::SetActiveHost(&host_); }
  void TearDown() override { host::SetActiveHost(nullptr); }
  host::HeadlessHost host_;
};

TEST_F(KeyStateTest, APressShorterThanAPollIsSeenOnce) {
  host_.PressKey('J');
  host_.ReleaseKey('J');
  EXPECT_NE(GetAsyncKeyState('J'), 0);
  EXPECT_EQ(GetAsyncKeyState('J'), 0);
}

TEST_F(KeyStateTest, AHeldKeyReportsDownAtEveryQuery) {
  host_.PressKey(VK_SPACE);
  EXPECT_NE(GetAsyncKeyState(VK_SPACE) & 0x8000, 0);
  EXPECT_NE(GetAsyncKeyState(VK_SPACE) & 0x8000, 0);
  host_.ReleaseKey(VK_SPACE);
  EXPECT_EQ(GetAsyncKeyState(VK_SPACE), 0);
}

TEST_F(KeyStateTest, SidedAltAlsoReportsTheGenericCode) {
  host_.PressKey(VK_LMENU);
  host_.PressKey(VK_RMENU);
  EXPECT_NE(GetAsyncKeyState(VK_MENU), 0);
  EXPECT_NE(GetAsyncKeyState(VK_LMENU), 0);
  host_.ReleaseKey(VK_LMENU);
  EXPECT_NE(GetAsyncKeyState(VK_MENU) & 0x8000, 0) << "the right Alt still holds it";
  host_.ReleaseKey(VK_RMENU);
  EXPECT_EQ(GetAsyncKeyState(VK_MENU), 0);
}

TEST_F(KeyStateTest, CodesOutsideTheTableAreUp) {
  EXPECT_EQ(GetAsyncKeyState(-1), 0);
  EXPECT_EQ(GetAsyncKeyState(256), 0);
}

}  // namespace
