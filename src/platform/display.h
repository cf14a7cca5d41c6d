// The display the demo runs on: named when it cannot be opened, the screen
// opened on it, its refresh, and a run that loses it ends at once instead of
// waiting on it for ever. Linux shows the picture on an X display, which can
// go away under a running program and may only pretend to switch modes;
// Windows through DirectDraw or GDI, and a browser on the page's canvas.
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

// Sets the 8-bit screen as set_gfx_mode(card, w, h, 0, 0) does, for the
// cards start-up asks for: GFX_AUTODETECT (a full screen showing w x h),
// GFX_AUTODETECT_FULLSCREEN (a full screen at the desktop's size, w x h) and
// GFX_AUTODETECT_WINDOWED (a window of w x h); 0, or non-zero with
// allegro_error set. On X a full screen is a window as large as the desktop
// that asks the window manager for full screen, unless the display really
// switches to a w x h mode; SCREEN_W and SCREEN_H say which, and the picture
// goes in their middle. Every X window carries the process's id and host. On
// Windows and in a browser it is set_gfx_mode itself.
int ZE_set_screen(int card, int w, int h);

// Waits for the display's next refresh, before a frame is shown with the
// retrace wait on. On X, the refresh the Present extension reports, else one
// at the rate RandR gives (60 Hz if neither tells), slept for, never polled;
// on Windows and in a browser, vsync().
void ZE_wait_refresh(void);

// Called by the frame loops right after each frame is put on the screen. In
// a browser the page shows it and waits for the display's next refresh,
// giving the browser its turn; on Linux and Windows it does nothing, what is
// drawn being shown at once and the timer handlers having their own thread.
void ZE_frame_shown(void);

#endif
