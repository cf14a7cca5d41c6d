// Start-up and shutdown: the library, the shared state, every resource of
// the main part, the screen and the sound.
#ifndef TESSERA_STARTUP_H
#define TESSERA_STARTUP_H

// Brings up the library, the state, the resources, the screen and the sound.
// Exits with a message when there is no display or the data is unusable, and
// ends the process by SIGINT, SIGTERM or SIGHUP should one arrive meanwhile.
void ZE_startup(void);

// Seeds the generator, makes the work bitmaps and the scroll text buffer and
// gives the shared records their starting values. Called once, by ZE_startup.
void ZE_initialize_variables(void);

// Opens the screen ZE_options asks for and sets ZE_view. Without options: a
// full screen with the picture doubled in its middle, a 640 x 480 mode where
// the display really switches to one. A filled or enlarged full screen that
// cannot be had falls back to that, with one line saying so.
void ZE_open_screen(void);

// Destroys the bitmaps made at start-up: the work bitmaps, the pictures and
// the glyphs.
void ZE_shutdown(void);

#endif
