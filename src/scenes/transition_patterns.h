// The sixteen transition patterns: while the incoming effect takes over, part of its picture is
// drawn over the back buffer, more of it as the progress runs from 1 down to 0.
#pragma once

#include "gfx/render_state_list.h"

extern const RenderStatePair CrossFadeStates[3];
constexpr int kCrossFadeStateCount = 3;
constexpr unsigned kTransitionPatternCount = 16;

// Both close the begin of the incoming frame (whatever the kind) and draw pattern `kind` at
// `progress` D (remaining transition time / 4). The plain drawer serves incoming effects 1..10;
// the reflected one effects 11..14, revealing the picture together with its water reflection.
// A kind above 15 draws nothing.
void DrawTransitionPlain(unsigned kind, float progress);
void DrawTransitionReflected(unsigned kind, float progress);
