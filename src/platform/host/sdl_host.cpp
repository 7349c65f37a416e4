// The desktop host over SDL2.
#include "platform/host/sdl_host.h"

#include <windows.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/host/gl_probe.h"
#include "platform/host/sdl_key_map.h"
#include "platform/host/window_frame.h"

namespace host {

namespace {

// At most this many frames per audio buffer, so a track change is heard within about 25 ms at 44.1 kHz.
constexpr int kAudioBufferFrames = 1024;
// A renderer whose present returns within half a display period this many times in a row does
// not wait for the display (no vsync where the window is); from then on a timer paces it.
constexpr int kQuickPresentsForNoVsync = 8;

// The audio device open when the process exits: closed by an exit handler, which runs before the
// statics the audio callback reads are destroyed (they were made before the device opened).
SdlHost* audioOpenAtExit = nullptr;

void CloseAudioAtExit() {
  if (audioOpenAtExit != nullptr) audioOpenAtExit->CloseAudio();
}

bool WantsGpu() {
  const char* choice = std::getenv("MUSIDISK_PRESENT");
  if (choice != nullptr && std::strcmp(choice, "gpu") == 0) return true;
  if (choice != nullptr && std::strcmp(choice, "software") == 0) return false;
  std::optional<std::string> renderer = ProbeGlRenderer();
  return renderer.has_value() && !IsSoftwareGlRenderer(*renderer);
}

void FillRect(SDL_Surface* surface, int x, int y, int w, int h, uint32_t colour) {
  SDL_Rect r{x, y, w, h};
  SDL_FillRect(surface, &r, colour);
}

void SetDrawColour(SDL_Renderer* renderer, uint32_t colour) {
  SDL_SetRenderDrawColor(renderer, static_cast<Uint8>(colour >> 16), static_cast<Uint8>(colour >> 8),
                         static_cast<Uint8>(colour), 255);
}

}  // namespace

SdlHost::~SdlHost() {
  CloseAudio();
  DestroyMainWindow();
  if (videoStarted_) SDL_Quit();
}

bool SdlHost::Init() {
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  // main() ends the program on SIGINT and SIGTERM itself, also while a message box is open.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The window surface is the X server's shared memory, not a texture of an OpenGL renderer: with
  // a software OpenGL that renderer alone costs about 100 MB and more CPU than the scaling.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  presentation_ = WantsGpu() ? Presentation::kGpu : Presentation::kWindowSurface;
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
  // Edges and corners of the frame size the window; the rest of it is the program's (dragging).
  SDL_SetWindowHitTest(window_, &SdlHost::HitTest, this);
  SDL_DisplayMode mode;
  if (SDL_GetWindowDisplayMode(window_, &mode) == 0) pacer_.SetRefreshRate(mode.refresh_rate);
  // The window surface is written as X8R8G8B8; other visuals go through a renderer.
  Uint32 format = SDL_GetWindowPixelFormat(window_);
  if (format != SDL_PIXELFORMAT_RGB888 && format != SDL_PIXELFORMAT_ARGB8888) presentation_ = Presentation::kGpu;
  if (presentation_ == Presentation::kGpu && !CreateRenderer()) return false;
  ApplyWindowStyle();
  return true;
}

bool SdlHost::CreateRenderer() {
  Uint32 flags = paced_ ? SDL_RENDERER_PRESENTVSYNC : 0;
  renderer_ = SDL_CreateRenderer(window_, -1, flags | SDL_RENDERER_ACCELERATED);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, flags);
  if (renderer_ == nullptr) return false;
  SDL_RendererInfo info;
  vsyncWaits_ = SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
  return true;
}

void SdlHost::DestroyMainWindow() {
  if (wholeScaleTexture_ != nullptr) SDL_DestroyTexture(wholeScaleTexture_);
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  wholeScaleTexture_ = nullptr;
  wholeScale_ = 0;
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
}

