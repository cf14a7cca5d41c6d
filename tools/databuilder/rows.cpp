// The colour-map rows of res_2.dat: for each picture's palette, what a bar
// of shade or a letter of light turns each colour into.
#include <algorithm>
#include <cmath>

#include "db.h"

// How much of a colour each shadows row keeps, darkest (row 75) first.
static const float SHADE_KEEP[4] = {0.30f, 0.48f, 0.64f, 0.80f};
// How far each lights row moves a colour towards white: the letters' body
// (row 103) a little, their edge (row 176) much more. A colour is first
// raised by LIFT so that dark ground still shows the letters.
static const float LIGHT_TOWARDS_WHITE[2] = {0.5f, 0.75f};
static const float LIGHT_LIFT[2] = {1.5f, 1.7f};

static int closest(const db_rgb *pal, float r, float g, float b)
{
    int best = 0;
    float bd = 1e30f;
    for (int k = 0; k < 256; k++) {
        float d = DB_distance2(pal[k].r - r, pal[k].g - g, pal[k].b - b);
        if (d < bd) {
            bd = d;
            best = k;
        }
    }
    return best;
}

void DB_color_rows(const db_rgb *pal, unsigned char rows[6][256])
{
    for (int j = 0; j < 256; j++) {
        float r = pal[j].r, g = pal[j].g, b = pal[j].b;
        for (int k = 0; k < 2; k++) {
            float t = LIGHT_TOWARDS_WHITE[k], lift = LIGHT_LIFT[k];
            rows[k][j] = static_cast<unsigned char>(
                closest(pal, std::min(63.0f, r * lift) + (63 - std::min(63.0f, r * lift)) * t,
                        std::min(63.0f, g * lift) + (63 - std::min(63.0f, g * lift)) * t,
                        std::min(63.0f, b * lift) + (63 - std::min(63.0f, b * lift)) * t));
        }
        for (int k = 0; k < 4; k++) {
            float keep = SHADE_KEEP[k];
            rows[2 + k][j] = static_cast<unsigned char>(closest(pal, r * keep, g * keep, b * keep));
        }
    }
}
