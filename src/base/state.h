// The main part's shared state: `flags`, which the timer handlers and the
// frame loop advance, and `snap`, the frame loop's copy of the two values
// that must hold still through one frame. Sharing rules: shared.h.
#ifndef TESSERA_STATE_H
#define TESSERA_STATE_H

#include <allegro.h>
#include <atomic>
#include <cstdint>

#include "shared.h"

constexpr int LETTERS = 14; // logo letters circling the screen
constexpr int TICK_HZ = 60; // the clock of both parts: the intro's handler and ZE_track_stuff

struct flags_record {
    std::atomic<uint8_t> vsync;           // 1: wait for the retrace before showing a frame
    std::atomic<uint8_t> done;            // 1: the last picture has run its time
    std::atomic<int32_t> logo_clock;      // 60 Hz ticks since the main part began
    std::atomic<int32_t> part_clock;      // 60 Hz ticks since the picture began
    std::atomic<int32_t> launch[LETTERS]; // logo_clock at which a letter launches; -1: none
    std::atomic<int32_t> scroll_clock;    // drives the scroller; starts at -100
    std::atomic<int32_t> dot_phase;       // 0..199, scroll position of the dot ramp
    std::atomic<int16_t> move_delay;      // divider of the tile motion steps
    std::atomic<int16_t> logo_delay;      // divider of the letter steps
    std::atomic<int16_t> mode;            // tile motion mode 1..4
    std::atomic<int16_t> field;           // picture on show, 0..9
    std::atomic<int16_t> flash;           // 1..100 tint percent, -2 restore, -1 idle
    std::atomic<int16_t> wave;            // wave angle 0..255 of the tile motion
    std::atomic<int16_t> hold;            // 60 Hz ticks left in the tiles' rest
    std::atomic<float> angle[LETTERS];    // heading of each letter, 256 to the circle
};

// Written once per frame, before anything is drawn; read by that frame only.
struct snap_record {
    int32_t scroll_clock;
    int32_t flash;
};

extern flags_record flags;
extern snap_record snap;

extern BITMAP *screenbuf; // 320 x 240: every frame of both parts is drawn here
extern BITMAP *construct; // 320 x 200: the logo letters are composed here

constexpr int SCREENBUF_W = 320;
constexpr int SCREENBUF_H = 240;
constexpr int CONSTRUCT_W = 320;
constexpr int CONSTRUCT_H = 200;

#endif
