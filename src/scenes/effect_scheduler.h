// The effect scheduler and the composition of one frame.
#pragma once

// Slot (1..14) of the effect on screen.
extern int currentEffect;
// Slot of the incoming effect while a transition runs.
extern int nextEffect;
// Seconds left before the next transition starts.
extern float holdSeconds;
// Seconds left in the running transition; above 0 while one runs.
extern float transitionSeconds;
// Pattern 0..15 of the running transition.
extern int transitionKind;
// While 1, holdSeconds does not count down; toggled by the space key.
extern unsigned char sequenceFrozen;

void RunFrame();
