// The intro's frames: the cells as single pixels 20 rows down, and the band
// of patterned light laid over the logo through the lighting map.
#include <gtest/gtest.h>

#include "base/system.h"
#include "intro/tulor.h"
#include "intro_archive.h"
#include "support.h"

namespace
{

// Loads a logo of `cells` pixels and a pattern sheet, scatters the cells
// with a fixed seed and runs the handler `ticks` times.
void start_intro(int cells, bool lit, int ticks)
{
    TT_enter_workdir(false);
    IT_write_archive(IT_make_logo(cells), IT_make_pattern(lit));
    TU_read_source_graphic("tulor.pcx");
    ZE_keep_seed(7);
    TU_scatter_cells();
    tulor.pat_delay = 0;
    for (int t = 0; t < ticks; t++) {
        TU_animate_cells();
    }
}

// The frame the intro should show: the logo's cells where they are now,
// then every pixel under the band looked up in the lighting map.
BITMAP *expected_frame(bool with_band)
{
    BITMAP *want = create_bitmap(320, 240);
    clear_bitmap(want);
    for (int i = 0; i < tulor.count; i++) {
        const int y = tulor.cells[i].y + 20;
        if (y >= 0 && y < 240) {
            want->line[y][tulor.cells[i].x] = static_cast<unsigned char>(tulor.cells[i].colour);
        }
    }
    if (with_band) {
        const int ax = tulor.pat_x, ay = tulor.pat_y;
        for (int y = 0; y < 31; y++) {
            for (int x = 0; x < 278; x++) {
                const int level = IT_tile_level((x - ax) & 31, (y - ay) & 31);
                unsigned char &d = want->line[96 + y][22 + x];
                d = tulor_map.data[level][d];
            }
        }
    }
    return want;
}

int differences(BITMAP *a, BITMAP *b)
{
    int n = 0;
    for (int y = 0; y < 240; y++) {
        for (int x = 0; x < 320; x++) {
            n += a->line[y][x] != b->line[y][x];
        }
    }
    return n;
}

} // namespace

// Once every cell is home the logo fills rows 20..219 exactly and the rows
// above and below are empty; a band of level 0 changes nothing.
TEST(IntroFrame, HomeLogoSitsOnRows20To219)
{
    start_intro(INTRO_MAX_CELLS, false, 199);
    BITMAP *frame = create_bitmap(320, 240);
    clear_to_color(frame, 77); // the frame is cleared first
    TU_draw_frame(frame);

    BITMAP *logo = IT_make_logo(INTRO_MAX_CELLS);
    int wrong = 0;
    for (int y = 0; y < 240; y++) {
        for (int x = 0; x < 320; x++) {
            const int want = (y >= 20 && y < 220) ? logo->line[y - 20][x] : 0;
            wrong += frame->line[y][x] != want;
        }
    }
    EXPECT_EQ(wrong, 0);
    destroy_bitmap(logo);
    destroy_bitmap(frame);
}

// The band holds the tile from (0, 32) of the pattern sheet, repeated from the
// anchor, which moves one pixel right and down every seven ticks; laid over
// the frame it lights columns 22..299 of rows 96..126 and nothing else.
// Cells still above or below the frame are left out, not written past it.
TEST(IntroFrame, BandLightsOnlyItsRectangle)
{
    const int ticks[] = {0, 7, 490};
    for (int t : ticks) {
        start_intro(INTRO_MAX_CELLS, true, t);
        EXPECT_EQ(tulor.pat_x.load(), t / 7);
        int outside = 0;
        for (int i = 0; i < tulor.count; i++) {
            outside += tulor.cells[i].y < -20 || tulor.cells[i].y >= 220;
        }
        if (t == 0) {
            ASSERT_GT(outside, 100) << "the scatter should put many cells off the frame";
        }

        BITMAP *frame = create_bitmap(320, 240);
        TU_draw_frame(frame);
        int wrong = 0;
        for (int y = 0; y < 31; y++) {
            for (int x = 0; x < 278; x++) {
                const int want = IT_tile_level((x - t / 7) & 31, (y - t / 7) & 31);
                wrong += tulor.band->line[y][x] != want;
            }
        }
        EXPECT_EQ(wrong, 0) << "band after " << t << " ticks";

        BITMAP *want = expected_frame(true);
        BITMAP *unlit = expected_frame(false);
        EXPECT_EQ(differences(frame, want), 0) << "frame after " << t << " ticks";
        EXPECT_GT(differences(frame, unlit), 100) << "the band should darken the logo";
        destroy_bitmap(unlit);
        destroy_bitmap(want);
        destroy_bitmap(frame);
    }

    // The frame leaves the library drawing solid colour again.
    BITMAP *other = create_bitmap(64, 64);
    clear_to_color(other, 3);
    rectfill(other, 0, 0, 63, 63, 9);
    EXPECT_EQ(getpixel(other, 0, 0), 9);
    EXPECT_EQ(getpixel(other, 63, 63), 9);
    destroy_bitmap(other);
}
