// The logo banner: the cut-out logo across the top of the screen, invisible for the first second,
// then fading in over four seconds and staying.
#pragma once

#include <d3d8.h>

#include "gfx/vertex_formats.h"
#include "scenes/scene.h"

class LogoBanner : public Scene {
 public:
  LogoBanner();
  ~LogoBanner() override;
  int Init() override;
  void Release() override;
  void Render() override;

  float fadeTime() const { return fadeTime_; }
  D3DFORMAT textureFormat() const;

  // Converts A8R8G8B8 texels (B, G, R, A bytes) to A4R4G4B4 keeping each channel's high bits.
  static void ConvertTo16Bit(const unsigned char* bgra, unsigned short* out, int texels);

 private:
  IDirect3DTexture8* logoTexture_;
  ScreenVertex quad_[4];
  // Seconds of the fade; the banner shows while above 0 and is fully visible from 4 on.
  float fadeTime_;
};
