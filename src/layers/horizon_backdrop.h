// The horizon backdrop: the sky behind effects 11..14, black shading to pure blue at the water line.
#pragma once

#include <d3d8.h>

#include "scenes/scene.h"

class HorizonBackdrop : public Scene {
 public:
  HorizonBackdrop() : vertexBuffer_(nullptr) {}
  ~HorizonBackdrop() override;
  int Init() override;
  void Release() override;
  void Render() override;

 private:
  IDirect3DVertexBuffer8* vertexBuffer_;
};
