// The music disk as the desktop's media controls see it.
#include "platform/host/program_media_player.h"

#include <chrono>
#include <sstream>

#include "app/shell_state.h"
#include "embedded_data.h"
#include "music/music_bank.h"
#include "platform/bass/bass_library.h"
#include "platform/host/sdl_host.h"

namespace host {

namespace {

int64_t SteadyNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

constexpr int64_t kNanosecondsPerMicrosecond = 1000;

}  // namespace

ProgramMediaPlayer::ProgramMediaPlayer(SdlHost* host) : host_(host) {
  // Lines of "key<TAB>value": "musician", or the entry number "00".."15" and its title; '#' starts
  // a comment.
  std::istringstream lines(std::string(reinterpret_cast<const char*>(embedded::music_titles_txt),
                                       embedded::music_titles_txt_size));
  for (std::string line; std::getline(lines, line);) {
    size_t tab = line.find('\t');
    if (line.empty() || line[0] == '#' || tab == std::string::npos) continue;
    std::string key = line.substr(0, tab);
    std::string value = line.substr(tab + 1);
    if (key == "musician") musician_ = value;
    if (key.size() == 2 && key[0] >= '0' && key[0] <= '9' && key[1] >= '0' && key[1] <= '9') {
      size_t entry = static_cast<size_t>((key[0] - '0') * 10 + (key[1] - '0'));
      if (entry < titles_.size()) titles_[entry] = value;
    }
  }
}

void ProgramMediaPlayer::FollowTrack() {
  if (currentTrack == followedTrack_) return;
  followedTrack_ = currentTrack;
  int64_t now = SteadyNanoseconds();
  trackStart_ = now;
  pausedTotal_ = 0;
  pausedSince_ = now;
}

int ProgramMediaPlayer::TrackNumber() {
  FollowTrack();
  return currentTrack >= 0 && currentTrack < MusicBank::kEntryCount ? currentTrack : 0;
}

MediaPlayer::Track ProgramMediaPlayer::CurrentTrack() {
  Track track;
  int entry = TrackNumber();
  track.id = "/org/tarnvik/Musidisk/track/" + std::to_string(entry);
  track.title = titles_[static_cast<size_t>(entry)];
  track.artist = musician_;
  double seconds = bass::BassLibrary::Instance().MusicLengthSeconds(musicBank.entries[entry].handle);
  if (seconds > 0) track.lengthMicroseconds = static_cast<int64_t>(seconds * 1e6);
  return track;
}

int64_t ProgramMediaPlayer::PositionMicroseconds() {
  Track track = CurrentTrack();
  int64_t now = paused_ ? pausedSince_ : SteadyNanoseconds();
  int64_t played = (now - trackStart_ - pausedTotal_) / kNanosecondsPerMicrosecond;
  // The track loops: the position runs round within one pass.
  if (track.lengthMicroseconds > 0) played %= track.lengthMicroseconds;
  return played;
}

void ProgramMediaPlayer::Next() {
  if (NextTrack() != 0) quitRequested = 1;
}

void ProgramMediaPlayer::Previous() {
  if (PreviousTrack() != 0) quitRequested = 1;
}

void ProgramMediaPlayer::SetPaused(bool paused) {
  if (paused == paused_) return;
  FollowTrack();
  int64_t now = SteadyNanoseconds();
  if (paused) {
    pausedSince_ = now;
  } else {
    pausedTotal_ += now - pausedSince_;
  }
  paused_ = paused;
  host_->HoldAudio(paused);
}

void ProgramMediaPlayer::Raise() { host_->RaiseWindow(); }

void ProgramMediaPlayer::Quit() { host_->RequestClose(); }

}  // namespace host
