// Writing pixels straight into a bitmap's rows. Where the library's drawing
// would only store bytes in an 8-bit memory bitmap, the frame's inner loops
// store them themselves, clipped the same way, and skip a call per pixel.
#ifndef TESSERA_PIXELS_H
#define TESSERA_PIXELS_H

#include <allegro.h>

// True for a linear 8-bit memory bitmap with clipping on: its rows
// (bmp->line) may be written directly within its clip rectangle.
bool ZE_direct_bitmap(BITMAP *bmp);

// ZE_direct_bitmap and the solid drawing mode: putpixel(bmp, x, y, c) then
// only stores c at (x, y) if that lies inside the clip rectangle.
bool ZE_direct_putpixel(BITMAP *bmp);

#endif
