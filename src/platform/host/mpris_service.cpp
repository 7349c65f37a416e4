// The music disk as a media player on the session bus (MPRIS 2).
#include "platform/host/mpris_service.h"

#include <systemd/sd-bus.h>
#include <unistd.h>

namespace host {

namespace {

constexpr char kRootInterface[] = "org.mpris.MediaPlayer2";
constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";

MprisService* Service(void* userdata) { return static_cast<MprisService*>(userdata); }

// ---- Properties ----

int True(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "b", 1);
}

int False(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "b", 0);
}

int One(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "d", 1.0);
}

int NoStrings(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "as", 0);
}

int Identity(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "s", MprisService::kIdentity);
}

int DesktopEntry(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata,
                 sd_bus_error*) {
  return sd_bus_message_append(reply, "s", Service(userdata)->desktopEntry().c_str());
}

// Every track loops until it is changed.
int LoopStatus(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "s", "Track");
}

int PlaybackStatus(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata,
                   sd_bus_error*) {
  return sd_bus_message_append(reply, "s", Service(userdata)->player()->Paused() ? "Paused" : "Playing");
}

int Position(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata, sd_bus_error*) {
  return sd_bus_message_append(reply, "x", static_cast<int64_t>(Service(userdata)->player()->PositionMicroseconds()));
}

int Metadata(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata, sd_bus_error*) {
  MediaPlayer::Track track = Service(userdata)->player()->CurrentTrack();
  int r = sd_bus_message_open_container(reply, 'a', "{sv}");
  if (r >= 0) r = sd_bus_message_append(reply, "{sv}", "mpris:trackid", "o", track.id.c_str());
  if (r >= 0) r = sd_bus_message_append(reply, "{sv}", "xesam:title", "s", track.title.c_str());
  if (r >= 0) r = sd_bus_message_append(reply, "{sv}", "xesam:artist", "as", 1, track.artist.c_str());
  if (r >= 0 && track.lengthMicroseconds >= 0) {
    r = sd_bus_message_append(reply, "{sv}", "mpris:length", "x", static_cast<int64_t>(track.lengthMicroseconds));
  }
  if (r >= 0) r = sd_bus_message_close_container(reply);
  return r;
}

// ---- Methods ----

int Reply(sd_bus_message* message) { return sd_bus_reply_method_return(message, ""); }

int Raise(sd_bus_message* message, void* userdata, sd_bus_error*) {
  Service(userdata)->player()->Raise();
  return Reply(message);
}

int Quit(sd_bus_message* message, void* userdata, sd_bus_error*) {
  Service(userdata)->player()->Quit();
  return Reply(message);
}

int Next(sd_bus_message* message, void* userdata, sd_bus_error*) {
  Service(userdata)->player()->Next();
  return Reply(message);
}

int Previous(sd_bus_message* message, void* userdata, sd_bus_error*) {
  Service(userdata)->player()->Previous();
  return Reply(message);
}

int Pause(sd_bus_message* message, void* userdata, sd_bus_error*) {
  Service(userdata)->player()->SetPaused(true);
  return Reply(message);
}

int Play(sd_bus_message* message, void* userdata, sd_bus_error*) {
  Service(userdata)->player()->SetPaused(false);
  return Reply(message);
}

int PlayPause(sd_bus_message* message, void* userdata, sd_bus_error*) {
  MediaPlayer* player = Service(userdata)->player();
  player->SetPaused(!player->Paused());
  return Reply(message);
}

// A music disk cannot seek or open other media: these calls are accepted and change nothing, as
// the properties CanSeek (false) and SupportedUriSchemes (none) say they will.
int Ignore(sd_bus_message* message, void*, sd_bus_error*) { return Reply(message); }

