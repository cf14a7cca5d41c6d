// The dot backdrop: ramp colours by row and phase, and where dots fall.
#include <gtest/gtest.h>

#include "driver/state.h"
#include "overlays/dots.h"

namespace
{

const int BACKGROUND = 7;

// A 320 x 240 frame of BACKGROUND with the dots drawn at `phase`.
BITMAP *dots_at(int phase)
{
    BITMAP *bmp = create_bitmap(SCREENBUF_W, SCREENBUF_H);
    clear_to_color(bmp, BACKGROUND);
    ZE_write(flags.dot_phase, phase);
    ZE_draw_dots(bmp);
    return bmp;
}

int colour_at(int phase, int row)
{
    BITMAP *bmp = dots_at(phase);
    const int c = getpixel(bmp, 0, row);
    destroy_bitmap(bmp);
    return c;
}

// The ramp over one period of s = (row + phase) mod 200, worked out from
// its bands rather than from the table.
int ramp(int s)
{
    if (s < 6 || s >= 186) {
        return 224;
    }
    if (s < 90) {
        return 225 + (s - 6) / 6;
    }
    if (s < 102) {
        return 239;
    }
    return 238 - (s - 102) / 6;
}

} // namespace

TEST(Dots, RampColoursAtChosenRowsAndPhases)
{
    EXPECT_EQ(colour_at(0, 0), 224);
    EXPECT_EQ(colour_at(0, 6), 225);
    EXPECT_EQ(colour_at(0, 90), 239);
    EXPECT_EQ(colour_at(0, 96), 239);
    EXPECT_EQ(colour_at(0, 102), 238);
    EXPECT_EQ(colour_at(0, 186), 224);
    EXPECT_EQ(colour_at(0, 198), 224);

    EXPECT_EQ(colour_at(199, 0), 224); // i = 199
    EXPECT_EQ(colour_at(199, 2), 224); // i = 201 wraps to 1
    EXPECT_EQ(colour_at(199, 8), 225); // i = 207 wraps to 7
    EXPECT_EQ(colour_at(198, 2), 224); // i = 200 takes the last entry: no seam
}

// Every phase and every dotted row: the colour follows the ramp of
// (row + phase) mod 200, so a tick moves the picture up one row.
TEST(Dots, RampScrollsUpARowATickOverAWholePeriod)
{
    for (int phase = 0; phase < DOT_PERIOD; phase++) {
        BITMAP *bmp = dots_at(phase);
        for (int y = 0; y < 200; y += 2) {
            ASSERT_EQ(getpixel(bmp, 0, y), ramp((y + phase) % DOT_PERIOD))
                << "phase " << phase << " row " << y;
            ASSERT_EQ(getpixel(bmp, 318, y), getpixel(bmp, 0, y));
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
            const bool dotted = y < 200 && y % 2 == 0 && x % 2 == 0;
            const int c = getpixel(bmp, x, y);
            if (dotted) {
                ASSERT_GE(c, 224) << x << "," << y;
                ASSERT_LE(c, 239) << x << "," << y;
                dots++;
            } else {
                ASSERT_EQ(c, BACKGROUND) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(dots, 16000);
    destroy_bitmap(bmp);
}
