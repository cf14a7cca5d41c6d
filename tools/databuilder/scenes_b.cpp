// Pictures of sky and craft: a nebula, a ringed planet, an aurora, a mosaic
// of small tiles and a city at dusk.
#include <algorithm>
#include <cmath>

#include "resources/directory.h"
#include "scenes.h"

static const float PI = 3.14159265f;

// A field of stars: a few bright ones with a small cross of light.
static void stars(db_canvas &cv, db_rng &rng, int count, float brightness)
{
    for (int i = 0; i < count; i++) {
        int x = static_cast<int>(DB_unit(rng) * cv.w), y = static_cast<int>(DB_unit(rng) * cv.h);
        float b = brightness * (0.3f + 0.7f * DB_unit(rng) * DB_unit(rng));
        db_col c = DB_mix(DB_colour(0.7f, 0.8f, 1.0f), DB_colour(1.0f, 0.9f, 0.7f), DB_unit(rng));
        DB_put(cv, x, y, DB_add(DB_get(cv, x, y), DB_scale(c, b)));
        if (b > 0.75f * brightness) {
            const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
            for (int k = 0; k < 4; k++) {
                int sx = x + dx[k], sy = y + dy[k];
                if (sx >= 0 && sy >= 0 && sx < cv.w && sy < cv.h) {
                    DB_put(cv, sx, sy, DB_add(DB_get(cv, sx, sy), DB_scale(c, b * 0.4f)));
                }
            }
        }
    }
}

db_canvas DB_draw_nebula(uint32_t seed, db_col *tint)
{
    db_canvas cv = DB_new_canvas(PICTURE_W, PICTURE_H);
    db_rng rng = DB_rng(seed);
    const float core_x = 175, core_y = 95;
    for (int y = 0; y < PICTURE_H; y++) {
        for (int x = 0; x < PICTURE_W; x++) {
            float u = x / 80.0f, v = y / 80.0f;
            // Gas folded on itself: the noise is sampled where other noise points.
            float wx = DB_fbm(u, v, 5, seed + 1), wy = DB_fbm(u + 5.2f, v + 1.3f, 5, seed + 2);
            float gas = DB_fbm(u + 2.2f * wx, v + 2.2f * wy, 6, seed + 3);
            float dx = (x - core_x) / 120.0f, dy = (y - core_y) / 80.0f;
            float core = std::exp(-(dx * dx + dy * dy) * 2.2f);
            float dens = DB_clamp(gas * 1.6f - 0.45f + core * 0.6f);
            db_col c = DB_mix(DB_colour(0.12f, 0.02f, 0.2f), DB_colour(0.85f, 0.2f, 0.55f), dens);
            c = DB_mix(c, DB_colour(0.2f, 0.75f, 0.85f), DB_smooth(0.45f, 0.9f, wy) * dens);
            c = DB_add(c, DB_scale(DB_colour(1.0f, 0.85f, 0.6f), std::pow(core, 3.0f) * 0.9f));
            // Dark lanes of dust across the glow.
            float dust = DB_smooth(0.55f, 0.7f, DB_fbm(u * 1.7f + 9, v * 1.7f, 5, seed + 4));
            c = DB_scale(c, (1 - 0.8f * dust) * (0.35f + 0.65f * dens + 0.2f));
            DB_put(cv, x, y, c);
        }
    }
    stars(cv, rng, 420, 0.9f);
    *tint = DB_colour(0.9f, 0.4f, 0.8f);
    return cv;
}

