// The intro. Every pixel of the logo picture with a colour from 1 to 31
// becomes a cell that starts straight above or below its home row and
// travels back at one to three rows a tick, while a 278 x 31 band of
// patterned light drifts across the middle of the logo. The 60 Hz handler
// moves the cells, scrolls the pattern and decides when the intro is over;
// the frame loop draws as fast as it can until then.
#include "tulor.h"

#include <cstdio>

#include "base/present.h"
#include "base/random.h"
#include "base/shared.h"
#include "base/state.h"
#include "base/system.h"
#include "platform/signals.h"
#include "resources/archive.h"
#include "resources/paths.h"

tulor_record tulor;
COLOR_MAP tulor_map;
BITMAP *_32x_textures;
PALETTE palette;

static void reset_record(void)
{
    for (int i = 0; i < INTRO_MAX_CELLS; i++) {
        tulor_cell &c = tulor.cells[i];
        c.x = 0;
        ZE_write(c.y, int16_t{0});
        c.colour = 0;
        c.speed = 0;
        ZE_write(c.steps, int16_t{0});
    }
    tulor.count = 0;
    ZE_write(tulor.countdown, INTRO_TICKS);
    ZE_write(tulor.done, uint8_t{0});
    ZE_write(tulor.pat_x, int16_t{0});
    ZE_write(tulor.pat_y, int16_t{0});
    // pat_delay keeps its value: it starts at 0 and the intro runs once.
}

// Row-major scan of the top-left 320 x 200 of the logo picture: each pixel
// of colour 1..31 becomes the next cell, at rest on its home row.
static void collect_cells(BITMAP *source)
{
    for (int y = 0; y < INTRO_LOGO_H; y++) {
        for (int x = 0; x < INTRO_LOGO_W; x++) {
            const int value = source->line[y][x];
            if (value < INTRO_CELL_COLOUR_MIN || value > INTRO_CELL_COLOUR_MAX) {
                continue;
            }
            if (tulor.count >= INTRO_MAX_CELLS) {
                destroy_bitmap(source);
                ZE_fatal("%s: the intro logo picture has more than %d pixels of colours %d..%d",
                         ZE_archive_path(), INTRO_MAX_CELLS, INTRO_CELL_COLOUR_MIN,
                         INTRO_CELL_COLOUR_MAX);
            }
            tulor_cell &c = tulor.cells[tulor.count];
            c.x = static_cast<int16_t>(x);
            ZE_write(c.y, static_cast<int16_t>(y));
            c.colour = static_cast<int16_t>(value);
            tulor.count++;
        }
    }
}

void TU_read_source_graphic(const char *name)
{
    (void)name; // both pictures come from the archive, whatever the name

    reset_record();

    if (tulor.band != NULL) {
        destroy_bitmap(tulor.band);
    }
    tulor.band = create_bitmap(INTRO_BAND_W, INTRO_BAND_H);
    if (tulor.band == NULL) {
        ZE_fatal("out of memory for the intro's light band");
    }

    // The pattern sheet first, then the logo, so that `palette` ends up
    // holding the logo picture's palette.
    if (_32x_textures != NULL) {
        destroy_bitmap(_32x_textures);
        _32x_textures = NULL;
    }
    _32x_textures = ZE_load_picture_member(RES_INTRO_PATTERN, palette, INTRO_PATTERN_MIN_W,
                                           INTRO_PATTERN_MIN_H, "intro pattern sheet");
    BITMAP *source = ZE_load_picture_member(RES_INTRO_SOURCE, palette, INTRO_LOGO_W, INTRO_LOGO_H,
                                            "intro logo picture");

    collect_cells(source);

    // Light levels towards black; level 0 leaves the pixel as it is.
    create_light_table(&tulor_map, palette, 0, 0, 0, NULL);
    for (int i = 0; i < PAL_SIZE; i++) {
        tulor_map.data[0][i] = static_cast<unsigned char>(i);
    }

    destroy_bitmap(source);
}

void TU_scatter_cells(void)
{
    ZE_seed_random();
    for (int i = 0; i < tulor.count; i++) {
        tulor_cell &c = tulor.cells[i];
        // Three draws per cell, always in this order.
        const int direction = (ZE_rand() % 100) / 50;
        const int magnitude = (ZE_rand() % 90) / 30 + 1;
        const int16_t steps = static_cast<int16_t>(ZE_rand() % 200);
        c.speed = static_cast<int16_t>(direction == 0 ? magnitude : -magnitude);
        ZE_write(c.steps, steps);
        // Back off along the path, so that `steps` ticks bring it home. Exact:
        // a home row of 0..199 less at most 3 x 199 rows either way fits 16 bits.
        ZE_write(c.y, static_cast<int16_t>(ZE_read(c.y) - c.speed * steps));
    }
}

