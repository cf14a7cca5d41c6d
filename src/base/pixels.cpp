// When a bitmap's rows may be written directly.
#include "pixels.h"

#include <allegro/internal/aintern.h>

bool ZE_direct_bitmap(BITMAP *bmp)
{
    // Without clipping the library writes wherever it is told; the callers
    // leave that to it.
    return is_memory_bitmap(bmp) && is_linear_bitmap(bmp) && bitmap_color_depth(bmp) == 8 &&
           bmp->clip;
}

bool ZE_direct_putpixel(BITMAP *bmp)
{
    return ZE_direct_bitmap(bmp) && _drawing_mode == DRAW_MODE_SOLID;
}
