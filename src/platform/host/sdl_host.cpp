// The desktop host over SDL2.
#include "platform/host/sdl_host.h"

#include <windows.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>

namespace host {

namespace {

// At most this many frames per audio buffer, so a track change is heard within about 25 ms at 44.1 kHz.
constexpr int kAudioBufferFrames = 1024;

// The virtual-key code of an SDL key, or 0 for keys the program never asks about.
int VirtualKeyOf(const SDL_Keysym& key) {
  SDL_Keycode code = key.sym;
  if (code >= SDLK_a && code <= SDLK_z) return 'A' + (code - SDLK_a);
  if (code >= SDLK_0 && code <= SDLK_9) return '0' + (code - SDLK_0);
  if (code >= SDLK_F1 && code <= SDLK_F12) return VK_F1 + (code - SDLK_F1);
  switch (code) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LSHIFT: return VK_LSHIFT;
    case SDLK_RSHIFT: return VK_RSHIFT;
    case SDLK_LCTRL: return VK_LCONTROL;
    case SDLK_RCTRL: return VK_RCONTROL;
    case SDLK_LALT: return VK_LMENU;
    case SDLK_RALT: return VK_RMENU;
    default: return 0;
  }
}

int VirtualKeyOfButton(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT: return VK_LBUTTON;
    case SDL_BUTTON_RIGHT: return VK_RBUTTON;
    case SDL_BUTTON_MIDDLE: return VK_MBUTTON;
    default: return 0;
  }
}

}  // namespace

SdlHost::~SdlHost() {
  CloseAudio();
  DestroyMainWindow();
  if (videoStarted_) SDL_Quit();
}

bool SdlHost::Init() {
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
  videoStarted_ = true;
  return true;
}

Rect SdlHost::DesktopRect() {
  SDL_Rect bounds{0, 0, 640, 480};
  SDL_GetDisplayBounds(0, &bounds);
  return Rect{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
}

bool SdlHost::CreateMainWindow(const std::string& title, const Rect& rect) {
  windowedRect_ = rect;
  window_ = SDL_CreateWindow(title.c_str(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                             SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
  if (window_ == nullptr) return false;
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  return renderer_ != nullptr;
}

void SdlHost::DestroyMainWindow() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
}

void SdlHost::ShowMainWindow() {
  if (window_ == nullptr) return;
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
}

Rect SdlHost::WindowRect() {
  if (window_ == nullptr) return windowedRect_;
  int x = 0, y = 0, w = 0, h = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  SDL_GetWindowSize(window_, &w, &h);
  return Rect{x, y, x + w, y + h};
}

void SdlHost::SetWindowRect(const Rect& rect) {
  windowedRect_ = rect;
  if (window_ == nullptr || fullScreen_) return;
  SDL_SetWindowSize(window_, rect.right - rect.left, rect.bottom - rect.top);
  SDL_SetWindowPosition(window_, rect.left, rect.top);
}

void SdlHost::SetFullScreen(bool fullScreen) {
  if (window_ == nullptr || fullScreen == fullScreen_) {
    fullScreen_ = fullScreen;
    return;
  }
  fullScreen_ = fullScreen;
  if (fullScreen) {
    // Cover the desktop first: without a window manager to honour the full-screen request the
    // borderless window still fills the screen.
    Rect desktop = DesktopRect();
    SDL_SetWindowPosition(window_, desktop.left, desktop.top);
    SDL_SetWindowSize(window_, desktop.right - desktop.left, desktop.bottom - desktop.top);
    SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
  } else {
    SDL_SetWindowFullscreen(window_, 0);
    SetWindowRect(windowedRect_);
  }
}

void SdlHost::SetIcon(const uint32_t* argb, int width, int height) {
  if (window_ == nullptr) return;
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(argb), width, height, 32, width * 4,
                                                         SDL_PIXELFORMAT_ARGB8888);
  if (icon == nullptr) return;
  SDL_SetWindowIcon(window_, icon);
  SDL_FreeSurface(icon);
}

bool SdlHost::PollEvent(HostEvent* event) {
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_QUIT:
        event->kind = HostEvent::Kind::kClose;
        return true;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_CLOSE:
            event->kind = HostEvent::Kind::kClose;
            return true;
          case SDL_WINDOWEVENT_FOCUS_GAINED:
          case SDL_WINDOWEVENT_FOCUS_LOST:
            event->kind = HostEvent::Kind::kActivate;
            event->active = e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED;
            if (!event->active) keys_.ReleaseAll();
            return true;
          case SDL_WINDOWEVENT_EXPOSED:
            event->kind = HostEvent::Kind::kPaint;
            return true;
          default:
            break;
        }
        break;
      case SDL_KEYDOWN: {
        int vk = VirtualKeyOf(e.key.keysym);
        if (vk == 0 || e.key.repeat) break;
        keys_.Press(vk);
        event->kind = HostEvent::Kind::kKeyDown;
        event->virtualKey = vk;
        return true;
      }
      case SDL_KEYUP:
        if (int vk = VirtualKeyOf(e.key.keysym)) keys_.Release(vk);
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (int vk = VirtualKeyOfButton(e.button.button)) keys_.Press(vk);
        break;
      case SDL_MOUSEBUTTONUP:
        if (int vk = VirtualKeyOfButton(e.button.button)) keys_.Release(vk);
        break;
      default:
        break;
    }
  }
  return false;
}

