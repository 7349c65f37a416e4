// Test fixtures that run the real program, or its frame pipeline, on the headless host.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "app/frame_timer.h"
#include "d3d8_test_control.h"
#include "gfx/graphics_device.h"
#include "platform/host/headless_host.h"

namespace test_support {

// A presented frame.
struct FrameView {
  const uint32_t* pixels;
  int width;
  int height;
  int pitch;
  uint32_t At(int x, int y) const {
    return reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixels) + y * pitch)[x] & 0xFFFFFF;
  }
};

// Runs WinMain on a headless host whose clock steps one frame of show time per presented frame.
class HeadlessProgram {
 public:
  explicit HeadlessProgram(int fps = 60) {
    d3d8test::ResetControls();
    host_.SetFrameRate(fps);
    host::SetActiveHost(&host_);
  }
  ~HeadlessProgram() { host::SetActiveHost(nullptr); }
  host::HeadlessHost& host() { return host_; }

  // Runs the program to its end. onFrame(n, frame) runs after frame n is presented (show time
  // n / fps) and may press keys for the next one; returning false closes the window, as a user
  // would. Returns WinMain's result.
  int Run(const std::function<bool(int, const FrameView&)>& onFrame) {
    int n = 0;
    bool closing = false;
    host_.SetPresentHandler([&](const uint32_t* pixels, int width, int height, int pitch) {
      if (closing) return;
      if (!onFrame(n++, FrameView{pixels, width, height, pitch})) {
        closing = true;
        host_.PushEvent({host::HostEvent::Kind::kClose, false, 0});
      }
    });
    return WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);
  }

 private:
  host::HeadlessHost host_;
};

// A device on a headless host, for tests of the frame pipeline and of single scenes.
class HeadlessDevice {
 public:
  HeadlessDevice() {
    d3d8test::ResetControls();
    host::SetActiveHost(&host_);
    created_ = CreateGraphicsDevice(GetDesktopWindow()) == 0;
    StartTimer();
  }
  ~HeadlessDevice() {
    ReleaseGraphicsDevice();
    host::SetActiveHost(nullptr);
  }
  bool created() const { return created_; }
  host::HeadlessHost& host() { return host_; }

  // Advances the clock so that the next UpdateTimer hands out `seconds`.
  void Advance(double seconds) {
    host_.AdvanceCounter(static_cast<int64_t>(seconds * host::HeadlessHost::kFrequency + 0.5));
  }

  // The back buffer's pixels (A8R8G8B8), row by row.
  std::vector<uint32_t> BackBuffer() {
    IDirect3DSurface8* surface = nullptr;
    d3dDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface);
    std::vector<uint32_t> pixels;
    d3d8test::ReadSurface(surface, &pixels);
    surface->Release();
    return pixels;
  }

  // Level 0 of a texture, as A8R8G8B8 values.
  static std::vector<uint32_t> TexturePixels(IDirect3DTexture8* texture) {
    IDirect3DSurface8* surface = nullptr;
    texture->GetSurfaceLevel(0, &surface);
    std::vector<uint32_t> pixels;
    d3d8test::ReadSurface(surface, &pixels);
    surface->Release();
    return pixels;
  }

 private:
  host::HeadlessHost host_;
  bool created_ = false;
};

}  // namespace test_support
