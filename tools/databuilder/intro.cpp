// The intro's two members: the title logo whose pixels fly home, and the
// pattern sheet whose tile lights the band drifting across it.
#include <algorithm>
#include <cmath>

#include "db.h"
#include "glyphs.h"
#include "resources/directory.h"

static const char *TITLE = "TESSERA";
// The logo aims for this many pixels, well inside what the intro takes.
static const int LOGO_PIXELS_LOW = 3600;
static const int LOGO_PIXELS_HIGH = 4600;
// Each of the 31 logo colours comes again at these darker levels (in
// eighths), so that the intro's lighting table finds close shades.
static const int DARK_LEVELS = 7;

// The title set in `face` at `size`: coverage over the whole picture,
// centred. Returns the number of pixels it covers by half or more.
static int set_title(db_face face, int size, std::vector<float> &cov)
{
    std::vector<db_coverage> chars;
    int width = 0, top = 0, bottom = 0;
    for (const char *p = TITLE; *p; p++) {
        chars.push_back(DB_render_char(face, size, static_cast<unsigned char>(*p)));
        width += chars.back().advance;
        top = std::max(top, chars.back().top);
        bottom = std::max(bottom, chars.back().h - chars.back().top);
    }
    cov.assign(static_cast<size_t>(PICTURE_W) * PICTURE_H, 0.0f);
    int pen = (PICTURE_W - width) / 2;
    int baseline = (PICTURE_H - (top + bottom)) / 2 + top;
    int count = 0;
    for (const db_coverage &c : chars) {
        for (int y = 0; y < c.h; y++) {
            for (int x = 0; x < c.w; x++) {
                int px = pen + c.left + x, py = baseline - c.top + y;
                if (px >= 0 && px < PICTURE_W && py >= 0 && py < PICTURE_H) {
                    float &v = cov[static_cast<size_t>(py) * PICTURE_W + px];
                    v = std::max(v, c.v[static_cast<size_t>(y) * c.w + x]);
                }
            }
        }
        pen += c.advance;
    }
    for (float v : cov) {
        count += v >= 0.5f;
    }
    return count;
}

