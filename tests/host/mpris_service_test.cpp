// The media controls without a session bus: the service stays off and asks nothing of the player.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/host/mpris_service.h"

namespace {

class CountingPlayer : public host::MediaPlayer {
 public:
  Track CurrentTrack() override {
    ++calls;
    return {};
  }
  int TrackNumber() override {
    ++calls;
    return 0;
  }
  bool Paused() override { return false; }
  int64_t PositionMicroseconds() override { return 0; }
  void Next() override { ++calls; }
  void Previous() override { ++calls; }
  void SetPaused(bool) override { ++calls; }
  void Raise() override { ++calls; }
  void Quit() override { ++calls; }
  int calls = 0;
};

TEST(MprisService, WithoutASessionBusStaysOffAndLeavesThePlayerAlone) {
  setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/musidisk-test-bus", 1);
  unsetenv("XDG_RUNTIME_DIR");
  CountingPlayer player;
  host::MprisService service;
  EXPECT_FALSE(service.Start(&player, "org.tarnvik.Musidisk"));
  EXPECT_FALSE(service.running());
  service.Process();
  EXPECT_EQ(player.calls, 0);
}

}  // namespace
