// Showing a frame on Windows: DirectDraw or GDI shows what is drawn at once,
// and the timer handlers run on a thread of their own, so there is nothing
// to do.
#include "platform/display.h"

void ZE_frame_shown(void) {}
