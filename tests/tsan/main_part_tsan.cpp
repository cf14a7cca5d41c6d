// The main part's handlers on a thread of their own, at full speed, against
// the frame loop's frames and picture changes: no data race, no lost reset
// of the picture clock, no lost drop of the letters.
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "base/state.h"
#include "driver/loop.h"
#include "driver/run.h"
#include "driver/sequence.h"
#include "overlays/extras.h"
#include "support.h"

namespace
{

const int HANDLER_TICKS = 6000;

// What Allegro's timer thread does: both handlers, 120 Hz twice per 60 Hz.
void run_handlers(std::atomic<bool> *started)
{
    started->store(true);
    for (int tick = 0; tick < HANDLER_TICKS; tick++) {
        ZE_tick_part(ZE_MAIN);
        std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
}

} // namespace

TEST(MainPartThreads, HandlersAndFramesShareStateSafely)
{
    TT_start_main_part(1);

    std::atomic<bool> started(false);
    std::thread timer(run_handlers, &started);
    while (!started.load()) {
        std::this_thread::yield();
    }

    int changes = 0;
    int frames = 0;
    bool running = true;
    while (running) {
        // Ask for a change every few frames, and go round the pictures again
        // before the tenth would end the main part.
        if (frames % 5 == 0) {
            if (ZE_read(flags.field) == 9) {
                ZE_write(flags.field, int16_t{0});
            }
            ZE_write(flags.part_clock, PART_TICKS);
        }
        const int16_t before = ZE_read(flags.field);
        ZE_draw_part(ZE_MAIN);
        frames++;
        if (ZE_read(flags.field) != before) {
            changes++;
            // The reset must survive a tick that was under way.
            ASSERT_LT(ZE_read(flags.part_clock), PART_TICKS) << "a reset of the clock was lost";
        }
        running = frames < 100000 && ZE_read(flags.logo_clock) < HANDLER_TICKS;
    }
    timer.join();
    EXPECT_GT(changes, 10);
    EXPECT_EQ(ZE_read(flags.done), 0);

    // Letter 0 circles from the start and is never launched again, so its y
    // is its start plus every step the handler made plus every drop. Replay
    // the same handler calls on one thread and compare.
    const int32_t concurrent_y = ZE_read(_logo.y[0]);
    ZE_initialize_letters();
    for (int i = 0; i < LETTERS; i++) {
        ZE_write(flags.angle[i], 0.0f);
    }
    ZE_write(flags.logo_delay, int16_t{0});
    for (int call = 0; call < 2 * HANDLER_TICKS; call++) {
        ZE_track_logo();
    }
    EXPECT_EQ(concurrent_y, ZE_read(_logo.y[0]) + changes * LETTER_DROP)
        << "a drop of the letters was lost";
}
