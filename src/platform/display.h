// The display the demo runs on: named when it cannot be opened, and a run
// that loses it ends at once instead of waiting on it for ever. Linux shows
// the picture on an X display, which can go away under a running program;
// Windows through DirectDraw or GDI, and a browser on the page's canvas,
// neither of which can.
#ifndef TESSERA_DISPLAY_H
#define TESSERA_DISPLAY_H

// Exits with status 1 and one line on standard error saying why there is no
// screen (on X, naming the display). Called when allegro_init fails.
[[noreturn]] void ZE_no_display(void);

// From now on a lost connection to the display (the X server stopped, the
// session ended) ends the process with one line and status 1, after calling
// `tidy` (async-signal-safe, may be NULL). Called once, right after
// allegro_init. Nothing to watch on Windows and in a browser.
void ZE_watch_display(void (*tidy)(void));

// Called by the frame loops right after each frame is put on the screen. In
// a browser the page shows it and waits for the display's next refresh,
// giving the browser its turn; on Linux and Windows it does nothing, what is
// drawn being shown at once and the timer handlers having their own thread.
void ZE_frame_shown(void);

#endif
