// The screen on Windows: DirectDraw or GDI, both always there, so the only
// way the library fails to start is a system it cannot work with.
#include "platform/display.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>

void ZE_no_display(void)
{
    fprintf(stderr, "tessera: cannot start the graphics library%s%s\n",
            allegro_error[0] != '\0' ? ": " : "", allegro_error);
    exit(1);
}

void ZE_watch_display(void (*)(void))
{
    // A window on Windows cannot lose its display.
}

// DirectDraw or GDI shows what is drawn at once, and the timer handlers run
// on a thread of their own: there is nothing to do.
void ZE_frame_shown(void) {}

// DirectDraw switches modes for real, and a window is an ordinary one.
int ZE_set_screen(int card, int w, int h)
{
    return set_gfx_mode(card, w, h, 0, 0);
}

// DirectDraw waits for the real retrace.
void ZE_wait_refresh(void)
{
    vsync();
}
