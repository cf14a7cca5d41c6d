// The overlays with the data the builder makes: every character of the
// line has a glyph to show, and the letters' glyphs use only colours whose
// lighting rows are filled.
#include <gtest/gtest.h>

#include <set>

#include "base/state.h"
#include "overlays/extras.h"
#include "overlays/scroller.h"
#include "resources/archive.h"
#include "resources/colormaps.h"
#include "support.h"

namespace
{

int lit_pixels(BITMAP *bmp)
{
    int n = 0;
    for (int y = 0; y < bmp->h; y++) {
        for (int x = 0; x < bmp->w; x++) {
            n += getpixel(bmp, x, y) != 0;
        }
    }
    return n;
}

} // namespace

TEST(OverlaysData, GlyphsOfTheLineAndTheLetters)
{
    TT_start_without_screen(); // exits with a message if the data is missing or damaged

    std::set<int> shown;
    for (const char *c = ZE_scroll_text; *c != '\0'; c++) {
        const int g = ZE_scroll_glyph(static_cast<unsigned char>(*c));
        if (g >= 0) {
            shown.insert(g);
        }
    }
    for (int g : shown) {
        ASSERT_NE(scrollie[g], nullptr);
        EXPECT_GT(lit_pixels(scrollie[g]), 0) << "scroller glyph " << g << " is blank";
    }

    for (int i = 0; i < LETTERS; i++) {
        BITMAP *g = logo[_logo.glyph[i]];
        ASSERT_NE(g, nullptr);
        EXPECT_GT(lit_pixels(g), 0) << "letter " << i << " is blank";
        for (int y = 0; y < g->h; y++) {
            for (int x = 0; x < g->w; x++) {
                const int c = getpixel(g, x, y);
                ASSERT_TRUE(c == 0 || c == LIGHT_ROW_BODY || c == LIGHT_ROW_EDGE)
                    << "letter " << i << " uses colour " << c << ", which lights nothing";
            }
        }
    }

    // The first frame's letter lights the first picture where it stands.
    clear_bitmap(screenbuf);
    blit(iso_backs[0], screenbuf, 0, 0, 0, 0, PICTURE_W, PICTURE_H);
    BITMAP *before = create_bitmap(SCREENBUF_W, SCREENBUF_H);
    blit(screenbuf, before, 0, 0, 0, 0, SCREENBUF_W, SCREENBUF_H);
    ZE_draw_extras(screenbuf);
    int changed = 0;
    for (int y = 85; y < 85 + LOGO_GLYPH_H; y++) {
        for (int x = 63; x < 63 + LOGO_GLYPH_W; x++) {
            changed += getpixel(screenbuf, x, y) != getpixel(before, x, y);
        }
    }
    EXPECT_GT(changed, 0);
    destroy_bitmap(before);
}
