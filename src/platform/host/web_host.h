// The browser host: the page's canvas, keyboard and mouse through Emscripten's HTML5 API, Web Audio
// fed from the program's own thread, and a yield to the browser once per presented frame (the
// program's loop never returns to the browser by itself; Asyncify suspends it at the yields).
// The page side of each call is the `page` object the page hands to the module (web/page_host.js).
#pragma once

#include <emscripten/html5.h>

#include <array>
#include <cstdint>
#include <vector>

#include "platform/host/host.h"
#include "platform/host/key_table.h"

namespace host {

class WebHost : public Host {
 public:
  // Paced: after each presented frame, wait for the browser's next animation frame. Unpaced
  // (the page's benchmark mode): only let the browser handle what is pending, then go on.
  explicit WebHost(bool paced);
  ~WebHost() override;
  WebHost(const WebHost&) = delete;
  WebHost& operator=(const WebHost&) = delete;

  // Starts listening to the page's keyboard, mouse and visibility. Stop() ends it, and the audio.
  void Start();
  void Stop();

  Rect DesktopRect() override;
  bool CreateMainWindow(const std::string& title, const Rect& rect) override;
  void DestroyMainWindow() override;
  void ShowMainWindow() override;
  Rect WindowRect() override { return windowRect_; }
  void SetWindowRect(const Rect& rect) override { windowRect_ = rect; }
  void SetFullScreen(bool fullScreen) override;
  bool IsFullScreen() override { return fullScreen_; }
  void SetIcon(const uint32_t* argb, int width, int height) override;
  bool PollEvent(HostEvent* event) override;
  int16_t KeyState(int virtualKey) override { return keys_.Query(virtualKey); }
  void CursorPos(int32_t* x, int32_t* y) override;
  int ShowCursor(bool show) override;
  // performance.now() in nanoseconds.
  int64_t CounterFrequency() override { return 1000000000; }
  int64_t Counter() override;
  void MessageBox(const std::string& caption, const std::string& text) override;
  void Present(const uint32_t* pixels, int width, int height, int pitch) override;
  bool OpenAudio(int frequency, AudioCallback callback, void* user) override;
  void CloseAudio() override;
  void PauseAudio(bool paused) override;
  // One thread: the mixer runs only at the yields, never inside a locked scope, so the lock just
  // counts, and a yield inside one (none happens) would leave the audio alone.
  void LockAudio() override { ++audioLockDepth_; }
  void UnlockAudio() override { --audioLockDepth_; }

 private:
  // Frames rendered into the page's audio queue per hand-over: about 46 ms at 44.1 kHz.
  static constexpr int kAudioChunkFrames = 2048;
  // Events waiting for the program; a full queue drops new ones (the key table still sees keys).
  static constexpr int kEventCapacity = 64;

  enum class Wait { kFrame, kIdle };
  void Yield(Wait wait);
  void PumpAudio();
  void Push(const HostEvent& event);
  void ReleaseAllKeys() { keys_.ReleaseAll(); }

  static EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* event, void* self);
  static EM_BOOL OnMouseButton(int type, const EmscriptenMouseEvent* event, void* self);
  static EM_BOOL OnMouseMove(int type, const EmscriptenMouseEvent* event, void* self);
  static EM_BOOL OnBlur(int type, const EmscriptenFocusEvent* event, void* self);
  static EM_BOOL OnVisibility(int type, const EmscriptenVisibilityChangeEvent* event, void* self);

  const bool paced_;
  bool listening_ = false;
  Rect windowRect_;
  bool fullScreen_ = false;
  // Whether the program has set a display mode yet.
  bool modeSet_ = false;
  int cursorCount_ = 0;
  int32_t cursorX_ = 0;
  int32_t cursorY_ = 0;
  KeyTable keys_;
  std::array<HostEvent, kEventCapacity> events_{};
  int eventHead_ = 0;
  int eventCount_ = 0;
  // Set by Present, cleared by a poll that finds nothing: two empty polls with no frame between
  // them mean the program has nothing to draw, and the browser gets a pause.
  bool presentedSincePoll_ = false;
  // R8G8B8A8 bytes of the last frame, as a canvas takes them; sized when the frame size changes.
  std::vector<uint32_t> rgba_;
  AudioCallback audioCallback_ = nullptr;
  void* audioUser_ = nullptr;
  bool audioPaused_ = true;
  int audioLockDepth_ = 0;
  std::array<int16_t, 2 * kAudioChunkFrames> audioChunk_{};
};

}  // namespace host
