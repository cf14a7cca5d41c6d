// Pictures built from shapes and light: metaballs, a landscape, a tunnel, a
// fractal and a ray-traced still life. Also the table of which picture is
// which.
#include <algorithm>
#include <cmath>

#include "resources/directory.h"
#include "scenes.h"

static const float PI = 3.14159265f;

db_canvas DB_draw_picture(int n, db_col *tint)
{
    // The member sizes differ by a factor of four, so the busiest pictures go
    // where there is most room and the flat mosaic where there is least.
    typedef db_canvas (*drawer)(uint32_t, db_col *);
    static const drawer by_number[RES_PICTURES] = {
        DB_draw_metaballs, DB_draw_landscape, DB_draw_tunnel, DB_draw_fractal, DB_draw_raytrace,
        DB_draw_nebula,    DB_draw_planet,    DB_draw_aurora, DB_draw_mosaic,  DB_draw_city,
    };
    uint32_t seed = static_cast<uint32_t>(1000 * (n + 1) + 7919 * db_variant);
    db_canvas cv = by_number[n](seed, tint);
    if (db_variant != 0 && n % 3 != 1) {
        // The test data set turns the colours of most pictures round.
        for (db_col &c : cv.px) {
            c = db_col{c.b, c.r, c.g};
        }
        *tint = db_col{tint->b, tint->r, tint->g};
    }
    return cv;
}

db_canvas DB_draw_metaballs(uint32_t seed, db_col *tint)
{
    db_canvas cv = DB_new_canvas(PICTURE_W, PICTURE_H);
    db_rng rng = DB_rng(seed);
    const int balls = 7;
    float bx[balls], by[balls], br[balls];
    for (int i = 0; i < balls; i++) {
        float a = 2 * PI * i / balls + DB_unit(rng) * 0.6f;
        float d = 38 + 50 * DB_unit(rng);
        bx[i] = 160 + std::cos(a) * d * 1.6f;
        by[i] = 96 + std::sin(a) * d * 0.85f;
        br[i] = 13 + 11 * DB_unit(rng);
    }
    auto field = [&](float x, float y) {
        float f = 0;
        for (int i = 0; i < balls; i++) {
            float dx = x - bx[i], dy = y - by[i];
            f += br[i] * br[i] / (dx * dx + dy * dy + 1);
        }
        return f;
    };
    for (int y = 0; y < PICTURE_H; y++) {
        for (int x = 0; x < PICTURE_W; x++) {
            // Backdrop: a dusky floor of glowing lines in perspective.
            float v = static_cast<float>(y) / PICTURE_H;
            db_col c = DB_mix(DB_colour(0.04f, 0.02f, 0.12f), DB_colour(0.18f, 0.05f, 0.25f), v);
            if (y > 110) {
                float depth = 1200.0f / (y - 100);
                float gx = (x - 160) / (float)(y - 100) * 8;
                float line = std::max(std::pow(std::abs(std::cos(PI * depth / 8)), 40.0f),
                                      std::pow(std::abs(std::cos(PI * gx)), 40.0f));
                c = DB_add(c, DB_scale(DB_colour(0.2f, 0.5f, 0.9f), line * (v - 0.5f) * 1.4f));
            }
            float f = field(x + 0.5f, y + 0.5f);
            if (f >= 1.0f) {
                // Surface: a dome of height 1 - 1/f, so blobs swell smoothly
                // from their rims and merge where they meet.
                auto height = [&](float hx, float hy) { return 1 - 1 / field(hx, hy); };
                float hx = height(x + 1.5f, y + 0.5f) - height(x - 0.5f, y + 0.5f);
                float hy = height(x + 0.5f, y + 1.5f) - height(x + 0.5f, y - 0.5f);
                float nx = -hx * 12, ny = -hy * 12, nz = 1;
                float len = std::sqrt(nx * nx + ny * ny + nz * nz);
                nx /= len, ny /= len, nz /= len;
                float diff = DB_clamp(-0.45f * nx - 0.55f * ny + 0.7f * nz);
                float spec = std::pow(DB_clamp(-0.3f * nx - 0.45f * ny + 0.84f * nz), 60.0f);
                float rim = std::pow(1 - nz, 2.0f);
                float depth = DB_clamp((f - 1) / 4);
                db_col base =
                    DB_mix(DB_colour(0.85f, 0.15f, 0.45f), DB_colour(1.0f, 0.62f, 0.18f), depth);
                c = DB_add(DB_scale(base, 0.12f + 0.88f * diff),
                           DB_scale(DB_colour(1, 1, 1), spec * 0.9f));
                c = DB_add(c, DB_scale(DB_colour(0.3f, 0.4f, 1.0f), rim * 0.5f));
            } else {
                float glow = DB_smooth(0.35f, 1.0f, f);
                c = DB_add(c, DB_scale(DB_colour(0.6f, 0.15f, 0.5f), glow * 0.6f));
            }
            DB_put(cv, x, y, c);
        }
    }
    *tint = DB_colour(0.7f, 0.3f, 1.0f);
    return cv;
}

