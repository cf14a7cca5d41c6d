// The tile field: layout, the wave and rest rhythm, the four motion modes and
// the drawing of the diamonds.
#include <cstdlib>
#include <gtest/gtest.h>

#include "base/random.h"
#include "base/state.h"
#include "field/field.h"
#include "resources/archive.h"

namespace
{

bool all_home(void)
{
    for (int k = 0; k < TILES; k++) {
        if (cels.x[k] != cels.home_x[k] || cels.y[k] != cels.home_y[k]) {
            return false;
        }
    }
    return true;
}

// The wave and motion state at the start of the main part, field laid out.
void start_field(int mode)
{
    ZE_srand(7);
    ZE_write(flags.mode, static_cast<int16_t>(mode));
    ZE_write(flags.wave, int16_t{0});
    ZE_write(flags.hold, int16_t{0});
    ZE_write(flags.move_delay, int16_t{0});
    ZE_assign_iso_field(mode);
}

// The field's share of one 60 Hz tick: the wave step, then the motion step.
void field_tick(void)
{
    ZE_step_wave();
    ZE_move_cels();
}

// Ticks until the wave reads `angle` after a tick.
void tick_until_wave(int angle)
{
    for (int guard = 0; guard < 1000; guard++) {
        field_tick();
        if (ZE_read(flags.wave) == angle) {
            return;
        }
    }
    FAIL() << "the wave never reached " << angle;
}

} // namespace

TEST(FieldLayout, TilesSitOnTheStaggeredGrid)
{
    ZE_srand(1);
    ZE_assign_iso_field(4);
    const int expected[][3] = {{0, 18, 4},    {19, 284, 4}, {20, 11, 12},
                               {40, 291, 12}, {41, 18, 20}, {470, 284, 180}};
    for (const auto &e : expected) {
        EXPECT_EQ(cels.home_x[e[0]], e[1]) << "tile " << e[0];
        EXPECT_EQ(cels.home_y[e[0]], e[2]) << "tile " << e[0];
    }
    EXPECT_TRUE(all_home());
}

TEST(FieldLayout, DirectionsComeFromTheGeneratorInTileOrder)
{
    for (int mode = 1; mode <= 4; mode++) {
        const bool phases = mode == 2 || mode == 3;
        ZE_srand(99);
        ZE_assign_iso_field(mode);
        const int after_layout = ZE_rand();

        // Replay: one class per tile, then in the bobbing modes one phase per tile.
        ZE_srand(99);
        int classes[TILES];
        for (int k = 0; k < TILES; k++) {
            classes[k] = (ZE_rand() % 512) / 128;
        }
        for (int k = 0; k < TILES; k++) {
            const int expected = phases ? (ZE_rand() % 1024) / 4 : classes[k];
            ASSERT_EQ(cels.dir[k], expected) << "mode " << mode << " tile " << k;
            ASSERT_LE(cels.dir[k], phases ? 255 : 3);
        }
        EXPECT_EQ(after_layout, ZE_rand()) << "mode " << mode << " drew a different count";
    }
}

// The step values come from the library's fixed-point sine and cosine,
// rounded to the nearest integer with halves going up.
TEST(FieldMotion, StepValuesFollowTheCircle)
{
    for (int angle = 0; angle < 256; angle++) {
        start_field(1);
        ZE_write(cels.dir[0], int16_t{0}); // class 0: dx = S, dy = C
        ZE_write(flags.wave, static_cast<int16_t>(angle));
        ZE_write(flags.move_delay, MOVE_DIVIDER);
        ZE_move_cels();
        const int s = (angle >= 22 && angle <= 106) ? 1 : (angle >= 150 && angle <= 234) ? -1 : 0;
        const int c = (angle <= 42 || angle >= 214) ? 1 : (angle >= 86 && angle <= 170) ? -1 : 0;
        ASSERT_EQ(cels.x[0] - cels.home_x[0], s) << "angle " << angle;
        ASSERT_EQ(cels.y[0] - cels.home_y[0], c) << "angle " << angle;
    }
}

TEST(FieldMotion, FirstStepOnTheFifthTickThenEveryFifth)
{
    start_field(4);
    int steps_seen = 0;
    for (int tick = 1; tick <= 60; tick++) {
        field_tick();
        const bool stepped = ZE_read(flags.move_delay) == 0;
        EXPECT_EQ(stepped, tick % 5 == 0) << "tick " << tick;
        steps_seen += stepped;
    }
    EXPECT_EQ(steps_seen, 12);
}

