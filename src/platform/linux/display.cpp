// The X display: the screen opened on it, and the end of a run that loses
// it. Xlib's own answer to a lost connection is to print its complaint and
// call exit, whose handlers include the library's shutdown; that waits for
// the connection's lock, held by the thread that found the connection gone,
// and the process hangs for ever. Here the run ends at once instead: there
// is no screen left to restore.
#include "platform/display.h"

#include <X11/Xlib.h>
#include <allegro.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "platform/linux/x11_screen.h"

// Set before the handler is installed; read on whichever thread meets the loss.
static std::atomic<void (*)(void)> tidy_at_loss{nullptr};

void ZE_no_display(void)
{
    // Allegro leaves its reason empty here; the viewer is told which display it was.
    const char *display = getenv("DISPLAY");
    if (display == NULL || display[0] == '\0') {
        fputs("tessera: cannot open the X display: DISPLAY is not set\n", stderr);
    } else {
        fprintf(stderr, "tessera: cannot open the X display \"%s\"%s%s\n", display,
                allegro_error[0] != '\0' ? ": " : "", allegro_error);
    }
    exit(1);
}

// May run on any thread that talks to the server; only async-signal-safe
// calls, since another thread may hold any lock.
static int lost_display(Display *)
{
    static const char MESSAGE[] = "tessera: lost the connection to the X display\n";
    if (write(STDERR_FILENO, MESSAGE, sizeof MESSAGE - 1) < 0) {
        // Nothing more can be said.
    }
    void (*tidy)(void) = tidy_at_loss.load();
    if (tidy != nullptr) {
        tidy();
    }
    _exit(1);
}

void ZE_watch_display(void (*tidy)(void))
{
    tidy_at_loss = tidy;
    XSetIOErrorHandler(lost_display);
}

// A full screen that the display really switches to w x h for: not on
// Xwayland, which only pretends (its modes stay as they were, the picture is
// stretched and no key reaches the unmanaged window), and only where a mode of
// exactly that size exists and is not already shown.
static bool switches_to(int w, int h)
{
    return !ZE_x11_is_xwayland() && ZE_x11_mode_listed(w, h) && !ZE_x11_mode_shown(w, h);
}

int ZE_set_screen(int card, int w, int h)
{
    if (card == GFX_AUTODETECT_WINDOWED) {
        ZE_x11_prepare_window(false);
        return set_gfx_mode(card, w, h, 0, 0);
    }
    if (card == GFX_AUTODETECT && switches_to(w, h)) {
        // Allegro's own full screen: an unmanaged window over the display,
        // the keyboard grabbed, the mode switched. Kept only if the display
        // then really shows w x h.
        if (set_gfx_mode(GFX_AUTODETECT_FULLSCREEN, w, h, 0, 0) == 0) {
            if (ZE_x11_mode_shown(w, h)) {
                ZE_x11_mark_full_screen_window();
                return 0;
            }
            set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
        }
    }
    int desktop_w, desktop_h;
    if (get_desktop_resolution(&desktop_w, &desktop_h) != 0) {
        desktop_w = desktop_h = 0;
    }
    if (w > desktop_w || h > desktop_h) {
        uszprintf(allegro_error, ALLEGRO_ERROR_SIZE, "the desktop is only %dx%d", desktop_w,
                  desktop_h);
        return -1;
    }
    ZE_x11_prepare_window(true);
    return set_gfx_mode(GFX_AUTODETECT_WINDOWED, desktop_w, desktop_h, 0, 0);
}
