// Frames as colours: the 8-bit frame through its palette, doubled to the
// 640 x 480 the screen shows, and written as PNG.
#include "capture.h"

#include <algorithm>

#include "base/state.h"
#include "png/png_writer.h"

// A 6-bit palette component as Allegro's colour conversion shows it on a
// true-colour X display: the top bits repeated into the low ones.
static unsigned char widen(unsigned char component)
{
    const unsigned c = component & 0x3f;
    return static_cast<unsigned char>((c << 2) | (c >> 4));
}

void CP_frame_to_rgb(const cp_frame *frame, unsigned char *rgb)
{
    unsigned char colours[PAL_SIZE][3];
    for (int i = 0; i < PAL_SIZE; i++) {
        colours[i][0] = widen(frame->palette[i].r);
        colours[i][1] = widen(frame->palette[i].g);
        colours[i][2] = widen(frame->palette[i].b);
    }
    const int row_bytes = CP_OUT_W * 3;
    for (int y = 0; y < SCREENBUF_H; y++) {
        const unsigned char *src = frame->pixels->line[y];
        unsigned char *out = rgb + static_cast<size_t>(2 * y) * row_bytes;
        for (int x = 0; x < SCREENBUF_W; x++) {
            const unsigned char *c = colours[src[x]];
            unsigned char *p = out + 6 * x;
            p[0] = p[3] = c[0];
            p[1] = p[4] = c[1];
            p[2] = p[5] = c[2];
        }
        std::copy(out, out + row_bytes, out + row_bytes);
    }
}

bool CP_write_png(const char *path, const unsigned char *rgb, int width, int height)
{
    return PW_write_rgb(path, rgb, width, height);
}

static uint32_t fnv(uint32_t h, unsigned char byte)
{
    return (h ^ byte) * 16777619u;
}

uint32_t CP_pixel_checksum(BITMAP *bmp)
{
    uint32_t h = 2166136261u;
    for (int y = 0; y < bmp->h; y++) {
        for (int x = 0; x < bmp->w; x++) {
            h = fnv(h, bmp->line[y][x]);
        }
    }
    return h;
}

uint32_t CP_palette_checksum(const RGB *pal)
{
    uint32_t h = 2166136261u;
    for (int i = 0; i < PAL_SIZE; i++) {
        h = fnv(fnv(fnv(h, pal[i].r), pal[i].g), pal[i].b);
    }
    return h;
}