db_canvas DB_draw_planet(uint32_t seed, db_col *tint)
{
    db_canvas cv = DB_new_canvas(PICTURE_W, PICTURE_H);
    db_rng rng = DB_rng(seed);
    for (int y = 0; y < PICTURE_H; y++) {
        for (int x = 0; x < PICTURE_W; x++) {
            float v = static_cast<float>(y) / PICTURE_H;
            DB_put(cv, x, y,
                   DB_mix(DB_colour(0.0f, 0.0f, 0.03f), DB_colour(0.05f, 0.02f, 0.1f), v));
        }
    }
    stars(cv, rng, 260, 0.8f);
    const float px = 118, py = 112, pr = 74;
    const float tilt = -0.32f;                      // of the rings
    const float ring_in = 92, ring_out = 138;       // radii of the rings
    const float lx = 0.75f, ly = -0.45f, lz = 0.5f; // towards the sun
    auto ring_at = [&](float x, float y, float &r) {
        // Rings lie in a tilted plane seen from above: squash y by 0.28.
        float dx = x - px, dy = y - py;
        float rx = dx * std::cos(tilt) - dy * std::sin(tilt);
        float ry = (dx * std::sin(tilt) + dy * std::cos(tilt)) / 0.28f;
        r = std::sqrt(rx * rx + ry * ry);
        return ry;
    };
    for (int y = 0; y < PICTURE_H; y++) {
        for (int x = 0; x < PICTURE_W; x++) {
            db_col c = DB_get(cv, x, y);
            float dx = (x - px) / pr, dy = (y - py) / pr;
            float d2 = dx * dx + dy * dy;
            float r;
            float ry = ring_at(x + 0.5f, y + 0.5f, r);
            bool ring = r > ring_in && r < ring_out;
            float band = 0;
            db_col ring_c = DB_colour(0, 0, 0);
            if (ring) {
                float k = (r - ring_in) / (ring_out - ring_in);
                band = 0.55f + 0.45f * std::sin(k * 40 + DB_noise(k * 30, 0, seed + 7) * 4);
                band *= DB_smooth(0.0f, 0.06f, k) * (1 - DB_smooth(0.93f, 1.0f, k));
                if (k > 0.6f && k < 0.66f) {
                    band *= 0.15f; // a gap in the rings
                }
                ring_c = DB_scale(
                    DB_mix(DB_colour(0.8f, 0.7f, 0.55f), DB_colour(0.95f, 0.9f, 0.8f), k), band);
            }
            if (d2 < 1) {
                // The planet: bands of cloud that curl, lit from one side.
                float dz = std::sqrt(1 - d2);
                float lat = dy * 0.95f + dx * 0.3f;
                float swirl = DB_fbm(dx * 3 + lat * 2, lat * 14, 5, seed + 3);
                float t = lat * 5 + swirl * 1.6f;
                db_col surf = DB_cosine(t * 0.35f, DB_colour(0.65f, 0.5f, 0.38f),
                                        DB_colour(0.25f, 0.2f, 0.15f), DB_colour(1, 1, 1),
                                        DB_colour(0.0f, 0.08f, 0.2f));
                float lit = DB_clamp((dx * lx + dy * ly + dz * lz) * 1.1f + 0.05f);
                c = DB_scale(surf, 0.04f + lit);
                c = DB_add(
                    c, DB_scale(DB_colour(0.4f, 0.6f, 1.0f), std::pow(1 - dz, 3.0f) * lit * 0.8f));
                // The rings' shadow falls across the disc.
                float sr;
                ring_at(x + 0.5f - 18, y + 0.5f + 10, sr);
                if (sr > ring_in && sr < ring_out) {
                    c = DB_scale(c, 0.45f);
                }
                if (ring && ry > 0) {
                    c = DB_mix(c, ring_c, DB_clamp(band * 1.3f)); // rings pass in front
                }
            } else if (ring) {
                c = DB_add(c, ring_c);
            } else if (d2 < 1.08f) {
                c = DB_add(c,
                           DB_scale(DB_colour(0.3f, 0.5f, 1.0f), (1.08f - d2) * 6 * 0.4f)); // haze
            }
            DB_put(cv, x, y, c);
        }
    }
    // A small moon in the upper right.
    for (int y = 0; y < PICTURE_H; y++) {
        for (int x = 0; x < PICTURE_W; x++) {
            float dx = (x - 262) / 16.0f, dy = (y - 46) / 16.0f, d2 = dx * dx + dy * dy;
            if (d2 < 1) {
                float dz = std::sqrt(1 - d2);
                float lit = DB_clamp(dx * lx + dy * ly + dz * lz);
                float crater = DB_fbm(dx * 4 + 3, dy * 4, 4, seed + 11);
                DB_put(cv, x, y,
                       DB_scale(DB_colour(0.75f, 0.72f, 0.7f),
                                (0.03f + lit) * (0.6f + 0.5f * crater)));
            }
        }
    }
    *tint = DB_colour(0.9f, 0.75f, 0.5f);
    return cv;
}