db_image DB_intro_source(void)
{
    db_face face = DB_open_face(db_variant == 0 ? "DejaVuSans-Bold.ttf" : "DejaVuSerif-Bold.ttf");
    // The largest size whose pixels stay within the aim.
    std::vector<float> cov;
    int size = 12;
    for (int s = 12; s <= 90; s++) {
        int n = set_title(face, s, cov);
        if (n > LOGO_PIXELS_HIGH) {
            break;
        }
        size = s;
    }
    int n = set_title(face, size, cov);
    if (n < LOGO_PIXELS_LOW || n > INTRO_MAX_CELLS) {
        DB_fail("the intro logo has %d pixels, not %d..%d", n, LOGO_PIXELS_LOW, LOGO_PIXELS_HIGH);
    }

    db_image img = DB_new_image(PICTURE_W, PICTURE_H);
    int top = PICTURE_H, bottom = 0;
    for (int y = 0; y < PICTURE_H; y++) {
        for (int x = 0; x < PICTURE_W; x++) {
            if (cov[static_cast<size_t>(y) * PICTURE_W + x] >= 0.5f) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    auto inside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < PICTURE_W && y < PICTURE_H &&
               cov[static_cast<size_t>(y) * PICTURE_W + x] >= 0.5f;
    };
    for (int y = top; y <= bottom; y++) {
        for (int x = 0; x < PICTURE_W; x++) {
            if (!inside(x, y)) {
                continue;
            }
            // Brightest along the top of the letters, and a bevel: strokes
            // lit from the upper left, shaded towards the lower right.
            float k = static_cast<float>(y - top) / std::max(1, bottom - top);
            float shade = 1.0f - 0.75f * k;
            if (!inside(x - 1, y - 1) || !inside(x - 2, y - 2)) {
                shade += 0.25f;
            } else if (!inside(x + 1, y + 1) || !inside(x + 2, y + 2)) {
                shade -= 0.3f;
            }
            int colour =
                INTRO_CELL_COLOUR_MIN +
                static_cast<int>(std::lround(std::min(1.0f, std::max(0.0f, shade)) *
                                             (INTRO_CELL_COLOUR_MAX - INTRO_CELL_COLOUR_MIN)));
            img.pixels[static_cast<size_t>(y) * PICTURE_W + x] = static_cast<unsigned char>(colour);
        }
    }

    // The palette: colours 1..31 glow from a deep hue through a hot one to
    // near white; their darker shades fill the rest.
    static const float glow[2][3][3] = {
        {{16, 5, 34}, {52, 12, 48}, {63, 60, 44}},
        {{4, 16, 30}, {6, 44, 40}, {58, 63, 56}},
    };
    const float(*g)[3] = glow[db_variant == 0 ? 0 : 1];
    for (int i = 1; i <= 31; i++) {
        float k = (i - 1) / 30.0f;
        const float *a = k < 0.5f ? g[0] : g[1];
        const float *b = k < 0.5f ? g[1] : g[2];
        float f = k < 0.5f ? k * 2 : (k - 0.5f) * 2;
        float c[3];
        for (int j = 0; j < 3; j++) {
            c[j] = a[j] + (b[j] - a[j]) * f;
        }
        img.pal[i] = {static_cast<unsigned char>(c[0]), static_cast<unsigned char>(c[1]),
                      static_cast<unsigned char>(c[2])};
        for (int level = 1; level <= DARK_LEVELS; level++) {
            int at = 32 + (level - 1) * 31 + (i - 1);
            img.pal[at] = {static_cast<unsigned char>(c[0] * level / 8),
                           static_cast<unsigned char>(c[1] * level / 8),
                           static_cast<unsigned char>(c[2] * level / 8)};
        }
    }
    for (int at = 32 + DARK_LEVELS * 31; at < 256; at++) {
        unsigned char v = static_cast<unsigned char>((at - (32 + DARK_LEVELS * 31)) * 4);
        img.pal[at] = {v, v, v};
    }
    return img;
}

// Light levels of the pattern tile: 255 keeps a colour as it is, lower ones
// darken it. Both patterns repeat every 32 pixels across and down.
static int light_level(int x, int y, int variant)
{
    const float tau = 6.2831853f;
    float v;
    if (variant == 0) {
        // A woven lattice: two diagonal waves crossing, with bright knots.
        float a = std::sin(tau * (2 * x + y) / 32.0f);
        float b = std::cos(tau * (x - 2 * y) / 32.0f);
        v = 0.5f + 0.3f * a + 0.3f * b + 0.25f * a * b;
    } else {
        // Ripples around the tile's centre, wrapped so the tile repeats.
        float dx = std::min(std::abs(x - 16.0f), 32 - std::abs(x - 16.0f));
        float dy = std::min(std::abs(y - 16.0f), 32 - std::abs(y - 16.0f));
        v = 0.5f + 0.5f * std::cos(tau * std::sqrt(dx * dx + dy * dy) / 8.0f);
    }
    v = std::min(1.0f, std::max(0.0f, v));
    return 40 + static_cast<int>(std::lround(v * 215));
}

db_image DB_intro_pattern(void)
{
    db_image img = DB_new_image(INTRO_PATTERN_MIN_W, INTRO_PATTERN_MIN_H);
    for (int i = 0; i < 256; i++) {
        unsigned char v = static_cast<unsigned char>(i / 4);
        img.pal[i] = {v, v, v};
    }
    // The tile the intro uses sits at (0, 32); above it lies the other
    // pattern, for whoever looks at the sheet.
    for (int y = 0; y < img.h; y++) {
        for (int x = 0; x < img.w; x++) {
            int which = y >= 32 ? db_variant : 1 - db_variant;
            img.pixels[static_cast<size_t>(y) * img.w + x] =
                static_cast<unsigned char>(light_level(x % 32, y % 32, which));
        }
    }
    return img;
}