void TU_animate_cells(void)
{
    for (int i = 0; i < tulor.count; i++) {
        tulor_cell &c = tulor.cells[i];
        const int16_t steps = ZE_read(c.steps);
        if (steps != 0) {
            // Exact: the cell runs back towards its home row, and its steps
            // count down from at most 199 to 0.
            ZE_write(c.y, static_cast<int16_t>(ZE_read(c.y) + c.speed));
            ZE_write(c.steps, static_cast<int16_t>(steps - 1));
        }
    }

    // The pattern moves one pixel right and one down every seventh tick.
    const int16_t delay = static_cast<int16_t>(ZE_read(tulor.pat_delay) + 1);
    if (delay >= INTRO_PATTERN_PERIOD) {
        ZE_write(tulor.pat_x, static_cast<int16_t>((ZE_read(tulor.pat_x) + 1) & 255));
        ZE_write(tulor.pat_y, static_cast<int16_t>((ZE_read(tulor.pat_y) + 1) & 255));
        ZE_write(tulor.pat_delay, int16_t{0});
    } else {
        ZE_write(tulor.pat_delay, delay);
    }

    // The countdown keeps falling after the end is requested, until the
    // handler is removed; `done` is never cleared. It is a 16-bit counter:
    // some nine minutes on it would wrap from -32768 to 32767, as meant.
    const int16_t left = static_cast<int16_t>(ZE_read(tulor.countdown) - 1);
    ZE_write(tulor.countdown, left);
    if (left < 1) {
        ZE_write(tulor.done, uint8_t{1});
    }

    if (key[KEY_ESC]) {
        ZE_write(tulor.done, uint8_t{1});
    }
    if (key[KEY_ALT]) {
        ZE_write(tulor.done, uint8_t{1});
    }
}

void TU_draw_frame(BITMAP *bmp)
{
    clear_bitmap(bmp);

    // The logo sits on rows 20..219 once home; the library clips cells that
    // are still above or below the frame.
    const int count = tulor.count;
    for (int i = 0; i < count; i++) {
        const tulor_cell &c = tulor.cells[i];
        putpixel(bmp, c.x, ZE_read(c.y) + INTRO_LOGO_TOP, c.colour);
    }

    // Fill the band with the 32 x 32 tile, repeated from the moving anchor.
    color_map = &tulor_map;
    BITMAP *subs = create_sub_bitmap(_32x_textures, INTRO_TILE_X, INTRO_TILE_Y, INTRO_TILE_SIZE,
                                     INTRO_TILE_SIZE);
    drawing_mode(DRAW_MODE_COPY_PATTERN, subs, ZE_read(tulor.pat_x), ZE_read(tulor.pat_y));
    rectfill(tulor.band, 0, 0, INTRO_BAND_W - 1, INTRO_BAND_H - 1, 0);
    drawing_mode(DRAW_MODE_SOLID, NULL, 0, 0);
    destroy_bitmap(subs);

    // The band's values are light levels: each pixel beneath it becomes
    // tulor_map[level][pixel], and level 0 leaves it unchanged.
    draw_trans_sprite(bmp, tulor.band, INTRO_BAND_X, INTRO_BAND_Y);
}

void TU_render_frame(BITMAP *bmp)
{
    TU_draw_frame(bmp);
    ZE_final_pass(bmp, palette);
}

void TU_begin_intro(void (*start_clock)(void))
{
    TU_read_source_graphic("tulor.pcx");
    ZE_end_if_signalled();
    TU_scatter_cells();
    // A run on the simulated clock has no screen.
    if (screen != NULL) {
        clear_bitmap(screen);
    }
    set_palette(palette);
    if (start_clock != NULL) {
        start_clock();
    }
}

void TU_end_intro(void)
{
    destroy_bitmap(tulor.band);
    tulor.band = NULL;
    // Nothing after the intro uses the pattern sheet.
    destroy_bitmap(_32x_textures);
    _32x_textures = NULL;
}

void TU_intro(void)
{
    // The intro's clock is the library's timer.
    TU_begin_intro([] { install_int_ex(TU_animate_cells, BPS_TO_TIMER(TICK_HZ)); });

    // At least one frame; the frame in progress when the handler asks for
    // the end is finished and shown before the fade. A signal ends the intro
    // the same way, but at once, without the fade.
    do {
        TU_render_frame(screenbuf);
    } while (!ZE_read(tulor.done) && ZE_stop_signal() == 0);

    if (ZE_stop_signal() == 0) {
        fade_out(FADE_SPEED);
    }
    remove_int(TU_animate_cells);
    TU_end_intro();
}
