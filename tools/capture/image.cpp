// Frames as colours: the 8-bit frame through its palette, enlarged by a
// whole factor (doubled, as the screen shows it, unless asked otherwise),
// and written as PNG.
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

void CP_frame_to_rgb(const cp_frame *frame, int scale, unsigned char *rgb)
{
    unsigned char colours[PAL_SIZE][3];
    for (int i = 0; i < PAL_SIZE; i++) {
        colours[i][0] = widen(frame->palette[i].r);
        colours[i][1] = widen(frame->palette[i].g);
        colours[i][2] = widen(frame->palette[i].b);
    }
    const size_t row_bytes = static_cast<size_t>(SCREENBUF_W) * scale * 3;
    for (int y = 0; y < SCREENBUF_H; y++) {
        const unsigned char *src = frame->pixels->line[y];
        unsigned char *out = rgb + static_cast<size_t>(y) * scale * row_bytes;
        unsigned char *p = out;
        for (int x = 0; x < SCREENBUF_W; x++) {
            const unsigned char *c = colours[src[x]];
            for (int i = 0; i < scale; i++, p += 3) {
                p[0] = c[0];
                p[1] = c[1];
                p[2] = c[2];
            }
        }
        // The first row of the block, repeated below it.
        for (int i = 1; i < scale; i++) {
            std::copy(out, out + row_bytes, out + i * row_bytes);
        }
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