db_canvas DB_draw_landscape(uint32_t seed, db_col *tint)
{
    db_canvas cv = DB_new_canvas(PICTURE_W, PICTURE_H);
    const int horizon = 140;
    // Three ridges, far to near: height above the horizon per column. The
    // near one is edged with the tops of pines.
    const int ridges = 3;
    float ridge[ridges][PICTURE_W];
    for (int x = 0; x < PICTURE_W; x++) {
        float fx = static_cast<float>(x);
        float peaks = 1 - std::abs(2 * DB_fbm(fx / 90.0f, 0.5f, 5, seed + 1) - 1); // sharp crests
        ridge[0][x] = 40 + 62 * peaks * peaks;
        ridge[1][x] = 18 + 40 * DB_fbm(fx / 55.0f, 3.5f, 6, seed + 2);
        float pine = std::abs(std::fmod(fx + 40 * DB_noise(fx / 9, 1, seed + 4), 6.0f) - 3) / 3;
        ridge[2][x] = 4 + 18 * DB_fbm(fx / 40.0f, 7.5f, 6, seed + 3) + 5 * (1 - pine);
    }
    // The sun sets into the lowest gap of the far ridge.
    int gap = 80;
    for (int x = 80; x < 240; x++) {
        if (ridge[0][x] < ridge[0][gap]) {
            gap = x;
        }
    }
    const float sun_x = static_cast<float>(gap), sun_y = horizon - ridge[0][gap] - 6;
    // Far ridges fade into the haze; the near one is dark with forest.
    const db_col lit[ridges] = {DB_colour(0.78f, 0.62f, 0.7f), DB_colour(0.36f, 0.3f, 0.5f),
                                DB_colour(0.16f, 0.22f, 0.2f)};
    const db_col shade[ridges] = {DB_colour(0.34f, 0.3f, 0.55f), DB_colour(0.13f, 0.12f, 0.3f),
                                  DB_colour(0.05f, 0.08f, 0.1f)};
    auto sky = [&](float x, float y) {
        float v = DB_clamp(y / horizon);
        db_col c = DB_mix(DB_colour(0.1f, 0.12f, 0.38f), DB_colour(0.72f, 0.42f, 0.58f), v * v);
        c = DB_mix(c, DB_colour(1.0f, 0.68f, 0.36f), std::pow(v, 4.0f));
        float dx = x - sun_x, dy = (y - sun_y) * 1.2f;
        float d = std::sqrt(dx * dx + dy * dy);
        c = DB_add(c, DB_scale(DB_colour(1.0f, 0.7f, 0.35f), 0.6f * std::exp(-d / 50)));
        if (d < 12) {
            c = DB_colour(1.0f, 0.97f, 0.82f);
        }
        // Long thin clouds, lit gold on the sun's side.
        float cl = DB_fbm(x / 110.0f, y / 10.0f, 5, seed + 9);
        float cloud = DB_smooth(0.5f, 0.68f, cl) * (1 - v * 0.7f);
        db_col cloud_c = DB_mix(DB_colour(0.42f, 0.3f, 0.52f), DB_colour(1.0f, 0.78f, 0.55f),
                                std::exp(-std::abs(dx) / 110));
        return DB_mix(c, cloud_c, cloud * 0.9f);
    };
    auto land = [&](int x, float y, bool &hit) {
        hit = true;
        for (int k = ridges - 1; k >= 0; k--) {
            float top = horizon - ridge[k][x];
            if (y < top) {
                continue;
            }
            // Crests catch the evening light; slopes facing the sun (to the
            // left) keep it further down; rock and scree break it up.
            int x0 = std::max(x - 4, 0), x1 = std::min(x + 4, PICTURE_W - 1);
            float slope = (ridge[k][x0] - ridge[k][x1]) / 8.0f;
            float grain = DB_fbm(x / 7.0f + y / 11.0f, y / 4.0f, 4, seed + 20 + k);
            float fall = (y - top) / (14.0f + 10 * k);
            float light = DB_clamp(1.1f - fall + slope * 0.35f + (grain - 0.5f) * 0.6f);
            db_col c = DB_mix(shade[k], lit[k], light);
            float below = (y - top) / 50.0f;
            if (k == 0 && horizon - y > 84 - 14 * grain) {
                c = DB_mix(c,
                           DB_mix(DB_colour(0.6f, 0.56f, 0.85f), DB_colour(1, 0.86f, 0.84f), light),
                           0.85f); // snow above the snow line
            }
            // Haze gathers in the valleys.
            c = DB_mix(c, DB_colour(0.6f, 0.5f, 0.65f), DB_clamp(below) * (0.3f - 0.1f * k));
            return c;
        }
        hit = false;
        return db_col{0, 0, 0};
    };
    for (int y = 0; y < PICTURE_H; y++) {
        for (int x = 0; x < PICTURE_W; x++) {
            db_col c;
            bool hit;
            if (y < horizon) {
                c = land(x, static_cast<float>(y), hit);
                if (!hit) {
                    c = sky(static_cast<float>(x), static_cast<float>(y));
                }
            } else {
                // The lake mirrors what lies above the horizon, rippled.
                float dist = static_cast<float>(y - horizon);
                float wob = std::sin(y * 1.3f + DB_noise(x / 20.0f, y / 3.0f, seed + 40) * 6) *
                            (0.5f + dist * 0.05f);
                int mx = std::min(PICTURE_W - 1, std::max(0, static_cast<int>(x + wob)));
                float my = horizon - dist - 1;
                c = land(mx, my, hit);
                if (!hit) {
                    c = sky(static_cast<float>(mx), my);
                }
                c = DB_mix(DB_scale(c, 0.75f), DB_colour(0.06f, 0.08f, 0.2f), DB_clamp(dist / 70));
                // A path of glitter on the water below the sun.
                float path = std::exp(-std::abs(x - sun_x) / (5 + dist * 0.7f));
                float glint = DB_smooth(0.5f, 0.72f, DB_noise(x / 3.0f, y * 1.7f, seed + 41));
                c = DB_add(c, DB_scale(DB_colour(1.0f, 0.75f, 0.4f), path * glint * 0.9f));
            }
            DB_put(cv, x, y, c);
        }
    }
    *tint = DB_colour(1.0f, 0.6f, 0.35f);
    return cv;
}

