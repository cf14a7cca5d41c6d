// Frames as colours: the 8-bit frame through its palette, enlarged by a
// whole factor (doubled, as the screen shows it, unless asked otherwise),
// and written as PNG with zlib.
#include "capture.h"

#include <algorithm>
#include <vector>
#include <zlib.h>

#include "base/state.h"

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

static void put32(std::vector<unsigned char> &out, uint32_t v)
{
    out.push_back(static_cast<unsigned char>(v >> 24));
    out.push_back(static_cast<unsigned char>(v >> 16));
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

static void put_chunk(std::vector<unsigned char> &out, const char *type,
                      const std::vector<unsigned char> &data)
{
    put32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    // The CRC covers the chunk type and its data, not the length.
    const uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
    put32(out, static_cast<uint32_t>(crc));
}

bool CP_write_png(const char *path, const unsigned char *rgb, int width, int height)
{
    static const unsigned char SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const size_t row_bytes = static_cast<size_t>(width) * 3;

    std::vector<unsigned char> header;
    put32(header, static_cast<uint32_t>(width));
    put32(header, static_cast<uint32_t>(height));
    header.push_back(8); // bits per component
    header.push_back(2); // truecolour
    header.push_back(0); // deflate
    header.push_back(0); // adaptive filtering
    header.push_back(0); // no interlace

    // Every row is stored with filter 0 (none): the doubled rows compress well.
    std::vector<unsigned char> raw;
    raw.reserve((row_bytes + 1) * height);
    for (int y = 0; y < height; y++) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb + y * row_bytes, rgb + (y + 1) * row_bytes);
    }
    uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> packed(packed_size);
    if (compress2(packed.data(), &packed_size, raw.data(), static_cast<uLong>(raw.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK) {
        return false;
    }
    packed.resize(packed_size);

    std::vector<unsigned char> file(SIGNATURE, SIGNATURE + sizeof SIGNATURE);
    put_chunk(file, "IHDR", header);
    put_chunk(file, "IDAT", packed);
    put_chunk(file, "IEND", {});

    FILE *f = fopen(path, "wb");
    if (f == NULL) {
        return false;
    }
    const bool written = fwrite(file.data(), 1, file.size(), f) == file.size();
    return fclose(f) == 0 && written;
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
