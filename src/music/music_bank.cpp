// Placeholder until the music bank lands: every step succeeds and nothing plays.
#include "music/music_bank.h"

MusicBank musicBank = {};
int currentTrack = 0;
int savedTrack = 0;

int LoadMusic() { return 0; }
int PlayCurrentTrack() { return 0; }
int NextTrack() { return 0; }
int PreviousTrack() { return 0; }
int PlayHiddenTrack() { return 0; }
void FreeMusic() {}