db_canvas DB_draw_tunnel(uint32_t seed, db_col *tint)
{
    db_canvas cv = DB_new_canvas(PICTURE_W, PICTURE_H);
    db_rng rng = DB_rng(seed);
    float cx = 150 + 20 * DB_unit(rng), cy = 92 + 16 * DB_unit(rng);
    float twist = 0.1f + 0.1f * DB_unit(rng);
    for (int y = 0; y < PICTURE_H; y++) {
        for (int x = 0; x < PICTURE_W; x++) {
            float dx = x + 0.5f - cx, dy = (y + 0.5f - cy) * 1.15f;
            float d = std::sqrt(dx * dx + dy * dy) + 0.01f;
            float depth = 420.0f / d;                                       // down the tunnel
            float ang = std::atan2(dy, dx) / (2 * PI) + depth * twist / 40; // around it
            float u = depth, v = ang * 16;
            float fu = u - std::floor(u), fv = v - std::floor(v);
            int cu = static_cast<int>(std::floor(u)), cvv = static_cast<int>(std::floor(v));
            // Panels in a brick bond, with glowing seams between them.
            if ((cu & 1) != 0) {
                fv = fv + 0.5f - std::floor(fv + 0.5f);
                cvv = static_cast<int>(std::floor(v + 0.5f));
            }
            float seam = std::max(DB_smooth(0.88f, 0.98f, fu), DB_smooth(0.9f, 0.99f, fv));
            float hue = static_cast<float>(cu) * 0.07f + DB_hash(cu, cvv, seed) * 0.12f;
            db_col panel =
                DB_cosine(hue, DB_colour(0.5f, 0.45f, 0.5f), DB_colour(0.45f, 0.35f, 0.4f),
                          DB_colour(1, 1, 1), DB_colour(0.0f, 0.33f, 0.67f));
            panel = DB_scale(panel, 0.75f + 0.25f * std::cos(fv * PI * 2));
            db_col c = DB_mix(panel, DB_colour(1.0f, 0.9f, 0.6f), seam);
            float light = DB_clamp(d / 170.0f);
            c = DB_scale(c, 0.06f + 0.94f * light * light);
            // A faint light at the far end.
            c = DB_add(c, DB_scale(DB_colour(0.9f, 0.8f, 1.0f), std::exp(-d / 7)));
            DB_put(cv, x, y, c);
        }
    }
    *tint = DB_colour(1.0f, 0.85f, 0.5f);
    return cv;
}

