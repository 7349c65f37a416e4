// The music disk as a media player on the desktop's session bus (MPRIS 2): the interfaces
// org.mpris.MediaPlayer2 and org.mpris.MediaPlayer2.Player over sd-bus, served from the program's
// own thread between frames without ever waiting on the bus.
#pragma once

#include <string>

#include "platform/host/media_player.h"

struct sd_bus;
struct sd_bus_slot;

namespace host {

class MprisService {
 public:
  // The name the player owns; a second instance adds ".instance<pid>", as MPRIS provides.
  static constexpr char kBusName[] = "org.mpris.MediaPlayer2.tarnvik_musidisk";
  static constexpr char kObjectPath[] = "/org/mpris/MediaPlayer2";
  static constexpr char kIdentity[] = "Tarnvik Musidisk";

  MprisService() = default;
  ~MprisService();
  MprisService(const MprisService&) = delete;
  MprisService& operator=(const MprisService&) = delete;

  // Connects to the session bus and asks for the name; false when there is no session bus, and
  // then the service stays off. `desktopEntry` is the desktop entry's name without ".desktop".
  bool Start(MediaPlayer* player, const std::string& desktopEntry);
  // Answers whatever the bus has brought, and signals a changed track or playback status. Never
  // waits: call it between frames.
  void Process();
  bool running() const { return bus_ != nullptr; }

  // ---- For the bus callbacks ----
  MediaPlayer* player() const { return player_; }
  const std::string& desktopEntry() const { return desktopEntry_; }
  // Asks for the name with the instance suffix after the plain name was taken.
  void RequestInstanceName();

 private:
  void Stop();

  sd_bus* bus_ = nullptr;
  sd_bus_slot* rootSlot_ = nullptr;
  sd_bus_slot* playerSlot_ = nullptr;
  sd_bus_slot* nameSlot_ = nullptr;
  MediaPlayer* player_ = nullptr;
  std::string desktopEntry_;
  std::string instanceName_;
  // What the desktop was last told, so that changes are signalled once.
  int signalledTrack_ = -1;
  bool signalledPaused_ = false;
};

}  // namespace host
