// Whole frames, golden. The main part's: the real handlers and the real
// drawing, one 60 Hz tick and two 120 Hz calls before each frame, on a fixed
// seed and the synthetic resources of the test support, compared at chosen
// ticks with checksums of the frame and the palette on show; the synthetic
// resources keep these values independent of the release art. The
// recorder's: its lines for chosen frames of the whole run on the release
// data, through the intro, its fade and the first change of picture.
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <string>

#include "base/state.h"
#include "driver/run.h"
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

// The recorder's lines on the release data, seed 7: the intro's first,
// middle and last frames (each after its tick); its fade, a step of
// fade_out(4) on a 70 Hz retrace at a time, one short of black at the last
// frame; the main part's first frame in the first picture's colours; the
// change to the second picture, the flash's first and last tinted frames and
// the colours restored.
const char *const RECORDER_SEED = "7";
const char *const RECORDER_GOLDEN[] = {
    "000000 intro 0 1c509ec6 37b5a90c",       "000245 intro 245 9a1d9c21 37b5a90c",
    "000489 intro 489 b1bf9e5c 37b5a90c",     "000490 intro-fade 0 b1bf9e5c 6075ab80",
    "000503 intro-fade 13 b1bf9e5c 5c2f8dc4", "000516 intro-fade 26 b1bf9e5c f59c39c5",
    "000517 main 0 f12d6853 dc51ec96",        "002085 main 1568 239b7cdc 9e783638",
    "002086 main 1569 5a05fcbf 4f25693a",     "002183 main 1666 89036068 05d11384",
    "002184 main 1667 8cacd2bc 9e783638",
};

} // namespace

TEST(Frames, GoldenFramesOfTheRecorder)
{
    const long frames = std::stol(RECORDER_GOLDEN[std::size(RECORDER_GOLDEN) - 1]) + 1;
    const std::string command = std::string("'") + TESSERA_BUILD_DIR +
                                "/tessera-capture' --checksums --quiet --seed " + RECORDER_SEED +
                                " --data '" + TESSERA_DATA_DIR + "' --duration " +
                                std::to_string(frames / 60.0);
    FILE *out = popen(command.c_str(), "r");
    ASSERT_NE(out, nullptr) << command;
    std::map<long, std::string> lines;
    char line[128];
    while (fgets(line, sizeof line, out) != NULL) {
        lines[std::stol(line)] = std::string(line, strcspn(line, "\n"));
    }
    EXPECT_EQ(pclose(out), 0) << command;
    EXPECT_EQ(lines.size(), static_cast<size_t>(frames));
    for (const char *golden : RECORDER_GOLDEN) {
        EXPECT_EQ(lines[std::stol(golden)], golden);
    }
}

TEST(Frames, GoldenFramesOfTheMainPart)
{
    TT_start_main_part(2024);
    // Entering the main part shows the first picture's colours at once.
    PALETTE shown;
    get_palette(shown);
    EXPECT_EQ(CP_palette_checksum(shown), CP_palette_checksum(iso_pal[0]));

    const bool print = getenv("TESSERA_PRINT_GOLDEN") != NULL;
    for (int tick = 1; tick <= GOLDEN.rbegin()->first; tick++) {
        ZE_tick_part(ZE_MAIN);
        ZE_draw_part(ZE_MAIN);
        auto expected = GOLDEN.find(tick);
        if (expected == GOLDEN.end()) {
            continue;
        }
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
