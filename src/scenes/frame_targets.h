// The offscreen frame targets: every effect renders into the 320x240 corner of a 512x256
// render-target texture, which a post pass then stretches over the 640x480 back buffer, plainly
// or with a rippling water reflection under it.
#pragma once

#include <d3d8.h>

#include "gfx/render_state_list.h"

// Receives the current effect's frame.
extern IDirect3DTexture8* CurrentFrameTexture;
// Receives the incoming effect's frame while a transition runs.
extern IDirect3DTexture8* IncomingFrameTexture;
// All post-pass and transition geometry: 2970 ScreenVertex (layout in frame_targets.cpp).
extern IDirect3DVertexBuffer8* FrameVertexBuffer;
// The back-buffer viewport saved by the last begin.
extern D3DVIEWPORT8 SavedViewport;
// Phase of the reflection ripple in radians, wrapped at 2 pi; never reset.
extern float RipplePhase;

// Geometry of the frame vertex buffer.
constexpr int kFrameVertexCount = 2970;
constexpr int kReflectionFirstVertex = 8;
constexpr int kReflectionRows = 41;
// Vertices from here on belong to the transition drawers.
constexpr int kTransitionFirstVertex = 90;
// v of a reflection row is clamped to texel row 199, so the mirror stays inside the picture above.
constexpr float kReflectionMaxV = 0.77734375f;

extern const RenderStatePair PostPassStates[6];
constexpr int kPostPassStateCount = 6;

int CreateFrameTargets();
void ReleaseFrameTargets();
void BeginCurrentFrame();
void BeginIncomingFrame();
void PresentPlainFrame();
void PresentReflectedFrame();

// Closes a begin: rebinds the back buffer and its viewport, gives back the three surface
// references the begin took, applies PostPassStates and selects `rendered` and the frame vertex
// buffer for drawing. Shared by the post passes and the transition drawers.
void RestoreBackBuffer(IDirect3DTexture8* rendered);

// The v of reflection row r (0..40) for a ripple phase: the picture mirrored upside down with a
// travelling wave that grows towards the bottom of the screen, clamped to kReflectionMaxV.
float ReflectionRowV(int r, float phase);
