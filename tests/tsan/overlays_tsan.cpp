// The letter handler on a second thread, as Allegro's timer runs it, while
// the test thread draws frames and lowers the letters as a change of
// picture does. ThreadSanitizer watches for races; the positions show that
// neither side's additions were lost.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "base/state.h"
#include "overlays/extras.h"
#include "resources/archive.h"
#include "resources/colormaps.h"

namespace
{

const int32_t DROP = 4 << 16;
const int CALLS = 30000;
const int32_t NEVER = 1000000; // no launch is due at this clock

COLOR_MAP identity;

// Every letter moving from its launch place, heading 0, no step due.
void start_letters(void)
{
    ZE_initialize_letters();
    for (int i = 0; i < LETTERS; i++) {
        ZE_write(_logo.active[i], uint8_t{1});
        ZE_write(_logo.x[i], itofix(63));
        ZE_write(flags.angle[i], 0.0f);
    }
    ZE_write(flags.logo_delay, int16_t{0});
    ZE_write(flags.logo_clock, NEVER);
}

} // namespace

TEST(OverlaysTsan, LettersTurnAndDropWhileFramesAreDrawn)
{
    for (int c = 0; c < 256; c++) {
        for (int d = 0; d < 256; d++) {
            identity.data[c][d] = static_cast<unsigned char>(d);
        }
    }
    COLOR_MAP *saved_shadows = _shadows[0], *saved_lights = _lights[0];
    BITMAP *saved_logo[LOGO_GLYPHS], *saved_construct = construct;
    _shadows[0] = &identity;
    _lights[0] = &identity;
    ZE_write(flags.field, int16_t{0});
    for (int g = 0; g < LOGO_GLYPHS; g++) {
        saved_logo[g] = logo[g];
        logo[g] = create_bitmap(LOGO_GLYPH_W, LOGO_GLYPH_H);
        clear_to_color(logo[g], 103);
    }
    construct = create_bitmap(CONSTRUCT_W, CONSTRUCT_H);
    BITMAP *frame = create_bitmap(SCREENBUF_W, SCREENBUF_H);

    // The handler's own path for CALLS calls, with nothing else going on.
    start_letters();
    for (int n = 0; n < CALLS; n++) {
        ZE_track_logo();
    }
    int32_t alone_x[LETTERS], alone_y[LETTERS];
    for (int i = 0; i < LETTERS; i++) {
        alone_x[i] = ZE_read(_logo.x[i]);
        alone_y[i] = ZE_read(_logo.y[i]);
    }

    // The same calls on a timer-like thread, racing frames and drops.
    start_letters();
    std::atomic<bool> finished{false};
    std::thread timer([&finished] {
        for (int n = 0; n < CALLS; n++) {
            ZE_track_logo();
        }
        finished.store(true);
    });
    int drops = 0;
    while (!finished.load()) {
        {
            std::lock_guard<std::mutex> tick(ZE_tick_lock);
            for (int i = 0; i < LETTERS; i++) {
                ZE_write(_logo.y[i], ZE_read(_logo.y[i]) + DROP);
            }
        }
        drops++;
        clear_to_color(frame, 50);
        ZE_draw_extras(frame);
    }
    timer.join();

    // Steps depend only on the number of calls, so each letter must stand
    // where it stood alone, lowered by every drop.
    for (int i = 0; i < LETTERS; i++) {
        EXPECT_EQ(ZE_read(_logo.x[i]), alone_x[i]) << i;
        EXPECT_EQ(ZE_read(_logo.y[i]), alone_y[i] + drops * DROP) << i << " after " << drops;
    }
    EXPECT_GT(drops, 0);

    destroy_bitmap(frame);
    destroy_bitmap(construct);
    construct = saved_construct;
    for (int g = 0; g < LOGO_GLYPHS; g++) {
        destroy_bitmap(logo[g]);
        logo[g] = saved_logo[g];
    }
    _shadows[0] = saved_shadows;
    _lights[0] = saved_lights;
}