void SdlHost::ShowMainWindow() {
  if (window_ == nullptr) return;
  if (startWindowed_ && fullScreen_) {
    // Starting windowed: the full-screen start is not shown; the window appears once it has left it.
    showDeferred_ = true;
    return;
  }
  showDeferred_ = false;
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

Rect SdlHost::ClientRect() {
  Rect r = WindowRect();
  SDL_Rect client = ClientArea(r.right - r.left, r.bottom - r.top);
  return Rect{r.left + client.x, r.top + client.y, r.left + client.x + client.w, r.top + client.y + client.h};
}

SDL_Rect SdlHost::ClientArea(int windowWidth, int windowHeight) const {
  if (fullScreen_) return SDL_Rect{0, 0, windowWidth, windowHeight};
  int frame = WindowFrame::kThickness;
  return SDL_Rect{frame, frame, std::max(0, windowWidth - 2 * frame), std::max(0, windowHeight - 2 * frame)};
}

void SdlHost::SetWindowRect(const Rect& rect) {
  windowedRect_ = rect;
  if (window_ == nullptr || fullScreen_) return;
  SDL_SetWindowSize(window_, rect.right - rect.left, rect.bottom - rect.top);
  SDL_SetWindowPosition(window_, rect.left, rect.top);
}

// A window can be sized by its frame only while it is one; full screen is the desktop's size.
void SdlHost::ApplyWindowStyle() {
  if (window_ == nullptr) return;
  SDL_SetWindowResizable(window_, fullScreen_ ? SDL_FALSE : SDL_TRUE);
  surfaceStale_ = true;
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
  ApplyWindowStyle();
}

void SdlHost::SetIcon(const uint32_t* argb, int width, int height) {
  if (window_ == nullptr) return;
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(argb), width, height, 32, width * 4,
                                                         SDL_PIXELFORMAT_ARGB8888);
  if (icon == nullptr) return;
  SDL_SetWindowIcon(window_, icon);
  SDL_FreeSurface(icon);
}

SDL_HitTestResult SDLCALL SdlHost::HitTest(SDL_Window* window, const SDL_Point* point, void* self) {
  auto* host = static_cast<SdlHost*>(self);
  if (host->fullScreen_) return SDL_HITTEST_NORMAL;
  int w = 0, h = 0;
  SDL_GetWindowSize(window, &w, &h);
  switch (WindowFrame::HitTest(point->x, point->y, w, h)) {
    case WindowFrame::Hit::kClient: return SDL_HITTEST_NORMAL;
    case WindowFrame::Hit::kLeft: return SDL_HITTEST_RESIZE_LEFT;
    case WindowFrame::Hit::kRight: return SDL_HITTEST_RESIZE_RIGHT;
    case WindowFrame::Hit::kTop: return SDL_HITTEST_RESIZE_TOP;
    case WindowFrame::Hit::kBottom: return SDL_HITTEST_RESIZE_BOTTOM;
    case WindowFrame::Hit::kTopLeft: return SDL_HITTEST_RESIZE_TOPLEFT;
    case WindowFrame::Hit::kTopRight: return SDL_HITTEST_RESIZE_TOPRIGHT;
    case WindowFrame::Hit::kBottomLeft: return SDL_HITTEST_RESIZE_BOTTOMLEFT;
    case WindowFrame::Hit::kBottomRight: return SDL_HITTEST_RESIZE_BOTTOMRIGHT;
  }
  return SDL_HITTEST_NORMAL;
}

void SdlHost::KeyDown(const SDL_Keysym& key) {
  int vk = VirtualKeyOf(key.scancode, key.sym, (key.mod & KMOD_NUM) != 0);
  if (key.scancode > SDL_SCANCODE_UNKNOWN && key.scancode < SDL_NUM_SCANCODES) {
    pressedAs_[key.scancode] = static_cast<uint8_t>(vk);
  }
  keys_.Press(vk);
}

void SdlHost::KeyUp(const SDL_Keysym& key) {
  if (key.scancode <= SDL_SCANCODE_UNKNOWN || key.scancode >= SDL_NUM_SCANCODES) return;
  int vk = pressedAs_[key.scancode];
  if (vk == 0) return;
  pressedAs_[key.scancode] = 0;
  // Two keys can share a code (both Enters, all keys without a code of their own): the code is up
  // when the last of them is.
  for (uint8_t other : pressedAs_) {
    if (other == vk) return;
  }
  keys_.Release(vk);
}

