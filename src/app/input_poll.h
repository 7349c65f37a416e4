// Keyboard and mouse control, polled once per frame while the program is active.
#pragma once

#include <windows.h>

// 0 = up at the latest poll, 1 = just pressed, 2 = held for two or more polls; by virtual-key code.
extern int keyStates[256];
// How many polls have recorded the drag anchor, 0..2.
extern int dragFrames;
// Cursor position (screen coordinates) at the latest drag step.
extern POINT dragAnchor;
// The virtual-key codes of the hidden-track sequence, in typing order.
extern const int hiddenSequence[7];
// Number of sequence keys matched so far, 0..6.
extern int hiddenSequencePos;

void PollInput();
