// The factory of each scene-table slot, in slot order: each builds its scene and runs its Init.
#pragma once

#include <new>

#include "scenes/scene.h"

typedef Scene* (*SceneFactory)();

// Allocates and constructs a T and runs its Init; returns null (deleting the object) when Init
// fails, and null when the allocation fails.
template <typename T>
Scene* CreateScene() {
  T* scene = new (std::nothrow) T();
  if (scene == nullptr) return nullptr;
  if (scene->Init() != 0) {
    delete scene;
    return nullptr;
  }
  return scene;
}

// Slot 10 calls the factory of slot 2's class a second time.
extern const SceneFactory sceneFactories[18];
