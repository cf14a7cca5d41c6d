// The main part: its frame loop, its 60 Hz handler and the presentation of
// frames. The frame steps are separate functions so that a run on a
// simulated clock draws exactly what the demo draws.
#ifndef TESSERA_LOOP_H
#define TESSERA_LOOP_H

#include <allegro.h>

// Runs the main part from its first frame to its fade-out; returns once the
// handlers are removed and the song is stopped. A signal (ZE_stop_signal)
// ends it after the frame in progress, without the fade. Called once, after
// the intro.
void ZE_demo_loop(void);

// Steps 1 and 2 of the start of the main part: zero the letter clock and lay
// the tile field out in the starting mode. Called before the handlers run.
void ZE_begin_main_part(void);

// Draws one frame of the main part into screenbuf and applies the flash to
// the palette; everything a frame does except showing it.
void ZE_draw_frame(void);

// The 60 Hz handler: clocks, flash countdown, wave and hold, tile motion.
void ZE_track_stuff(void);

// Copies the values that must hold still through a frame into snap.
void ZE_take_snapshot(void);

#endif
