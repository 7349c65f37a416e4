// Placeholder until keyboard and mouse control lands.
#include "app/input_poll.h"

int keyStates[256] = {};
int dragFrames = 0;
POINT dragAnchor = {0, 0};
const int hiddenSequence[7] = {'J', 'O', 'V', 'R', 'E', 'L', 'K'};
int hiddenSequencePos = 0;

void PollInput() {}
