// The intro's handler on a second thread, ticking as fast as it can, while
// this thread draws frames and waits for the end, as the intro's loop does.
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "base/shared.h"
#include "intro/tulor.h"
#include "../unit/intro_archive.h"
#include "support.h"

TEST(IntroThreads, FramesWhileTheHandlerTicks)
{
    TT_enter_workdir(false);
    IT_write_archive(IT_make_logo(INTRO_MAX_CELLS), IT_make_pattern(true));
    TU_read_source_graphic("tulor.pcx");
    TU_scatter_cells();

    std::atomic<bool> stop{false};
    std::atomic<int> ticks{0};
    std::thread timer([&] {
        while (!stop.load()) {
            TU_animate_cells();
            ticks++;
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
    });

    BITMAP *frame = create_bitmap(320, 240);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    do {
        TU_draw_frame(frame);
    } while (!ZE_read(tulor.done) && std::chrono::steady_clock::now() < limit);
    const bool ended = ZE_read(tulor.done) == 1;
    stop = true;
    timer.join();

    EXPECT_TRUE(ended) << "the loop never saw the end after " << ticks << " ticks";
    EXPECT_GE(ticks.load(), INTRO_TICKS);

    // Every cell is home after the 490 ticks.
    int away = 0;
    for (int i = 0; i < tulor.count; i++) {
        away += tulor.cells[i].steps.load() != 0;
    }
    EXPECT_EQ(away, 0);
    destroy_bitmap(frame);
}
