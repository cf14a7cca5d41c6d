// The picture sequence and the flash: when pictures change, what a change
// resets, the flash's arithmetic and its course over ticks and frames; and
// the generator that draws the modes.
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "driver/loop.h"
#include "driver/sequence.h"
#include "base/random.h"
#include "base/state.h"
#include "field/field.h"
#include "overlays/extras.h"
#include "resources/archive.h"
#include "support.h"

namespace
{

int component(const RGB &c, int which)
{
    return which == 0 ? c.r : which == 1 ? c.g : c.b;
}

// Ten palettes that differ from each other and use the whole 0..63 range.
void fill_palettes(void)
{
    for (int p = 0; p < RES_PICTURES; p++) {
        for (int i = 0; i < PAL_SIZE; i++) {
            iso_pal[p][i].r = static_cast<unsigned char>((i + p) % 64);
            iso_pal[p][i].g = static_cast<unsigned char>((i * 3 + p) % 64);
            iso_pal[p][i].b = static_cast<unsigned char>((i * 7 + 5 * p) % 64);
        }
    }
}

bool same_palette(const RGB *a, const RGB *b)
{
    for (int i = 0; i < PAL_SIZE; i++) {
        if (a[i].r != b[i].r || a[i].g != b[i].g || a[i].b != b[i].b) {
            return false;
        }
    }
    return true;
}

struct Sequence : ::testing::Test {
    void SetUp() override
    {
        fill_palettes();
        ZE_write(flags.field, int16_t{0});
        ZE_write(flags.mode, int16_t{4});
        ZE_write(flags.part_clock, 0);
        ZE_write(flags.flash, FLASH_IDLE);
        ZE_write(flags.done, uint8_t{0});
        ZE_write(flags.wave, int16_t{77});
        ZE_write(flags.hold, int16_t{0});
        for (int i = 0; i < LETTERS; i++) {
            ZE_write(_logo.y[i], itofix(85));
        }
        ZE_srand(5);
        ZE_assign_iso_field(4);
        set_palette(iso_pal[0]);
    }
};

} // namespace

// The same colours as the first, x87 extended-precision form wherever that
// was exact: every move toward a brighter target (the demo's flashes toward
// white among them) and every brightness of a 0..63 component.
TEST(TintPalette, AgreesWithExtendedPrecisionWhereThatWasExact)
{
    PALETTE source;
    for (int i = 0; i < PAL_SIZE; i++) {
        source[i].r = source[i].g = source[i].b = static_cast<unsigned char>(i % 64);
    }
    for (int target = 0; target <= 63; target++) {
        for (int percent = 0; percent <= 100; percent++) {
            const long double f = percent == 100 ? 0.0L : percent / 100.0L;
            ZE_tint_palette(source, target, target, target, percent, 0, 1);
            for (int s = 0; s <= target; s++) {
                ASSERT_EQ(tinted[s].g, static_cast<int>(s + (target - s) * f))
                    << "component " << s << " toward " << target << " by " << percent;
            }
        }
    }
    for (int brightness = 1; brightness <= 99; brightness++) {
        ZE_tint_palette(source, 63, 63, 63, 0, brightness, 1);
        for (int s = 0; s <= 63; s++) {
            ASSERT_EQ(tinted[s].b, static_cast<int>(s / 100.0L * brightness))
                << "component " << s << " at brightness " << brightness;
        }
    }
}

TEST(TintPalette, NamedValues)
{
    PALETTE source;
    for (int i = 0; i < PAL_SIZE; i++) {
        source[i].r = source[i].g = source[i].b = static_cast<unsigned char>(i % 64);
    }
    ZE_tint_palette(source, 63, 63, 63, 99, 0, 1);
    EXPECT_EQ(tinted[0].r, 62); // 62.37, not rounded up to 63
    ZE_tint_palette(source, 0, 0, 0, 60, 0, 1);
    EXPECT_EQ(tinted[25].r, 10); // exactly 10: extended precision made it 9.99..., so 9
    ZE_tint_palette(source, 63, 63, 63, 50, 0, 1);
    EXPECT_EQ(tinted[0].g, 31);
    EXPECT_EQ(tinted[1].g, 32);
    EXPECT_EQ(tinted[62].g, 62);
    // A full hundred percent is no tint at all, like zero.
    for (int percent : {0, 100}) {
        ZE_tint_palette(source, 63, 0, 30, percent, 0, 1);
        EXPECT_TRUE(same_palette(source, tinted)) << percent;
    }
    // Brightness divides first and multiplies after: 63 at 50 gives 31.
    ZE_tint_palette(source, 63, 63, 63, 0, 50, 1);
    EXPECT_EQ(tinted[63].r, 31);
    ZE_tint_palette(source, 63, 63, 63, 0, 100, 1);
    EXPECT_EQ(tinted[63].r, 63);
}

