// Start-up and shutdown.
#include "startup.h"

#include <algorithm>
#include <allegro.h>
#include <cstdio>
#include <ctime>

#include "base/present.h"
#include "base/state.h"
#include "base/system.h"
#include "field/field.h"
#include "overlays/extras.h"
#include "overlays/scroller.h"
#include "platform/display.h"
#include "platform/music.h"
#include "platform/signals.h"
#include "resources/archive.h"
#include "resources/paths.h"
#include "options.h"
#include "run.h"

static const char MIDI_UNAVAILABLE[] = "Sorry, MIDI is unavailable\r";
static const int32_t SCROLL_CLOCK_START = -100;
static const int16_t START_MODE = 4;

void ZE_initialize_variables(void)
{
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

// Sets an 8-bit mode of w x h on `card` and shows frames enlarged `scale`
// times in its middle; false if the mode cannot be set.
static bool try_screen(int card, int w, int h, int scale)
{
    set_color_depth(8);
    if (ZE_set_screen(card, w, h) != 0) {
        return false;
    }
    ZE_view.scale = scale;
    ZE_view.x = (SCREEN_W - SCREENBUF_W * scale) / 2;
    ZE_view.y = (SCREEN_H - SCREENBUF_H * scale) / 2;
    return true;
}

void ZE_open_screen(void)
{
    const int asked = ZE_options.scale;
    int card = GFX_AUTODETECT;
    int scale = asked != 0 ? asked : VIEW_DEFAULT_SCALE;
    int w = SCREENBUF_W * scale;
    int h = SCREENBUF_H * scale;
    if (ZE_options.screen == SCREEN_WINDOW) {
        card = GFX_AUTODETECT_WINDOWED;
    } else if (ZE_options.screen == SCREEN_FILL) {
        card = GFX_AUTODETECT_FULLSCREEN;
        if (get_desktop_resolution(&w, &h) != 0) {
            w = h = 0;
        }
        const int largest = std::min(w / SCREENBUF_W, h / SCREENBUF_H);
        scale = asked != 0 ? std::min(asked, largest) : largest;
    }
    if (scale >= 1 && try_screen(card, w, h, scale)) {
        return;
    }
    if (ZE_options.screen == SCREEN_WINDOW ||
        (ZE_options.screen == SCREEN_FULL && scale == VIEW_DEFAULT_SCALE)) {
        ZE_fatal("cannot open a %dx%d %s: %s", w, h,
                 ZE_options.screen == SCREEN_WINDOW ? "window" : "screen", allegro_error);
    }
    fprintf(stderr, "tessera: cannot set a %dx%d screen%s%s; showing 640x480 instead\n", w, h,
            allegro_error[0] != '\0' ? ": " : "", allegro_error);
    if (!try_screen(GFX_AUTODETECT, SCREENBUF_W * VIEW_DEFAULT_SCALE,
                    SCREENBUF_H * VIEW_DEFAULT_SCALE, VIEW_DEFAULT_SCALE)) {
        ZE_fatal("cannot open a 640x480 screen: %s", allegro_error);
    }
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
    ZE_watch_display(ZE_remove_temp_file);
    ZE_catch_signals(ZE_remove_temp_file);
    ZE_take_config_options();
    install_timer();
    install_keyboard();
    rest(0);

    ZE_use_data_folder(ZE_find_data_folder(ZE_options.data));
    // The live demo's seed is the clock's.
    ZE_prepare_run(static_cast<unsigned>(time(NULL)), ZE_load_resources);
    ZE_end_if_signalled();

    ZE_open_screen();

    ZE_register_midi_drivers();
    ZE_set_song_font(ZE_song_font_path());
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
