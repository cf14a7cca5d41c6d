// The dot backdrop: ramp colours by row and phase, and where dots fall.
#include <gtest/gtest.h>

#include "base/state.h"
#include "overlays/dots.h"

namespace
{

const int BACKGROUND = 7;

BITMAP *dots_at(int phase)
{
    BITMAP *bmp = create_bitmap(SCREENBUF_W, SCREENBUF_H);
    clear_to_color(bmp, BACKGROUND);
    ZE_write(flags.dot_phase, phase);
    ZE_draw_dots(bmp);
    return bmp;
}

// The ramp over one period of s = (row + phase) mod 200, worked out from
// its bands rather than from the table: 224 for 20 rows, up to 239 (12 rows)
// and back, six rows a step.
int ramp(int s)
{
    if (s < 6 || s >= 186) {
        return 224;
    }
    if (s < 90) {
        return 225 + (s - 6) / 6;
    }
    return s < 102 ? 239 : 238 - (s - 102) / 6;
}

} // namespace

// Every phase and every dotted row, so also the wrap of row + phase past 200
// (phase 199 row 2 is 1, phase 198 row 2 is exactly 200) and the way a tick
// moves the whole ramp up a row.
TEST(Dots, RampFollowsRowPlusPhaseOverAWholePeriod)
{
    for (int phase = 0; phase < DOT_PERIOD; phase++) {
        BITMAP *bmp = dots_at(phase);
        for (int y = 0; y < 200; y += 2) {
            ASSERT_EQ(getpixel(bmp, 0, y), ramp((y + phase) % DOT_PERIOD))
                << "phase " << phase << " row " << y;
            ASSERT_EQ(getpixel(bmp, 318, y), getpixel(bmp, 0, y));
        }
        if (phase == 0) {
            EXPECT_EQ(getpixel(bmp, 0, 6), 225);
            EXPECT_EQ(getpixel(bmp, 0, 96), 239);
            EXPECT_EQ(getpixel(bmp, 0, 102), 238);
        }
        destroy_bitmap(bmp);
    }
}

TEST(Dots, OnlyEvenColumnsOfEvenRowsAboveTheBandGetADot)
{
    BITMAP *bmp = dots_at(57);
    int dots = 0;
    for (int y = 0; y < SCREENBUF_H; y++) {
        for (int x = 0; x < SCREENBUF_W; x++) {
            const int c = getpixel(bmp, x, y);
            if (y < 200 && y % 2 == 0 && x % 2 == 0) {
                ASSERT_TRUE(c >= 224 && c <= 239) << x << "," << y;
                dots++;
            } else {
                ASSERT_EQ(c, BACKGROUND) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(dots, 16000);
    destroy_bitmap(bmp);
}