bool SdlHost::PollEvent(HostEvent* event) {
  if (betweenFrames_) betweenFrames_();
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
            if (!event->active) {
              keys_.ReleaseAll();
              pressedAs_.fill(0);
            }
            return true;
          case SDL_WINDOWEVENT_EXPOSED:
            surfaceStale_ = true;
            event->kind = HostEvent::Kind::kPaint;
            return true;
          case SDL_WINDOWEVENT_SIZE_CHANGED:
          case SDL_WINDOWEVENT_MOVED:
            // Sized or moved by the window manager (the frame): the window is where it is now.
            surfaceStale_ = true;
            if (!fullScreen_) windowedRect_ = WindowRect();
            break;
          default:
            break;
        }
        break;
      case SDL_KEYDOWN:
        if (e.key.repeat) break;
        KeyDown(e.key.keysym);
        event->kind = HostEvent::Kind::kKeyDown;
        event->virtualKey = pressedAs_[e.key.keysym.scancode];
        return true;
      case SDL_KEYUP:
        KeyUp(e.key.keysym);
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

void SdlHost::PinFirstCounterReading(int64_t ticks) {
  counterPinned_ = true;
  pinnedReading_ = ticks;
}

int64_t SdlHost::Counter() {
  int64_t now =
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count();
  if (counterPinned_) {
    counterPinned_ = false;
    counterOffset_ = pinnedReading_ - now;
  }
  return now + counterOffset_;
}

void SdlHost::RequestClose() {
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
}

void SdlHost::MessageBox(const std::string& caption, const std::string& text) {
  inMessageBox_ = true;
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(), window_) != 0) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
  inMessageBox_ = false;
}

// Alt+Enter as a hand taps it: both down, then both up, before the program's next poll, which
// sees each as pressed since its last look.
void SdlHost::TapStartWindowedKeys() {
  startKeysTapped_ = true;
  keys_.Press(VK_LMENU);
  keys_.Press(VK_RETURN);
  keys_.Release(VK_RETURN);
  keys_.Release(VK_LMENU);
}

void SdlHost::Present(const uint32_t* pixels, int width, int height, int pitch) {
  if (window_ == nullptr) return;
  if (startWindowed_ && !startKeysTapped_) TapStartWindowedKeys();
  if (presentation_ == Presentation::kGpu) {
    PresentWithRenderer(pixels, width, height, pitch);
  } else {
    PresentToSurface(pixels, width, height, pitch);
  }
}

