// When a bitmap's rows may be written directly.
#include "pixels.h"

#include <allegro/internal/aintern.h>

bool ZE_direct_bitmap(BITMAP *bmp)
{
    // With clipping off the library writes wherever it is told, outside the
    // bitmap too; the callers' own loops only write inside the clip rectangle,
    // so such a bitmap stays with the library.
    return is_memory_bitmap(bmp) && is_linear_bitmap(bmp) && bitmap_color_depth(bmp) == 8 &&
           bmp->clip;
}

bool ZE_direct_putpixel(BITMAP *bmp)
{
    return ZE_direct_bitmap(bmp) && _drawing_mode == DRAW_MODE_SOLID;
}
