// Presenting a frame.
#include "present.h"

#include "state.h"

static const char CAPTURE_NAME[] = "capture.pcx";

void ZE_final_pass(BITMAP *bmp, const RGB *shot_palette)
{
    if (ZE_read(flags.vsync)) {
        vsync();
    }
    stretch_blit(bmp, screen, 0, 0, SCREENBUF_W, SCREENBUF_H, 0, 0, 2 * SCREENBUF_W,
                 2 * SCREENBUF_H);
    if (key[KEY_SPACE]) {
        save_pcx(CAPTURE_NAME, bmp, shot_palette);
    }
}
