// The intro's cells: which logo pixels become cells, how they are scattered
// and brought home by the 60 Hz handler, and when the handler ends the intro.
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

#include "base/random.h"
#include "base/system.h"
#include "intro/tulor.h"
#include "intro_archive.h"
#include "support.h"

namespace
{

struct home_cell {
    int x, y, colour;
};

std::vector<home_cell> cells_now()
{
    std::vector<home_cell> out;
    for (int i = 0; i < tulor.count; i++) {
        out.push_back({tulor.cells[i].x, tulor.cells[i].y.load(), tulor.cells[i].colour});
    }
    return out;
}

void load_logo(int cells)
{
    TT_enter_workdir(false);
    IT_write_archive(IT_make_logo(cells), IT_make_pattern(true));
    TU_read_source_graphic("tulor.pcx");
}

} // namespace

// Colours 1..31 become cells in row-major order, nothing else does, and only
// the top-left 320 x 200 of a larger picture is scanned. The record starts
// afresh and the logo's palette, not the pattern sheet's, is the intro's.
TEST(IntroCells, ScanTakesColours1To31InRowMajorOrder)
{
    TT_enter_workdir(false);
    BITMAP *logo = create_bitmap(330, 210);
    clear_bitmap(logo);
    putpixel(logo, 300, 0, 31);
    putpixel(logo, 10, 0, 1);
    putpixel(logo, 3, 0, 32);
    putpixel(logo, 4, 0, 255);
    putpixel(logo, 0, 50, 16);
    putpixel(logo, 319, 199, 17);
    putpixel(logo, 325, 5, 5); // right of the scanned area
    putpixel(logo, 5, 205, 5); // below it
    IT_write_archive(logo, IT_make_pattern(true));

    // Leftovers that a fresh start must clear.
    tulor.count = 7;
    tulor.cells[3].x = 99;
    tulor.cells[3].y = 99;
    tulor.cells[3].colour = 9;
    tulor.cells[3].speed = 2;
    tulor.cells[3].steps = 9;
    tulor.done = 1;
    tulor.countdown = 3;
    tulor.pat_x = 5;
    tulor.pat_y = 5;

    TU_read_source_graphic("tulor.pcx");

    const std::vector<home_cell> got = cells_now();
    ASSERT_EQ(got.size(), 4u);
    const home_cell want[] = {{10, 0, 1}, {300, 0, 31}, {0, 50, 16}, {319, 199, 17}};
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(got[i].x, want[i].x) << "cell " << i;
        EXPECT_EQ(got[i].y, want[i].y) << "cell " << i;
        EXPECT_EQ(got[i].colour, want[i].colour) << "cell " << i;
        EXPECT_EQ(tulor.cells[i].speed, 0);
        EXPECT_EQ(tulor.cells[i].steps.load(), 0);
    }
    EXPECT_EQ(tulor.cells[4].x, 0);
    EXPECT_EQ(tulor.cells[4].colour, 0);
    EXPECT_EQ(tulor.cells[4].y.load(), 0);
    EXPECT_EQ(tulor.done.load(), 0);
    EXPECT_EQ(tulor.countdown.load(), 490);
    EXPECT_EQ(tulor.pat_x.load(), 0);
    EXPECT_EQ(tulor.pat_y.load(), 0);
    ASSERT_NE(tulor.band, nullptr);
    EXPECT_EQ(tulor.band->w, 278);
    EXPECT_EQ(tulor.band->h, 31);
    ASSERT_NE(_32x_textures, nullptr);
    EXPECT_EQ(_32x_textures->w, 32);
    EXPECT_EQ(_32x_textures->h, 64);
    EXPECT_EQ(getpixel(_32x_textures, 0, 0), 200);

    PALETTE want_pal;
    IT_logo_palette(want_pal);
    for (int i = 0; i < PAL_SIZE; i++) {
        ASSERT_EQ(palette[i].r, want_pal[i].r) << "entry " << i;
        ASSERT_EQ(palette[i].g, want_pal[i].g) << "entry " << i;
        ASSERT_EQ(palette[i].b, want_pal[i].b) << "entry " << i;
    }

    // The lighting map leaves level 0 alone and darkens towards black.
    for (int i = 0; i < PAL_SIZE; i++) {
        ASSERT_EQ(tulor_map.data[0][i], i);
    }
    EXPECT_EQ(tulor_map.data[255][252], 252);
    const int half = palette[tulor_map.data[128][252]].r;
    EXPECT_GE(half, 30);
    EXPECT_LE(half, 33);
    EXPECT_LE(palette[tulor_map.data[1][252]].r, 1);
}

