// Pictures for the intro tests: a logo and a pattern sheet written as PCX
// members into a res.dat of the working directory, at the places the intro
// reads them from. The rest of the archive is zeros.
#ifndef TESSERA_INTRO_ARCHIVE_H
#define TESSERA_INTRO_ARCHIVE_H

#include <allegro.h>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

#include "resources/directory.h"
#include "support.h"

// A grey ramp for the logo (entry i is i/4 on all three guns) and a red-green
// one for the pattern sheet, so the two palettes cannot be mistaken.
inline void IT_logo_palette(RGB *pal)
{
    for (int i = 0; i < PAL_SIZE; i++) {
        const unsigned char v = static_cast<unsigned char>(i / 4);
        pal[i].r = pal[i].g = pal[i].b = v;
    }
}

inline void IT_pattern_palette(RGB *pal)
{
    for (int i = 0; i < PAL_SIZE; i++) {
        pal[i].r = static_cast<unsigned char>(63 - i / 4);
        pal[i].g = static_cast<unsigned char>(i / 4);
        pal[i].b = 0;
    }
}

// The pattern tile's light level at (x, y): nine levels, 0 among them.
inline int IT_tile_level(int x, int y)
{
    return ((x * 3 + y * 5) % 9) * 30;
}

// A 32 x 64 pattern sheet: the top square is a flat 200 that must never be
// used, the bottom square is the tile (all zero unless `lit`).
inline BITMAP *IT_make_pattern(bool lit, int w = 32, int h = 64)
{
    BITMAP *sheet = create_bitmap(w, h);
    clear_to_color(sheet, 200);
    for (int y = 32; y < h; y++) {
        for (int x = 0; x < w; x++) {
            putpixel(sheet, x, y, lit ? IT_tile_level(x & 31, y - 32) : 0);
        }
    }
    return sheet;
}

// A 320 x 200 logo with exactly `cells` pixels of colours 1..31 (at most
// 5000 fit the layout below, 5001 with one extra pixel): every eighth row,
// from row 3, holds a bar of up to 200 pixels in runs of ten colours.
inline BITMAP *IT_make_logo(int cells, int w = 320, int h = 200)
{
    BITMAP *logo = create_bitmap(w, h);
    clear_bitmap(logo);
    int left = cells;
    for (int y = 3; y < 200 && left > 0; y += 8) {
        const int start = (y * 7) % 120;
        for (int x = start; x < start + 200 && left > 0; x++, left--) {
            putpixel(logo, x, y, 1 + (x / 10 + y) % 31);
        }
    }
    if (left > 0) {
        putpixel(logo, 319, 199, 31);
    }
    return logo;
}

// Copies `bmp`, saved as a PCX with `pal`, to `member`'s place in `archive`.
inline void IT_put_member(std::string &archive, res_member member, BITMAP *bmp, const RGB *pal)
{
    const char *name = "member.pcx";
    ASSERT_EQ(save_pcx(name, bmp, pal), 0);
    const std::string bytes = TT_read_file(name);
    remove(name);
    ASSERT_FALSE(bytes.empty());
    ASSERT_LE(bytes.size(), static_cast<size_t>(member.length)) << "test picture too big";
    archive.replace(member.offset, bytes.size(), bytes);
}

// Writes res.dat with `logo` and `pattern` (with the two test palettes) at
// the intro's places; only as long as the intro's reads need. Both bitmaps
// are destroyed.
inline void IT_write_archive(BITMAP *logo, BITMAP *pattern)
{
    PALETTE logo_pal, pattern_pal;
    IT_logo_palette(logo_pal);
    IT_pattern_palette(pattern_pal);
    std::string archive(RES_INTRO_PATTERN.offset + RES_INTRO_PATTERN.length, '\0');
    IT_put_member(archive, RES_INTRO_SOURCE, logo, logo_pal);
    IT_put_member(archive, RES_INTRO_PATTERN, pattern, pattern_pal);
    TT_write_file(RES_ARCHIVE_NAME, archive);
    destroy_bitmap(logo);
    destroy_bitmap(pattern);
}

#endif
