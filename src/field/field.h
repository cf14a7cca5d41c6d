// The tile field: 471 diamond tiles on a staggered grid of 23 rows, moved in
// one of four modes by a wave that runs once around the circle and rests,
// and drawn by sampling the picture at each tile's home.
#ifndef TESSERA_FIELD_H
#define TESSERA_FIELD_H

#include <allegro.h>
#include <atomic>
#include <cstdint>

constexpr int TILES = 471;
constexpr int TILE_SIZE = 14;       // a diamond's box is 14 x 14
constexpr int16_t CYCLE_HOLD = 70;  // rest after each wave cycle, in 60 Hz ticks
constexpr int16_t MOVE_DIVIDER = 4; // one motion step every fifth moving tick

// Written by layouts and motion steps (timer thread and frame loop), read by
// the drawing: every entry is read and written whole.
struct cels_record {
    std::atomic<int16_t> home_x[TILES]; // left edge of the tile's box at rest
    std::atomic<int16_t> home_y[TILES]; // top row of the box at rest
    std::atomic<int16_t> x[TILES];      // where the tile is drawn now
    std::atomic<int16_t> y[TILES];
    std::atomic<int16_t> dir[TILES]; // direction class 0..3, or phase 0..255 in modes 2 and 3
};

extern cels_record cels;

// Lays all tiles out at home for `mode`, drawing 471 ZE_rand() values (942 in
// modes 2 and 3) in tile order. Outside the 60 Hz handler, call it only with
// flags.hold already non-zero, so that the handler leaves the tiles alone.
void ZE_assign_iso_field(int mode);

// The wave and hold step of the 60 Hz handler; lays the field out again at
// the end of each wave cycle.
void ZE_step_wave(void);

// The motion step of the 60 Hz handler, its last action in every tick.
void ZE_move_cels(void);

// Draws the 471 diamonds of the current picture onto `bmp`, in tile order:
// the pixels 112 putpixel calls per tile would give, copied a row at a time
// where the bitmap allows it (see base/pixels.h).
void ZE_draw_iso_field(BITMAP *bmp);

#endif
