// The now-playing ticker: a caption naming the playing track, repeated end to end along the
// bottom edge and scrolling right; it fades in once, 4 to 8 seconds after it first renders.
#pragma once

#include <d3d8.h>

#include "scenes/scene.h"

class NowPlayingTicker : public Scene {
 public:
  static constexpr int kCaptionCount = 16;

  struct Caption {
    int w;          // width in units of 4 texels: a copy is 4w pixels wide on screen
    int copies;     // copies drawn: 640 / w + 2
    float uSpan;    // 4w / 256
    float vTop;     // 7k / 256
  };

  NowPlayingTicker();
  ~NowPlayingTicker() override;
  int Init() override;
  void Release() override;
  void Render() override;

  const Caption& caption(int track) const { return captions_[track]; }
  float scroll() const { return scroll_; }
  float fadeTime() const { return fadeTime_; }

 private:
  Caption captions_[kCaptionCount];
  IDirect3DVertexBuffer8* vertexBuffer_;
  IDirect3DTexture8* captionTexture_;
  // Left edge of the first copy, pixels; kept in (-4w, 0].
  float scroll_;
  // Seconds since the first render; stops counting at 8.
  float fadeTime_;
};