// At the end of a cycle the field snaps home and rests 70 ticks: 69 ticks
// with no motion at all, the 70th lets the divider count with the wave
// still at 255, and the 71st brings the wave round to 0.
TEST(FieldMotion, RestAfterTheCycle)
{
    start_field(4);
    tick_until_wave(255);
    EXPECT_EQ(ZE_read(flags.hold), CYCLE_HOLD);
    EXPECT_TRUE(all_home());

    const int16_t delay = ZE_read(flags.move_delay);
    for (int tick = 1; tick <= 69; tick++) {
        field_tick();
        ASSERT_EQ(ZE_read(flags.move_delay), delay) << "rest tick " << tick;
        ASSERT_EQ(ZE_read(flags.wave), 255);
        ASSERT_TRUE(all_home());
    }
    field_tick();
    EXPECT_EQ(ZE_read(flags.hold), 0);
    EXPECT_EQ(ZE_read(flags.wave), 255);
    EXPECT_EQ(ZE_read(flags.move_delay), delay == MOVE_DIVIDER ? 0 : delay + 1);
    field_tick();
    EXPECT_EQ(ZE_read(flags.wave), 0);
}

TEST(FieldMotion, CyclesComeEvery326TicksAfterTheFirst)
{
    start_field(4);
    int ends[3];
    int found = 0;
    for (int tick = 1; found < 3; tick++) {
        const int16_t before = ZE_read(flags.wave);
        field_tick();
        if (ZE_read(flags.wave) == 255 && before == 254) {
            ends[found++] = tick;
        }
    }
    EXPECT_EQ(ends[0], 255);
    EXPECT_EQ(ends[1] - ends[0], 326);
    EXPECT_EQ(ends[2] - ends[1], 326);
}

// A change of picture sets the wave to 0 and the hold to 45 and lays the
// field out: 44 still ticks, the divider counts in the 45th, and the wave
// first moves in the 46th.
TEST(FieldMotion, RestAfterAPictureChange)
{
    start_field(2);
    for (int tick = 0; tick < 100; tick++) {
        field_tick();
    }
    ZE_write(flags.wave, int16_t{0});
    ZE_write(flags.hold, int16_t{45});
    ZE_assign_iso_field(3);
    ZE_write(flags.mode, int16_t{3});

    const int16_t delay = ZE_read(flags.move_delay);
    for (int tick = 1; tick <= 44; tick++) {
        field_tick();
        ASSERT_EQ(ZE_read(flags.move_delay), delay);
        ASSERT_EQ(ZE_read(flags.wave), 0);
        ASSERT_TRUE(all_home());
    }
    field_tick();
    EXPECT_EQ(ZE_read(flags.wave), 0);
    EXPECT_NE(ZE_read(flags.move_delay), delay);
    field_tick();
    EXPECT_EQ(ZE_read(flags.wave), 1);
}

// Over whole cycles in each mode: steps of at most one pixel per axis, the
// axis each mode leaves alone stays, excursions stay within 17 pixels, and
// the tiles come back as the mode promises before the layout snaps them home.
TEST(FieldMotion, ExcursionsPerMode)
{
    for (int mode = 1; mode <= 4; mode++) {
        start_field(mode);
        int max_dx = 0, max_dy = 0;
        for (int tick = 0; tick < 2 * 326; tick++) {
            int16_t before_x[TILES], before_y[TILES];
            for (int k = 0; k < TILES; k++) {
                before_x[k] = ZE_read(cels.x[k]);
                before_y[k] = ZE_read(cels.y[k]);
            }
            ZE_step_wave();
            const bool laid_out = ZE_read(flags.wave) == 255 && ZE_read(flags.hold) == CYCLE_HOLD;
            if (laid_out) {
                // Just before the snap home, the tiles are nearly back.
                const int slack = (mode == 2 || mode == 3) ? 2 : (mode == 1 ? 1 : 0);
                for (int k = 0; k < TILES; k++) {
                    ASSERT_LE(abs(before_x[k] - cels.home_x[k]), slack) << "mode " << mode;
                    ASSERT_LE(abs(before_y[k] - cels.home_y[k]), slack) << "mode " << mode;
                }
                continue;
            }
            ZE_move_cels();
            for (int k = 0; k < TILES; k++) {
                const int dx = cels.x[k] - before_x[k], dy = cels.y[k] - before_y[k];
                ASSERT_LE(abs(dx), 1);
                ASSERT_LE(abs(dy), 1);
                ASSERT_FALSE(mode == 2 && dx != 0) << "mode 2 moves only vertically";
                ASSERT_FALSE(mode == 3 && dy != 0) << "mode 3 moves only horizontally";
                const int ox = cels.x[k] - cels.home_x[k], oy = cels.y[k] - cels.home_y[k];
                if (mode == 4 && cels.dir[k] == 0) {
                    ASSERT_EQ(ox, oy) << "class 0 keeps to the down-right diagonal";
                    ASSERT_GE(ox, 0);
                }
                max_dx = std::max(max_dx, abs(ox));
                max_dy = std::max(max_dy, abs(oy));
            }
        }
        EXPECT_LE(max_dx, 17) << "mode " << mode;
        EXPECT_LE(max_dy, mode == 1 ? 9 : 17) << "mode " << mode;
        EXPECT_GE(std::max(max_dx, max_dy), 9) << "mode " << mode << " hardly moved";
    }
}