db_canvas DB_draw_fractal(uint32_t seed, db_col *tint)
{
    db_canvas cv = DB_new_canvas(PICTURE_W, PICTURE_H);
    // Seahorse valley of the Mandelbrot set; the test data set looks at the
    // elephants instead.
    double cx = -0.74335, cy = 0.13135, span = 0.0048;
    (void)seed;
    if (db_variant != 0) {
        cx = 0.2925, cy = 0.0146, span = 0.021;
    }
    const int max_iter = 600;
    for (int y = 0; y < PICTURE_H; y++) {
        for (int x = 0; x < PICTURE_W; x++) {
            double cr = cx + (x - PICTURE_W / 2.0) * span / PICTURE_W;
            double ci = cy + (y - PICTURE_H / 2.0) * span / PICTURE_W;
            double zr = 0, zi = 0;
            int i = 0;
            while (i < max_iter && zr * zr + zi * zi < 256) {
                double t = zr * zr - zi * zi + cr;
                zi = 2 * zr * zi + ci;
                zr = t;
                i++;
            }
            db_col c = DB_colour(0, 0, 0);
            if (i < max_iter) {
                // Smooth escape count, coloured with a cycling palette.
                double nu =
                    i + 1 - std::log(std::log(std::sqrt(zr * zr + zi * zi))) / std::log(2.0);
                float t = static_cast<float>(std::sqrt(nu) * 0.22);
                c = DB_cosine(t, DB_colour(0.5f, 0.5f, 0.5f), DB_colour(0.5f, 0.5f, 0.5f),
                              DB_colour(1.0f, 1.0f, 1.0f), DB_colour(0.0f, 0.1f, 0.2f));
                c = DB_scale(c, DB_clamp(static_cast<float>(nu) / 40.0f, 0.25f, 1.0f));
            }
            DB_put(cv, x, y, c);
        }
    }
    *tint = DB_colour(0.4f, 0.7f, 1.0f);
    return cv;
}

// The ray tracer's scene: spheres over a chequered floor under a sky.
struct sphere {
    float x, y, z, r;
    db_col colour;
    float mirror;
};

static bool hit_sphere(const sphere &s, const float o[3], const float d[3], float &t)
{
    float ox = o[0] - s.x, oy = o[1] - s.y, oz = o[2] - s.z;
    float b = ox * d[0] + oy * d[1] + oz * d[2];
    float c = ox * ox + oy * oy + oz * oz - s.r * s.r;
    float disc = b * b - c;
    if (disc < 0) {
        return false;
    }
    t = -b - std::sqrt(disc);
    return t > 1e-3f;
}

