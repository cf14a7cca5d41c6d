// Drawing the tile field: every tile is a 14 x 14 diamond of 112 pixels,
// sampled from the picture at the tile's home and written where it is now.
#include "field.h"

#include <cstring>
#include <utility>

#include "base/pixels.h"
#include "base/state.h"
#include "resources/archive.h"

// Left inset of each diamond row; the row is 14 - 2 * inset pixels wide.
static constexpr int DIAMOND_INSET[TILE_SIZE] = {6, 5, 4, 3, 2, 1, 0, 0, 1, 2, 3, 4, 5, 6};

// Home positions lie inside every picture, so the sample needs no clipping.
static const unsigned char *sample(BITMAP *picture, int home_x, int home_y, int r)
{
    return picture->line[home_y + r] + home_x + DIAMOND_INSET[r];
}

// One tile a pixel at a time, for any bitmap and drawing mode; putpixel
// clips the destination.
static void put_tile(BITMAP *bmp, BITMAP *picture, int x, int y, int home_x, int home_y)
{
    for (int r = 0; r < TILE_SIZE; r++) {
        const int inset = DIAMOND_INSET[r];
        const int width = TILE_SIZE - 2 * inset;
        const unsigned char *source = sample(picture, home_x, home_y, r);
        for (int j = 0; j < width; j++) {
            putpixel(bmp, x + inset + j, y + r, source[j]);
        }
    }
}

// One tile as fourteen row spans copied into a bitmap that takes direct
// writes, each cut to the clip rectangle: the pixels put_tile would store.
static void copy_tile(BITMAP *bmp, BITMAP *picture, int x, int y, int home_x, int home_y)
{
    for (int r = 0; r < TILE_SIZE; r++) {
        const int row = y + r;
        if (row < bmp->ct || row >= bmp->cb) {
            continue;
        }
        const int inset = DIAMOND_INSET[r];
        const int left = x + inset;
        const int right = left + TILE_SIZE - 2 * inset; // one past the span
        const int cut = left < bmp->cl ? bmp->cl - left : 0;
        const int end = right < bmp->cr ? right : bmp->cr;
        if (left + cut >= end) {
            continue;
        }
        memcpy(bmp->line[row] + left + cut, sample(picture, home_x, home_y, r) + cut,
               static_cast<size_t>(end - left - cut));
    }
}

// A tile wholly inside the clip rectangle: the same copies, unclipped, each
// of a width the compiler knows, so that each becomes a move or two.
template <int... R>
static void copy_whole_tile(BITMAP *bmp, BITMAP *picture, int x, int y, int home_x, int home_y,
                            std::integer_sequence<int, R...>)
{
    (memcpy(bmp->line[y + R] + x + DIAMOND_INSET[R], sample(picture, home_x, home_y, R),
            TILE_SIZE - 2 * DIAMOND_INSET[R]),
     ...);
}

void ZE_draw_iso_field(BITMAP *bmp)
{
    // One picture for the whole call, even if a change of picture comes meanwhile.
    BITMAP *picture = iso_backs[ZE_read(flags.field)];
    const bool direct = ZE_direct_putpixel(bmp);
    for (int k = 0; k < TILES; k++) {
        // A tile's coordinates are read once, so it is drawn whole at one place.
        const int x = ZE_read(cels.x[k]);
        const int y = ZE_read(cels.y[k]);
        const int home_x = ZE_read(cels.home_x[k]);
        const int home_y = ZE_read(cels.home_y[k]);
        if (!direct) {
            put_tile(bmp, picture, x, y, home_x, home_y);
        } else if (x >= bmp->cl && x + TILE_SIZE <= bmp->cr && y >= bmp->ct &&
                   y + TILE_SIZE <= bmp->cb) {
            copy_whole_tile(bmp, picture, x, y, home_x, home_y,
                            std::make_integer_sequence<int, TILE_SIZE>());
        } else {
            copy_tile(bmp, picture, x, y, home_x, home_y);
        }
    }
}
