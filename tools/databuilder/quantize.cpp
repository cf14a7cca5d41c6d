// From truecolour to 8 bits: each picture gets a palette of its own, built
// from its colours, and as much shading detail as its member's size allows.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "db.h"
#include "resources/directory.h"

// A colour in 6-bit units while palettes are built.
struct fcol {
    float c[3];
};

static float dist2(const fcol &a, const fcol &b)
{
    return DB_distance2(a.c[0] - b.c[0], a.c[1] - b.c[1], a.c[2] - b.c[2]);
}

static unsigned char clamp63(float v)
{
    return static_cast<unsigned char>(std::lround(std::min(63.0f, std::max(0.0f, v))));
}

void DB_shared_entries(db_rgb *pal, db_col tint)
{
    pal[0] = {0, 0, 0};
    // The dot ramp: a smooth climb from a dark shade of the picture's tint
    // to a bright one, paling towards white at the top.
    float m = std::max(tint.r, std::max(tint.g, tint.b));
    db_col t = {tint.r / m, tint.g / m, tint.b / m};
    for (int i = 0; i < DB_RAMP_LEN; i++) {
        float k = static_cast<float>(i) / (DB_RAMP_LEN - 1);
        float level = 0.14f + 0.86f * k;
        float pale = 0.45f * k * k;
        pal[DB_RAMP_FIRST + i] = {clamp63(63 * level * (t.r * (1 - pale) + pale)),
                                  clamp63(63 * level * (t.g * (1 - pale) + pale)),
                                  clamp63(63 * level * (t.b * (1 - pale) + pale))};
    }
    // The scroller's colours, the same in every picture: four shades of a
    // deep violet for the outline and shadow, then twelve from pale gold at
    // the top of a letter to a burnt orange at its foot.
    static const db_rgb outline[4] = {{5, 2, 12}, {11, 6, 22}, {19, 12, 32}, {30, 22, 44}};
    for (int i = 0; i < 4; i++) {
        pal[DB_GLYPH_FIRST + i] = outline[i];
    }
    static const float body_top[3] = {63, 63, 54}, body_mid[3] = {63, 50, 16},
                       body_foot[3] = {46, 18, 6};
    for (int i = 0; i < 12; i++) {
        float k = i / 11.0f;
        const float *a = k < 0.5f ? body_top : body_mid;
        const float *b = k < 0.5f ? body_mid : body_foot;
        float f = k < 0.5f ? k * 2 : (k - 0.5f) * 2;
        pal[DB_GLYPH_FIRST + 4 + i] = {clamp63(a[0] + (b[0] - a[0]) * f),
                                       clamp63(a[1] + (b[1] - a[1]) * f),
                                       clamp63(a[2] + (b[2] - a[2]) * f)};
    }
}

// Median cut into `count` boxes, then a few rounds of k-means to settle.
static std::vector<fcol> build_palette(const std::vector<fcol> &px, int count)
{
    std::vector<int> order(px.size());
    for (size_t i = 0; i < px.size(); i++) {
        order[i] = static_cast<int>(i);
    }
    struct box {
        int lo, hi;
    };
    std::vector<box> boxes = {{0, static_cast<int>(order.size())}};
    auto extent = [&](const box &b, int &axis) {
        float lo[3] = {99, 99, 99}, hi[3] = {-1, -1, -1};
        for (int i = b.lo; i < b.hi; i++) {
            for (int a = 0; a < 3; a++) {
                lo[a] = std::min(lo[a], px[order[i]].c[a]);
                hi[a] = std::max(hi[a], px[order[i]].c[a]);
            }
        }
        float best = -1;
        for (int a = 0; a < 3; a++) {
            float w = (hi[a] - lo[a]) * (a == 1 ? 1.2f : 1.0f);
            if (w > best) {
                best = w;
                axis = a;
            }
        }
        return best;
    };
    while (static_cast<int>(boxes.size()) < count) {
        int pick = -1, axis = 0;
        float score = 0;
        for (size_t i = 0; i < boxes.size(); i++) {
            int a;
            float e = extent(boxes[i], a);
            float s = e * std::sqrt(static_cast<float>(boxes[i].hi - boxes[i].lo));
            if (boxes[i].hi - boxes[i].lo > 1 && e > 0.5f && s > score) {
                score = s;
                pick = static_cast<int>(i);
                axis = a;
            }
        }
        if (pick < 0) {
            break;
        }
        box b = boxes[pick];
        int mid = (b.lo + b.hi) / 2;
        std::nth_element(order.begin() + b.lo, order.begin() + mid, order.begin() + b.hi,
                         [&](int p, int q) {
                             if (px[p].c[axis] != px[q].c[axis]) {
                                 return px[p].c[axis] < px[q].c[axis];
                             }
                             return p < q;
                         });
        boxes[pick] = {b.lo, mid};
        boxes.push_back({mid, b.hi});
    }
    std::vector<fcol> pal;
    for (const box &b : boxes) {
        fcol s = {{0, 0, 0}};
        for (int i = b.lo; i < b.hi; i++) {
            for (int a = 0; a < 3; a++) {
                s.c[a] += px[order[i]].c[a];
            }
        }
        for (int a = 0; a < 3; a++) {
            s.c[a] /= static_cast<float>(b.hi - b.lo);
        }
        pal.push_back(s);
    }
    // k-means on every fourth pixel: enough to pull the boxes' means onto
    // the colours that matter.
    for (int round = 0; round < 4; round++) {
        std::vector<fcol> sum(pal.size(), fcol{{0, 0, 0}});
        std::vector<int> n(pal.size(), 0);
        for (size_t i = 0; i < px.size(); i += 4) {
            int best = 0;
            float bd = 1e30f;
            for (size_t k = 0; k < pal.size(); k++) {
                float d = dist2(px[i], pal[k]);
                if (d < bd) {
                    bd = d;
                    best = static_cast<int>(k);
                }
            }
            for (int a = 0; a < 3; a++) {
                sum[best].c[a] += px[i].c[a];
            }
            n[best]++;
        }
        for (size_t k = 0; k < pal.size(); k++) {
            if (n[k] > 0) {
                for (int a = 0; a < 3; a++) {
                    pal[k].c[a] = sum[k].c[a] / static_cast<float>(n[k]);
                }
            }
        }
    }
    return pal;
}