// The cell array holds 5000: a logo with exactly that many loads in full, one
// more pixel is refused with a message instead of a write past the array.
TEST(IntroCells, FiveThousandCellsFitAndOneMoreIsRefused)
{
    load_logo(INTRO_MAX_CELLS);
    EXPECT_EQ(tulor.count, INTRO_MAX_CELLS);
    const tulor_cell &last = tulor.cells[INTRO_MAX_CELLS - 1];
    EXPECT_EQ(last.y.load(), 195);
    EXPECT_EQ(last.x, 244);

    IT_write_archive(IT_make_logo(INTRO_MAX_CELLS + 1), IT_make_pattern(true));
    EXPECT_EXIT(TU_read_source_graphic("tulor.pcx"), testing::ExitedWithCode(1),
                "^tessera: .*more than 5000 pixels of colours 1..31\n$");
}

// Pictures too small to read safely are refused at load.
TEST(IntroCells, SmallPicturesAreRefused)
{
    TT_enter_workdir(false);
    IT_write_archive(IT_make_logo(100, 319, 200), IT_make_pattern(true));
    EXPECT_EXIT(TU_read_source_graphic("tulor.pcx"), testing::ExitedWithCode(1),
                "intro logo picture .* at least 320x200");
    IT_write_archive(IT_make_logo(100, 320, 199), IT_make_pattern(true));
    EXPECT_EXIT(TU_read_source_graphic("tulor.pcx"), testing::ExitedWithCode(1),
                "intro logo picture .* at least 320x200");
    IT_write_archive(IT_make_logo(100), IT_make_pattern(true, 32, 63));
    EXPECT_EXIT(TU_read_source_graphic("tulor.pcx"), testing::ExitedWithCode(1),
                "intro pattern sheet .* at least 32x64");
    IT_write_archive(IT_make_logo(100), IT_make_pattern(true, 31, 64));
    EXPECT_EXIT(TU_read_source_graphic("tulor.pcx"), testing::ExitedWithCode(1),
                "intro pattern sheet .* at least 32x64");
}

