// The display the demo runs on: named when it cannot be opened, and a run
// that loses it ends at once instead of waiting on it for ever.
#ifndef TESSERA_DISPLAY_H
#define TESSERA_DISPLAY_H

// Exits with status 1 and one line on standard error saying why there is no
// screen (on X, naming the display). Called when allegro_init fails.
[[noreturn]] void ZE_no_display(void);

// From now on a lost connection to the display (the X server stopped, the
// session ended) ends the process with one line and status 1, after calling
// `tidy` (async-signal-safe, may be NULL). Called once, right after allegro_init.
void ZE_watch_display(void (*tidy)(void));

#endif