int16_t SdlHost::KeyState(int virtualKey) { return keys_.Query(virtualKey); }

void SdlHost::CursorPos(int32_t* x, int32_t* y) {
  int cx = 0, cy = 0;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window_ != nullptr && SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11) {
    // Ask the X server: SDL's global mouse state is a cache that synthetic and grabbed moves
    // (a drag) do not always refresh.
    ::Window root, child;
    int winX = 0, winY = 0;
    unsigned int buttons = 0;
    XQueryPointer(info.info.x11.display, DefaultRootWindow(info.info.x11.display), &root, &child, &cx, &cy, &winX,
                  &winY, &buttons);
  } else {
    SDL_GetGlobalMouseState(&cx, &cy);
  }
  *x = cx;
  *y = cy;
}

int SdlHost::ShowCursor(bool show) {
  cursorCount_ += show ? 1 : -1;
  SDL_ShowCursor(cursorCount_ >= 0 ? SDL_ENABLE : SDL_DISABLE);
  return cursorCount_;
}

int64_t SdlHost::Counter() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void SdlHost::MessageBox(const std::string& caption, const std::string& text) {
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(), window_) != 0) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
}

bool SdlHost::EnsureTexture(int width, int height) {
  if (texture_ != nullptr && textureWidth_ == width && textureHeight_ == height) return true;
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
  textureWidth_ = width;
  textureHeight_ = height;
  return texture_ != nullptr;
}

void SdlHost::Present(const uint32_t* pixels, int width, int height, int pitch) {
  if (renderer_ == nullptr || !EnsureTexture(width, height)) return;
  SDL_UpdateTexture(texture_, nullptr, pixels, pitch);
  int outW = 0, outH = 0;
  SDL_GetRendererOutputSize(renderer_, &outW, &outH);
  SDL_Rect dest{0, 0, outW, outH};
  if (fullScreen_) {
    // Largest picture of the back buffer's aspect that fits, centred between black bars.
    if (static_cast<int64_t>(outW) * height > static_cast<int64_t>(outH) * width) {
      dest.w = static_cast<int>(static_cast<int64_t>(outH) * width / height);
      dest.x = (outW - dest.w) / 2;
    } else {
      dest.h = static_cast<int>(static_cast<int64_t>(outW) * height / width);
      dest.y = (outH - dest.h) / 2;
    }
  }
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, &dest);
  SDL_RenderPresent(renderer_);
}

void SDLCALL SdlHost::AudioThunk(void* self, Uint8* stream, int length) {
  auto* host = static_cast<SdlHost*>(self);
  host->audioCallback_(host->audioUser_, reinterpret_cast<int16_t*>(stream), length / 4);
}

bool SdlHost::OpenAudio(int frequency, AudioCallback callback, void* user) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  audioCallback_ = callback;
  audioUser_ = user;
  SDL_AudioSpec want{};
  want.freq = frequency;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = kAudioBufferFrames;
  want.callback = &SdlHost::AudioThunk;
  want.userdata = this;
  SDL_AudioSpec have{};
  audioDevice_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (audioDevice_ == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioCallback_ = nullptr;
    return false;
  }
  return true;
}

void SdlHost::CloseAudio() {
  if (audioDevice_ == 0) return;
  SDL_CloseAudioDevice(audioDevice_);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  audioDevice_ = 0;
  audioCallback_ = nullptr;
}

void SdlHost::PauseAudio(bool paused) {
  if (audioDevice_ != 0) SDL_PauseAudioDevice(audioDevice_, paused ? 1 : 0);
}

void SdlHost::LockAudio() {
  if (audioDevice_ != 0) SDL_LockAudioDevice(audioDevice_);
}

void SdlHost::UnlockAudio() {
  if (audioDevice_ != 0) SDL_UnlockAudioDevice(audioDevice_);
}

}  // namespace host
