// The host without a display or sound card: a virtual desktop, a virtual performance counter
// advanced only by its owner, key and mouse state set by its owner, presented frames handed to a
// callback and audio rendered on demand. Tests and the capture tool run the real program on it.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/host/host.h"
#include "platform/host/key_table.h"

namespace host {

class HeadlessHost : public Host {
 public:
  // The virtual counter ticks in nanoseconds, as the SDL host's steady clock does.
  static constexpr int64_t kFrequency = 1000000000;

  using PresentHandler = std::function<void(const uint32_t* pixels, int width, int height, int pitch)>;

  HeadlessHost();

  // ---- Owner's controls ----
  void SetDesktopSize(int width, int height);
  void PushEvent(const HostEvent& event);
  void PressKey(int virtualKey) { keys_.Press(virtualKey); }
  void ReleaseKey(int virtualKey) { keys_.Release(virtualKey); }
  void SetCursor(int32_t x, int32_t y);
  void SetCounter(int64_t ticks) { counter_ = ticks; }
  void AdvanceCounter(int64_t ticks) { counter_ += ticks; }
  void SetPresentHandler(PresentHandler handler) { presentHandler_ = std::move(handler); }
  // From now on each Present, after the handler ran, advances the counter by exactly one frame of
  // show time at `fps` (the remainder of the division is spread, so fps frames make one second).
  // 0 turns the stepping off.
  void SetFrameRate(int fps);
  // Runs whenever the program polls for events and none is pending, e.g. while a full-screen
  // program is inactive and renders nothing; the owner may push events from it. Empty: none.
  void SetIdleHandler(std::function<void()> handler) { idleHandler_ = std::move(handler); }
  // When false, OpenAudio fails as on a machine without a sound device.
  void SetAudioAvailable(bool available) { audioAvailable_ = available; }
  // Renders `frames` stereo frames of whatever the program plays (silence when nothing is open).
  void PullAudio(int16_t* stereo, int frames);

  // ---- What the program did ----
  bool windowCreated() const { return windowCreated_; }
  bool windowShown() const { return windowShown_; }
  const std::string& windowTitle() const { return title_; }
  int cursorShowCount() const { return cursorShowCount_; }
  int presentCount() const { return presentCount_; }
  bool audioOpen() const { return audioCallback_ != nullptr; }
  int audioFrequency() const { return audioFrequency_; }
  bool audioPaused() const { return audioPaused_; }
  int iconWidth() const { return iconWidth_; }
  const std::vector<std::pair<std::string, std::string>>& messageBoxes() const { return messageBoxes_; }

  // ---- Host ----
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
  int16_t KeyState(int virtualKey) override { return keys_.Query(virtualKey); }
  void CursorPos(int32_t* x, int32_t* y) override;
  int ShowCursor(bool show) override { return cursorShowCount_ += show ? 1 : -1; }
  int64_t CounterFrequency() override { return kFrequency; }
  int64_t Counter() override { return counter_; }
  void MessageBox(const std::string& caption, const std::string& text) override;
  void Present(const uint32_t* pixels, int width, int height, int pitch) override;
  bool OpenAudio(int frequency, AudioCallback callback, void* user) override;
  void CloseAudio() override;
  void PauseAudio(bool paused) override { audioPaused_ = paused; }
  void LockAudio() override { audioMutex_.lock(); }
  void UnlockAudio() override { audioMutex_.unlock(); }

 private:
  Rect desktop_;
  Rect window_;
  bool windowCreated_ = false;
  bool windowShown_ = false;
  bool fullScreen_ = false;
  std::string title_;
  int iconWidth_ = 0;
  std::deque<HostEvent> events_;
  KeyTable keys_;
  int32_t cursorX_ = 0;
  int32_t cursorY_ = 0;
  int cursorShowCount_ = 0;
  int64_t counter_ = 0;
  int presentCount_ = 0;
  int frameRate_ = 0;
  int64_t steppedFrames_ = 0;
  PresentHandler presentHandler_;
  std::function<void()> idleHandler_;
  std::vector<std::pair<std::string, std::string>> messageBoxes_;
  bool audioAvailable_ = true;
  bool audioPaused_ = true;
  int audioFrequency_ = 0;
  AudioCallback audioCallback_ = nullptr;
  void* audioUser_ = nullptr;
  std::recursive_mutex audioMutex_;
};

}  // namespace host
