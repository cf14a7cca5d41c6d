// The main part: its frame loop and its 60 Hz handler. The loop is made of
// steps (begin, frame, tick) that a run on a simulated clock calls too, so
// that it draws exactly what the demo draws.
#ifndef TESSERA_LOOP_H
#define TESSERA_LOOP_H

#include <allegro.h>

constexpr int MAIN_TICK_HZ = 60;    // ZE_track_stuff's rate
constexpr int LETTER_TICK_HZ = 120; // ZE_track_logo's rate

// Runs the main part from its first frame to its fade-out; returns once the
// handlers are removed and the song is stopped. A signal (ZE_stop_signal)
// ends it after the frame in progress, without the fade. Called once, after
// the intro.
void ZE_demo_loop(void);

// The begin step: zeroes the letter clock and lays the tile field out in the
// starting mode. Called before the handlers run; the first picture's palette
// goes to the screen once they do.
void ZE_begin_main_part(void);

// The frame step: draws one frame of the main part into screenbuf and
// applies the flash to the palette; everything a frame does except showing
// it. The run tests flags.done after it.
void ZE_draw_frame(void);

// The 60 Hz handler: clocks, flash countdown, wave and hold, tile motion.
void ZE_track_stuff(void);

// One 60 Hz tick of the main part on a simulated clock, where the timer's
// ticks are counted rather than waited for: two ticks of the letters'
// handler, then ZE_track_stuff.
void ZE_tick_main_part(void);

// Copies the values that must hold still through a frame into snap.
void ZE_take_snapshot(void);

#endif
