// The X display. Xlib's own answer to a lost connection is to print its
// complaint and call exit, whose handlers include the library's shutdown;
// that waits for the connection's lock, held by the thread that found the
// connection gone, and the process hangs for ever. Here the run ends at
// once instead: there is no screen left to restore.
#include "display.h"

#include <X11/Xlib.h>
#include <allegro.h>
#include <cstdlib>
#include <unistd.h>

#include "base/system.h"
#include "resources/directory.h"

void ZE_no_display(void)
{
    // Allegro leaves its reason empty here; the viewer is told which display it was.
    const char *display = getenv("DISPLAY");
    if (display == NULL || display[0] == '\0') {
        ZE_fatal("cannot open the X display: DISPLAY is not set");
    }
    ZE_fatal("cannot open the X display \"%s\"%s%s", display, allegro_error[0] != '\0' ? ": " : "",
             allegro_error);
}

// May run on any thread that talks to the server; only async-signal-safe
// calls, since another thread may hold any lock.
static int lost_display(Display *)
{
    static const char MESSAGE[] = "tessera: lost the connection to the X display\n";
    if (write(STDERR_FILENO, MESSAGE, sizeof MESSAGE - 1) < 0) {
        // Nothing more can be said.
    }
    unlink(RES_TEMP_NAME);
    _exit(1);
}

void ZE_watch_display(void)
{
    XSetIOErrorHandler(lost_display);
}