static int nearest(const fcol &c, const fcol *pal, int count)
{
    int best = 0;
    float bd = 1e30f;
    for (int k = 0; k < count; k++) {
        float d = dist2(c, pal[k]);
        if (d < bd) {
            bd = d;
            best = k;
        }
    }
    return best;
}

// One way of mapping the picture: error diffusion of strength `dither`, and
// runs kept going while the wanted colour stays within `merge` of the run's.
static std::vector<unsigned char> map_picture(const std::vector<fcol> &px, int w, int h,
                                              const fcol *pal, int count, float dither, float merge)
{
    std::vector<unsigned char> out(px.size());
    std::vector<fcol> err(static_cast<size_t>(w + 2) * 2, fcol{{0, 0, 0}});
    float merge2 = merge * merge * 9;
    for (int y = 0; y < h; y++) {
        fcol *cur = &err[static_cast<size_t>(y & 1) * (w + 2) + 1];
        fcol *next = &err[static_cast<size_t>((y + 1) & 1) * (w + 2) + 1];
        for (int x = -1; x <= w; x++) {
            next[x] = fcol{{0, 0, 0}};
        }
        int run = -1;
        for (int x = 0; x < w; x++) {
            fcol want = px[static_cast<size_t>(y) * w + x];
            for (int a = 0; a < 3; a++) {
                want.c[a] += cur[x].c[a];
            }
            int k;
            if (run >= 0 && dist2(want, pal[run]) <= merge2) {
                k = run;
            } else {
                k = nearest(want, pal, count);
            }
            run = k;
            out[static_cast<size_t>(y) * w + x] = static_cast<unsigned char>(k);
            for (int a = 0; a < 3; a++) {
                float e = (want.c[a] - pal[k].c[a]) * dither;
                e = std::max(-8.0f, std::min(8.0f, e));
                cur[x + 1].c[a] += e * 7 / 16;
                next[x - 1].c[a] += e * 3 / 16;
                next[x].c[a] += e * 5 / 16;
                next[x + 1].c[a] += e * 1 / 16;
            }
        }
    }
    return out;
}

db_image DB_fit_picture(const db_canvas &cv, db_col ramp_tint, size_t budget, const char *name)
{
    std::vector<fcol> px(cv.px.size());
    for (size_t i = 0; i < px.size(); i++) {
        px[i] = fcol{{std::min(63.0f, std::max(0.0f, cv.px[i].r * 63)),
                      std::min(63.0f, std::max(0.0f, cv.px[i].g * 63)),
                      std::min(63.0f, std::max(0.0f, cv.px[i].b * 63))}};
    }
    // Entry 0 is black and available to the picture; 1..223 are its own.
    std::vector<fcol> built = build_palette(px, DB_PICTURE_COLOURS - 1);
    fcol pal[DB_PICTURE_COLOURS];
    pal[0] = fcol{{0, 0, 0}};
    int count = 1;
    for (const fcol &c : built) {
        fcol q = {{static_cast<float>(clamp63(c.c[0])), static_cast<float>(clamp63(c.c[1])),
                   static_cast<float>(clamp63(c.c[2]))}};
        pal[count++] = q;
    }

    // From the most detail down: less dithering first, then longer runs.
    static const float dithers[] = {0.85f, 0.6f, 0.4f, 0.2f, 0.0f};
    static const float merges[] = {1.0f, 1.5f, 2.0f, 3.0f, 4.0f, 5.5f, 7.0f, 9.0f};
    std::vector<std::pair<float, float>> levels;
    for (float d : dithers) {
        levels.push_back({d, 0.0f});
    }
    for (float m : merges) {
        levels.push_back({0.0f, m});
    }

    for (const auto &level : levels) {
        std::vector<unsigned char> idx =
            map_picture(px, cv.w, cv.h, pal, count, level.first, level.second);
        // Frequent colours go to low indices: below 192 a lone pixel costs
        // one byte in the file instead of two.
        std::vector<long> used(count, 0);
        for (unsigned char k : idx) {
            used[k]++;
        }
        std::vector<int> order;
        for (int k = 1; k < count; k++) {
            order.push_back(k);
        }
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return used[a] > used[b]; });
        int remap[DB_PICTURE_COLOURS] = {0};
        db_image img = DB_new_image(cv.w, cv.h);
        DB_shared_entries(img.pal, ramp_tint);
        for (size_t i = 0; i < order.size(); i++) {
            remap[order[i]] = static_cast<int>(i) + 1;
            const fcol &c = pal[order[i]];
            img.pal[i + 1] = {static_cast<unsigned char>(c.c[0]),
                              static_cast<unsigned char>(c.c[1]),
                              static_cast<unsigned char>(c.c[2])};
        }
        for (size_t i = 0; i < idx.size(); i++) {
            img.pixels[i] = static_cast<unsigned char>(remap[idx[i]]);
        }
        size_t size = DB_encode_pcx(img).size();
        if (size <= budget) {
            printf("%-10s %6zu of %6zu bytes, dither %.2f, runs within %.1f\n", name, size, budget,
                   level.first, level.second);
            return img;
        }
    }
    DB_fail("%s does not fit its %zu bytes even at its plainest", name, budget);
}
