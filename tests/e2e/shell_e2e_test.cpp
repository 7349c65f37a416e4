// The real executable in a real X server: it starts full screen, and Escape or closing the window
// ends it with status 0.
#include <gtest/gtest.h>

#include "desktop_session.h"

namespace {

class ShellEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session_.StartServer(1024, 768)) << "Xvfb did not start";
    ASSERT_TRUE(session_.StartProgram());
    auto window = session_.WaitForWindow(60);
    ASSERT_TRUE(window.has_value()) << "no window appeared";
    window_ = *window;
  }
  DesktopSession session_;
  std::string window_;
};

TEST_F(ShellEndToEnd, StartsFullScreenAndEscapeQuits) {
  EXPECT_EQ(session_.WindowName(window_), "Tarnvik Musidisk");
  auto geometry = session_.WaitForSize(window_, 1024, 768, 20);
  ASSERT_TRUE(geometry.has_value());
  EXPECT_EQ(geometry->width, 1024);
  EXPECT_EQ(geometry->height, 768);
  ASSERT_TRUE(session_.Key(window_, "Escape"));
  auto status = session_.WaitForExit(30);
  ASSERT_TRUE(status.has_value()) << "still running after Escape";
  EXPECT_EQ(*status, 0);
}

TEST_F(ShellEndToEnd, ClosingTheWindowQuits) {
  ASSERT_TRUE(session_.RequestClose(window_));
  auto status = session_.WaitForExit(30);
  ASSERT_TRUE(status.has_value()) << "still running after the close request";
  EXPECT_EQ(*status, 0);
}

}  // namespace
