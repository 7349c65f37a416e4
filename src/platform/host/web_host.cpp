// The browser host over Emscripten's HTML5 API and the page's own side (web/page_host.js).
#include "platform/host/web_host.h"

#include <windows.h>
#include <emscripten.h>

#include <algorithm>

#include "platform/host/dom_key_map.h"

// ---- The page's side: each call goes to the `page` object the page gave the module ----

EM_JS(int, web_page_width, (), { return Module["page"].desktopWidth(); });
EM_JS(int, web_page_height, (), { return Module["page"].desktopHeight(); });
EM_JS(void, web_page_show_window, (const char* title, int shown),
      { Module["page"].showWindow(UTF8ToString(title), shown !== 0); });
EM_JS(void, web_page_set_icon, (const uint32_t* argb, int width, int height),
      { Module["page"].setIcon(HEAPU8.subarray(argb, argb + width * height * 4), width, height); });
EM_JS(void, web_page_set_cursor_visible, (int visible), { Module["page"].setCursorVisible(visible !== 0); });
EM_JS(void, web_page_toggle_full_screen, (), { Module["page"].toggleFullScreen(); });
EM_JS(void, web_page_present, (const uint32_t* rgba, int width, int height),
      { Module["page"].present(HEAPU8.buffer, rgba, width, height); });
// 0: the next animation frame; 1: only what the browser has pending; 2: a pause while idle.
EM_ASYNC_JS(void, web_page_wait, (int kind), { await Module["page"].wait(kind); });
EM_ASYNC_JS(void, web_page_message_box, (const char* caption, const char* text),
            { await Module["page"].messageBox(UTF8ToString(caption), UTF8ToString(text)); });
EM_JS(int, web_page_audio_open, (int frequency), { return Module["page"].audioOpen(frequency) ? 1 : 0; });
EM_JS(void, web_page_audio_close, (), { Module["page"].audioClose(); });
EM_JS(void, web_page_audio_pause, (int paused), { Module["page"].audioPause(paused !== 0); });
EM_JS(int, web_page_audio_frames_wanted, (), { return Module["page"].audioFramesWanted(); });
EM_JS(void, web_page_audio_queue, (const int16_t* stereo, int frames),
      { Module["page"].audioQueue(HEAP16.subarray(stereo >> 1, (stereo >> 1) + 2 * frames), frames); });

namespace host {

namespace {

// Key events go to the whole page, mouse buttons to the picture.
const char* const kKeyTarget = EMSCRIPTEN_EVENT_TARGET_WINDOW;
const char* const kPictureTarget = "#screen";

// The browser keeps F1..F24 (reload, full screen, developer tools) and Ctrl/Meta shortcuts, and
// Tab moves the focus on; every other key the program may read is kept from scrolling the page,
// opening menus or finding text.
bool KeepFromBrowser(int virtualKey, const EmscriptenKeyboardEvent& event) {
  if (event.ctrlKey || event.metaKey) return false;
  if (virtualKey >= VK_F1 && virtualKey < VK_F1 + 24) return false;
  return virtualKey != VK_TAB;
}

}  // namespace

WebHost::WebHost(bool paced) : paced_(paced) {}

WebHost::~WebHost() { Stop(); }

void WebHost::Start() {
  if (listening_) return;
  listening_ = true;
  emscripten_set_keydown_callback(kKeyTarget, this, true, &WebHost::OnKey);
  emscripten_set_keyup_callback(kKeyTarget, this, true, &WebHost::OnKey);
  emscripten_set_mousedown_callback(kPictureTarget, this, true, &WebHost::OnMouseButton);
  // Releases count wherever the pointer is by then.
  emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, &WebHost::OnMouseButton);
  emscripten_set_mousemove_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, &WebHost::OnMouseMove);
  emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, &WebHost::OnBlur);
  emscripten_set_visibilitychange_callback(this, true, &WebHost::OnVisibility);
}

void WebHost::Stop() {
  if (!listening_) return;
  listening_ = false;
  emscripten_html5_remove_all_event_listeners();
  CloseAudio();
}

Rect WebHost::DesktopRect() {
  // The page is the desktop: the browser's viewport, or the screen while it shows full screen.
  return Rect{0, 0, std::max(1, web_page_width()), std::max(1, web_page_height())};
}

bool WebHost::CreateMainWindow(const std::string& title, const Rect& rect) {
  windowRect_ = rect;
  web_page_show_window(title.c_str(), 0);
  return true;
}

void WebHost::DestroyMainWindow() {}

void WebHost::ShowMainWindow() {
  web_page_show_window(nullptr, 1);
}

// The program switches display mode with Alt+Enter; in a page each switch turns the browser's
// full screen on or off, whichever it is not in now (the user may have left it with Escape).
// The first mode set (as the device is created) is the one the program starts in: the page stays
// as the visitor has it.
void WebHost::SetFullScreen(bool fullScreen) {
  bool changed = modeSet_ && fullScreen != fullScreen_;
  modeSet_ = true;
  fullScreen_ = fullScreen;
  if (changed) web_page_toggle_full_screen();
}

void WebHost::SetIcon(const uint32_t* argb, int width, int height) {
  if (argb != nullptr && width > 0 && height > 0) web_page_set_icon(argb, width, height);
}

void WebHost::Push(const HostEvent& event) {
  if (eventCount_ == kEventCapacity) return;
  events_[static_cast<size_t>((eventHead_ + eventCount_) % kEventCapacity)] = event;
  ++eventCount_;
}

