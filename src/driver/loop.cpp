// The main part: its frame loop and its 60 Hz handler. Motion and durations
// are counted in handler ticks, never in frames: the loop draws as fast as it
// can, or at the retrace rate with key 1.
#include "loop.h"

#include "base/present.h"
#include "base/state.h"
#include "field/field.h"
#include "overlays/dots.h"
#include "overlays/extras.h"
#include "overlays/scroller.h"
#include "platform/signals.h"
#include "resources/archive.h"
#include "options.h"
#include "sequence.h"

void ZE_track_stuff(void)
{
    std::lock_guard<std::mutex> tick(ZE_tick_lock);

    ZE_write(flags.logo_clock, ZE_read(flags.logo_clock) + 1);
    ZE_write(flags.part_clock, ZE_read(flags.part_clock) + 1);

    // The flash counts down one percent a tick; reaching 0 asks the next
    // frame to restore the picture's own palette. Idle and restore stay.
    const int16_t flash = ZE_read(flags.flash);
    if (flash >= 0) {
        const int16_t next = static_cast<int16_t>(flash - 1);
        ZE_write(flags.flash, next <= 0 ? FLASH_RESTORE : next);
    }

    ZE_step_wave();

    ZE_write(flags.scroll_clock, ZE_read(flags.scroll_clock) + 1);
    const int32_t phase = ZE_read(flags.dot_phase) + 1;
    ZE_write(flags.dot_phase, phase == DOT_PERIOD ? 0 : phase);

    ZE_move_cels();
}

void ZE_take_snapshot(void)
{
    snap.scroll_clock = ZE_read(flags.scroll_clock);
    snap.flash = ZE_read(flags.flash);
}

void ZE_begin_main_part(void (*start_clock)(void))
{
    ZE_write(flags.logo_clock, 0);
    ZE_assign_iso_field(ZE_read(flags.mode));
    if (start_clock != NULL) {
        start_clock();
    }
    // The screen has been black since the intro's fade.
    set_palette(iso_pal[ZE_read(flags.field)]);
}

void ZE_start_main_clock(void)
{
    install_int_ex(ZE_track_logo, BPS_TO_TIMER(LETTER_TICK_HZ));
    install_int_ex(ZE_track_stuff, BPS_TO_TIMER(TICK_HZ));
}

void ZE_stop_main_clock(void)
{
    remove_int(ZE_track_stuff);
    remove_int(ZE_track_logo);
}

void ZE_draw_frame(void)
{
    clear_bitmap(screenbuf);
    ZE_track_transition();
    ZE_take_snapshot();
    ZE_draw_dots(screenbuf);
    ZE_draw_iso_field(screenbuf);
    ZE_draw_scrollie(screenbuf);
    ZE_draw_extras(screenbuf);
    ZE_modify_palette();
}

// A frame as the viewer sees it; screenshots carry the picture's own colours.
static void show_frame(void)
{
    ZE_draw_frame();
    ZE_final_pass(screenbuf, iso_pal[ZE_read(flags.field)]);
}

void ZE_demo_loop(void)
{
    if (ZE_options.vsync) {
        ZE_write(flags.vsync, uint8_t{1});
    }
    ZE_begin_main_part(ZE_start_main_clock);
    play_midi(muzak, 1);

    // SIGINT, SIGTERM and SIGHUP end the main part after the frame in
    // progress, in any phase.
    for (;;) {
        show_frame();
        if (ZE_stop_signal() != 0) {
            break;
        }
        if (key[KEY_1]) {
            ZE_write(flags.vsync, uint8_t{1});
        }
        if (key[KEY_2]) {
            ZE_write(flags.vsync, uint8_t{0});
        }
        if (ZE_read(flags.done)) {
            break;
        }
        if (key[KEY_ESC]) {
            // Esc ends the main part when it is let go; until then the demo runs on,
            // to the end of the last picture and beyond.
            do {
                show_frame();
            } while (key[KEY_ESC] && ZE_stop_signal() == 0);
            break;
        }
    }

    // The clocks keep running through the fade; only then do the handlers
    // go. A signal asks for a prompt end, so it skips the fade: leaving the
    // screen mode blanks the picture anyway.
    if (ZE_stop_signal() == 0) {
        fade_out(FADE_SPEED);
    }
    ZE_stop_main_clock();
    stop_midi();
}
