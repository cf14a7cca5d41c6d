// The X display. Xlib's own answer to a lost connection is to print its
// complaint and call exit, whose handlers include the library's shutdown;
// that waits for the connection's lock, held by the thread that found the
// connection gone, and the process hangs for ever. Here the run ends at
// once instead: there is no screen left to restore.
#include "platform/display.h"

#include <X11/Xlib.h>
#include <allegro.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

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

// What is drawn on the X screen is shown at once, and the timer handlers run
// on a thread of their own: there is nothing to do.
void ZE_frame_shown(void) {}
