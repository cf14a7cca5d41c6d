// Showing a frame on X: what is drawn on the screen is shown at once, and
// the timer handlers run on a thread of their own, so there is nothing to do.
#include "platform/display.h"

void ZE_frame_shown(void) {}
