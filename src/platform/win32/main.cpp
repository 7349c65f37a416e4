// The music disk's executable: starts the SDL host and runs the program's WinMain on it.
#include <windows.h>

#include <cstdio>

#include "platform/host/sdl_host.h"

int main() {
  host::SdlHost sdl;
  if (!sdl.Init()) {
    std::fprintf(stderr, "Tarnvik Musidisk: cannot open a display (%s)\n", sdl.error());
    return 1;
  }
  host::SetActiveHost(&sdl);
  int result = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);
  host::SetActiveHost(nullptr);
  return result;
}
