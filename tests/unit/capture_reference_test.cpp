// The recorder against the demo's own frame steps: run here tick by tick on
// the same seed, every frame must have the checksums the recorder prints
// for it, through the intro, its fade, and the main part past its first
// change of picture and the flash that follows.
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <string>

#include "driver/loop.h"
#include "driver/sequence.h"
#include "base/system.h"
#include "driver/startup.h"
#include "base/state.h"
#include "intro/tulor.h"
#include "overlays/extras.h"
#include "resources/archive.h"
#include "capture.h"
#include "support.h"

namespace
{

struct recorded {
    std::string phase;
    long phase_index;
    uint32_t pixels;
    uint32_t palette;
};

const unsigned SEED = 7;
const long FADE_FRAMES = 27;               // 32 retraces at 70 Hz make 27.4 frames at 60 Hz
const long MAIN_FRAMES = PART_TICKS + 110; // the first change and its whole flash

// Runs the recorder for `frames` frames and reads its checksum lines.
std::map<long, recorded> run_recorder(long frames)
{
    char command[1024];
    snprintf(command, sizeof command,
             "'%s/tessera-capture' --checksums --quiet --seed %u --data '%s' --duration %.6f",
             TESSERA_BUILD_DIR, SEED, TESSERA_DATA_DIR, frames / 60.0);
    std::map<long, recorded> lines;
    FILE *out = popen(command, "r");
    if (out == NULL) {
        return lines;
    }
    long index;
    char phase[32];
    recorded r;
    while (fscanf(out, "%ld %31s %ld %x %x", &index, phase, &r.phase_index, &r.pixels,
                  &r.palette) == 5) {
        r.phase = phase;
        lines[index] = r;
    }
    EXPECT_EQ(pclose(out), 0) << command;
    return lines;
}

struct Reference {
    std::map<long, recorded> &recorder;
    long frame = 0;

    // Compares the frame now in screenbuf and the palette in force.
    ::testing::AssertionResult matches(const char *phase, long phase_index)
    {
        PALETTE pal;
        get_palette(pal);
        const auto it = recorder.find(frame);
        const long at = frame++;
        if (it == recorder.end()) {
            return ::testing::AssertionFailure() << "the recorder printed no frame " << at;
        }
        const recorded &r = it->second;
        if (r.phase != phase || r.phase_index != phase_index ||
            r.pixels != CP_pixel_checksum(screenbuf) || r.palette != CP_palette_checksum(pal)) {
            char text[160];
            snprintf(text, sizeof text,
                     "frame %ld: recorder %s %ld %08x %08x, demo %s %ld %08x %08x", at,
                     r.phase.c_str(), r.phase_index, r.pixels, r.palette, phase, phase_index,
                     CP_pixel_checksum(screenbuf), CP_palette_checksum(pal));
            return ::testing::AssertionFailure() << text;
        }
        return ::testing::AssertionSuccess();
    }
};

} // namespace

TEST(Recorder, EveryFrameIsTheDemosOwnAfterTheSameTicks)
{
    std::map<long, recorded> recorder = run_recorder(INTRO_TICKS + FADE_FRAMES + MAIN_FRAMES);
    ASSERT_EQ(recorder.size(), static_cast<size_t>(INTRO_TICKS + FADE_FRAMES + MAIN_FRAMES));
    Reference ref{recorder};

    TT_enter_workdir(true);
    ZE_use_fixed_seed = true;
    ZE_fixed_seed = SEED;
    ZE_initialize_variables();
    ZE_load_resources();

    // The intro: frame n is drawn after n + 1 ticks of its handler.
    TU_begin_intro();
    long intro = 0;
    do {
        TU_animate_cells();
        TU_draw_frame(screenbuf);
        ASSERT_TRUE(ref.matches("intro", intro++));
    } while (!ZE_read(tulor.done));
    EXPECT_EQ(intro, INTRO_TICKS);

    // The fade keeps the last frame and moves the palette towards black in
    // steps of fade_out(4): 2 per retrace, 1 or 2 retraces per frame.
    PALETTE shown, faded;
    get_palette(shown);
    int level = 0;
    for (long k = 0; k < FADE_FRAMES; k++) {
        const recorded &r = recorder[ref.frame];
        bool found = false;
        for (int step : {2, 4}) {
            fade_interpolate(shown, black_palette, faded, level + step, 0, PAL_SIZE - 1);
            if (CP_palette_checksum(faded) == r.palette) {
                level += step;
                found = true;
                break;
            }
        }
        ASSERT_TRUE(found) << "fade frame " << k << " after level " << level;
        set_palette(faded);
        ASSERT_TRUE(ref.matches("intro-fade", k));
        TU_animate_cells();
    }
    EXPECT_EQ(level, 62) << "the last faded frame is one step short of black";
    EXPECT_EQ(recorder[ref.frame].phase, "main");

    // The main part: two letter ticks and one clock tick before every frame.
    TU_end_intro();
    ZE_begin_main_part();
    set_palette(iso_pal[ZE_read(flags.field)]);
    for (long m = 0; m < MAIN_FRAMES; m++) {
        ZE_tick_main_part();
        ZE_draw_frame();
        ASSERT_TRUE(ref.matches("main", m));
    }
    EXPECT_EQ(ZE_read(flags.field), 1) << "the run covers the first change of picture";
    EXPECT_EQ(ZE_read(flags.flash), FLASH_IDLE) << "and the flash after it";
}
