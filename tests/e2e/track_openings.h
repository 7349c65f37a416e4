// Tells which bank track a recording plays: the opening of every track as our BASS layer plays it
// from the top, searched for in the recorded sound.
#pragma once

#include <bass.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/host/headless_host.h"

class TrackOpenings {
 public:
  // Frames of each opening compared: about 46 ms, far more than two tracks could share.
  static constexpr size_t kFrames = 2048;

  TrackOpenings() {
    host::HeadlessHost machine;
    host::SetActiveHost(&machine);
    BASS_Init(-1, 44100, 0x120, nullptr);
    BASS_Start();
    for (int track = 0; track < 16; ++track) {
      char path[512];
      std::snprintf(path, sizeof path, "%s/data/music/track%02d.xm", MUSIDISK_SOURCE_DIR, track);
      std::ifstream in(path, std::ios::binary);
      std::vector<unsigned char> module((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      HMUSIC handle = BASS_MusicLoad(TRUE, module.data(), 0, static_cast<DWORD>(module.size()), 5);
      BASS_MusicPlayEx(handle, 0, -1, TRUE);
      std::vector<int16_t> sound(2 * 8 * 1024);
      for (size_t at = 0; at < sound.size(); at += 2 * 1024) machine.PullAudio(&sound[at], 1024);
      BASS_MusicFree(handle);
      size_t first = 0;
      while (first + 1 < sound.size() && sound[first] == 0 && sound[first + 1] == 0) first += 2;
      openings_.emplace_back(sound.begin() + static_cast<std::ptrdiff_t>(first),
                             sound.begin() + static_cast<std::ptrdiff_t>(first + 2 * kFrames));
    }
    BASS_Free();
    host::SetActiveHost(nullptr);
  }

  // The stereo frame at which `track` starts in `recording` from `fromFrame` on, or -1.
  long Find(int track, const std::vector<int16_t>& recording, long fromFrame = 0) const {
    const std::vector<int16_t>& opening = openings_[track];
    for (size_t i = 2 * static_cast<size_t>(fromFrame); i + opening.size() <= recording.size(); i += 2) {
      if (recording[i] != opening[0] || recording[i + 1] != opening[1]) continue;
      if (std::equal(opening.begin(), opening.end(), recording.begin() + static_cast<std::ptrdiff_t>(i))) {
        return static_cast<long>(i / 2);
      }
    }
    return -1;
  }

  // The track whose opening comes latest in the recording (the one playing at its end), or -1.
  int LastStarted(const std::vector<int16_t>& recording, long* at = nullptr) const {
    int last = -1;
    long lastAt = -1;
    for (int track = 0; track < 16; ++track) {
      long found = Find(track, recording);
      while (found >= 0) {
        if (found > lastAt) {
          lastAt = found;
          last = track;
        }
        found = Find(track, recording, found + 1);
      }
    }
    if (at != nullptr) *at = lastAt;
    return last;
  }

 private:
  std::vector<std::vector<int16_t>> openings_;
};
