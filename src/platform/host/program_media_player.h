// The music disk as the desktop's media controls see it: the program's own track operations,
// titles and musician, and the SDL host's window and audio output.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/host/media_player.h"

namespace host {

class SdlHost;

class ProgramMediaPlayer : public MediaPlayer {
 public:
  explicit ProgramMediaPlayer(SdlHost* host);

  Track CurrentTrack() override;
  int TrackNumber() override;
  bool Paused() override { return paused_; }
  int64_t PositionMicroseconds() override;
  // The same steps as the Right and Left arrows: the bank's NextTrack and PreviousTrack (which
  // also leave the hidden track), and a failed change ends the program as it does there.
  void Next() override;
  void Previous() override;
  // The music is held or let go; the show goes on.
  void SetPaused(bool paused) override;
  void Raise() override;
  // Ends the program as closing its window does.
  void Quit() override;

 private:
  // Notices a track change made by the program itself (keys, the hidden sequence).
  void FollowTrack();

  SdlHost* host_;
  // From the built-in title list: the musician and the sixteen titles in bank order.
  std::string musician_;
  std::array<std::string, 16> titles_;
  int followedTrack_ = -1;
  // Steady-clock nanoseconds: when the followed track started, and how long it has been paused.
  int64_t trackStart_ = 0;
  int64_t pausedSince_ = 0;
  int64_t pausedTotal_ = 0;
  bool paused_ = false;
};

}  // namespace host
