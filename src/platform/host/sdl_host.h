// The desktop host over SDL2: a borderless window, desktop full screen with the picture scaled to
// fit (aspect kept, black bars), keyboard and mouse, a steady nanosecond clock, message boxes and
// the default audio output.
#pragma once

#include <SDL.h>

#include "platform/host/host.h"
#include "platform/host/key_table.h"

namespace host {

class SdlHost : public Host {
 public:
  SdlHost() = default;
  ~SdlHost() override;

  // Starts SDL's video and event subsystems; false (with SDL's reason in error()) when there is no display.
  bool Init();
  const char* error() const { return SDL_GetError(); }

  Rect DesktopRect() override;
  bool CreateMainWindow(const std::string& title, const Rect& rect) override;
  void DestroyMainWindow() override;
  void ShowMainWindow() override;
  Rect WindowRect() override;
  void SetWindowRect(const Rect& rect) override;
  void SetFullScreen(bool fullScreen) override;
  bool IsFullScreen() override { return fullScreen_; }
  void SetIcon(const uint32_t* argb, int width, int height) override;
  bool PollEvent(HostEvent* event) override;
  int16_t KeyState(int virtualKey) override;
  void CursorPos(int32_t* x, int32_t* y) override;
  int ShowCursor(bool show) override;
  int64_t CounterFrequency() override { return 1000000000; }
  int64_t Counter() override;
  void MessageBox(const std::string& caption, const std::string& text) override;
  void Present(const uint32_t* pixels, int width, int height, int pitch) override;
  bool OpenAudio(int frequency, AudioCallback callback, void* user) override;
  void CloseAudio() override;
  void PauseAudio(bool paused) override;
  void LockAudio() override;
  void UnlockAudio() override;

 private:
  static void SDLCALL AudioThunk(void* self, Uint8* stream, int length);
  bool EnsureTexture(int width, int height);

  bool videoStarted_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  Rect windowedRect_;
  bool fullScreen_ = false;
  int cursorCount_ = 0;
  KeyTable keys_;
  SDL_AudioDeviceID audioDevice_ = 0;
  AudioCallback audioCallback_ = nullptr;
  void* audioUser_ = nullptr;
};

}  // namespace host
