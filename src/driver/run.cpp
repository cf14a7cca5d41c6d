// One run of the demo, by part.
#include "run.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>

#include "base/present.h"
#include "base/state.h"
#include "base/system.h"
#include "intro/tulor.h"
#include "overlays/extras.h"
#include "loop.h"
#include "startup.h"

void ZE_prepare_run(unsigned seed, void (*load)(void))
{
    ZE_keep_seed(seed);
    ZE_initialize_variables();
    load();
}

void ZE_enter_part(ze_part part)
{
    if (part == ZE_INTRO) {
        TU_begin_intro(NULL);
    } else {
        TU_end_intro();
        ZE_begin_main_part(NULL);
    }
}

void ZE_tick_part(ze_part part)
{
    if (part == ZE_INTRO) {
        TU_animate_cells();
        return;
    }
    for (int i = 0; i < LETTER_TICK_HZ / TICK_HZ; i++) {
        ZE_track_logo();
    }
    ZE_track_stuff();
}

void ZE_draw_part(ze_part part)
{
    part == ZE_INTRO ? TU_draw_frame(screenbuf) : ZE_draw_frame();
}

bool ZE_part_over(ze_part part)
{
    return part == ZE_INTRO ? ZE_read(tulor.done) != 0 : ZE_read(flags.done) != 0;
}

int ZE_fade_position(long ticks)
{
    // fade_from_range: (retrace_count - start) * speed / 2, until 64.
    const long long retraces = static_cast<long long>(ticks) * BPS_TO_TIMER(TICK_HZ) / _vsync_speed;
    const long long position = retraces * FADE_SPEED / 2;
    return position < FADE_BLACK ? static_cast<int>(position) : FADE_BLACK;
}
