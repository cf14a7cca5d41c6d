// The last layers of a main-part frame. Eight bars darken the ends of the
// bottom band through the picture's shadow map; fourteen logo letters launch
// one after another from one point, run round a circle of about 81 pixels
// radius turned to their heading, and light the picture through its
// lighting map.
#include "extras.h"

#include <cstdint>
#include <cstring>
#include <mutex>

#include "base/pixels.h"
#include "resources/archive.h"
#include "resources/colormaps.h"

logo_record _logo;

// A bar covers columns x1..x2 of every row of the bottom band in one shade.
struct edge_bar {
    int x1, x2, colour;
};

// Outer bars in the deepest shade, inner ones lighter; drawn in this order.
// Their colours are the shadow-map rows the data files fill.
static const int DEEPEST = SHADOW_ROWS[0], DEEP = SHADOW_ROWS[1], LIGHTER = SHADOW_ROWS[2],
                 LIGHTEST = SHADOW_ROWS[3];
static const edge_bar BARS[] = {
    {0, 5, DEEPEST},      {6, 10, DEEP},       {11, 15, LIGHTER}, {16, 20, LIGHTEST},
    {300, 304, LIGHTEST}, {305, 309, LIGHTER}, {310, 314, DEEP},  {315, 319, DEEPEST},
};
static const int BAND_TOP = 200;
static const int BAND_BOTTOM = 239;

// The glyph of each letter: a group of eight, then a group of six.
static const int16_t LETTER_GLYPHS[LETTERS] = {27, 14, 17, 6, 4, 11, 11, 0, 27, 14, 11, 11, 4, 7};
// logo_clock ticks at which the letters set off: 35 apart, with a pause of
// three intervals between the groups. Letter 0 is moving from the start.
static const int32_t LETTER_LAUNCH[LETTERS] = {-1,  35,  70,  105, 140, 175, 210,
                                               245, 350, 385, 420, 455, 490, 525};
static const int32_t NO_LAUNCH = -1;
static const int LAUNCH_X = 63;
static const int LAUNCH_Y = 85;
static const int PARKED_X = -50; // out of sight until launched

static const double TURN_PER_CALL = 0.2; // heading units per 120 Hz call
static const float HEADING_WRAP = 255.0f;
static const int16_t CALLS_PER_STEP = 5;
static const int STEP_LENGTH = 2; // pixels

// rotate_sprite turns clockwise from upright; a heading of 63 draws the
// glyph unturned, so the letter leans into its path.
static const int ROTATION_BASE = 319;

void ZE_initialize_letters(void)
{
    for (int i = 0; i < LETTERS; i++) {
        ZE_write(flags.launch[i], LETTER_LAUNCH[i]);
        _logo.glyph[i] = LETTER_GLYPHS[i];
        const bool moving = LETTER_LAUNCH[i] == NO_LAUNCH;
        ZE_write(_logo.active[i], uint8_t{moving});
        ZE_write(_logo.x[i], itofix(moving ? LAUNCH_X : PARKED_X));
        ZE_write(_logo.y[i], itofix(LAUNCH_Y));
    }
}

void ZE_track_logo(void)
{
    // The frame loop lowers the letters under this lock; holding it for the
    // whole tick keeps its shift and our steps from undoing each other.
    std::lock_guard<std::mutex> tick(ZE_tick_lock);

    for (int i = 0; i < LETTERS; i++) {
        // The sum is formed in double and rounded once to single precision.
        float angle = ZE_read(flags.angle[i]) + TURN_PER_CALL;
        // 255, not 256: the heading gains a unit a lap and the circle creeps
        // up, which the drop at every change of picture works against.
        if (angle > HEADING_WRAP) {
            angle -= HEADING_WRAP;
        }
        ZE_write(flags.angle[i], angle);
    }

    const int16_t delay = static_cast<int16_t>(ZE_read(flags.logo_delay) + 1);
    if (delay >= CALLS_PER_STEP) {
        ZE_write(flags.logo_delay, int16_t{0});
        for (int i = 0; i < LETTERS; i++) {
            const fixed heading = ftofix(ZE_read(flags.angle[i]));
            ZE_write(_logo.x[i], ZE_read(_logo.x[i]) + STEP_LENGTH * fixsin(heading));
            ZE_write(_logo.y[i], ZE_read(_logo.y[i]) + STEP_LENGTH * fixcos(heading));
        }
    } else {
        ZE_write(flags.logo_delay, delay);
    }

    const int32_t now = ZE_read(flags.logo_clock);
    for (int i = 0; i < LETTERS; i++) {
        const int32_t when = ZE_read(flags.launch[i]);
        if (when != NO_LAUNCH && when == now) {
            ZE_write(_logo.x[i], itofix(LAUNCH_X));
            ZE_write(_logo.y[i], itofix(LAUNCH_Y));
            ZE_write(_logo.active[i], uint8_t{1});
            ZE_write(flags.angle[i], 0.0f);
            ZE_write(flags.launch[i], NO_LAUNCH);
        }
    }
}

