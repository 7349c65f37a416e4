// Render-state lists: constant tables of render-state settings applied in one call, so each scene
// and pass sets its whole device state in a fixed order.
#pragma once

#include <d3d8.h>

#include <bit>

// One setting; float-valued states (fog start, end and density, point sizes and scales) carry the
// IEEE-754 bits of their 32-bit float.
struct RenderStatePair {
  D3DRENDERSTATETYPE state;
  DWORD value;
};

// The bits of a float-valued state.
constexpr DWORD FloatState(float value) { return std::bit_cast<DWORD>(value); }

// Sets the first `count` pairs of `list` in order; a count of 0 or less sets nothing.
void ApplyRenderStates(const RenderStatePair* list, int count);
