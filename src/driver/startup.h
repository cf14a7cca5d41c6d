// Start-up and shutdown: the library, the shared state, every resource of
// the main part, the 640 x 480 screen and the sound; and the one way out
// for data or a display the demo cannot run with.
#ifndef TESSERA_STARTUP_H
#define TESSERA_STARTUP_H

// Brings up the library, the state, the resources, the screen and the sound.
// Exits with a message when there is no display or the data is unusable.
void ZE_startup(void);

// Seeds the generator, makes the work bitmaps and the scroll text buffer and
// gives the shared records their starting values. Called once, by ZE_startup.
void ZE_initialize_variables(void);

// Destroys the 126 bitmaps made at start-up.
void ZE_shutdown(void);

// Leaves the graphics mode if one is set, prints "tessera: <message>" on
// standard error and exits with status 1. For faults the demo cannot run with.
[[noreturn]] void ZE_fatal(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Seeds the standard generator from the clock, or from ZE_fixed_seed when a
// recording run has set ZE_use_fixed_seed, so that its rand() sequence repeats.
void ZE_seed_random(void);
extern bool ZE_use_fixed_seed;
extern unsigned ZE_fixed_seed;

#endif
