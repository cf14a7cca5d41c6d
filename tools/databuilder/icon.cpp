// The program's icon for the desktop menu: the first letter of the title
// logo, in the logo's own colours, on a dark tile with rounded corners, at
// each size the desktop's icon themes look for.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <sys/stat.h>

#include "db.h"
#include "png/png_writer.h"
#include "resources/directory.h"

static const int ICON_SIZES[] = {16, 22, 24, 32, 48, 64, 128, 256};
// The letter's larger side fills this share of the tile's side.
static const float LETTER_SHARE = 0.78f;
// The tile's corners are rounded by this share of its side.
static const float CORNER_SHARE = 0.16f;
// The tile's colour, a little lighter than the demo's black so that its
// edge shows on a black panel, and subsamples a side for its edge.
static const float TILE_GREY = 0.09f;
static const int EDGE_SAMPLES = 4;

// A colour with its alpha; r, g, b already multiplied by it.
struct premul {
    float r, g, b, a;
};

// The logo's first letter: its box in the logo picture.
struct letter_box {
    int x0, y0, w, h;
};

static bool lit(const db_image &logo, int x, int y)
{
    return logo.pixels[static_cast<size_t>(y) * logo.w + x] != 0;
}

static bool column_lit(const db_image &logo, int x)
{
    for (int y = 0; y < logo.h; y++) {
        if (lit(logo, x, y)) {
            return true;
        }
    }
    return false;
}

// The columns from the first lit one up to the next bare one, and the rows
// lit within them.
static letter_box first_letter(const db_image &logo)
{
    int x0 = 0;
    while (x0 < logo.w && !column_lit(logo, x0)) {
        x0++;
    }
    int x1 = x0;
    while (x1 < logo.w && column_lit(logo, x1)) {
        x1++;
    }
    int y0 = logo.h, y1 = 0;
    for (int y = 0; y < logo.h; y++) {
        for (int x = x0; x < x1; x++) {
            if (lit(logo, x, y)) {
                y0 = std::min(y0, y);
                y1 = std::max(y1, y + 1);
            }
        }
    }
    if (x1 == x0 || y1 <= y0) {
        DB_fail("the title logo has no letter to make an icon of");
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

// How much of the tile covers the pixel (x, y) of a tile `size` wide.
static float tile_cover(int size, int x, int y)
{
    const float r = CORNER_SHARE * size;
    int inside = 0;
    for (int sy = 0; sy < EDGE_SAMPLES; sy++) {
        for (int sx = 0; sx < EDGE_SAMPLES; sx++) {
            const float px = x + (sx + 0.5f) / EDGE_SAMPLES, py = y + (sy + 0.5f) / EDGE_SAMPLES;
            // Distance past the corner's centre, along each axis.
            const float dx = std::max(0.0f, std::max(r - px, px - (size - r)));
            const float dy = std::max(0.0f, std::max(r - py, py - (size - r)));
            inside += dx * dx + dy * dy <= r * r;
        }
    }
    return static_cast<float>(inside) / (EDGE_SAMPLES * EDGE_SAMPLES);
}

// The letter at (x, y) of the icon: the average of the logo pixels under
// that pixel, each weighted by how much of it they cover.
static premul letter_at(const db_image &logo, const letter_box &box, float scale, float ox,
                        float oy, int x, int y)
{
    const float sx0 = (x - ox) / scale, sx1 = (x + 1 - ox) / scale;
    const float sy0 = (y - oy) / scale, sy1 = (y + 1 - oy) / scale;
    premul sum = {0, 0, 0, 0};
    for (int ly = std::max(0, static_cast<int>(std::floor(sy0)));
         ly < std::min(box.h, static_cast<int>(std::ceil(sy1))); ly++) {
        const float wy = std::min(sy1, ly + 1.0f) - std::max(sy0, static_cast<float>(ly));
        for (int lx = std::max(0, static_cast<int>(std::floor(sx0)));
             lx < std::min(box.w, static_cast<int>(std::ceil(sx1))); lx++) {
            if (!lit(logo, box.x0 + lx, box.y0 + ly)) {
                continue;
            }
            const float wx = std::min(sx1, lx + 1.0f) - std::max(sx0, static_cast<float>(lx));
            const db_rgb &c =
                logo.pal[logo.pixels[static_cast<size_t>(box.y0 + ly) * logo.w + box.x0 + lx]];
            const float w = wx * wy * scale * scale;
            sum.r += w * c.r / 63.0f;
            sum.g += w * c.g / 63.0f;
            sum.b += w * c.b / 63.0f;
            sum.a += w;
        }
    }
    return sum;
}

static unsigned char byte(float v)
{
    return static_cast<unsigned char>(std::lround(std::min(1.0f, std::max(0.0f, v)) * 255));
}

static void write_icon(const db_image &logo, const letter_box &box, int size,
                       const std::string &path)
{
    const float scale = LETTER_SHARE * size / std::max(box.w, box.h);
    const float ox = (size - box.w * scale) / 2, oy = (size - box.h * scale) / 2;
    std::vector<unsigned char> rgba(static_cast<size_t>(size) * size * 4);
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            const float tile = tile_cover(size, x, y);
            const premul l = letter_at(logo, box, scale, ox, oy, x, y);
            // The letter over the tile; both premultiplied.
            const float keep = 1 - l.a;
            const premul p = {l.r + keep * TILE_GREY * tile, l.g + keep * TILE_GREY * tile,
                              l.b + keep * TILE_GREY * tile, l.a + keep * tile};
            unsigned char *o = &rgba[(static_cast<size_t>(y) * size + x) * 4];
            const float a = p.a > 0 ? p.a : 1;
            o[0] = byte(p.r / a);
            o[1] = byte(p.g / a);
            o[2] = byte(p.b / a);
            o[3] = byte(p.a);
        }
    }
    if (!PW_write_rgba(path.c_str(), rgba.data(), size, size)) {
        DB_fail("cannot write %s", path.c_str());
    }
}

static void make_folder(const std::string &path)
{
    if (mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) {
        DB_fail("cannot make the folder %s", path.c_str());
    }
}

void DB_write_icons(const std::string &dir)
{
    const db_image logo = DB_intro_source();
    const letter_box box = first_letter(logo);
    for (int size : ICON_SIZES) {
        std::string path = dir;
        for (const std::string &part :
             {std::string("hicolor"), std::to_string(size) + "x" + std::to_string(size),
              std::string("apps")}) {
            path += "/" + part;
            make_folder(path);
        }
        write_icon(logo, box, size, path + "/tessera.png");
    }
}
