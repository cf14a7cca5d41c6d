// The dot backdrop.
#include "dots.h"

const int16_t dot_colours[DOT_RAMP_ENTRIES] = {0};

void ZE_draw_dots(BITMAP *) {}