TEST(FieldMotion, TilesOfAnUnknownClassStayInTheClassModes)
{
    start_field(4);
    ZE_write(cels.dir[5], int16_t{7});
    for (int tick = 0; tick < 200; tick++) {
        field_tick();
    }
    EXPECT_EQ(cels.x[5], cels.home_x[5]);
    EXPECT_EQ(cels.y[5], cels.home_y[5]);
    EXPECT_NE(cels.x[6], cels.home_x[6]);
}

namespace
{

const int MARK = 250; // what the frame holds where no tile draws

// A 320 x 200 picture whose every pixel tells where it came from.
BITMAP *make_picture(int salt)
{
    BITMAP *picture = create_bitmap(320, 200);
    for (int y = 0; y < 200; y++) {
        for (int x = 0; x < 320; x++) {
            picture->line[y][x] = static_cast<unsigned char>((x * 7 + y * 13 + salt) % 240);
        }
    }
    return picture;
}

struct DrawField : ::testing::Test {
    BITMAP *frame;
    void SetUp() override
    {
        iso_backs[0] = make_picture(0);
        iso_backs[1] = make_picture(101);
        ZE_write(flags.field, int16_t{0});
        ZE_srand(3);
        ZE_assign_iso_field(4);
        frame = create_bitmap(320, 240);
        clear_to_color(frame, MARK);
    }
};

} // namespace

TEST_F(DrawField, AtHomeTheFieldIsThePictureWithSawToothEdges)
{
    ZE_draw_iso_field(frame);
    int covered = 0;
    for (int y = 0; y < 240; y++) {
        for (int x = 0; x < 320; x++) {
            if (frame->line[y][x] != MARK) {
                ASSERT_EQ(frame->line[y][x], iso_backs[0]->line[y][x]) << x << "," << y;
                covered++;
            }
        }
    }
    EXPECT_EQ(covered, TILES * 112);
    // The rectangle x 18..297, y 10..187 is covered throughout.
    for (int y = 10; y <= 187; y++) {
        for (int x = 18; x <= 297; x++) {
            ASSERT_NE(frame->line[y][x], MARK) << x << "," << y;
        }
    }
    const int in[][2] = {{24, 4}, {25, 4}, {18, 10}, {11, 18}, {11, 19}, {304, 18}};
    const int out[][2] = {{23, 4}, {26, 4}, {17, 10}, {11, 17}, {11, 20}, {305, 18}};
    for (const auto &p : in) {
        EXPECT_NE(frame->line[p[1]][p[0]], MARK) << p[0] << "," << p[1];
    }
    for (const auto &p : out) {
        EXPECT_EQ(frame->line[p[1]][p[0]], MARK) << p[0] << "," << p[1];
    }
}

TEST_F(DrawField, TilesOffTheEdgeAreClippedNotWrapped)
{
    // Tile 20 starts the first odd row at x 11; moved 17 left it reaches x -6.
    ZE_write(cels.x[20], int16_t{-6});
    ZE_draw_iso_field(frame);
    // Its widest row (diamond row 6, frame row 18): what is drawn at x was
    // sampled at x + 17, and the seven pixels left of x 0 are gone.
    for (int x = 0; x <= 7; x++) {
        EXPECT_EQ(frame->line[12 + 6][x], iso_backs[0]->line[18][x + 17]) << x;
    }
    // Nothing of it appears at the right edge.
    for (int y = 12; y < 26; y++) {
        for (int x = 305; x < 320; x++) {
            ASSERT_EQ(frame->line[y][x], MARK);
        }
    }
}

