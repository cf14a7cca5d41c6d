// The dot backdrop: ramp colours by row and phase, and where dots fall.
#include <cstring>
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

// Inside a clip rectangle that starts on an odd column, and in another
// drawing mode, the dots are the pixels putpixel gives.
TEST(Dots, DrawnAsPutpixelWouldInAClipRectangleAndAnyMode)
{
    for (const int mode : {DRAW_MODE_SOLID, DRAW_MODE_XOR}) {
        BITMAP *got = create_bitmap(SCREENBUF_W, SCREENBUF_H);
        BITMAP *want = create_bitmap(SCREENBUF_W, SCREENBUF_H);
        for (BITMAP *b : {got, want}) {
            clear_to_color(b, BACKGROUND);
            set_clip_rect(b, 3, 5, 300, 150);
        }
        ZE_write(flags.dot_phase, 33);
        drawing_mode(mode, NULL, 0, 0);
        ZE_draw_dots(got);
        for (int y = 0; y < 200; y += 2) {
            for (int x = 0; x < SCREENBUF_W; x += 2) {
                putpixel(want, x, y, ramp((y + 33) % DOT_PERIOD));
            }
        }
        drawing_mode(DRAW_MODE_SOLID, NULL, 0, 0);
        for (int y = 0; y < SCREENBUF_H; y++) {
            ASSERT_EQ(memcmp(got->line[y], want->line[y], SCREENBUF_W), 0)
                << "mode " << mode << ", row " << y;
        }
        destroy_bitmap(got);
        destroy_bitmap(want);
    }
}