// Scattering draws direction, magnitude and travel for each cell in turn and
// backs the cell off along its path; every cell then arrives after exactly
// its own number of ticks and stays.
TEST(IntroCells, ScatteredCellsArriveAfterTheirSteps)
{
    load_logo(INTRO_MAX_CELLS);
    const std::vector<home_cell> home = cells_now();
    const unsigned seed = 20261207;
    ZE_keep_seed(seed);
    TU_scatter_cells();

    // The same draws, made here in the order the scatter makes them.
    ZE_srand(seed);
    std::vector<int> speed(home.size()), steps(home.size());
    bool seen_down = false, seen_up = false, seen_still = false;
    for (size_t i = 0; i < home.size(); i++) {
        const int down = (ZE_rand() % 100) / 50 == 0;
        const int magnitude = (ZE_rand() % 90) / 30 + 1;
        steps[i] = ZE_rand() % 200;
        speed[i] = down ? magnitude : -magnitude;
        ASSERT_EQ(tulor.cells[i].speed, speed[i]) << "cell " << i;
        ASSERT_EQ(tulor.cells[i].steps.load(), steps[i]) << "cell " << i;
        ASSERT_EQ(tulor.cells[i].y.load(), home[i].y - speed[i] * steps[i]) << "cell " << i;
        if (steps[i] == 199 && speed[i] == 3) {
            EXPECT_EQ(tulor.cells[i].y.load(), home[i].y - 597);
            seen_down = true;
        }
        if (steps[i] == 199 && speed[i] == -3) {
            EXPECT_EQ(tulor.cells[i].y.load(), home[i].y + 597);
            seen_up = true;
        }
        seen_still = seen_still || steps[i] == 0;
    }
    EXPECT_TRUE(seen_down && seen_up && seen_still) << "the seed should give every case";

    for (int tick = 1; tick <= 250; tick++) {
        TU_animate_cells();
        int wrong = 0;
        for (size_t i = 0; i < home.size(); i++) {
            const int travelled = tick < steps[i] ? tick : steps[i];
            const int want_y = home[i].y - speed[i] * (steps[i] - travelled);
            wrong += tulor.cells[i].y.load() != want_y;
            wrong += tulor.cells[i].steps.load() != steps[i] - travelled;
            wrong += tulor.cells[i].x != home[i].x || tulor.cells[i].colour != home[i].colour;
        }
        ASSERT_EQ(wrong, 0) << "after tick " << tick;
    }
}

// Without keys the handler asks for the end on its 490th call, with the
// pattern anchor at 70, and goes on ticking after that.
TEST(IntroCells, HandlerEndsTheIntroOnTick490)
{
    load_logo(10);
    tulor.pat_delay = 0; // the record's start value; loading leaves it alone
    for (int call = 1; call <= 500; call++) {
        TU_animate_cells();
        ASSERT_EQ(tulor.pat_x.load(), call / 7) << "call " << call;
        ASSERT_EQ(tulor.pat_y.load(), tulor.pat_x.load());
        ASSERT_EQ(tulor.pat_delay.load(), call % 7);
        ASSERT_EQ(tulor.countdown.load(), 490 - call);
        ASSERT_EQ(tulor.done.load(), call >= 490 ? 1 : 0) << "call " << call;
    }
    EXPECT_EQ(tulor.pat_x.load(), 71);
}

// Esc or Alt ends the intro on the first tick, and the cells still move on it.
TEST(IntroCells, EscOrAltEndsTheIntroAtOnce)
{
    const int keys[] = {KEY_ESC, KEY_ALT};
    for (int k : keys) {
        load_logo(10);
        TU_scatter_cells();
        int moving = -1;
        for (int i = 0; i < tulor.count && moving < 0; i++) {
            if (tulor.cells[i].steps.load() != 0) {
                moving = i;
            }
        }
        ASSERT_GE(moving, 0);
        const int y = tulor.cells[moving].y.load();

        key[k] = 1;
        TU_animate_cells();
        key[k] = 0;
        EXPECT_EQ(tulor.done.load(), 1) << "key " << k;
        EXPECT_EQ(tulor.cells[moving].y.load(), y + tulor.cells[moving].speed);
        TU_animate_cells();
        EXPECT_EQ(tulor.done.load(), 1) << "done is never cleared";
    }
}

// The archive built from the repository's data loads as an intro.
TEST(IntroCells, RealDataLoads)
{
    TT_enter_workdir(true);
    TU_read_source_graphic("tulor.pcx"); // exits with a message if a member is missing or damaged
    EXPECT_GT(tulor.count, 0);
    EXPECT_LE(tulor.count, INTRO_MAX_CELLS);
    for (int i = 0; i < tulor.count; i++) {
        ASSERT_GE(tulor.cells[i].colour, 1);
        ASSERT_LE(tulor.cells[i].colour, 31);
    }
    EXPECT_FALSE(exists(RES_TEMP_NAME)) << "the temporary file is removed after loading";
}