db_canvas DB_draw_aurora(uint32_t seed, db_col *tint)
{
    db_canvas cv = DB_new_canvas(PICTURE_W, PICTURE_H);
    db_rng rng = DB_rng(seed);
    for (int y = 0; y < PICTURE_H; y++) {
        for (int x = 0; x < PICTURE_W; x++) {
            float v = static_cast<float>(y) / PICTURE_H;
            DB_put(cv, x, y,
                   DB_mix(DB_colour(0.0f, 0.01f, 0.06f), DB_colour(0.04f, 0.1f, 0.2f), v));
        }
    }
    stars(cv, rng, 300, 0.75f);
    // Curtains of light: each column hangs from a wavy upper edge and fades downward.
    for (int x = 0; x < PICTURE_W; x++) {
        float fx = static_cast<float>(x);
        for (int layer = 0; layer < 2; layer++) {
            float base = 62 + layer * 22 + 22 * std::sin(fx / 53 + layer * 2.1f) +
                         10 * std::sin(fx / 21 + layer);
            float streak = DB_fbm(fx / (6.0f + layer * 3), layer * 10.0f, 4, seed + 5 + layer);
            float power = DB_smooth(0.3f, 0.75f, streak) * (layer == 0 ? 1.0f : 0.7f);
            for (int y = 0; y < PICTURE_H; y++) {
                float above = base - y; // pixels above the curtain's lower edge
                if (above < -6) {
                    continue;
                }
                float glow =
                    above < 0 ? std::exp(above / 2.0f) : std::exp(-above / (38.0f + 20 * streak));
                db_col c = DB_mix(DB_colour(0.15f, 1.0f, 0.5f), DB_colour(0.65f, 0.2f, 0.9f),
                                  DB_clamp(above / 70.0f));
                DB_put(cv, x, y, DB_add(DB_get(cv, x, y), DB_scale(c, glow * power * 0.75f)));
            }
        }
    }
    // Snowy hills and a line of pines, lit green from above.
    for (int x = 0; x < PICTURE_W; x++) {
        float hill = 150 + 14 * std::sin(x / 41.0f) + 8 * DB_fbm(x / 30.0f, 2, 4, seed + 8);
        float far = 138 + 10 * std::sin(x / 67.0f + 1) + 6 * DB_fbm(x / 25.0f, 5, 4, seed + 9);
        for (int y = 0; y < PICTURE_H; y++) {
            float yy = static_cast<float>(y);
            if (yy > hill) {
                float shade =
                    0.55f + 0.45f * DB_fbm(x / 9.0f, y / 4.0f, 4, seed + 10) - (yy - hill) / 160;
                DB_put(cv, x, y, DB_scale(DB_colour(0.55f, 0.75f, 0.8f), shade));
            } else if (yy > far) {
                DB_put(cv, x, y,
                       DB_scale(DB_colour(0.25f, 0.4f, 0.5f),
                                0.7f + 0.3f * DB_noise(x / 5.0f, y / 3.0f, seed)));
            }
        }
    }
    for (int t = 0; t < 26; t++) {
        float tx = DB_unit(rng) * PICTURE_W, th = 14 + DB_unit(rng) * 22;
        float ground = 150 + 14 * std::sin(tx / 41.0f) + 8 * DB_fbm(tx / 30.0f, 2, 4, seed + 8) + 3;
        for (int y = static_cast<int>(ground - th); y < ground && y < PICTURE_H; y++) {
            float k = (y - (ground - th)) / th; // 0 at the tip
            float half = k * th * 0.28f * (0.8f + 0.2f * std::sin(y * 1.7f));
            for (int x = static_cast<int>(tx - half); x <= tx + half; x++) {
                if (x >= 0 && x < PICTURE_W && y >= 0) {
                    DB_put(cv, x, y, DB_colour(0.02f, 0.06f + 0.04f * (1 - k), 0.07f));
                }
            }
        }
    }
    *tint = DB_colour(0.3f, 1.0f, 0.6f);
    return cv;
}

