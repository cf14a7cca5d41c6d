// Shared pieces of the data builder: 8-bit images with their palettes, the
// encoders that turn them into member files, and the makers of every member.
#ifndef TESSERA_DB_H
#define TESSERA_DB_H

#include <cstdint>
#include <string>
#include <vector>

// A colour in the library's 6-bit components, 0..63 each.
struct db_rgb {
    unsigned char r, g, b;
};

// A colour in linear-ish floating point, 0..1 each, while a picture is drawn.
struct db_col {
    float r, g, b;
};

// An 8-bit image and the palette its indices refer to.
struct db_image {
    int w = 0, h = 0;
    std::vector<unsigned char> pixels; // row by row
    db_rgb pal[256] = {};
};

// A truecolour picture being drawn, row by row.
struct db_canvas {
    int w = 0, h = 0;
    std::vector<db_col> px;
};

// Palette entries every picture shares: 0 is black, 224..239 the dot ramp,
// 240..255 the scroller's glyph colours. Pictures draw with 0..223.
constexpr int DB_PICTURE_COLOURS = 224;
constexpr int DB_RAMP_FIRST = 224;
constexpr int DB_RAMP_LEN = 16;
constexpr int DB_GLYPH_FIRST = 240;
constexpr int DB_GLYPH_LEN = 16;

// How far apart two colours look, from their differences in red, green and
// blue: green counts most and blue least, roughly as the eye weighs them.
inline float DB_distance2(float dr, float dg, float db)
{
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

// Which of the two data sets is built: 0 the release, 1 the test variant.
extern int db_variant;

// Reports a failure and ends the builder with a non-zero status.
[[noreturn]] void DB_fail(const char *fmt, ...);

// A small deterministic generator (xorshift), seeded per member.
struct db_rng {
    uint64_t s;
};
db_rng DB_rng(uint64_t seed);
uint32_t DB_next(db_rng &r);
float DB_unit(db_rng &r); // 0 <= x < 1

db_image DB_new_image(int w, int h);
db_canvas DB_new_canvas(int w, int h);

// Encodes `img` as an 8-bit RLE PCX with its 256-colour palette. Returns the
// unpadded file; DB_pad_pcx pads it to exactly `length` bytes.
std::vector<unsigned char> DB_encode_pcx(const db_image &img);
bool DB_pad_pcx(std::vector<unsigned char> &pcx, size_t length);

// The colours all pictures share (entry 0, the ramp tinted by `tint`, the
// glyph colours).
void DB_shared_entries(db_rgb *pal, db_col tint);

// Turns a truecolour picture into an 8-bit one in its own palette that fits
// `budget` bytes as a PCX, giving up detail (dither, then fine shading) only
// as far as the budget asks. Fails loudly if it cannot fit.
db_image DB_fit_picture(const db_canvas &cv, db_col ramp_tint, size_t budget, const char *name);

// The ten background pictures, by picture number.
db_canvas DB_draw_picture(int n, db_col *ramp_tint);

// The two glyph sheets and the intro's two members.
db_image DB_scroll_sheet(void);
db_image DB_logo_sheet(void);
db_image DB_intro_source(void);
db_image DB_intro_pattern(void);

// The colour-map rows of one picture's palette, as the six rows of a block
// (lights 103, lights 176, shadows 75, 130, 175, 225), 256 entries each.
void DB_color_rows(const db_rgb *pal, unsigned char rows[6][256]);

// A picture of all members for people to look at.
void DB_contact_sheet(const std::string &path, const std::vector<const db_image *> &pictures,
                      const db_image &scroll, const db_image &logo, const db_image &intro,
                      const db_image &pattern);

// Writes the program's icon, the title logo's first letter, at every size
// the desktop looks for, as DIR/hicolor/NxN/apps/tessera.png.
void DB_write_icons(const std::string &dir);

#endif
