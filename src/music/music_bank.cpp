// The music bank: loading the built-in modules into BASS, the track order and the hidden track.
#include "music/music_bank.h"

#include <windows.h>

#include "app/random_generator.h"
#include "app/shell_state.h"
#include "music/music_bank_image.h"

// The packed modules, generated at build time from data/music (tools/bankpack); writable, since
// loading descrambles them in place.
extern unsigned char musicBankImage[];
extern const unsigned int musicBankImageSize;

// The image and its size are constants, set before any code runs; the walk runs during static
// initialisation, before WinMain.
MusicBank musicBank = MusicBankFromImage(musicBankImage, musicBankImageSize);
int currentTrack = 0;
int savedTrack = 0;

namespace {

// The BASS version the program is written for: MAKELONG(1, 7).
constexpr DWORD kBassVersion = 0x00070001;
// The default output device.
constexpr int kDefaultDevice = -1;
constexpr DWORD kOutputFrequency = 44100;
// BASS_DEVICE_LATENCY | BASS_DEVICE_LEAVEVOL.
constexpr DWORD kDeviceFlags = 0x120;
// BASS_MUSIC_RAMP | BASS_MUSIC_LOOP: click-free volume changes, every track loops until changed.
constexpr DWORD kMusicFlags = 5;
// Order 0, row 0.
constexpr DWORD kSongStart = 0;
// Keeps the flags given at load.
constexpr int kKeepFlags = -1;

// The images are XOR-scrambled with this key, cycled from each module's first byte.
constexpr char kScrambleKey[] = "QELSXAR";
constexpr uint32_t kScrambleKeyLength = 7;

constexpr char kCaption[] = "Tarnvik Musidisk";

void ShowMessage(const char* text) { MessageBoxA(mainWindow, text, kCaption, MB_OK); }

void Descramble(MusicEntry& entry) {
  for (uint32_t i = 0; i < entry.length; ++i) {
    entry.image[i] ^= static_cast<unsigned char>(kScrambleKey[i % kScrambleKeyLength]);
  }
}

// Stops the entry being left and starts `currentTrack` from the top.
int Switch(int leftEntry) {
  BASS_ChannelStop(musicBank.entries[leftEntry].handle);
  if (!BASS_MusicPlayEx(musicBank.entries[currentTrack].handle, kSongStart, kKeepFlags, TRUE)) {
    ShowMessage("Can't play music");
    return -1;
  }
  return 0;
}

// Arrow keys: leaving the hidden track returns to the track that played before it; otherwise
// step by `direction` through the ordinary tracks with wrap-around.
int Step(int direction) {
  int old = currentTrack;
  if (old == MusicBank::kHiddenTrack) {
    currentTrack = savedTrack;
    savedTrack = MusicBank::kHiddenTrack;
  } else {
    savedTrack = old;
    currentTrack = old + direction;
    if (currentTrack > MusicBank::kOrdinaryTracks - 1) currentTrack = 0;
    if (currentTrack < 0) currentTrack = MusicBank::kOrdinaryTracks - 1;
  }
  return Switch(old);
}

}  // namespace

int LoadMusic() {
  if (BASS_GetVersion() != kBassVersion) {
    ShowMessage("BASS version 1.7 was not loaded");
    return -1;
  }
  if (!BASS_Init(kDefaultDevice, kOutputFrequency, kDeviceFlags, mainWindow)) {
    ShowMessage("Can't initialize digital sound system");
    return -1;
  }
  BASS_Start();
  for (MusicEntry& entry : musicBank.entries) {
    Descramble(entry);
    // The image's own length bounds the loader: a damaged image is refused, never read past.
    entry.handle = BASS_MusicLoad(TRUE, entry.image, 0, entry.length, kMusicFlags);
    if (entry.handle == 0) {
      ShowMessage("Can't load music");
      return -1;
    }
  }
  currentTrack = NextRandom() % MusicBank::kOrdinaryTracks;
  return 0;
}

int PlayCurrentTrack() { return Switch(savedTrack); }

int NextTrack() { return Step(1); }

int PreviousTrack() { return Step(-1); }

int PlayHiddenTrack() {
  if (currentTrack == MusicBank::kHiddenTrack) return 0;
  int old = currentTrack;
  savedTrack = old;
  currentTrack = MusicBank::kHiddenTrack;
  return Switch(old);
}

void FreeMusic() {
  BASS_Stop();
  for (MusicEntry& entry : musicBank.entries) {
    if (entry.handle != 0) BASS_MusicFree(entry.handle);
    entry.handle = 0;
  }
  BASS_Free();
}
