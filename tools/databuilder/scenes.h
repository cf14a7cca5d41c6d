// Small tools the pictures are drawn with: colours, value noise, and the
// drawing function of each picture.
#ifndef TESSERA_DB_SCENES_H
#define TESSERA_DB_SCENES_H

#include <cmath>
#include <cstdint>

#include "db.h"

inline float DB_clamp(float v, float lo = 0.0f, float hi = 1.0f)
{
    return v < lo ? lo : v > hi ? hi : v;
}

inline float DB_smooth(float e0, float e1, float v)
{
    float t = DB_clamp((v - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

inline db_col DB_colour(float r, float g, float b)
{
    return db_col{r, g, b};
}

inline db_col DB_mix(db_col a, db_col b, float t)
{
    return db_col{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline db_col DB_scale(db_col a, float k)
{
    return db_col{a.r * k, a.g * k, a.b * k};
}

inline db_col DB_add(db_col a, db_col b)
{
    return db_col{a.r + b.r, a.g + b.g, a.b + b.b};
}

// A cosine palette: a + b * cos(2 pi (c t + d)), per channel.
inline db_col DB_cosine(float t, db_col a, db_col b, db_col c, db_col d)
{
    const float tau = 6.2831853f;
    return db_col{a.r + b.r * std::cos(tau * (c.r * t + d.r)),
                  a.g + b.g * std::cos(tau * (c.g * t + d.g)),
                  a.b + b.b * std::cos(tau * (c.b * t + d.b))};
}

inline float DB_hash(int x, int y, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / 16777216.0f;
}

// Smooth value noise in 0..1.
inline float DB_noise(float x, float y, uint32_t seed)
{
    int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    float fx = x - xi, fy = y - yi;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    float a = DB_hash(xi, yi, seed), b = DB_hash(xi + 1, yi, seed);
    float c = DB_hash(xi, yi + 1, seed), d = DB_hash(xi + 1, yi + 1, seed);
    return a + (b - a) * fx + (c - a) * fy + (a - b - c + d) * fx * fy;
}

// Fractal sum of `octaves` layers of noise, in 0..1.
inline float DB_fbm(float x, float y, int octaves, uint32_t seed)
{
    float sum = 0, amp = 0.5f, norm = 0;
    for (int i = 0; i < octaves; i++) {
        sum += amp * DB_noise(x, y, seed + 17 * i);
        norm += amp;
        amp *= 0.5f;
        x = x * 2.03f + 1.7f;
        y = y * 2.03f - 3.1f;
    }
    return sum / norm;
}

inline void DB_put(db_canvas &cv, int x, int y, db_col c)
{
    cv.px[static_cast<size_t>(y) * cv.w + x] = c;
}

inline db_col DB_get(const db_canvas &cv, int x, int y)
{
    return cv.px[static_cast<size_t>(y) * cv.w + x];
}

// The pictures; each returns the tint of its dot ramp through `tint`.
db_canvas DB_draw_metaballs(uint32_t seed, db_col *tint);
db_canvas DB_draw_landscape(uint32_t seed, db_col *tint);
db_canvas DB_draw_tunnel(uint32_t seed, db_col *tint);
db_canvas DB_draw_fractal(uint32_t seed, db_col *tint);
db_canvas DB_draw_raytrace(uint32_t seed, db_col *tint);
db_canvas DB_draw_nebula(uint32_t seed, db_col *tint);
db_canvas DB_draw_planet(uint32_t seed, db_col *tint);
db_canvas DB_draw_aurora(uint32_t seed, db_col *tint);
db_canvas DB_draw_mosaic(uint32_t seed, db_col *tint);
db_canvas DB_draw_city(uint32_t seed, db_col *tint);

#endif
