// The last layers of a main-part frame: eight translucent bars at the ends of
// the bottom band, and fourteen logo letters that launch one by one, circle
// the screen and are laid over the picture as light.
#ifndef TESSERA_EXTRAS_H
#define TESSERA_EXTRAS_H

#include <allegro.h>
#include <atomic>
#include <cstdint>

#include "base/state.h"

// Per-letter drawing state. x and y are 16.16 fixed point, the top-left
// corner of the glyph. The 120 Hz handler writes them; the frame loop reads
// them live and lowers y at a picture change (under ZE_tick_lock).
struct logo_record {
    std::atomic<uint8_t> active[LETTERS];
    int16_t glyph[LETTERS]; // index into `logo`, fixed at start-up
    std::atomic<int32_t> x[LETTERS];
    std::atomic<int32_t> y[LETTERS];
};

extern logo_record _logo;

// Writes the letters' start table into _logo and flags.launch; part of
// ZE_initialize_variables.
void ZE_initialize_letters(void);

// The 120 Hz handler: turns the letters, steps them every fifth call and
// launches them by flags.logo_clock. Holds ZE_tick_lock for the whole call.
void ZE_track_logo(void);

// Draws the bars and the letters onto `bmp`; leaves the drawing mode solid
// and color_map at _lights[flags.field].
void ZE_draw_extras(BITMAP *bmp);

#endif
