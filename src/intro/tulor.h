// The intro: the logo assembles from its own pixels, which rain in from above
// and below, while a band of textured light drifts across it.
#ifndef TESSERA_TULOR_H
#define TESSERA_TULOR_H

#include <allegro.h>
#include <atomic>
#include <cstdint>

#include "resources/directory.h"

constexpr int INTRO_LOGO_W = 320; // the area of the logo picture that is scanned
constexpr int INTRO_LOGO_H = 200;
constexpr int INTRO_LOGO_TOP = 20; // frame row of the logo's row 0
constexpr int INTRO_BAND_W = 278;  // the light band, laid at (22, 96) of the frame
constexpr int INTRO_BAND_H = 31;
constexpr int INTRO_BAND_X = 22;
constexpr int INTRO_BAND_Y = 96;
constexpr int INTRO_TILE_X = 0; // the pattern tile within the pattern sheet
constexpr int INTRO_TILE_Y = 32;
constexpr int INTRO_TILE_SIZE = 32;
constexpr int16_t INTRO_TICKS = 490;    // the intro ends by itself on this tick
constexpr int INTRO_PATTERN_PERIOD = 7; // ticks per pixel of pattern drift

// One pixel of the logo. The handler moves y and counts steps down while the
// frame loop draws; x, colour and speed are fixed before the handler starts.
struct tulor_cell {
    int16_t x;                  // column in the logo picture, 0..319
    std::atomic<int16_t> y;     // current row in picture coordinates
    int16_t colour;             // 1..31
    int16_t speed;              // rows per tick: +1..+3 down, -1..-3 up
    std::atomic<int16_t> steps; // ticks of travel left
};

struct tulor_record {
    BITMAP *band;                   // 278 x 31 light band
    std::atomic<uint8_t> done;      // the intro is to end
    std::atomic<int16_t> countdown; // ticks left until the intro ends by itself
    std::atomic<int16_t> pat_x;     // anchor of the band's pattern, 0..255
    std::atomic<int16_t> pat_y;
    std::atomic<int16_t> pat_delay; // ticks since the pattern last moved, 0..6
    tulor_cell cells[INTRO_MAX_CELLS];
    int16_t count; // cells in use
};

extern tulor_record tulor;
extern COLOR_MAP tulor_map;   // lighting towards black; row 0 the identity
extern BITMAP *_32x_textures; // the pattern sheet
extern PALETTE palette;       // the intro palette: the logo picture's own

// Resets the record, makes the band, loads both intro members, builds the
// cell list and tulor_map. `name` is not opened: both come from the archive.
void TU_read_source_graphic(const char *name);

// Gives every cell its speed and travel and moves it away from home.
void TU_scatter_cells(void);

// The intro's 60 Hz handler: cells, pattern anchor, countdown, Esc and Alt.
void TU_animate_cells(void);

// The intro in steps, which TU_intro and a run on a simulated clock share.
// The begin step loads the members (ending the process on a signal that came
// meanwhile), scatters the cells, clears the screen and sets the intro
// palette, then calls `start_clock` (NULL on a simulated clock, whose ticks
// are TU_animate_cells called by hand). The frame step is TU_draw_frame,
// after which the run tests tulor.done; the end step, after the fade, frees
// the band and the pattern sheet.
void TU_begin_intro(void (*start_clock)(void));
void TU_end_intro(void);

// Draws one intro frame into `bmp` without showing it.
void TU_draw_frame(BITMAP *bmp);

// Draws one intro frame into `bmp` and shows it with ZE_final_pass.
void TU_render_frame(BITMAP *bmp);

// Runs the whole intro, its 60 Hz handler on the library's timer, and returns
// once it has faded out; a signal (ZE_stop_signal) ends it after the frame in
// progress, without the fade.
void TU_intro(void);

#endif