bool WebHost::PollEvent(HostEvent* event) {
  if (eventCount_ == 0) {
    if (presentedSincePoll_) {
      presentedSincePoll_ = false;
      return false;
    }
    // Nothing drawn since the last empty poll: the program is waiting (a full-screen show in a
    // hidden page draws nothing). Give the browser a while, or the tab would hang.
    Yield(Wait::kIdle);
    if (eventCount_ == 0) return false;
  }
  *event = events_[static_cast<size_t>(eventHead_)];
  eventHead_ = (eventHead_ + 1) % kEventCapacity;
  --eventCount_;
  return true;
}

void WebHost::CursorPos(int32_t* x, int32_t* y) {
  *x = cursorX_;
  *y = cursorY_;
}

int WebHost::ShowCursor(bool show) {
  cursorCount_ += show ? 1 : -1;
  web_page_set_cursor_visible(cursorCount_ >= 0 ? 1 : 0);
  return cursorCount_;
}

int64_t WebHost::Counter() { return static_cast<int64_t>(emscripten_get_now() * 1.0e6); }

void WebHost::MessageBox(const std::string& caption, const std::string& text) {
  web_page_message_box(caption.c_str(), text.c_str());
}

void WebHost::Present(const uint32_t* pixels, int width, int height, int pitch) {
  if (pixels == nullptr || width <= 0 || height <= 0) return;
  size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (rgba_.size() != count) rgba_.assign(count, 0);
  // X8R8G8B8 words are bytes B, G, R, X in memory; a canvas takes R, G, B, A.
  uint32_t* out = rgba_.data();
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                            static_cast<ptrdiff_t>(y) * pitch);
    for (int x = 0; x < width; ++x) {
      uint32_t p = row[x];
      *out++ = 0xFF000000u | (p & 0x0000FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
    }
  }
  web_page_present(rgba_.data(), width, height);
  presentedSincePoll_ = true;
  Yield(Wait::kFrame);
}

void WebHost::Yield(Wait wait) {
  web_page_wait(wait == Wait::kIdle ? 2 : (paced_ ? 0 : 1));
  // Right before the program goes on to draw: the queue then covers the frame to come.
  PumpAudio();
}

bool WebHost::OpenAudio(int frequency, AudioCallback callback, void* user) {
  if (callback == nullptr || web_page_audio_open(frequency) == 0) return false;
  audioCallback_ = callback;
  audioUser_ = user;
  audioPaused_ = true;
  return true;
}

void WebHost::CloseAudio() {
  if (audioCallback_ == nullptr) return;
  web_page_audio_close();
  audioCallback_ = nullptr;
  audioUser_ = nullptr;
}

void WebHost::PauseAudio(bool paused) {
  if (audioCallback_ == nullptr) return;
  audioPaused_ = paused;
  web_page_audio_pause(paused ? 1 : 0);
}

void WebHost::PumpAudio() {
  if (audioCallback_ == nullptr || audioPaused_ || audioLockDepth_ > 0) return;
  int wanted = web_page_audio_frames_wanted();
  while (wanted > 0) {
    int frames = std::min(wanted, kAudioChunkFrames);
    audioCallback_(audioUser_, audioChunk_.data(), frames);
    web_page_audio_queue(audioChunk_.data(), frames);
    wanted -= frames;
  }
}

EM_BOOL WebHost::OnKey(int type, const EmscriptenKeyboardEvent* event, void* self) {
  auto* host = static_cast<WebHost*>(self);
  int vk = VirtualKeyOfDomKey(event->code, event->key);
  if (vk == 0) return EM_FALSE;
  if (type == EMSCRIPTEN_EVENT_KEYDOWN) {
    if (!event->repeat) {
      host->keys_.Press(vk);
      host->Push(HostEvent{HostEvent::Kind::kKeyDown, false, vk});
    }
  } else {
    host->keys_.Release(vk);
  }
  return KeepFromBrowser(vk, *event) ? EM_TRUE : EM_FALSE;
}

EM_BOOL WebHost::OnMouseButton(int type, const EmscriptenMouseEvent* event, void* self) {
  auto* host = static_cast<WebHost*>(self);
  int vk = VirtualKeyOfDomButton(event->button);
  if (vk == 0) return EM_FALSE;
  host->cursorX_ = static_cast<int32_t>(event->clientX);
  host->cursorY_ = static_cast<int32_t>(event->clientY);
  if (type == EMSCRIPTEN_EVENT_MOUSEDOWN) {
    host->keys_.Press(vk);
  } else {
    host->keys_.Release(vk);
  }
  // Keeps a press on the picture from starting a text selection or a drag of the image.
  return type == EMSCRIPTEN_EVENT_MOUSEDOWN ? EM_TRUE : EM_FALSE;
}

EM_BOOL WebHost::OnMouseMove(int, const EmscriptenMouseEvent* event, void* self) {
  auto* host = static_cast<WebHost*>(self);
  host->cursorX_ = static_cast<int32_t>(event->clientX);
  host->cursorY_ = static_cast<int32_t>(event->clientY);
  return EM_FALSE;
}

EM_BOOL WebHost::OnBlur(int, const EmscriptenFocusEvent*, void* self) {
  // Keys released while another window has the focus never reach the page.
  static_cast<WebHost*>(self)->ReleaseAllKeys();
  return EM_FALSE;
}

EM_BOOL WebHost::OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void* self) {
  auto* host = static_cast<WebHost*>(self);
  // A hidden page is an application in the background: a full-screen show stops drawing.
  bool active = event->hidden == 0;
  if (!active) host->ReleaseAllKeys();
  host->Push(HostEvent{HostEvent::Kind::kActivate, active, 0});
  return EM_FALSE;
}

}  // namespace host
