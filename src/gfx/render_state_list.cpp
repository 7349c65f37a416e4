// Render-state lists.
#include "gfx/render_state_list.h"

#include "gfx/graphics_device.h"

void ApplyRenderStates(const RenderStatePair* list, int count) {
  for (int i = 0; i < count; ++i) d3dDevice->SetRenderState(list[i].state, list[i].value);
}
