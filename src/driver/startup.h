// Start-up and shutdown: the library, the shared state, every resource of
// the main part, the screen the options ask for and the sound.
#ifndef TESSERA_STARTUP_H
#define TESSERA_STARTUP_H

// Brings up the library, the run (ZE_prepare_run, seeded by the clock), the
// screen and the sound. Exits with a message when there is no display or the
// data is unusable, and ends the process by SIGINT, SIGTERM or SIGHUP should
// one arrive meanwhile.
void ZE_startup(void);

// Makes the work bitmaps and the scroll text buffer and gives the shared
// records their starting values. Called by ZE_prepare_run, and by tests
// that make their own resources; the generator is seeded later, by the intro.
void ZE_initialize_variables(void);

// Opens the screen ZE_options asks for and sets ZE_view. Without options: a
// full screen with the picture doubled in its middle, a 640 x 480 mode where
// the display really switches to one. A filled or enlarged full screen that
// cannot be had falls back to that, with one line saying so.
// Called by ZE_startup, and by the screen bench.
void ZE_open_screen(void);

// Destroys the bitmaps made at start-up: the work bitmaps, the pictures and
// the glyphs.
void ZE_shutdown(void);

#endif
