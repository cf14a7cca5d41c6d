// The main part: its frame loop and its 60 Hz handler. The loop is made of
// steps (begin, frame, tick) that a run on a simulated clock calls too
// (run.h), so that it draws exactly what the demo draws.
#ifndef TESSERA_LOOP_H
#define TESSERA_LOOP_H

#include <allegro.h>

#include "base/state.h"

constexpr int LETTER_TICK_HZ = 2 * TICK_HZ; // ZE_track_logo's rate

// Runs the main part from its first frame to its fade-out; returns once the
// handlers are removed and the song is stopped. A signal (ZE_stop_signal)
// ends it after the frame in progress, without the fade. Called once, after
// the intro.
void ZE_demo_loop(void);

// The begin step: zeroes the letter clock, lays the tile field out in the
// starting mode, calls `start_clock` (NULL on a simulated clock), then sets
// the first picture's palette.
void ZE_begin_main_part(void (*start_clock)(void));

// The main part's clock on the library's timer: installs the letters'
// handler and ZE_track_stuff; the stop removes them in the opposite order.
void ZE_start_main_clock(void);
void ZE_stop_main_clock(void);

// The frame step: draws one frame of the main part into screenbuf and
// applies the flash to the palette; everything a frame does except showing
// it. The run tests flags.done after it.
void ZE_draw_frame(void);

// The 60 Hz handler: clocks, flash countdown, wave and hold, tile motion.
void ZE_track_stuff(void);

// Copies the values that must hold still through a frame into snap.
void ZE_take_snapshot(void);

#endif
