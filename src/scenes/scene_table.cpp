// Placeholder until the scene table lands.
#include "scenes/scene_table.h"

SceneTable sceneTable = {};

int CreateScenes() { return 0; }
int ResetDevice() { return 0; }
void DestroyScenes() {}
