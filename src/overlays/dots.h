// The dot backdrop: every second pixel of every second row of the upper 200
// rows, coloured by a ramp of entries 224..239 that scrolls up a row a tick.
#ifndef TESSERA_DOTS_H
#define TESSERA_DOTS_H

#include <allegro.h>
#include <cstdint>

constexpr int DOT_RAMP_ENTRIES = 34;
constexpr int DOT_PERIOD = 200; // flags.dot_phase runs 0..199
extern const int16_t dot_colours[DOT_RAMP_ENTRIES];

// Draws the 16,000 dots onto `bmp`, reading flags.dot_phase for every row.
void ZE_draw_dots(BITMAP *bmp);

#endif
