// The main part's frame loop.
#include "loop.h"

#include "state.h"

void ZE_demo_loop(void) {}
void ZE_begin_main_part(void) {}
void ZE_draw_frame(void) {}
void ZE_track_stuff(void) {}
void ZE_take_snapshot(void) {}
void ZE_final_pass(BITMAP *, const RGB *) {}
