// The demo on a simulated clock: the demo's own begin, frame and end steps
// of both parts, with the ticks counted instead of waited for. Every video
// frame is exactly one tick of the intro's or the main part's 60 Hz handler
// (and in the main part two of the letters' 120 Hz handler), then one frame;
// the fades are the frames that fade_out shows on a 70 Hz retrace. Nothing
// here waits for real time, so a slow frame never costs the video a tick.
#include "capture.h"

#include <allegro/internal/aintern.h>

#include "base/present.h"
#include "base/state.h"
#include "base/system.h"
#include "driver/loop.h"
#include "driver/sequence.h"
#include "driver/startup.h"
#include "intro/tulor.h"
#include "resources/archive.h"

static const int FADE_END = 64; // fade_interpolate's position of the target
static_assert(INTRO_TICK_RATE == CP_FPS, "a video frame is a tick of the intro's handler too");

static cp_phase phase;
static long frames_done;  // frames handed out so far
static long phase_frames; // frames handed out in the current phase
static bool over;
static PALETTE fade_source;

void CP_start_demo(unsigned seed)
{
    ZE_use_fixed_seed = true;
    ZE_fixed_seed = seed;
    ZE_initialize_variables();
    ZE_load_resources();
    TU_begin_intro();

    phase = CP_INTRO;
    frames_done = 0;
    phase_frames = 0;
    over = false;
}

// The fade position fade_out shows `frame` video frames after it began: it
// moves FADE_SPEED / 2 steps per retrace, counted by Allegro's simulated
// retrace (_vsync_speed, 70 Hz without a refresh rate from the driver).
static int fade_level(long frame)
{
    const long long retraces = static_cast<long long>(frame) * BPS_TO_TIMER(CP_FPS) / _vsync_speed;
    const long long level = retraces * FADE_SPEED / 2;
    return level < FADE_END ? static_cast<int>(level) : FADE_END;
}

int CP_fade_frames(void)
{
    int frames = 0;
    while (fade_level(frames + 1) < FADE_END) {
        frames++;
    }
    return frames;
}

long CP_frames_left(cp_phase at, long phase_index)
{
    const long fade = CP_fade_frames();
    const long main_part = static_cast<long>(RES_PICTURES) * PART_TICKS;
    const long expected[] = {INTRO_TICKS, fade, main_part, fade};

    // A part that runs over its expected length has at least its fade to come.
    long left = expected[at] - (phase_index + 1);
    if (left < 0) {
        left = 0;
    }
    for (int later = at + 1; later <= CP_MAIN_FADE; later++) {
        left += expected[later];
    }
    return left;
}

static void hand_out(cp_frame *frame)
{
    frame->index = frames_done++;
    frame->phase = phase;
    frame->phase_index = phase_frames++;
    frame->pixels = screenbuf;
    get_palette(frame->palette);
}

static void enter(cp_phase next)
{
    phase = next;
    phase_frames = 0;
    if (next == CP_INTRO_FADE || next == CP_MAIN_FADE) {
        get_palette(fade_source);
    }
}

bool CP_next_frame(cp_frame *frame)
{
    while (!over) {
        switch (phase) {
        case CP_INTRO:
            TU_animate_cells();
            TU_draw_frame(screenbuf);
            hand_out(frame);
            // The intro loop tests its end after the frame is shown.
            if (ZE_read(tulor.done)) {
                enter(CP_INTRO_FADE);
            }
            return true;

        case CP_MAIN:
            ZE_tick_main_part();
            ZE_draw_frame();
            hand_out(frame);
            if (ZE_read(flags.done)) {
                enter(CP_MAIN_FADE);
            }
            return true;

        case CP_INTRO_FADE:
        case CP_MAIN_FADE: {
            // The last frame drawn stays on screen while only the palette moves;
            // the handlers go on ticking until the fade is over.
            const int level = fade_level(phase_frames + 1);
            if (level < FADE_END) {
                if (phase == CP_INTRO_FADE) {
                    TU_animate_cells();
                } else {
                    ZE_tick_main_part();
                }
                PALETTE faded;
                fade_interpolate(fade_source, black_palette, faded, level, 0, PAL_SIZE - 1);
                set_palette_range(faded, 0, PAL_SIZE - 1, FALSE);
                hand_out(frame);
                return true;
            }
            set_palette(black_palette);
            if (phase == CP_MAIN_FADE) {
                over = true;
                break;
            }
            TU_end_intro();
            ZE_begin_main_part();
            set_palette(iso_pal[ZE_read(flags.field)]);
            enter(CP_MAIN);
            break;
        }
        }
    }
    return false;
}
