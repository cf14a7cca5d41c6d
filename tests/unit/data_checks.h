// Checks shared by the data tests: what every conforming data set must meet,
// whichever builder variant made it. Each expects ZE_load_resources to have
// run in the working directory.
#ifndef TESSERA_DATA_CHECKS_H
#define TESSERA_DATA_CHECKS_H

#include <allegro.h>
#include <gtest/gtest.h>
#include <set>
#include <string>

#include "resources/archive.h"
#include "resources/directory.h"

// The area of a picture that the tiles sample.
constexpr int DT_FIELD_X0 = 11, DT_FIELD_X1 = 304, DT_FIELD_Y0 = 4, DT_FIELD_Y1 = 193;
// The dot ramp and the scroller's glyph colours within every picture palette.
constexpr int DT_RAMP_FIRST = 224, DT_RAMP_LAST = 239;
constexpr int DT_GLYPH_FIRST = 240, DT_GLYPH_LAST = 255;

inline int DT_luma(const RGB &c)
{
    return 3 * c.r + 6 * c.g + c.b;
}

inline int DT_field_colours(BITMAP *bmp)
{
    std::set<int> seen;
    for (int y = DT_FIELD_Y0; y <= DT_FIELD_Y1; y++) {
        for (int x = DT_FIELD_X0; x <= DT_FIELD_X1; x++) {
            seen.insert(bmp->line[y][x]);
        }
    }
    return static_cast<int>(seen.size());
}

inline bool DT_glyph_empty(BITMAP *g)
{
    for (int y = 0; y < g->h; y++) {
        for (int x = 0; x < g->w; x++) {
            if (g->line[y][x] != 0) {
                return false;
            }
        }
    }
    return true;
}

// The scroller glyph of each character the scroll line can show.
inline int DT_scroll_glyph(char ch)
{
    if (ch >= 'A' && ch <= 'Z') {
        return ch - 'A';
    }
    if (ch >= '0' && ch <= '9') {
        return 30 + ch - '0';
    }
    const std::string marks = ".,':!";
    return 40 + static_cast<int>(marks.find(ch));
}

inline const char *DT_SHOWN_CHARS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,':!";

// Pictures, palettes and glyphs as every data set must have them.
inline void DT_check_loaded_set(void)
{
    for (int i = 0; i < RES_PICTURES; i++) {
        SCOPED_TRACE("picture " + std::to_string(i));
        ASSERT_NE(iso_backs[i], nullptr);
        EXPECT_EQ(bitmap_color_depth(iso_backs[i]), 8);
        EXPECT_EQ(iso_backs[i]->w, PICTURE_W);
        EXPECT_EQ(iso_backs[i]->h, PICTURE_H);
        EXPECT_GE(DT_field_colours(iso_backs[i]), 96);

        const RGB *pal = iso_pal[i];
        EXPECT_EQ(pal[0].r + pal[0].g + pal[0].b, 0) << "entry 0 is the cleared frame's black";
        for (int k = DT_RAMP_FIRST; k < DT_RAMP_LAST; k++) {
            EXPECT_LT(DT_luma(pal[k]), DT_luma(pal[k + 1])) << "dot ramp at " << k;
        }
        EXPECT_LT(DT_luma(pal[DT_RAMP_FIRST]), 150);
        EXPECT_GT(DT_luma(pal[DT_RAMP_LAST]), 400);
        for (int k = DT_GLYPH_FIRST; k <= DT_GLYPH_LAST; k++) {
            EXPECT_EQ(pal[k].r, iso_pal[0][k].r) << "glyph colour " << k;
            EXPECT_EQ(pal[k].g, iso_pal[0][k].g) << "glyph colour " << k;
            EXPECT_EQ(pal[k].b, iso_pal[0][k].b) << "glyph colour " << k;
        }
        // The pictures draw nothing in the glyph colours, so a glyph is
        // never confused with the picture beneath it.
        for (int y = 0; y < PICTURE_H; y++) {
            for (int x = 0; x < PICTURE_W; x++) {
                ASSERT_LT(iso_backs[i]->line[y][x], DT_GLYPH_FIRST) << x << "," << y;
            }
        }
    }

    for (const char *p = DT_SHOWN_CHARS; *p; p++) {
        BITMAP *g = scrollie[DT_scroll_glyph(*p)];
        ASSERT_NE(g, nullptr);
        EXPECT_FALSE(DT_glyph_empty(g)) << "scroller glyph for '" << *p << "'";
        for (int y = 0; y < g->h; y++) {
            for (int x = 0; x < g->w; x++) {
                int c = g->line[y][x];
                ASSERT_TRUE(c == 0 || c >= DT_GLYPH_FIRST) << "'" << *p << "' has colour " << c;
            }
        }
    }
    for (int g = 0; g < LOGO_GLYPHS; g++) {
        ASSERT_NE(logo[g], nullptr);
        for (int y = 0; y < logo[g]->h; y++) {
            for (int x = 0; x < logo[g]->w; x++) {
                int c = logo[g]->line[y][x];
                ASSERT_TRUE(c == 0 || c == LIGHT_ROW_BODY || c == LIGHT_ROW_EDGE)
                    << "logo glyph " << g << " has colour " << c;
            }
        }
    }
    static const int letters[] = {27, 14, 17, 6, 4, 11, 0, 7};
    for (int g : letters) {
        EXPECT_FALSE(DT_glyph_empty(logo[g])) << "logo glyph " << g << " is one of the letters";
    }
    EXPECT_NE(muzak, nullptr);
}

#endif
