// The X display the demo runs on: named when it cannot be opened, and a run
// that loses it ends at once instead of waiting on it for ever.
#ifndef TESSERA_DISPLAY_H
#define TESSERA_DISPLAY_H

// Exits with one line naming the display Allegro could not open. Called when
// allegro_init fails.
[[noreturn]] void ZE_no_display(void);

// From now on a lost connection to the X server (the server stopped, the
// session ended) ends the process with one line and status 1, the temporary
// file removed. Called once, right after allegro_init.
void ZE_watch_display(void);

#endif