TEST(TintPalette, HalfPaletteLeavesTheLowerEntriesAlone)
{
    PALETTE source;
    for (int i = 0; i < PAL_SIZE; i++) {
        source[i].r = source[i].g = source[i].b = 10;
        tinted[i].r = tinted[i].g = tinted[i].b = 1;
    }
    ZE_tint_palette(source, 63, 63, 63, 50, 0, 0);
    EXPECT_EQ(tinted[0].r, 1);
    EXPECT_EQ(tinted[127].b, 1);
    EXPECT_EQ(tinted[128].r, 36);
    EXPECT_EQ(tinted[255].g, 36);
}

TEST_F(Sequence, NothingChangesUntilThePictureHasRunItsTime)
{
    ZE_write(flags.part_clock, 1568);
    ZE_track_transition();
    EXPECT_EQ(ZE_read(flags.field), 0);
    EXPECT_EQ(ZE_read(flags.part_clock), 1568);
    EXPECT_EQ(ZE_read(flags.wave), 77);
}

TEST_F(Sequence, AChangeMovesEverythingOnToTheNextPicture)
{
    ZE_write(flags.part_clock, 1569);
    for (int k = 0; k < TILES; k++) {
        ZE_write(cels.x[k], int16_t{0}); // tiles out of place, to see the new layout
    }
    ZE_srand(11);
    const int expected_mode = (ZE_rand() % 1000) / 250 + 1;
    ZE_srand(11);
    ZE_track_transition();

    EXPECT_EQ(ZE_read(flags.field), 1);
    PALETTE shown;
    get_palette(shown);
    EXPECT_TRUE(same_palette(shown, iso_pal[1]));
    EXPECT_EQ(ZE_read(flags.flash), FLASH_START);
    EXPECT_EQ(ZE_read(flags.mode), expected_mode);
    EXPECT_EQ(ZE_read(flags.part_clock), 0);
    EXPECT_EQ(ZE_read(flags.wave), 0);
    EXPECT_EQ(ZE_read(flags.hold), CHANGE_HOLD);
    EXPECT_EQ(ZE_read(flags.done), 0);
    for (int k = 0; k < TILES; k++) {
        ASSERT_EQ(cels.x[k], cels.home_x[k]);
    }
    for (int i = 0; i < LETTERS; i++) {
        EXPECT_EQ(ZE_read(_logo.y[i]), itofix(89)) << "letter " << i;
    }
}

TEST_F(Sequence, TheModeComesFromOneGeneratorDrawAndTheLayoutFollows)
{
    // mode = draw mod 1000 / 250 + 1, then the layout's draws for that mode.
    for (unsigned seed = 1; seed < 40; seed++) {
        ZE_write(flags.field, int16_t{0});
        ZE_write(flags.part_clock, 2000);
        ZE_srand(seed);
        const int draw = ZE_rand();
        const int mode = (draw % 1000) / 250 + 1;
        ASSERT_GE(mode, 1);
        ASSERT_LE(mode, 4);
        ZE_srand(seed);
        ZE_track_transition();
        ASSERT_EQ(ZE_read(flags.mode), mode);
        const int after = ZE_rand();
        ZE_srand(seed);
        ZE_rand();
        for (int n = 0; n < ((mode == 2 || mode == 3) ? 942 : 471); n++) {
            ZE_rand();
        }
        ASSERT_EQ(after, ZE_rand()) << "seed " << seed;
    }
}

TEST_F(Sequence, AfterTheTenthPictureOnlyDoneIsSet)
{
    ZE_write(flags.field, int16_t{9});
    ZE_write(flags.part_clock, 1600);
    ZE_write(flags.mode, int16_t{2});
    set_palette(iso_pal[9]);
    for (int call = 0; call < 3; call++) {
        ZE_track_transition();
        EXPECT_EQ(ZE_read(flags.done), 1);
        EXPECT_EQ(ZE_read(flags.field), 9);
        EXPECT_EQ(ZE_read(flags.mode), 2);
        EXPECT_EQ(ZE_read(flags.part_clock), 1600);
        EXPECT_EQ(ZE_read(flags.wave), 77);
        EXPECT_EQ(ZE_read(_logo.y[3]), itofix(85));
    }
    PALETTE shown;
    get_palette(shown);
    EXPECT_TRUE(same_palette(shown, iso_pal[9]));
}

