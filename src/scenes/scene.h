// The abstract scene: every persistent layer and every effect of the show is one.
#pragma once

class Scene {
 public:
  // Creates the scene's device resources; 0 on success. Runs after construction and again after
  // every device reset, so it rebuilds everything Release gave back.
  virtual int Init() = 0;
  // Gives back every device resource; runs before every device reset and may run repeatedly.
  virtual void Release() = 0;
  // Draws one frame, advancing the animation by the frame timer's deltaSeconds.
  virtual void Render() = 0;
  virtual ~Scene() {}
};
