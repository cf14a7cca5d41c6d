// The display in a browser tab: the page's canvas, which Allegro's web
// platform draws on (tools/allegro/web/wgfx.c).
#include "platform/display.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>

void ZE_no_display(void)
{
    fprintf(stderr, "tessera: cannot draw on the page's canvas: %s\n", allegro_error);
    exit(1);
}

// The canvas cannot go away while the page runs.
void ZE_watch_display(void (*)(void)) {}

// The page's canvas is the one screen there is, of the size asked for.
int ZE_set_screen(int card, int w, int h)
{
    return set_gfx_mode(card, w, h, 0, 0);
}

// vsync() waits for the page's next animation frame.
void ZE_wait_refresh(void)
{
    vsync();
}

// The browser shows the frame and has its turn; the timer handlers and the
// keys catch up when it gives the turn back.
void ZE_frame_shown(void)
{
    web_show_frame();
}
