// Storage and queries of the test controls.
#include "test_control_state.h"

namespace d3d8sw {

TestControlState& TestControls() {
  static TestControlState state;
  return state;
}

d3d8test::AdapterSetup TestControlState::Adapter(UINT adapter) const {
  return adapter < adapters.size() ? adapters[adapter] : d3d8test::AdapterSetup();
}

bool TestControlState::ModeRefused(D3DFORMAT backBuffer, D3DFORMAT depth) const {
  for (const auto& m : refusedModes) {
    if (m.first == backBuffer && m.second == depth) return true;
  }
  return false;
}

bool TestControlState::TextureRefused(D3DFORMAT format, bool renderTarget) const {
  for (const auto& t : refusedTextures) {
    if (t.first != format) continue;
    if (t.second == d3d8test::TextureUse::kAny) return true;
    if (t.second == d3d8test::TextureUse::kRenderTarget && renderTarget) return true;
    if (t.second == d3d8test::TextureUse::kPlain && !renderTarget) return true;
  }
  return false;
}

bool TestControlState::CreationFails(d3d8test::ResourceKind kind) {
  int& left = creationCountdown[static_cast<int>(kind)];
  if (left <= 0) return false;
  return --left == 0;
}

}  // namespace d3d8sw