db_canvas DB_draw_mosaic(uint32_t seed, db_col *tint)
{
    db_canvas cv = DB_new_canvas(PICTURE_W, PICTURE_H);
    // Tiles of 13 pixels with a pixel of grout, each row of tiles shifted by
    // half a tile. Every tile takes the colour of the design at its centre.
    const int pitch = 14, tile = 13;
    const db_col grout = DB_colour(0.1f, 0.08f, 0.07f);
    const db_col cream = DB_colour(0.86f, 0.8f, 0.66f), ink = DB_colour(0.16f, 0.09f, 0.08f);
    auto design = [&](float x, float y) {
        float dx = x - 160, dy = (y - 100) * 1.1f;
        float r = std::sqrt(dx * dx + dy * dy), a = std::atan2(dy, dx);
        // A border of blue and cream waves round a rosette of eight petals,
        // ringed in green and terracotta, with a blue bud in each corner.
        if (x < 24 || x > 296 || y < 16 || y > 184) {
            float along = x < 24 || x > 296 ? y : x;
            return std::sin(along / 9.0f) > 0 ? DB_colour(0.12f, 0.26f, 0.5f) : cream;
        }
        float petals = std::pow(std::abs(std::cos(a * 4)), 0.6f) * 26;
        if (r < 15) {
            return DB_colour(0.98f, 0.8f, 0.25f);
        }
        if (r < 30 + petals) {
            return DB_mix(DB_colour(0.95f, 0.55f, 0.15f), DB_colour(0.72f, 0.14f, 0.1f),
                          DB_clamp((r - 15) / 40));
        }
        if (r < 38 + petals) {
            return ink;
        }
        if (r > 82 && r < 96) {
            return DB_mix(DB_colour(0.16f, 0.4f, 0.3f), DB_colour(0.3f, 0.58f, 0.38f),
                          0.5f + 0.5f * std::sin(a * 6));
        }
        if (r > 96 && r < 104) {
            return DB_colour(0.7f, 0.3f, 0.18f);
        }
        float cx = std::abs(dx) - 110, cy = std::abs(y - 100) - 62;
        if (std::abs(cx) + std::abs(cy) < 22) {
            return std::abs(cx) + std::abs(cy) < 10 ? DB_colour(0.2f, 0.45f, 0.7f) : ink;
        }
        return DB_mix(cream, DB_colour(0.72f, 0.7f, 0.64f), DB_clamp(r / 200));
    };
    for (int y = 0; y < PICTURE_H; y++) {
        for (int x = 0; x < PICTURE_W; x++) {
            DB_put(cv, x, y, grout);
        }
    }
    for (int ty = -1; ty * pitch < PICTURE_H; ty++) {
        int shift = (ty & 1) ? pitch / 2 : 0;
        for (int tx = -1; tx * pitch < PICTURE_W + pitch; tx++) {
            int x0 = tx * pitch + shift, y0 = ty * pitch + 1;
            db_col c = design(x0 + tile / 2.0f, y0 + tile / 2.0f);
            // No two tiles are quite alike.
            float j = 0.9f + 0.18f * DB_hash(tx, ty, seed);
            c = DB_scale(c, j);
            for (int y = y0; y < y0 + tile; y++) {
                // Each stone catches the light on its upper edge and is
                // shaded along its lower one.
                db_col row = y == y0              ? DB_mix(c, DB_colour(1, 1, 1), 0.3f)
                             : y == y0 + tile - 1 ? DB_scale(c, 0.7f)
                                                  : c;
                for (int x = x0; x < x0 + tile; x++) {
                    if (x >= 0 && y >= 0 && x < PICTURE_W && y < PICTURE_H) {
                        DB_put(cv, x, y, row);
                    }
                }
            }
        }
    }
    *tint = DB_colour(1.0f, 0.7f, 0.3f);
    return cv;
}

