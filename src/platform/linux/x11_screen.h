// Tessera's side of Allegro's X window: what the window manager is told about
// it, whether the display really changes modes, and a second connection to
// the same display for the extensions Allegro does not use (RandR, Present).
#ifndef TESSERA_X11_SCREEN_H
#define TESSERA_X11_SCREEN_H

#include <xcb/xcb.h>

// Before set_gfx_mode maps it: tells the window manager which process and
// host Allegro's window belongs to (_NET_WM_PID, WM_CLIENT_MACHINE) and,
// when `full`, asks it for full screen (_NET_WM_STATE_FULLSCREEN).
void ZE_x11_prepare_window(bool full);

// After a full-screen mode was set: marks Allegro's unmanaged full-screen
// window with the process and host too.
void ZE_x11_mark_full_screen_window(void);

// Whether the X server is Xwayland, which only pretends to switch modes: it
// has the XWAYLAND extension or names its RandR outputs XWAYLAND0, 1...
bool ZE_x11_is_xwayland(void);

// Whether the display lists a video mode of exactly w x h (VidMode), and
// whether that is the mode it shows now.
bool ZE_x11_mode_listed(int w, int h);
bool ZE_x11_mode_shown(int w, int h);

// The refresh rate RandR reports for the output the desktop is on (the
// primary one, else the first lit), in Hz; 0 when it tells none.
double ZE_x11_refresh_rate(void);

// The second connection, opened at the first call; NULL if it cannot be.
// Used by the main thread only.
xcb_connection_t *ZE_x11_connection(void);

// The window Allegro draws in.
xcb_window_t ZE_x11_drawing_window(void);

#endif
