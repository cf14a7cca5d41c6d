// The dot backdrop: a grid of single dots over the upper 200 rows, coloured
// by a ramp that runs up from entry 224 to 239 and back down. The 60 Hz
// handler moves flags.dot_phase on by one a tick, so the ramp climbs a row
// a tick and repeats every 200 rows.
#include "dots.h"

#include "base/pixels.h"
#include "base/state.h"

// Each entry covers six ramp positions; the two trailing 224s close the
// period so that its end meets its start without a seam.
const int16_t dot_colours[DOT_RAMP_ENTRIES] = {
    224, 225, 226, 227, 228, 229, 230, 231, 232, 233, 234, 235, 236, 237, 238, 239, 239,
    238, 237, 236, 235, 234, 233, 232, 231, 230, 229, 228, 227, 226, 225, 224, 224, 224,
};

static const int DOT_ROWS = 200; // the dots stop above the bottom band
static const int DOT_STEP = 2;   // a dot on every second column of every second row
static const int DOT_RAMP_SPAN = 6;

// One row of dots stored straight into a bitmap that takes direct writes:
// the columns putpixel would draw, those inside the clip rectangle.
static void store_row(BITMAP *bmp, int y, int colour)
{
    if (y < bmp->ct || y >= bmp->cb) {
        return;
    }
    const int first = (bmp->cl + DOT_STEP - 1) / DOT_STEP * DOT_STEP; // cl is never negative
    const int end = bmp->cr < SCREENBUF_W ? bmp->cr : SCREENBUF_W;
    unsigned char *line = bmp->line[y];
    for (int x = first; x < end; x += DOT_STEP) {
        line[x] = static_cast<unsigned char>(colour);
    }
}

void ZE_draw_dots(BITMAP *bmp)
{
    const bool direct = ZE_direct_putpixel(bmp);
    for (int y = 0; y < DOT_ROWS; y += DOT_STEP) {
        // Read the phase anew for every row: a tick during the drawing moves
        // the rest of the ramp on, as it should.
        int i = y + ZE_read(flags.dot_phase);
        if (i > DOT_PERIOD) {
            i -= DOT_PERIOD;
        }
        const int colour = dot_colours[i / DOT_RAMP_SPAN];
        if (direct) {
            store_row(bmp, y, colour);
            continue;
        }
        for (int x = 0; x < SCREENBUF_W; x += DOT_STEP) {
            putpixel(bmp, x, y, colour);
        }
    }
}
