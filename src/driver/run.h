// One run of the demo, in the steps every caller shares. The demo's own
// loops (TU_intro, ZE_demo_loop) are made of these steps on the library's
// timer; the recorder, the tests and the benches call them on a simulated
// clock, ticking by hand, and differ from the demo only there and in where
// the frames go.
#ifndef TESSERA_RUN_H
#define TESSERA_RUN_H

enum ze_part { ZE_INTRO, ZE_MAIN };

// Prepares a run: keeps `seed` for the generator (ZE_keep_seed), makes the
// work bitmaps, gives the shared records their starting values and calls
// `load` for the main part's resources: ZE_load_resources, which reads the
// data folder in use and exits with a message on unusable data, or a
// stand-in that makes the same globals. Once a process, before the intro.
void ZE_prepare_run(unsigned seed, void (*load)(void));

// Enters `part` on a simulated clock, by the begin step the demo takes:
// the intro's, or the main part's after freeing what the intro left. Each
// sets its palette as the demo does.
void ZE_enter_part(ze_part part);

// One 60 Hz tick of `part`: the intro's handler, or the letters' handler
// twice and then ZE_track_stuff.
void ZE_tick_part(ze_part part);

// Draws `part`'s frame into screenbuf, everything the demo does but show it
// (the main part's frame also sets the flash's palette).
void ZE_draw_part(ze_part part);

// True once `part` is to end; the demo tests this after each frame.
bool ZE_part_over(ze_part part);

// The position of fade_out(FADE_SPEED) `ticks` 60 Hz ticks after it began,
// by the library's rule: FADE_SPEED / 2 positions for each retrace of its
// retrace counter (70 Hz unless the screen reports its refresh rate), the
// counter and the ticks starting together. FADE_BLACK once it is over.
constexpr int FADE_BLACK = 64; // fade_interpolate's position of the target
int ZE_fade_position(long ticks);

#endif
