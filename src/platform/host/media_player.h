// What the desktop's media controls (media keys, sound menu) see of the music disk and ask of it.
#pragma once

#include <cstdint>
#include <string>

namespace host {

class MediaPlayer {
 public:
  struct Track {
    // A D-Bus object path naming the track, the same for as long as the track plays.
    std::string id;
    std::string title;
    std::string artist;
    // One pass through the track; negative when unknown.
    int64_t lengthMicroseconds = -1;
  };

  virtual ~MediaPlayer() = default;
  virtual Track CurrentTrack() = 0;
  // Which of the bank's entries plays: asked between every two frames to notice a change, so it
  // builds nothing (CurrentTrack makes strings).
  virtual int TrackNumber() = 0;
  virtual bool Paused() = 0;
  // How far into the track the music is.
  virtual int64_t PositionMicroseconds() = 0;

  virtual void Next() = 0;
  virtual void Previous() = 0;
  virtual void SetPaused(bool paused) = 0;
  virtual void Raise() = 0;
  virtual void Quit() = 0;
};

}  // namespace host
