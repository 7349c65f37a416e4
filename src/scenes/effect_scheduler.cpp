// Placeholder until the frame pipeline lands.
#include "scenes/effect_scheduler.h"

#include "app/frame_timer.h"
#include "app/input_poll.h"
#include "app/shell_state.h"

int currentEffect = 1;
int nextEffect = 0;
float holdSeconds = 15.0f;
float transitionSeconds = 0.0f;
int transitionKind = 0;
unsigned char sequenceFrozen = 0;

void RunFrame() {
  UpdateTimer();
  if (appActive != 0) PollInput();
}
