// The desktop host over SDL2: a window with a sizing frame, desktop full screen, the picture
// scaled to fit (aspect kept, black bars, sharp pixels) and paced to the display, keyboard and
// mouse, a steady nanosecond clock, message boxes and the default audio output.
#pragma once

#include <SDL.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>

#include "platform/host/frame_pacer.h"
#include "platform/host/host.h"
#include "platform/host/key_table.h"
#include "platform/host/picture_scaler.h"

namespace host {

class SdlHost : public Host {
 public:
  // How finished frames reach the screen.
  enum class Presentation {
    kGpu,            // an accelerated SDL renderer, in step with the display (vsync)
    kWindowSurface,  // scaled in software into the window's shared-memory surface, paced by a timer
  };

  SdlHost() = default;
  ~SdlHost() override;

  // Chooses the presentation (a GPU renderer when the display's OpenGL is a real GPU, the window
  // surface otherwise; MUSIDISK_PRESENT=gpu or software decides instead) and starts SDL's video
  // and events; false (with SDL's reason in error()) when there is no display.
  bool Init();
  const char* error() const { return SDL_GetError(); }
  Presentation presentation() const { return presentation_; }

  // ---- Set by main() before the program runs ----
  // Unpaced presents every frame at once, for measurements (MUSIDISK_UNPACED=1).
  void SetPaced(bool paced) { paced_ = paced; }
  // Starts in a window as if Alt+Enter were pressed once the device exists: the keys are tapped
  // when the first frame is presented, and the window is not shown before it leaves full screen.
  void StartWindowed() { startWindowed_ = true; }
  // The first reading of the counter returns exactly `ticks`; later ones run on from it.
  void PinFirstCounterReading(int64_t ticks);
  // From any thread: the program is asked to close, as by the window's close button.
  void RequestClose();
  // True while a message box is open (the program's loop then waits on it).
  bool inMessageBox() const { return inMessageBox_.load(); }
  // Runs each time the program looks for window messages, that is between frames, on its thread.
  void SetBetweenFramesHandler(std::function<void()> handler) { betweenFrames_ = std::move(handler); }

  // ---- For the desktop's media controls ----
  // Holds the audio output silent (the music stands still) or lets it play on.
  void HoldAudio(bool held);
  void RaiseWindow();

  // ---- Host ----
  Rect DesktopRect() override;
  bool CreateMainWindow(const std::string& title, const Rect& rect) override;
  void DestroyMainWindow() override;
  void ShowMainWindow() override;
  Rect WindowRect() override;
  Rect ClientRect() override;
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
  static SDL_HitTestResult SDLCALL HitTest(SDL_Window* window, const SDL_Point* point, void* self);
  bool CreateRenderer();
  bool EnsureTexture(int width, int height);
  void PresentWithRenderer(const uint32_t* pixels, int width, int height, int pitch);
  void PresentToSurface(const uint32_t* pixels, int width, int height, int pitch);
  // The client area in window coordinates: inside the frame when windowed.
  SDL_Rect ClientArea(int windowWidth, int windowHeight) const;
  void ApplyWindowStyle();
  void TapStartWindowedKeys();
  void KeyDown(const SDL_Keysym& key);
  void KeyUp(const SDL_Keysym& key);

  bool videoStarted_ = false;
  Presentation presentation_ = Presentation::kWindowSurface;
  bool paced_ = true;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  // For scales that are not whole numbers: the picture at the largest whole scale below, filtered
  // from there to its final size, so pixels stay crisp without uneven widths.
  SDL_Texture* wholeScaleTexture_ = nullptr;
  int wholeScale_ = 0;
  // Whether the renderer's present waits for the display; checked on the first presents.
  bool vsyncWaits_ = true;
  int quickPresents_ = 0;
  uint64_t lastPresentEnd_ = 0;
  FramePacer pacer_;
  PictureScaler scaler_;
  // The window surface must be drawn whole (bars and frame too) on the next present.
  bool surfaceStale_ = true;
  Rect windowedRect_;
  bool fullScreen_ = false;
  bool startWindowed_ = false;
  bool startKeysTapped_ = false;
  bool showDeferred_ = false;
  int cursorCount_ = 0;
  KeyTable keys_;
  // The virtual key each physical key went down as, so its release lets go of the same code
  // (Num Lock may change in between); 0 while up.
  std::array<uint8_t, SDL_NUM_SCANCODES> pressedAs_{};
  bool counterPinned_ = false;
  int64_t pinnedReading_ = 0;
  int64_t counterOffset_ = 0;
  std::atomic<bool> inMessageBox_{false};
  std::function<void()> betweenFrames_;
  SDL_AudioDeviceID audioDevice_ = 0;
  AudioCallback audioCallback_ = nullptr;
  void* audioUser_ = nullptr;
  // The output plays only while neither the audio library (BASS_Stop) nor the media controls hold it.
  bool audioPausedByLibrary_ = true;
  bool audioHeld_ = false;
};

}  // namespace host
