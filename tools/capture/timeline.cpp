// The demo on a simulated clock: the run's own steps (driver/run.h) for the
// intro and the main part, with the ticks counted instead of waited for.
// Every video frame is exactly one 60 Hz tick, then one frame; the fades
// are the frames that fade_out shows, their positions after each tick by
// the library's rule. Nothing here waits for real time, so a slow frame never
// costs the video a tick.
#include "capture.h"

#include "base/state.h"
#include "driver/run.h"
#include "driver/sequence.h"
#include "intro/tulor.h"
#include "resources/archive.h"

static cp_phase phase;
static long frames_done;  // frames handed out so far
static long phase_frames; // frames handed out in the current phase
static bool over;
static PALETTE fade_source;

void CP_start_demo(unsigned seed)
{
    ZE_prepare_run(seed, ZE_load_resources);
    ZE_enter_part(ZE_INTRO);

    phase = CP_INTRO;
    frames_done = 0;
    phase_frames = 0;
    over = false;
}

// Video frames of a fade_out(FADE_SPEED) after the last drawn frame.
static int fade_frames(void)
{
    int frames = 0;
    while (ZE_fade_position(frames + 1) < FADE_BLACK) {
        frames++;
    }
    return frames;
}

long CP_frames_left(cp_phase at, long phase_index)
{
    const long fade = fade_frames();
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
        const ze_part part = phase < CP_MAIN ? ZE_INTRO : ZE_MAIN;
        if (phase == CP_INTRO || phase == CP_MAIN) {
            ZE_tick_part(part);
            ZE_draw_part(part);
            hand_out(frame);
            // The demo tests the end after the frame is shown.
            if (ZE_part_over(part)) {
                enter(static_cast<cp_phase>(phase + 1));
            }
            return true;
        }

        // The last frame drawn stays on screen while only the palette moves;
        // the handlers go on ticking until the fade is over.
        const int position = ZE_fade_position(phase_frames + 1);
        if (position < FADE_BLACK) {
            ZE_tick_part(part);
            PALETTE faded;
            fade_interpolate(fade_source, black_palette, faded, position, 0, PAL_SIZE - 1);
            set_palette_range(faded, 0, PAL_SIZE - 1, FALSE);
            hand_out(frame);
            return true;
        }
        set_palette(black_palette);
        if (phase == CP_MAIN_FADE) {
            over = true;
        } else {
            ZE_enter_part(ZE_MAIN);
            enter(CP_MAIN);
        }
    }
    return false;
}