static void draw_bars(BITMAP *bmp)
{
    for (const edge_bar &bar : BARS) {
        for (int row = BAND_TOP; row <= BAND_BOTTOM; row++) {
            hline(bmp, bar.x1, row, bar.x2, bar.colour);
        }
    }
}

// Composes the active letters on `construct`, later ones over earlier ones.
static void compose_letters(void)
{
    clear_bitmap(construct);
    for (int i = 0; i < LETTERS; i++) {
        BITMAP *glyph = logo[_logo.glyph[i]];
        if (ZE_read(_logo.active[i]) == 0 || glyph == NULL) {
            continue;
        }
        const int heading = static_cast<int>(ZE_read(flags.angle[i])); // toward zero
        rotate_sprite(construct, glyph, fixtoi(ZE_read(_logo.x[i])), fixtoi(ZE_read(_logo.y[i])),
                      itofix((ROTATION_BASE - heading) & 255));
    }
}

// Whether `map` leaves colour 0 of the sprite without effect.
static bool identity_row(const COLOR_MAP *map)
{
    for (int i = 0; i < PAL_SIZE; i++) {
        if (map->data[0][i] != i) {
            return false;
        }
    }
    return true;
}

// Each pixel of `bmp` under `construct` becomes color_map[letter][pixel], as
// draw_trans_sprite(bmp, construct, 0, 0) makes it. Colour 0 around the
// letters changes nothing through the identity row, so where the bitmaps
// take direct writes only the letters' own pixels are looked up, and empty
// stretches of `construct` are passed over a 64-bit word at a time.
static void light_letters(BITMAP *bmp)
{
    static const int CHUNK = sizeof(uint64_t); // pixels tested for colour 0 at once
    if (!ZE_direct_bitmap(bmp) || !ZE_direct_bitmap(construct) || !identity_row(color_map)) {
        draw_trans_sprite(bmp, construct, 0, 0);
        return;
    }
    const int left = bmp->cl;
    const int right = construct->w < bmp->cr ? construct->w : bmp->cr;
    const int bottom = construct->h < bmp->cb ? construct->h : bmp->cb;
    for (int y = bmp->ct; y < bottom; y++) {
        const unsigned char *letters = construct->line[y];
        unsigned char *out = bmp->line[y];
        int x = left;
        for (; x + CHUNK <= right; x += CHUNK) {
            uint64_t chunk;
            memcpy(&chunk, letters + x, CHUNK);
            if (chunk == 0) {
                continue;
            }
            for (int j = x; j < x + CHUNK; j++) {
                out[j] = color_map->data[letters[j]][out[j]];
            }
        }
        for (; x < right; x++) {
            out[x] = color_map->data[letters[x]][out[x]];
        }
    }
}

void ZE_draw_extras(BITMAP *bmp)
{
    const int field = ZE_read(flags.field);

    drawing_mode(DRAW_MODE_TRANS, NULL, 0, 0);
    color_map = _shadows[field];
    draw_bars(bmp);

    drawing_mode(DRAW_MODE_SOLID, NULL, 0, 0);
    color_map = _lights[field];
    compose_letters();
    // Glyph colours pick rows of the lighting map; colour 0 is its identity
    // row, so the picture shows through around the letters.
    light_letters(bmp);
}
