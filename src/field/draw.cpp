// Drawing the tile field: every tile is a 14 x 14 diamond of 112 pixels,
// sampled from the picture at the tile's home and written where it is now.
#include "field.h"

#include "base/state.h"
#include "resources/archive.h"

// Left inset of each diamond row; the row is 14 - 2 * inset pixels wide.
static const int DIAMOND_INSET[TILE_SIZE] = {6, 5, 4, 3, 2, 1, 0, 0, 1, 2, 3, 4, 5, 6};

void ZE_draw_iso_field(BITMAP *bmp)
{
    // One picture for the whole call, even if a change of picture comes meanwhile.
    BITMAP *picture = iso_backs[ZE_read(flags.field)];
    for (int k = 0; k < TILES; k++) {
        // A tile's coordinates are read once, so it is drawn whole at one place.
        const int x = ZE_read(cels.x[k]);
        const int y = ZE_read(cels.y[k]);
        const int home_x = ZE_read(cels.home_x[k]);
        const int home_y = ZE_read(cels.home_y[k]);
        for (int r = 0; r < TILE_SIZE; r++) {
            const int inset = DIAMOND_INSET[r];
            const int width = TILE_SIZE - 2 * inset;
            // Home positions lie inside every picture, so the sample needs no clipping;
            // putpixel clips the destination.
            const unsigned char *source = picture->line[home_y + r] + home_x + inset;
            for (int j = 0; j < width; j++) {
                putpixel(bmp, x + inset + j, y + r, source[j]);
            }
        }
    }
}