db_canvas DB_draw_city(uint32_t seed, db_col *tint)
{
    db_canvas cv = DB_new_canvas(PICTURE_W, PICTURE_H);
    db_rng rng = DB_rng(seed);
    const int water = 158;
    for (int y = 0; y < water; y++) {
        for (int x = 0; x < PICTURE_W; x++) {
            float v = static_cast<float>(y) / water;
            db_col c = DB_mix(DB_colour(0.1f, 0.06f, 0.25f), DB_colour(0.6f, 0.25f, 0.45f), v);
            c = DB_mix(c, DB_colour(1.0f, 0.6f, 0.3f), std::pow(v, 4.0f));
            float dx = x - 70.0f, dy = y - 38.0f, d = std::sqrt(dx * dx + dy * dy);
            if (d < 11) {
                c = DB_colour(0.98f, 0.95f, 0.85f);
            } else {
                c = DB_add(c,
                           DB_scale(DB_colour(0.6f, 0.5f, 0.6f), std::exp(-(d - 11) / 14) * 0.4f));
            }
            DB_put(cv, x, y, c);
        }
    }
    stars(cv, rng, 60, 0.5f);
    // Two rows of towers, the far one hazy; windows lit at random.
    for (int layer = 0; layer < 2; layer++) {
        int x = -static_cast<int>(DB_unit(rng) * 10);
        while (x < PICTURE_W) {
            int w = 14 + static_cast<int>(DB_unit(rng) * (layer ? 26 : 18));
            int h = (layer ? 30 : 50) + static_cast<int>(DB_unit(rng) * (layer ? 60 : 55));
            int top = water - h;
            db_col wall = layer ? DB_colour(0.05f, 0.04f, 0.1f) : DB_colour(0.25f, 0.16f, 0.32f);
            bool spire = DB_unit(rng) < 0.2f;
            for (int y = std::max(0, top - (spire ? 14 : 0)); y < water; y++) {
                for (int xx = x; xx < x + w && xx < PICTURE_W; xx++) {
                    if (xx < 0) {
                        continue;
                    }
                    if (y < top && std::abs(xx - (x + w / 2)) > (y - (top - 14)) / 5) {
                        continue;
                    }
                    float edge = (xx - x) < 2 ? 1.25f : 1.0f;
                    db_col c = DB_scale(wall, edge * (0.8f + 0.4f * (y - top) / std::max(1, h)));
                    int wx = (xx - x - 2) % 4, wy = (y - top - 3) % 5;
                    if (y >= top + 3 && xx - x >= 2 && xx < x + w - 2 && wx < 2 && wy < 2) {
                        float lit = DB_hash((xx - x) / 4 + x * 7, (y - top) / 5, seed + layer);
                        if (lit > (layer ? 0.55f : 0.7f)) {
                            c = DB_mix(DB_colour(1.0f, 0.8f, 0.4f), DB_colour(0.7f, 0.9f, 1.0f),
                                       lit > 0.93f);
                            c = DB_scale(c, layer ? 1.0f : 0.6f);
                        }
                    }
                    DB_put(cv, xx, y, c);
                }
            }
            x += w + static_cast<int>(DB_unit(rng) * 6);
        }
    }
    // The river mirrors the skyline in broken, stretched strokes.
    for (int y = water; y < PICTURE_H; y++) {
        float dist = static_cast<float>(y - water);
        for (int x = 0; x < PICTURE_W; x++) {
            float wob = 3 * std::sin(y * 0.9f + DB_noise(x / 14.0f, y / 2.0f, seed + 3) * 5);
            int mx = std::min(PICTURE_W - 1, std::max(0, static_cast<int>(x + wob)));
            int my = std::max(0, water - 1 - static_cast<int>(dist * 1.6f));
            db_col c = DB_scale(DB_get(cv, mx, my), 0.55f - dist / 120);
            c = DB_add(c, DB_colour(0.02f, 0.02f, 0.06f));
            DB_put(cv, x, y, c);
        }
    }
    *tint = DB_colour(1.0f, 0.5f, 0.6f);
    return cv;
}
