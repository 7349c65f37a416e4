// The bank of sixteen built-in modules and their playback: fifteen ordinary tracks stepped with
// wrap-around, and a hidden sixteenth track.
#pragma once

#include <bass.h>

#include <cstdint>

struct MusicEntry {
  // The module's bytes inside the program's writable data; scrambled until LoadMusic.
  unsigned char* image;
  // Byte count of the image.
  uint32_t length;
  // BASS music handle; 0 while not loaded.
  HMUSIC handle;
};

struct MusicBank {
  static constexpr int kEntryCount = 16;
  // Entries 0..14 are the ordinary tracks.
  static constexpr int kOrdinaryTracks = 15;
  static constexpr int kHiddenTrack = 15;
  MusicEntry entries[kEntryCount];
};

extern MusicBank musicBank;
// The entry that plays now, 0..15; read by the now-playing ticker.
extern int currentTrack;
// The entry that played before the latest change: where leaving the hidden track returns to.
extern int savedTrack;

int LoadMusic();
int PlayCurrentTrack();
int NextTrack();
int PreviousTrack();
int PlayHiddenTrack();
void FreeMusic();