// Tiles strewn over all four edges and beyond, drawn by the field and by 112
// putpixel calls per tile, compared pixel for pixel: copied spans where the
// bitmap allows it must clip as putpixel does, to the bitmap's clip
// rectangle; other drawing modes and bitmaps go through putpixel itself.
TEST_F(DrawField, DrawsWhatPutpixelWouldOnAnyBitmap)
{
    const struct {
        const char *what;
        int depth, mode;
        int clip[4]; // x1, y1, x2, y2; all 0: the whole bitmap
        bool sub;    // drawn on a part of the bitmap
    } cases[] = {
        {"solid, the whole bitmap", 8, DRAW_MODE_SOLID, {0, 0, 0, 0}, false},
        {"solid, a smaller clip rectangle", 8, DRAW_MODE_SOLID, {7, 5, 300, 190}, false},
        {"a sub-bitmap", 8, DRAW_MODE_SOLID, {0, 0, 0, 0}, true},
        {"xor", 8, DRAW_MODE_XOR, {7, 5, 300, 190}, false},
        {"16 bits a pixel", 16, DRAW_MODE_SOLID, {0, 0, 0, 0}, false},
    };
    ZE_srand(11);
    for (int k = 0; k < TILES; k++) {
        ZE_write(cels.x[k], static_cast<int16_t>(ZE_rand() % 352 - 16));
        ZE_write(cels.y[k], static_cast<int16_t>(ZE_rand() % 272 - 16));
    }
    for (const auto &c : cases) {
        BITMAP *got = create_bitmap_ex(c.depth, 320, 240);
        BITMAP *want = create_bitmap_ex(c.depth, 320, 240);
        BITMAP *got_target = c.sub ? create_sub_bitmap(got, 21, 14, 250, 190) : got;
        BITMAP *want_target = c.sub ? create_sub_bitmap(want, 21, 14, 250, 190) : want;
        for (BITMAP *b : {got, want}) {
            for (int y = 0; y < 240; y++) {
                for (int x = 0; x < 320; x++) {
                    putpixel(b, x, y, (x + 3 * y) % 251);
                }
            }
        }
        if (c.clip[2] != 0) {
            set_clip_rect(got_target, c.clip[0], c.clip[1], c.clip[2], c.clip[3]);
            set_clip_rect(want_target, c.clip[0], c.clip[1], c.clip[2], c.clip[3]);
        }
        drawing_mode(c.mode, NULL, 0, 0);
        ZE_draw_iso_field(got_target);
        for (int k = 0; k < TILES; k++) {
            for (int r = 0; r < 14; r++) {
                const int inset = r < 7 ? 6 - r : r - 7;
                for (int j = inset; j < 14 - inset; j++) {
                    putpixel(want_target, cels.x[k] + j, cels.y[k] + r,
                             iso_backs[0]->line[cels.home_y[k] + r][cels.home_x[k] + j]);
                }
            }
        }
        drawing_mode(DRAW_MODE_SOLID, NULL, 0, 0);
        for (int y = 0; y < 240; y++) {
            for (int x = 0; x < 320; x++) {
                ASSERT_EQ(getpixel(got, x, y), getpixel(want, x, y))
                    << c.what << ": " << x << "," << y;
            }
        }
        if (c.sub) {
            destroy_bitmap(got_target);
            destroy_bitmap(want_target);
        }
        destroy_bitmap(got);
        destroy_bitmap(want);
    }
}

TEST_F(DrawField, LaterTilesLieOverEarlierOnes)
{
    // Tiles 0 and 1 on the same spot: tile 1's pixels show.
    ZE_write(cels.x[0], int16_t{100});
    ZE_write(cels.y[0], int16_t{215});
    ZE_write(cels.x[1], int16_t{100});
    ZE_write(cels.y[1], int16_t{215});
    ZE_draw_iso_field(frame);
    EXPECT_EQ(frame->line[215 + 6][107], iso_backs[0]->line[4 + 6][cels.home_x[1] + 7]);
}

TEST_F(DrawField, ChangingThePictureRedrawsEveryTileFromIt)
{
    ZE_write(flags.field, int16_t{1});
    ZE_draw_iso_field(frame);
    for (int y = 10; y <= 187; y++) {
        for (int x = 18; x <= 297; x++) {
            ASSERT_EQ(frame->line[y][x], iso_backs[1]->line[y][x]);
        }
    }
}

TEST_F(DrawField, ColourZeroIsDrawnToo)
{
    clear_bitmap(iso_backs[0]);
    ZE_draw_iso_field(frame);
    int zeros = 0;
    for (int y = 0; y < 240; y++) {
        for (int x = 0; x < 320; x++) {
            zeros += frame->line[y][x] == 0;
        }
    }
    EXPECT_EQ(zeros, TILES * 112);
}
