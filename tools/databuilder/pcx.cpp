// PCX files as the library's loader reads them, and the small shared helpers
// of the builder.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "db.h"
#include "resources/checks.h"

int db_variant = 0;

void DB_fail(const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    fputs("databuilder: ", stderr);
    vfprintf(stderr, fmt, ap);
    fputc('\n', stderr);
    va_end(ap);
    exit(1);
}

db_rng DB_rng(uint64_t seed)
{
    // Spread the seed so that neighbouring seeds give unrelated sequences.
    uint64_t s = seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull;
    s ^= s >> 31;
    return db_rng{s ? s : 1};
}

uint32_t DB_next(db_rng &r)
{
    r.s ^= r.s << 13;
    r.s ^= r.s >> 7;
    r.s ^= r.s << 17;
    return static_cast<uint32_t>(r.s >> 16);
}

float DB_unit(db_rng &r)
{
    return (DB_next(r) >> 8) * (1.0f / 16777216.0f);
}

db_image DB_new_image(int w, int h)
{
    db_image img;
    img.w = w;
    img.h = h;
    img.pixels.assign(static_cast<size_t>(w) * h, 0);
    return img;
}

db_canvas DB_new_canvas(int w, int h)
{
    db_canvas cv;
    cv.w = w;
    cv.h = h;
    cv.px.assign(static_cast<size_t>(w) * h, db_col{0, 0, 0});
    return cv;
}

static void put16(std::vector<unsigned char> &v, int x)
{
    v.push_back(static_cast<unsigned char>(x & 0xff));
    v.push_back(static_cast<unsigned char>((x >> 8) & 0xff));
}

std::vector<unsigned char> DB_encode_pcx(const db_image &img)
{
    // Scanlines are stored with an even number of bytes.
    int bytes_per_line = (img.w + 1) & ~1;
    std::vector<unsigned char> out;
    out.reserve(PCX_HEADER_SIZE + static_cast<size_t>(img.h) * bytes_per_line + 1 +
                PCX_PALETTE_SIZE);

    out.push_back(PCX_MARK_VALUE);
    out.push_back(5); // version 3.0 and later, with a 256-colour palette
    out.push_back(1); // run-length encoded
    out.push_back(8); // bits per pixel and plane
    put16(out, 0);
    put16(out, 0);
    put16(out, img.w - 1);
    put16(out, img.h - 1);
    put16(out, 72);
    put16(out, 72);
    for (int c = 0; c < 16; c++) {
        out.push_back(static_cast<unsigned char>(img.pal[c].r * 4));
        out.push_back(static_cast<unsigned char>(img.pal[c].g * 4));
        out.push_back(static_cast<unsigned char>(img.pal[c].b * 4));
    }
    out.push_back(0);
    out.push_back(1); // one plane
    put16(out, bytes_per_line);
    put16(out, 1); // colour palette
    while (out.size() < PCX_HEADER_SIZE) {
        out.push_back(0);
    }

    std::vector<unsigned char> line(bytes_per_line, 0);
    for (int y = 0; y < img.h; y++) {
        for (int x = 0; x < img.w; x++) {
            line[x] = img.pixels[static_cast<size_t>(y) * img.w + x];
        }
        // Runs never cross a scanline; a single byte of 0xC0 or more would
        // read as a run count, so it is written as a run of one.
        int x = 0;
        while (x < bytes_per_line) {
            int run = 1;
            while (x + run < bytes_per_line && run < PCX_RUN_COUNT && line[x + run] == line[x]) {
                run++;
            }
            if (run > 1 || line[x] >= PCX_RUN_FLAGS) {
                out.push_back(static_cast<unsigned char>(PCX_RUN_FLAGS | run));
            }
            out.push_back(line[x]);
            x += run;
        }
    }

    out.push_back(PCX_PALETTE_MARK);
    for (int c = 0; c < 256; c++) {
        out.push_back(static_cast<unsigned char>(img.pal[c].r * 4));
        out.push_back(static_cast<unsigned char>(img.pal[c].g * 4));
        out.push_back(static_cast<unsigned char>(img.pal[c].b * 4));
    }
    return out;
}

bool DB_pad_pcx(std::vector<unsigned char> &pcx, size_t length)
{
    if (pcx.size() > length) {
        return false;
    }
    // The loader scans forward from the end of the image data for the first
    // marker byte, so padding goes just before the marker and is never 12.
    size_t palette_at = pcx.size() - 1 - PCX_PALETTE_SIZE;
    pcx.insert(pcx.begin() + palette_at, length - pcx.size(), 0);
    return true;
}
