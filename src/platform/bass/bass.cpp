// The BASS 1.7 calls, each handed to the process's one library.
#include <bass.h>

#include "platform/bass/bass_library.h"

using bass::BassLibrary;

DWORD WINAPI BASS_GetVersion() { return BassLibrary::Instance().Version(); }

DWORD WINAPI BASS_ErrorGetCode() { return BassLibrary::Instance().errorCode(); }

BOOL WINAPI BASS_Init(int device, DWORD freq, DWORD flags, HWND) {
  return BassLibrary::Instance().Init(device, freq, flags) ? TRUE : FALSE;
}

BOOL WINAPI BASS_Start() { return BassLibrary::Instance().Start() ? TRUE : FALSE; }

BOOL WINAPI BASS_Stop() { return BassLibrary::Instance().Stop() ? TRUE : FALSE; }

void WINAPI BASS_Free() { BassLibrary::Instance().Free(); }

// From memory `offset` is not used, as in the real library; `length` is the image's byte count.
HMUSIC WINAPI BASS_MusicLoad(BOOL mem, void* file, DWORD, DWORD length, DWORD flags) {
  return BassLibrary::Instance().MusicLoad(mem != FALSE, file, length, flags);
}

void WINAPI BASS_MusicFree(HMUSIC handle) { BassLibrary::Instance().MusicFree(handle); }

BOOL WINAPI BASS_MusicPlayEx(HMUSIC handle, DWORD pos, int flags, BOOL reset) {
  return BassLibrary::Instance().MusicPlayEx(handle, pos, flags, reset != FALSE) ? TRUE : FALSE;
}

BOOL WINAPI BASS_ChannelStop(DWORD handle) { return BassLibrary::Instance().ChannelStop(handle) ? TRUE : FALSE; }
