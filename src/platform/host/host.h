// The machine under the Win32, Direct3D and BASS layers: window, input, clock, message box,
// presentation and audio output. The SDL host is a real desktop; the headless host is the same
// behaviour in memory for tests and the capture tool. Only platform code talks to a host.
#pragma once

#include <cstdint>
#include <string>

namespace host {

// An event the host turns into a window message.
struct HostEvent {
  enum class Kind {
    kClose,         // the user closed the window -> WM_CLOSE
    kActivate,      // focus gained (active = true) or lost -> WM_ACTIVATEAPP
    kKeyDown,       // a key went down -> WM_KEYDOWN with the virtual-key code
    kPaint,         // the system asks for a repaint -> WM_PAINT
  };
  Kind kind;
  bool active = false;
  int virtualKey = 0;
};

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// The audio callback fills `frames` interleaved stereo 16-bit frames; it runs under the host's
// audio lock (on the audio thread of the SDL host, on the puller's thread in the headless host).
typedef void (*AudioCallback)(void* user, int16_t* stereo, int frames);

class Host {
 public:
  virtual ~Host() = default;

  // Desktop and window, in desktop coordinates. Full screen covers the desktop with the picture
  // scaled to fit, aspect kept.
  virtual Rect DesktopRect() = 0;
  virtual bool CreateMainWindow(const std::string& title, const Rect& rect) = 0;
  virtual void DestroyMainWindow() = 0;
  virtual void ShowMainWindow() = 0;
  virtual Rect WindowRect() = 0;
  // The client area, where the picture goes, in desktop coordinates: inside the window's frame.
  virtual Rect ClientRect() { return WindowRect(); }
  // Placement for windowed mode; while full screen it is remembered for the way back.
  virtual void SetWindowRect(const Rect& rect) = 0;
  virtual void SetFullScreen(bool fullScreen) = 0;
  virtual bool IsFullScreen() = 0;
  virtual void SetIcon(const uint32_t* argb, int width, int height) = 0;

  // Events, key state and cursor. KeyState answers as GetAsyncKeyState does: bit 15 while the key
  // is down, bit 0 when it was pressed since the previous query of that code (then cleared).
  virtual bool PollEvent(HostEvent* event) = 0;
  virtual int16_t KeyState(int virtualKey) = 0;
  virtual void CursorPos(int32_t* x, int32_t* y) = 0;
  // Windows' display counter: +1 or -1; the cursor shows while the count is 0 or more. Returns it.
  virtual int ShowCursor(bool show) = 0;

  // High-resolution counter.
  virtual int64_t CounterFrequency() = 0;
  virtual int64_t Counter() = 0;

  // A modal message box with an OK button; returns once it is closed.
  virtual void MessageBox(const std::string& caption, const std::string& text) = 0;

  // Hands over a finished frame of X8R8G8B8 pixels (pitch in bytes) to be shown.
  virtual void Present(const uint32_t* pixels, int width, int height, int pitch) = 0;

  // Audio output: 16-bit stereo at `frequency`. OpenAudio fails when no output device exists.
  virtual bool OpenAudio(int frequency, AudioCallback callback, void* user) = 0;
  virtual void CloseAudio() = 0;
  virtual void PauseAudio(bool paused) = 0;
  virtual void LockAudio() = 0;
  virtual void UnlockAudio() = 0;
};

// The host the platform layers use. main() installs the SDL host; tests and the capture tool
// install a headless one. Null until installed.
Host* ActiveHost();
void SetActiveHost(Host* host);

}  // namespace host