// Ten pictures of 1569 ticks each, then done.
TEST_F(Sequence, TenPicturesThenDone)
{
    ZE_write(flags.flash, int16_t{0});
    int changes_at[10] = {0};
    for (int tick = 1; tick <= 10 * 1569 + 5; tick++) {
        ZE_track_stuff();
        const int16_t before = ZE_read(flags.field);
        ZE_track_transition();
        if (ZE_read(flags.field) != before) {
            changes_at[ZE_read(flags.field)] = tick;
        }
        if (ZE_read(flags.done)) {
            EXPECT_EQ(tick, 10 * 1569);
            break;
        }
    }
    for (int p = 1; p < 10; p++) {
        EXPECT_EQ(changes_at[p], 1569 * p) << "picture " << p;
    }
    EXPECT_EQ(ZE_read(flags.done), 1);
}

// After a change the frames show the picture's own colours, then 99 % of
// the way to white, one percent less each tick, and after the hundredth
// tick the exact palette again; then the palette is left alone.
TEST_F(Sequence, FlashRunsFromNearWhiteBackToThePicture)
{
    ZE_write(flags.part_clock, 1569);
    ZE_track_transition();

    PALETTE shown;
    ZE_take_snapshot();
    ZE_modify_palette();
    get_palette(shown);
    EXPECT_TRUE(same_palette(shown, iso_pal[1])) << "the change's own frame";

    for (int tick = 1; tick <= 99; tick++) {
        ZE_track_stuff();
        ASSERT_EQ(ZE_read(flags.flash), 100 - tick);
        ZE_take_snapshot();
        ZE_modify_palette();
        get_palette(shown);
        const int percent = 100 - tick;
        for (int i = 0; i < PAL_SIZE; i += 37) {
            for (int c = 0; c < 3; c++) {
                const int s = component(iso_pal[1][i], c);
                ASSERT_EQ(component(shown[i], c), (100 * s + (63 - s) * percent) / 100)
                    << "tick " << tick << " entry " << i;
            }
        }
    }
    ZE_track_stuff();
    EXPECT_EQ(ZE_read(flags.flash), FLASH_RESTORE);
    ZE_track_stuff(); // the restore waits for a frame, whatever the ticks
    EXPECT_EQ(ZE_read(flags.flash), FLASH_RESTORE);
    ZE_take_snapshot();
    ZE_modify_palette();
    get_palette(shown);
    EXPECT_TRUE(same_palette(shown, iso_pal[1]));
    EXPECT_EQ(ZE_read(flags.flash), FLASH_IDLE);

    set_palette(black_palette);
    ZE_track_stuff();
    ZE_take_snapshot();
    ZE_modify_palette();
    get_palette(shown);
    EXPECT_TRUE(same_palette(shown, black_palette)) << "idle leaves the palette alone";
}

// The main part starts with the flash at 0: the first frame shows the
// picture's colours, the first tick asks for the restore.
TEST_F(Sequence, TheFirstFrameTintsByNothing)
{
    ZE_write(flags.flash, int16_t{0});
    ZE_take_snapshot();
    ZE_modify_palette();
    PALETTE shown;
    get_palette(shown);
    EXPECT_TRUE(same_palette(shown, iso_pal[0]));
    ZE_track_stuff();
    EXPECT_EQ(ZE_read(flags.flash), FLASH_RESTORE);
}

TEST(StatusLog, AppendsOneLinePerCall)
{
    TT_enter_workdir(false);
    ZE_status_log_i("picture", 3);
    ZE_status_log_i("mode", -1);
    EXPECT_EQ(TT_read_file("logfile"), " picture 3\n mode -1\n");

    // A link of that name is not followed; a FIFO neither blocks the call
    // nor takes the line, whether a reader holds it open or not.
    TT_write_file("precious", "k");
    ASSERT_EQ(unlink("logfile"), 0);
    ASSERT_EQ(symlink("precious", "logfile"), 0);
    ZE_status_log_i("picture", 4);
    EXPECT_EQ(TT_read_file("precious"), "k");
    ASSERT_EQ(unlink("logfile"), 0);
    ASSERT_EQ(mkfifo("logfile", 0600), 0);
    ZE_status_log_i("picture", 5);
    const int reader = open("logfile", O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ZE_status_log_i("picture", 6);
    char byte;
    EXPECT_EQ(read(reader, &byte, 1), 0) << "the line went into the FIFO";
    close(reader);
}

// glibc's numbers for seeds of 2^31 and more, 0 taken as 1, and long runs.
TEST(Generator, GivesTheCLibrarysNumbers)
{
    for (unsigned seed : {0u, 1u, 7u, 127773u, 2147483647u, 2147483648u, 4000000000u, UINT_MAX}) {
        srand(seed);
        ZE_srand(seed);
        for (int n = 0; n < 300000; n++) {
            ASSERT_EQ(ZE_rand(), rand()) << "seed " << seed << " draw " << n;
        }
    }
}
