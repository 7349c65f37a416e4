// The BASS 1.7 audio library calls the music bank makes (bass.h subset), with the real names and
// shapes; implemented over libopenmpt with output through the system's audio output (the active
// host on Linux, WinMM's waveOut on Windows).
#pragma once

#include <windows.h>

typedef DWORD HMUSIC;    // MOD music handle
typedef DWORD HCHANNEL;  // playing channel handle (a music handle serves as its own channel)

// Error codes returned by BASS_ErrorGetCode.
#define BASS_OK 0
#define BASS_ERROR_MEM 1
#define BASS_ERROR_FILEOPEN 2
#define BASS_ERROR_DRIVER 3
#define BASS_ERROR_HANDLE 5
#define BASS_ERROR_FORMAT 6
#define BASS_ERROR_POSITION 7
#define BASS_ERROR_INIT 8
#define BASS_ERROR_START 9
#define BASS_ERROR_ALREADY 14
#define BASS_ERROR_ILLPARAM 20
#define BASS_ERROR_DEVICE 23
#define BASS_ERROR_NOPLAY 24
#define BASS_ERROR_FREQ 25
#define BASS_ERROR_FILEFORM 41
#define BASS_ERROR_UNKNOWN -1

// BASS_Init flags.
#define BASS_DEVICE_8BITS 1
#define BASS_DEVICE_MONO 2
#define BASS_DEVICE_3D 4
#define BASS_DEVICE_LEAVEVOL 32
#define BASS_DEVICE_LATENCY 256

// BASS_MusicLoad flags.
#define BASS_MUSIC_RAMP 1
#define BASS_MUSIC_RAMPS 2
#define BASS_MUSIC_LOOP 4

// MAKELONG(1, 7) = 0x00070001.
DWORD WINAPI BASS_GetVersion();
// The error of the latest call; BASS_OK after one that succeeded.
DWORD WINAPI BASS_ErrorGetCode();
// device -1 (or 1) opens the system's default output at `freq` Hz, 16-bit stereo, silent until
// BASS_Start; device 0 is "no sound" (musics load and play unheard). FALSE on a machine without a
// sound device (BASS_ERROR_DRIVER). The output format flags change nothing here.
BOOL WINAPI BASS_Init(int device, DWORD freq, DWORD flags, HWND window);
BOOL WINAPI BASS_Start();
// Silences the output and stops every music.
BOOL WINAPI BASS_Stop();
// Closes the output and frees every music.
void WINAPI BASS_Free();
// Loads a module from memory (mem TRUE; offset unused): exactly `length` bytes are read and copied,
// and length 0 is refused (BASS_ERROR_ILLPARAM), since it would leave the loader no bound. Loading
// from a file is not offered (BASS_ERROR_FILEOPEN). Returns 0 on failure.
HMUSIC WINAPI BASS_MusicLoad(BOOL mem, void* file, DWORD offset, DWORD length, DWORD flags);
void WINAPI BASS_MusicFree(HMUSIC handle);
// pos = MAKELONG(order, row); flags -1 keeps the flags given at load; reset TRUE starts cleanly
// (no sounding notes, the song's own tempo).
BOOL WINAPI BASS_MusicPlayEx(HMUSIC handle, DWORD pos, int flags, BOOL reset);
BOOL WINAPI BASS_ChannelStop(DWORD handle);
