// The main part's 60 Hz handler, the snapshot and the presentation of frames.
#include <gtest/gtest.h>

#include "base/present.h"
#include "base/random.h"
#include "driver/loop.h"
#include "driver/sequence.h"
#include "driver/startup.h"
#include "base/state.h"
#include "field/field.h"
#include "overlays/extras.h"
#include "capture.h"
#include "support.h"

namespace
{

struct Handler : ::testing::Test {
    void SetUp() override
    {
        ZE_write(flags.logo_clock, 10);
        ZE_write(flags.part_clock, 20);
        ZE_write(flags.scroll_clock, -100);
        ZE_write(flags.dot_phase, 198);
        ZE_write(flags.flash, FLASH_IDLE);
        ZE_write(flags.mode, int16_t{4});
        ZE_write(flags.wave, int16_t{0});
        ZE_write(flags.hold, int16_t{0});
        ZE_write(flags.move_delay, int16_t{0});
        ZE_srand(1);
        ZE_assign_iso_field(4);
    }
};

} // namespace

TEST_F(Handler, OneTickAdvancesEveryClock)
{
    ZE_track_stuff();
    EXPECT_EQ(ZE_read(flags.logo_clock), 11);
    EXPECT_EQ(ZE_read(flags.part_clock), 21);
    EXPECT_EQ(ZE_read(flags.scroll_clock), -99);
    EXPECT_EQ(ZE_read(flags.dot_phase), 199);
    EXPECT_EQ(ZE_read(flags.wave), 1);
    EXPECT_EQ(ZE_read(flags.move_delay), 1);
    ZE_track_stuff();
    EXPECT_EQ(ZE_read(flags.dot_phase), 0) << "the dot phase runs 0..199";
}

TEST_F(Handler, FlashCountsDownToRestoreAndThenStays)
{
    for (int16_t start : {0, 1}) {
        ZE_write(flags.flash, start);
        ZE_track_stuff();
        EXPECT_EQ(ZE_read(flags.flash), FLASH_RESTORE) << "from " << start;
    }
    ZE_write(flags.flash, int16_t{2});
    ZE_track_stuff();
    EXPECT_EQ(ZE_read(flags.flash), 1);
    for (int16_t quiet : {FLASH_RESTORE, FLASH_IDLE}) {
        ZE_write(flags.flash, quiet);
        ZE_track_stuff();
        EXPECT_EQ(ZE_read(flags.flash), quiet);
    }
}

// The motion step is the handler's last action, so it sees the hold the
// wave step of the same tick left: the tick that ends a cycle moves nothing.
TEST_F(Handler, TheMotionStepSeesThisTicksWave)
{
    ZE_write(flags.wave, int16_t{254});
    ZE_write(flags.move_delay, MOVE_DIVIDER);
    ZE_track_stuff();
    EXPECT_EQ(ZE_read(flags.wave), 255);
    EXPECT_EQ(ZE_read(flags.hold), CYCLE_HOLD);
    EXPECT_EQ(ZE_read(flags.move_delay), MOVE_DIVIDER);
}

TEST(Snapshot, CopiesTheClockAndTheFlashSignExtended)
{
    ZE_write(flags.scroll_clock, 12345);
    ZE_write(flags.flash, FLASH_RESTORE);
    ZE_take_snapshot();
    EXPECT_EQ(snap.scroll_clock, 12345);
    EXPECT_EQ(snap.flash, -2);
    ZE_write(flags.scroll_clock, 1);
    EXPECT_EQ(snap.scroll_clock, 12345) << "the copy holds still";
}

TEST(Startup, InitialValues)
{
    TT_enter_workdir(false);
    ZE_write(flags.flash, int16_t{7}); // left alone: zero at load in the real program
    ZE_write(cels.x[3], int16_t{9});
    ZE_initialize_variables();
    EXPECT_EQ(ZE_read(flags.scroll_clock), -100);
    EXPECT_EQ(ZE_read(flags.dot_phase), 0);
    EXPECT_EQ(ZE_read(flags.mode), 4);
    EXPECT_EQ(ZE_read(flags.field), 0);
    EXPECT_EQ(ZE_read(flags.done), 0);
    EXPECT_EQ(ZE_read(flags.hold), 0);
    EXPECT_EQ(ZE_read(flags.vsync), 0);
    EXPECT_EQ(ZE_read(flags.flash), 7);
    EXPECT_EQ(ZE_read(cels.x[3]), 0);
    ASSERT_NE(screenbuf, nullptr);
    EXPECT_EQ(screenbuf->w, 320);
    EXPECT_EQ(screenbuf->h, 240);
    EXPECT_EQ(construct->w, 320);
    EXPECT_EQ(construct->h, 200);
}

namespace
{

// A memory bitmap stands in for the 640 x 480 screen.
struct Present : ::testing::Test {
    BITMAP *frame;
    PALETTE shot_palette;
    void SetUp() override
    {
        TT_enter_workdir(false);
        screen = create_bitmap(640, 480);
        frame = create_bitmap(320, 240);
        for (int y = 0; y < 240; y++) {
            for (int x = 0; x < 320; x++) {
                frame->line[y][x] = static_cast<unsigned char>(x ^ y);
            }
        }
        for (int i = 0; i < PAL_SIZE; i++) {
            shot_palette[i].r = static_cast<unsigned char>(i / 4);
            shot_palette[i].g = static_cast<unsigned char>(63 - i / 4);
            shot_palette[i].b = 7;
        }
        ZE_write(flags.vsync, uint8_t{0});
        key[KEY_SPACE] = 0;
    }
    void TearDown() override
    {
        key[KEY_SPACE] = 0;
        destroy_bitmap(screen);
        screen = NULL;
    }
};

} // namespace

TEST_F(Present, TheFrameIsShownDoubled)
{
    ZE_final_pass(frame, shot_palette);
    for (int y = 0; y < 480; y++) {
        for (int x = 0; x < 640; x++) {
            ASSERT_EQ(screen->line[y][x], frame->line[y / 2][x / 2]) << x << "," << y;
        }
    }
    EXPECT_TRUE(TT_read_file("capture.pcx").empty()) << "no screenshot without Space";
}

TEST_F(Present, SpaceSavesTheFrameWithThePaletteOnShow)
{
    key[KEY_SPACE] = 1;
    ZE_final_pass(frame, shot_palette);
    PALETTE read_back;
    BITMAP *shot = load_pcx("capture.pcx", read_back);
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->w, 320);
    EXPECT_EQ(shot->h, 240);
    EXPECT_EQ(CP_pixel_checksum(shot), CP_pixel_checksum(frame));
    EXPECT_EQ(CP_palette_checksum(read_back), CP_palette_checksum(shot_palette));

    // Every frame while Space is down writes it again.
    clear_bitmap(frame);
    ZE_final_pass(frame, shot_palette);
    BITMAP *again = load_pcx("capture.pcx", read_back);
    EXPECT_EQ(CP_pixel_checksum(again), CP_pixel_checksum(frame));
}