static db_col trace(const std::vector<sphere> &scene, const float o[3], const float d[3], int depth)
{
    const float light[3] = {-0.45f, 0.75f, -0.5f}; // towards the light, normalised below
    float ll = std::sqrt(light[0] * light[0] + light[1] * light[1] + light[2] * light[2]);
    float best = 1e30f;
    int which = -1;
    for (size_t i = 0; i < scene.size(); i++) {
        float t;
        if (hit_sphere(scene[i], o, d, t) && t < best) {
            best = t;
            which = static_cast<int>(i);
        }
    }
    float floor_t = d[1] < -1e-4f ? -o[1] / d[1] : 1e30f;
    if (which < 0 && floor_t >= 1e29f) {
        float v = DB_clamp(d[1] * 2.2f);
        db_col sky = DB_mix(DB_colour(0.85f, 0.75f, 0.7f), DB_colour(0.15f, 0.3f, 0.65f), v);
        float sun = d[0] * light[0] / ll + d[1] * light[1] / ll + d[2] * light[2] / ll;
        return DB_add(sky, DB_scale(DB_colour(1, 0.9f, 0.7f), std::pow(DB_clamp(sun), 200.0f)));
    }
    float p[3], n[3];
    db_col base;
    float mirror;
    if (which >= 0 && best < floor_t) {
        const sphere &s = scene[which];
        for (int a = 0; a < 3; a++) {
            p[a] = o[a] + d[a] * best;
        }
        n[0] = (p[0] - s.x) / s.r, n[1] = (p[1] - s.y) / s.r, n[2] = (p[2] - s.z) / s.r;
        base = s.colour;
        mirror = s.mirror;
    } else {
        for (int a = 0; a < 3; a++) {
            p[a] = o[a] + d[a] * floor_t;
        }
        n[0] = 0, n[1] = 1, n[2] = 0;
        bool odd =
            ((static_cast<int>(std::floor(p[0])) + static_cast<int>(std::floor(p[2]))) & 1) != 0;
        base = odd ? DB_colour(0.85f, 0.82f, 0.75f) : DB_colour(0.18f, 0.22f, 0.35f);
        mirror = 0.25f;
        float fog = DB_clamp((floor_t - 6) / 30);
        base = DB_mix(base, DB_colour(0.6f, 0.55f, 0.6f), fog);
    }
    float l[3] = {light[0] / ll, light[1] / ll, light[2] / ll};
    float diff = DB_clamp(n[0] * l[0] + n[1] * l[1] + n[2] * l[2]);
    // Shadow: anything between the point and the light.
    float q[3] = {p[0] + n[0] * 1e-3f, p[1] + n[1] * 1e-3f, p[2] + n[2] * 1e-3f};
    for (const sphere &s : scene) {
        float t;
        if (hit_sphere(s, q, l, t)) {
            diff *= 0.25f;
            break;
        }
    }
    float dn = d[0] * n[0] + d[1] * n[1] + d[2] * n[2];
    float r[3] = {d[0] - 2 * dn * n[0], d[1] - 2 * dn * n[1], d[2] - 2 * dn * n[2]};
    float spec = std::pow(DB_clamp(r[0] * l[0] + r[1] * l[1] + r[2] * l[2]), 40.0f) * (diff > 0.3f);
    db_col c =
        DB_add(DB_scale(base, 0.18f + 0.82f * diff), DB_scale(DB_colour(1, 1, 1), spec * 0.8f));
    if (mirror > 0 && depth < 3) {
        db_col m = trace(scene, q, r, depth + 1);
        c = DB_mix(c, m, mirror);
    }
    return c;
}

db_canvas DB_draw_raytrace(uint32_t seed, db_col *tint)
{
    db_canvas cv = DB_new_canvas(PICTURE_W, PICTURE_H);
    db_rng rng = DB_rng(seed);
    std::vector<sphere> scene = {
        {0.0f, 1.2f, 6.0f, 1.2f, DB_colour(0.9f, 0.9f, 0.95f), 0.85f},
        {-2.3f, 0.8f, 7.2f, 0.8f, DB_colour(0.9f, 0.25f, 0.15f), 0.15f},
        {2.2f, 0.9f, 5.6f, 0.9f, DB_colour(0.2f, 0.7f, 0.3f), 0.2f},
    };
    for (int i = 0; i < 5; i++) {
        float a = DB_unit(rng) * 6.28f, d = 2.8f + DB_unit(rng) * 2.5f,
              r = 0.25f + 0.2f * DB_unit(rng);
        db_col c = DB_cosine(DB_unit(rng), DB_colour(0.6f, 0.5f, 0.5f), DB_colour(0.4f, 0.4f, 0.4f),
                             DB_colour(1, 1, 1), DB_colour(0, 0.33f, 0.67f));
        scene.push_back({std::cos(a) * d, r, 6.5f + std::sin(a) * d * 0.7f, r, c, 0.1f});
    }
    const float eye[3] = {0, 1.6f, -1.0f};
    for (int y = 0; y < PICTURE_H; y++) {
        for (int x = 0; x < PICTURE_W; x++) {
            db_col sum = DB_colour(0, 0, 0);
            // Four rays a pixel smooth the edges.
            for (int s = 0; s < 4; s++) {
                float px = (x + 0.25f + 0.5f * (s & 1) - PICTURE_W / 2.0f) / PICTURE_W;
                float py = -(y + 0.25f + 0.5f * (s >> 1) - PICTURE_H / 2.0f) / PICTURE_W;
                float d[3] = {px * 1.1f, py * 1.1f - 0.12f, 1.0f};
                float len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
                d[0] /= len, d[1] /= len, d[2] /= len;
                sum = DB_add(sum, trace(scene, eye, d, 0));
            }
            DB_put(cv, x, y, DB_scale(sum, 0.25f));
        }
    }
    *tint = DB_colour(0.5f, 0.7f, 1.0f);
    return cv;
}
