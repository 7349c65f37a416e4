// The host without a display or sound card, for tests and the capture tool.
#include "platform/host/headless_host.h"

#include <cstdio>
#include <cstring>

namespace host {

HeadlessHost::HeadlessHost() { SetDesktopSize(1920, 1080); }

void HeadlessHost::SetDesktopSize(int width, int height) { desktop_ = Rect{0, 0, width, height}; }

void HeadlessHost::PushEvent(const HostEvent& event) { events_.push_back(event); }

void HeadlessHost::SetCursor(int32_t x, int32_t y) {
  cursorX_ = x;
  cursorY_ = y;
}

void HeadlessHost::PullAudio(int16_t* stereo, int frames) {
  std::lock_guard<std::recursive_mutex> lock(audioMutex_);
  if (audioCallback_ == nullptr || audioPaused_) {
    std::memset(stereo, 0, sizeof(int16_t) * 2 * static_cast<size_t>(frames));
    return;
  }
  audioCallback_(audioUser_, stereo, frames);
}

Rect HeadlessHost::DesktopRect() { return desktop_; }

bool HeadlessHost::CreateMainWindow(const std::string& title, const Rect& rect) {
  title_ = title;
  window_ = rect;
  windowCreated_ = true;
  return true;
}

void HeadlessHost::DestroyMainWindow() {
  windowCreated_ = false;
  windowShown_ = false;
}

void HeadlessHost::ShowMainWindow() { windowShown_ = true; }

Rect HeadlessHost::WindowRect() { return fullScreen_ ? desktop_ : window_; }

void HeadlessHost::SetWindowRect(const Rect& rect) { window_ = rect; }

void HeadlessHost::SetFullScreen(bool fullScreen) { fullScreen_ = fullScreen; }

void HeadlessHost::SetIcon(const uint32_t*, int width, int) { iconWidth_ = width; }

bool HeadlessHost::PollEvent(HostEvent* event) {
  if (events_.empty() && idleHandler_) idleHandler_();
  if (events_.empty()) return false;
  *event = events_.front();
  events_.pop_front();
  return true;
}

void HeadlessHost::CursorPos(int32_t* x, int32_t* y) {
  *x = cursorX_;
  *y = cursorY_;
}

void HeadlessHost::MessageBox(const std::string& caption, const std::string& text) {
  messageBoxes_.emplace_back(caption, text);
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

void HeadlessHost::SetFrameRate(int fps) {
  frameRate_ = fps;
  steppedFrames_ = 0;
}

void HeadlessHost::Present(const uint32_t* pixels, int width, int height, int pitch) {
  ++presentCount_;
  if (presentHandler_) presentHandler_(pixels, width, height, pitch);
  if (frameRate_ > 0) {
    int64_t n = steppedFrames_++;
    counter_ += (n + 1) * kFrequency / frameRate_ - n * kFrequency / frameRate_;
  }
}

bool HeadlessHost::OpenAudio(int frequency, AudioCallback callback, void* user) {
  if (!audioAvailable_) return false;
  std::lock_guard<std::recursive_mutex> lock(audioMutex_);
  audioFrequency_ = frequency;
  audioCallback_ = callback;
  audioUser_ = user;
  audioPaused_ = true;
  return true;
}

void HeadlessHost::CloseAudio() {
  std::lock_guard<std::recursive_mutex> lock(audioMutex_);
  audioCallback_ = nullptr;
  audioUser_ = nullptr;
  audioPaused_ = true;
}

}  // namespace host
