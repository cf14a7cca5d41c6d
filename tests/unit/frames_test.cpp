// Whole main-part frames, golden: the real handlers and the real drawing,
// one 60 Hz tick and two 120 Hz calls before each frame, on a fixed seed
// and the synthetic resources of the test support, compared at chosen ticks
// with checksums of the frame and the palette on show. The synthetic
// resources keep these values independent of the release art.
#include <cstdio>
#include <gtest/gtest.h>
#include <map>

#include "driver/loop.h"
#include "driver/startup.h"
#include "base/state.h"
#include "resources/archive.h"
#include "capture.h"
#include "support.h"

namespace
{

struct golden {
    uint32_t frame;
    uint32_t palette;
};

// Tick: 1 first frame after a tick; 255 end of the first wave cycle; 600
// letters all launched, tiles moving; 1569 the first change of picture,
// shown in its own colours; 1570 and 1620 the flash at 99 and 49 percent;
// 1670 the flash restored; 3200 mid-way through the third picture.
const std::map<int, golden> GOLDEN = {
    {1, {1323200734u, 974149829u}},    {255, {3003487903u, 974149829u}},
    {600, {1219598401u, 974149829u}},  {1569, {3161111396u, 542354373u}},
    {1570, {940033172u, 1952692297u}}, {1620, {587634424u, 1490366349u}},
    {1670, {930606220u, 542354373u}},  {3200, {2869520977u, 2555006033u}},
};

} // namespace

TEST(Frames, GoldenFramesOfTheMainPart)
{
    TT_start_main_part(2024);

    const bool print = getenv("TESSERA_PRINT_GOLDEN") != NULL;
    for (int tick = 1; tick <= GOLDEN.rbegin()->first; tick++) {
        ZE_tick_main_part();
        ZE_draw_frame();
        auto expected = GOLDEN.find(tick);
        if (expected == GOLDEN.end()) {
            continue;
        }
        PALETTE shown;
        get_palette(shown);
        const golden got = {CP_pixel_checksum(screenbuf), CP_palette_checksum(shown)};
        if (print) {
            printf("    {%d, {%uu, %uu}},\n", tick, got.frame, got.palette);
            continue;
        }
        EXPECT_EQ(got.frame, expected->second.frame) << "frame at tick " << tick;
        EXPECT_EQ(got.palette, expected->second.palette) << "palette at tick " << tick;
    }
}
