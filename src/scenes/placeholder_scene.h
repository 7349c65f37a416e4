// A scene that draws nothing and always initialises: holds a slot until its real scene lands.
#pragma once

#include "scenes/scene.h"

class PlaceholderScene : public Scene {
 public:
  int Init() override { return 0; }
  void Release() override {}
  void Render() override {}
};