const sd_bus_vtable kRootTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Raise", "", "", Raise, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Quit", "", "", Quit, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_PROPERTY("CanQuit", "b", True, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanRaise", "b", True, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("HasTrackList", "b", False, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Identity", "s", Identity, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("DesktopEntry", "s", DesktopEntry, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("SupportedUriSchemes", "as", NoStrings, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("SupportedMimeTypes", "as", NoStrings, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable kPlayerTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Next", "", "", Next, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Previous", "", "", Previous, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Pause", "", "", Pause, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("PlayPause", "", "", PlayPause, SD_BUS_VTABLE_UNPRIVILEGED),
    // A music disk has no stop: the music pauses and the show goes on.
    SD_BUS_METHOD("Stop", "", "", Pause, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Play", "", "", Play, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Seek", "x", "", Ignore, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("SetPosition", "ox", "", Ignore, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("OpenUri", "s", "", Ignore, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_SIGNAL("Seeked", "x", 0),
    SD_BUS_PROPERTY("PlaybackStatus", "s", PlaybackStatus, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_PROPERTY("LoopStatus", "s", LoopStatus, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Rate", "d", One, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Metadata", "a{sv}", Metadata, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_PROPERTY("Volume", "d", One, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    // The position moves on by itself; MPRIS asks that it not be signalled.
    SD_BUS_PROPERTY("Position", "x", Position, 0, 0),
    SD_BUS_PROPERTY("MinimumRate", "d", One, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("MaximumRate", "d", One, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanGoNext", "b", True, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanGoPrevious", "b", True, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanPlay", "b", True, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanPause", "b", True, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanSeek", "b", False, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanControl", "b", True, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_VTABLE_END,
};

// The reply to asking for the plain name: when another instance owns it, take an instance name.
int NameAnswered(sd_bus_message* reply, void* userdata, sd_bus_error*) {
  if (sd_bus_message_is_method_error(reply, nullptr)) Service(userdata)->RequestInstanceName();
  return 0;
}

}  // namespace

MprisService::~MprisService() { Stop(); }

bool MprisService::Start(MediaPlayer* player, const std::string& desktopEntry) {
  player_ = player;
  desktopEntry_ = desktopEntry;
  if (sd_bus_open_user(&bus_) < 0) {
    bus_ = nullptr;
    return false;
  }
  if (sd_bus_add_object_vtable(bus_, &rootSlot_, kObjectPath, kRootInterface, kRootTable, this) < 0 ||
      sd_bus_add_object_vtable(bus_, &playerSlot_, kObjectPath, kPlayerInterface, kPlayerTable, this) < 0 ||
      sd_bus_request_name_async(bus_, &nameSlot_, kBusName, 0, NameAnswered, this) < 0) {
    Stop();
    return false;
  }
  signalledTrack_ = player_->TrackNumber();
  signalledPaused_ = player_->Paused();
  return true;
}

void MprisService::RequestInstanceName() {
  instanceName_ = std::string(kBusName) + ".instance" + std::to_string(getpid());
  sd_bus_slot_unref(nameSlot_);
  nameSlot_ = nullptr;
  sd_bus_request_name_async(bus_, &nameSlot_, instanceName_.c_str(), 0, nullptr, nullptr);
}

void MprisService::Process() {
  if (bus_ == nullptr) return;
  // Each call handles one message or one piece of connection work; stop when none is left.
  for (;;) {
    int r = sd_bus_process(bus_, nullptr);
    if (r < 0) {
      // The bus went away (the session ended): the player is gone, the program goes on.
      Stop();
      return;
    }
    if (r == 0) break;
  }
  // Runs between every two frames: only numbers are compared here, nothing is built.
  int track = player_->TrackNumber();
  bool paused = player_->Paused();
  if (track == signalledTrack_ && paused == signalledPaused_) return;
  bool trackChanged = track != signalledTrack_;
  bool pausedChanged = paused != signalledPaused_;
  signalledTrack_ = track;
  signalledPaused_ = paused;
  if (trackChanged && pausedChanged) {
    sd_bus_emit_properties_changed(bus_, kObjectPath, kPlayerInterface, "Metadata", "PlaybackStatus", nullptr);
  } else {
    sd_bus_emit_properties_changed(bus_, kObjectPath, kPlayerInterface, trackChanged ? "Metadata" : "PlaybackStatus",
                                   nullptr);
  }
}

void MprisService::Stop() {
  nameSlot_ = sd_bus_slot_unref(nameSlot_);
  playerSlot_ = sd_bus_slot_unref(playerSlot_);
  rootSlot_ = sd_bus_slot_unref(rootSlot_);
  // Leaves without flushing: closing never waits on the bus.
  bus_ = sd_bus_close_unref(bus_);
}

}  // namespace host
