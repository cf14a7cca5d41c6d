// The contact sheet: every member on one PNG, for people to look at.
#include "db.h"
#include "png/png_writer.h"

// A canvas of RGB pixels that members are pasted onto.
struct sheet {
    int w, h;
    std::vector<unsigned char> rgb;
};

static void paste(sheet &s, const db_image &img, int at_x, int at_y, int scale)
{
    for (int y = 0; y < img.h * scale; y++) {
        for (int x = 0; x < img.w * scale; x++) {
            int sx = at_x + x, sy = at_y + y;
            if (sx < 0 || sy < 0 || sx >= s.w || sy >= s.h) {
                continue;
            }
            const db_rgb &c =
                img.pal[img.pixels[static_cast<size_t>(y / scale) * img.w + x / scale]];
            unsigned char *p = &s.rgb[(static_cast<size_t>(sy) * s.w + sx) * 3];
            p[0] = static_cast<unsigned char>(c.r * 255 / 63);
            p[1] = static_cast<unsigned char>(c.g * 255 / 63);
            p[2] = static_cast<unsigned char>(c.b * 255 / 63);
        }
    }
}

// The 256 entries of a palette as a strip of 16 x 2 swatches.
static void palette_strip(sheet &s, const db_rgb *pal, int at_x, int at_y)
{
    db_image strip = DB_new_image(128, 16);
    for (int i = 0; i < 256; i++) {
        strip.pal[i] = pal[i];
    }
    for (int y = 0; y < 16; y++) {
        for (int x = 0; x < 128; x++) {
            strip.pixels[static_cast<size_t>(y) * 128 + x] =
                static_cast<unsigned char>((y / 8) * 128 + x);
        }
    }
    paste(s, strip, at_x, at_y, 1);
}

void DB_contact_sheet(const std::string &path, const std::vector<const db_image *> &pictures,
                      const db_image &scroll, const db_image &logo, const db_image &intro,
                      const db_image &pattern)
{
    const int gap = 8, cell_w = 320 + gap, cell_h = 200 + 16 + 2 * gap;
    sheet s;
    s.w = gap + 4 * cell_w;
    s.h = gap + 3 * cell_h + 2 * 120 + gap;
    s.rgb.assign(static_cast<size_t>(s.w) * s.h * 3, 48);
    for (size_t i = 0; i < pictures.size(); i++) {
        int x = gap + static_cast<int>(i % 4) * cell_w, y = gap + static_cast<int>(i / 4) * cell_h;
        paste(s, *pictures[i], x, y, 1);
        palette_strip(s, pictures[i]->pal, x, y + 200 + 4);
    }
    // The last row of pictures has two free places: the intro and its pattern.
    int x = gap + 2 * cell_w, y = gap + 2 * cell_h;
    paste(s, intro, x, y, 1);
    palette_strip(s, intro.pal, x, y + 204);
    paste(s, pattern, x + cell_w, y, 3);
    y = gap + 3 * cell_h;
    paste(s, scroll, gap, y, 2);
    paste(s, logo, gap + 2 * scroll.w + gap, y, 1);
    if (!PW_write_rgb(path.c_str(), s.rgb.data(), s.w, s.h)) {
        DB_fail("cannot write %s", path.c_str());
    }
}
