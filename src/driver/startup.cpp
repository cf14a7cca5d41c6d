// Start-up and shutdown.
#include "startup.h"

#include <allegro.h>
#include <cstdio>

#include "base/signals.h"
#include "base/state.h"
#include "base/system.h"
#include "driver/display.h"
#include "field/field.h"
#include "overlays/extras.h"
#include "overlays/scroller.h"
#include "resources/archive.h"
#include "sound/fluid_midi.h"

static const char MIDI_UNAVAILABLE[] = "Sorry, MIDI is unavailable\r";
static const int32_t SCROLL_CLOCK_START = -100;
static const int16_t START_MODE = 4;

void ZE_initialize_variables(void)
{
    ZE_seed_random();

    screenbuf = create_bitmap(SCREENBUF_W, SCREENBUF_H);
    construct = create_bitmap(CONSTRUCT_W, CONSTRUCT_H);
    __text = ZE_new_scroll_buffer(ZE_scroll_text);
    if (screenbuf == NULL || construct == NULL || __text == NULL) {
        ZE_fatal("out of memory for the work bitmaps");
    }

    for (int k = 0; k < TILES; k++) {
        ZE_write(cels.home_x[k], int16_t{0});
        ZE_write(cels.home_y[k], int16_t{0});
        ZE_write(cels.x[k], int16_t{0});
        ZE_write(cels.y[k], int16_t{0});
        ZE_write(cels.dir[k], int16_t{0});
    }

    ZE_write(flags.scroll_clock, SCROLL_CLOCK_START);
    ZE_write(flags.dot_phase, 0);
    ZE_write(flags.mode, START_MODE);
    ZE_write(flags.field, int16_t{0});
    ZE_write(flags.done, uint8_t{0});
    ZE_write(flags.move_delay, int16_t{0});
    ZE_write(flags.logo_delay, int16_t{0});
    ZE_write(flags.wave, int16_t{0});
    ZE_write(flags.hold, int16_t{0});
    ZE_write(flags.vsync, uint8_t{0});

    ZE_initialize_letters();
}

void ZE_startup(void)
{
    // Allegro installs handlers of its own for SIGINT and SIGTERM that shut
    // it down inside the handler; ours replace them before any can arrive.
    // Without an X display Allegro has no system driver, and installing the
    // timer would then crash.
    ZE_hold_signals();
    if (allegro_init() != 0) {
        ZE_no_display();
    }
    ZE_watch_display();
    ZE_catch_signals();
    install_timer();
    install_keyboard();
    rest(0);

    ZE_initialize_variables();
    ZE_load_resources();
    ZE_end_if_signalled();

    set_color_depth(8);
    if (set_gfx_mode(GFX_AUTODETECT, 640, 480, 0, 0) != 0) {
        ZE_fatal("cannot open a 640x480 screen: %s", allegro_error);
    }

    ZE_register_midi_drivers();
    // A driver that found no device plays in silence, so the viewer is told
    // the same as when sound cannot be installed at all.
    if (install_sound(DIGI_NONE, MIDI_AUTODETECT, "..") != 0 || midi_driver == NULL ||
        midi_driver->id == MIDI_NONE) {
        puts(MIDI_UNAVAILABLE);
        fflush(stdout);
    }
    set_volume(-1, 255);
    ZE_end_if_signalled();
}

void ZE_shutdown(void)
{
    destroy_bitmap(screenbuf);
    destroy_bitmap(construct);
    for (int i = 0; i < RES_PICTURES; i++) {
        destroy_bitmap(iso_backs[i]);
    }
    for (int g = 0; g < SCROLL_GLYPHS; g++) {
        destroy_bitmap(scrollie[g]);
    }
    for (int g = 0; g < LOGO_GLYPHS; g++) {
        destroy_bitmap(logo[g]);
    }
}