void SdlHost::PresentToSurface(const uint32_t* pixels, int width, int height, int pitch) {
  if (paced_) pacer_.Wait();
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (surface == nullptr || surface->format->BytesPerPixel != 4) return;
  SDL_Rect client = ClientArea(surface->w, surface->h);
  PictureRect fit = FitPicture(client.w, client.h, width, height);
  SDL_Rect picture{client.x + fit.x, client.y + fit.y, fit.width, fit.height};
  bool whole = surfaceStale_;
  if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
  if (whole) {
    // Frame and bars change only with the window's size or mode, or when the window was covered.
    if (!fullScreen_) {
      SDL_FillRect(surface, nullptr, WindowFrame::kBorderColour);
      int line = WindowFrame::kBorderLine;
      FillRect(surface, line, line, surface->w - 2 * line, surface->h - 2 * line, WindowFrame::kFrameColour);
    }
    FillRect(surface, client.x, client.y, client.w, client.h, 0);
    surfaceStale_ = false;
  }
  PictureRect target{picture.x, picture.y, picture.w, picture.h};
  scaler_.Scale(pixels, width, height, pitch, static_cast<uint32_t*>(surface->pixels), surface->pitch, target);
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  if (whole) {
    SDL_UpdateWindowSurface(window_);
  } else if (picture.w > 0 && picture.h > 0) {
    SDL_UpdateWindowSurfaceRects(window_, &picture, 1);
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

void SdlHost::PresentWithRenderer(const uint32_t* pixels, int width, int height, int pitch) {
  if (renderer_ == nullptr || !EnsureTexture(width, height)) return;
  if (paced_ && !vsyncWaits_) pacer_.Wait();
  SDL_UpdateTexture(texture_, nullptr, pixels, pitch);
  int outW = 0, outH = 0;
  SDL_GetRendererOutputSize(renderer_, &outW, &outH);
  SDL_Rect client = ClientArea(outW, outH);
  PictureRect fit = FitPicture(client.w, client.h, width, height);
  SDL_Rect picture{client.x + fit.x, client.y + fit.y, fit.width, fit.height};

  if (fullScreen_) {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
  } else {
    SetDrawColour(renderer_, WindowFrame::kBorderColour);
    SDL_RenderClear(renderer_);
    int line = WindowFrame::kBorderLine;
    SDL_Rect inner{line, line, outW - 2 * line, outH - 2 * line};
    SetDrawColour(renderer_, WindowFrame::kFrameColour);
    SDL_RenderFillRect(renderer_, &inner);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderFillRect(renderer_, &client);
  }

  int scale = picture.w / width;
  bool wholeNumber = scale >= 1 && picture.w == scale * width;
  SDL_RendererInfo info;
  bool targets = SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_TARGETTEXTURE) != 0;
  if (wholeNumber || scale < 2 || !targets) {
    SDL_SetTextureScaleMode(texture_, wholeNumber ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    SDL_RenderCopy(renderer_, texture_, nullptr, &picture);
  } else {
    if (wholeScale_ != scale) {
      if (wholeScaleTexture_ != nullptr) SDL_DestroyTexture(wholeScaleTexture_);
      wholeScaleTexture_ =
          SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, width * scale, height * scale);
      wholeScale_ = wholeScaleTexture_ != nullptr ? scale : 0;
    }
    if (wholeScaleTexture_ != nullptr) {
      SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
      SDL_SetRenderTarget(renderer_, wholeScaleTexture_);
      SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
      SDL_SetRenderTarget(renderer_, nullptr);
      SDL_SetTextureScaleMode(wholeScaleTexture_, SDL_ScaleModeLinear);
      SDL_RenderCopy(renderer_, wholeScaleTexture_, nullptr, &picture);
    }
  }
  SDL_RenderPresent(renderer_);

  // A present that returns well within a display period did not wait for the display.
  uint64_t end = SDL_GetPerformanceCounter();
  if (paced_ && vsyncWaits_ && lastPresentEnd_ != 0) {
    uint64_t halfPeriod = SDL_GetPerformanceFrequency() * static_cast<uint64_t>(pacer_.periodNanoseconds()) /
                          2000000000ull;
    quickPresents_ = end - lastPresentEnd_ < halfPeriod ? quickPresents_ + 1 : 0;
    if (quickPresents_ >= kQuickPresentsForNoVsync) vsyncWaits_ = false;
  }
  lastPresentEnd_ = end;
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
  static bool exitHandlerSet = false;
  if (!exitHandlerSet) exitHandlerSet = std::atexit(&CloseAudioAtExit) == 0;
  audioOpenAtExit = this;
  return true;
}

void SdlHost::CloseAudio() {
  if (audioDevice_ == 0) return;
  SDL_CloseAudioDevice(audioDevice_);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  audioDevice_ = 0;
  audioCallback_ = nullptr;
  if (audioOpenAtExit == this) audioOpenAtExit = nullptr;
}

void SdlHost::PauseAudio(bool paused) {
  audioPausedByLibrary_ = paused;
  if (audioDevice_ != 0) SDL_PauseAudioDevice(audioDevice_, audioPausedByLibrary_ || audioHeld_ ? 1 : 0);
}

void SdlHost::HoldAudio(bool held) {
  audioHeld_ = held;
  PauseAudio(audioPausedByLibrary_);
}

void SdlHost::RaiseWindow() {
  if (window_ != nullptr && !showDeferred_) SDL_RaiseWindow(window_);
}

void SdlHost::LockAudio() {
  if (audioDevice_ != 0) SDL_LockAudioDevice(audioDevice_);
}

void SdlHost::UnlockAudio() {
  if (audioDevice_ != 0) SDL_UnlockAudioDevice(audioDevice_);
}

}  // namespace host
