// The tile field's layout and motion. Tiles sit on a staggered grid of 23
// rows; a wave angle runs once around the circle, moving the tiles one pixel
// per axis every fifth tick, then the field snaps home and rests for 70 ticks.
#include "field.h"

#include "base/random.h"
#include "base/state.h"

cels_record cels;

static const int GRID_ROWS = 23;
static const int EVEN_ROW_TILES = 20; // odd rows hold one more, shifted half a tile left
static const int ODD_ROW_SHIFT = -7;
static const int GRID_LEFT = 18;
static const int GRID_TOP = 4;
static const int ROW_PITCH = 8;
static const int16_t WAVE_END = 255; // the cycle ends when the wave reaches this angle

// Step values on the library's 256-unit circle: -1, 0 or +1.
static int sine_step(int angle)
{
    return fixtoi(fixsin(itofix(angle)));
}

static int cosine_step(int angle)
{
    return fixtoi(fixcos(itofix(angle)));
}

void ZE_assign_iso_field(int mode)
{
    int k = 0;
    for (int r = 0; r < GRID_ROWS; r++) {
        const int offset = (r % 2 == 0) ? 0 : ODD_ROW_SHIFT;
        const int tiles = EVEN_ROW_TILES + r % 2;
        for (int c = 0; c < tiles; c++, k++) {
            const int16_t x = static_cast<int16_t>(offset + GRID_LEFT + TILE_SIZE * c);
            const int16_t y = static_cast<int16_t>(GRID_TOP + ROW_PITCH * r);
            ZE_write(cels.home_x[k], x);
            ZE_write(cels.x[k], x);
            ZE_write(cels.home_y[k], y);
            ZE_write(cels.y[k], y);
            ZE_write(cels.dir[k], static_cast<int16_t>((ZE_rand() % 512) / 128)); // class 0..3
        }
    }
    // The bobbing modes give every tile a phase of its own instead.
    if (mode == 2 || mode == 3) {
        for (k = 0; k < TILES; k++) {
            ZE_write(cels.dir[k], static_cast<int16_t>((ZE_rand() % 1024) / 4)); // 0..255
        }
    }
}

void ZE_step_wave(void)
{
    const int16_t hold = ZE_read(flags.hold);
    if (hold != 0) {
        // Exact: the hold counts down from 70 or 45 and stops at 0. (A negative
        // hold would run down and wrap at -32768, as a 16-bit counter does.)
        ZE_write(flags.hold, static_cast<int16_t>(hold - 1));
        return;
    }
    const int16_t wave = static_cast<int16_t>((ZE_read(flags.wave) + 1) & 255);
    ZE_write(flags.wave, wave);
    if (wave == WAVE_END) {
        // Hold first, so that the motion step stays off the tiles being laid out.
        ZE_write(flags.hold, CYCLE_HOLD);
        ZE_assign_iso_field(ZE_read(flags.mode));
    }
}

// Signs of a direction class: 0 down-right, 1 down-left, 2 up-right, 3 up-left.
static const int CLASS_SX[4] = {+1, -1, +1, -1};
static const int CLASS_SY[4] = {+1, +1, -1, -1};

void ZE_move_cels(void)
{
    if (ZE_read(flags.hold) != 0) {
        return;
    }
    const int16_t delay = static_cast<int16_t>(ZE_read(flags.move_delay) + 1);
    if (delay <= MOVE_DIVIDER) {
        ZE_write(flags.move_delay, delay);
        return;
    }
    ZE_write(flags.move_delay, int16_t{0});

    const int a = ZE_read(flags.wave);
    const int mode = ZE_read(flags.mode);
    const int s = sine_step(a);
    const int c = cosine_step(a);
    for (int k = 0; k < TILES; k++) {
        const int dir = ZE_read(cels.dir[k]);
        const bool classed = dir >= 0 && dir <= 3; // the loop and diagonal modes need a class
        int dx = 0;
        int dy = 0;
        switch (mode) {
        case 1:
            if (classed) {
                dx = CLASS_SX[dir] * s;
                dy = CLASS_SY[dir] * c;
            }
            break;
        case 2:
            dy = sine_step((dir + a) & 255);
            break;
        case 3:
            dx = sine_step((dir + a) & 255);
            break;
        case 4:
            if (classed) {
                dx = CLASS_SX[dir] * s;
                dy = CLASS_SY[dir] * s;
            }
            break;
        default:
            break;
        }
        // Exact: a tile drifts at most 51 pixels from home in a wave cycle.
        ZE_write(cels.x[k], static_cast<int16_t>(ZE_read(cels.x[k]) + dx));
        ZE_write(cels.y[k], static_cast<int16_t>(ZE_read(cels.y[k]) + dy));
    }
}
