// The two glyph sheets, drawn from real typefaces: the scroller's shaded
// capitals and the logo letters that circle the screen.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "db.h"
#include "glyphs.h"
#include "resources/directory.h"

static const char *FONT_DIR = "/usr/share/fonts/truetype/dejavu/";

db_face DB_open_face(const char *file)
{
    static FT_Library library;
    if (library == nullptr && FT_Init_FreeType(&library) != 0) {
        DB_fail("cannot start FreeType");
    }
    std::string path = std::string(FONT_DIR) + file;
    FT_Face face;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
        DB_fail("cannot open the typeface %s (Debian package fonts-dejavu-core)", path.c_str());
    }
    return face;
}

db_coverage DB_render_char(db_face face, int pixel_size, unsigned long ch)
{
    FT_Face f = static_cast<FT_Face>(face);
    if (FT_Set_Pixel_Sizes(f, 0, pixel_size) != 0 || FT_Load_Char(f, ch, FT_LOAD_RENDER) != 0) {
        DB_fail("cannot render character %lu", ch);
    }
    const FT_Bitmap &bm = f->glyph->bitmap;
    db_coverage c;
    c.w = static_cast<int>(bm.width);
    c.h = static_cast<int>(bm.rows);
    c.left = f->glyph->bitmap_left;
    c.top = f->glyph->bitmap_top;
    c.advance = static_cast<int>(f->glyph->advance.x >> 6);
    c.v.assign(static_cast<size_t>(c.w) * c.h, 0.0f);
    for (int y = 0; y < c.h; y++) {
        for (int x = 0; x < c.w; x++) {
            c.v[static_cast<size_t>(y) * c.w + x] = bm.buffer[y * bm.pitch + x] / 255.0f;
        }
    }
    return c;
}

// Coverage of a character placed in a w x h cell: centred across, its
// baseline at row `baseline`.
static std::vector<float> place(const db_coverage &c, int w, int h, int baseline)
{
    std::vector<float> cell(static_cast<size_t>(w) * h, 0.0f);
    int x0 = (w - c.w) / 2;
    int y0 = baseline - c.top;
    for (int y = 0; y < c.h; y++) {
        for (int x = 0; x < c.w; x++) {
            int cx = x0 + x, cy = y0 + y;
            if (cx >= 0 && cx < w && cy >= 0 && cy < h) {
                cell[static_cast<size_t>(cy) * w + cx] = c.v[static_cast<size_t>(y) * c.w + x];
            }
        }
    }
    return cell;
}

// The character each scroller glyph shows; 0 leaves the glyph blank.
static char scroll_char(int g)
{
    if (g < 26) {
        return static_cast<char>('A' + g);
    }
    if (g >= 30 && g < 40) {
        return static_cast<char>('0' + g - 30);
    }
    static const char marks[] = ".,':!";
    if (g >= 40 && g < 45) {
        return marks[g - 40];
    }
    return 0;
}

db_image DB_scroll_sheet(void)
{
    db_image img =
        DB_new_image(SCROLL_SHEET_COLS * SCROLL_CELL_W, SCROLL_SHEET_ROWS * SCROLL_CELL_H);
    DB_shared_entries(img.pal, db_col{0.5f, 0.5f, 0.6f});
    db_face face = DB_open_face(db_variant == 0 ? "DejaVuSans-Bold.ttf" : "DejaVuSerif-Bold.ttf");
    const int size = 20, baseline = 16, cap_top = 1;
    const int w = SCROLL_GLYPH_W, h = SCROLL_GLYPH_H;
    for (int g = 0; g < SCROLL_GLYPHS; g++) {
        char ch = scroll_char(g);
        if (ch == 0) {
            continue;
        }
        std::vector<float> cov = place(DB_render_char(face, size, ch), w, h, baseline);
        auto at = [&](int x, int y) {
            return x < 0 || y < 0 || x >= w || y >= h ? 0.0f : cov[static_cast<size_t>(y) * w + x];
        };
        int ox = (g % SCROLL_SHEET_COLS) * SCROLL_CELL_W,
            oy = (g / SCROLL_SHEET_COLS) * SCROLL_CELL_H;
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) {
                float c = at(x, y);
                int colour = 0;
                if (c >= 0.5f) {
                    // The body: pale gold at the top of the capitals to
                    // orange at their foot.
                    float k = static_cast<float>(y - cap_top) / (baseline - cap_top);
                    int shade =
                        static_cast<int>(std::lround(std::min(1.0f, std::max(0.0f, k)) * 11));
                    colour = DB_GLYPH_FIRST + 4 + shade;
                } else if (c >= 0.12f) {
                    colour = DB_GLYPH_FIRST + 3; // anti-aliased rim
                } else if (at(x - 1, y - 1) >= 0.5f || at(x - 2, y - 1) >= 0.5f) {
                    colour = DB_GLYPH_FIRST + 1; // shadow down and to the right
                } else if (at(x - 1, y) >= 0.4f || at(x + 1, y) >= 0.4f || at(x, y - 1) >= 0.4f ||
                           at(x, y + 1) >= 0.4f) {
                    colour = DB_GLYPH_FIRST + 0; // thin dark outline
                }
                img.pixels[static_cast<size_t>(oy + y) * img.w + ox + x] =
                    static_cast<unsigned char>(colour);
            }
        }
    }
    return img;
}

// Glyph indices the fourteen letters show, in launch order: a group of
// eight and a group of six.
static const int LETTER_GLYPHS[14] = {27, 14, 17, 6, 4, 11, 11, 0, 27, 14, 11, 11, 4, 7};

// The words the two groups of letters read in this data set.
static const char *logo_words(void)
{
    // Eight letters, then six; the repeated glyphs above fall on repeated
    // letters of the two words.
    return db_variant == 0 ? "HEYDOLLYHELLO!" : "TESSELLATELLER";
}

// The logo sheet's glyph-to-character table: the words' letters at their
// glyphs, every other cell another character in a shuffled order.
static void logo_table(char table[LOGO_GLYPHS])
{
    memset(table, 0, LOGO_GLYPHS);
    const char *words = logo_words();
    for (int i = 0; i < 14; i++) {
        char &cell = table[LETTER_GLYPHS[i]];
        if (cell != 0 && cell != words[i]) {
            DB_fail("the logo words put two letters on glyph %d", LETTER_GLYPHS[i]);
        }
        cell = words[i];
    }
    std::string spare;
    for (const char *p = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789*+&?#%@$=<>"; *p; p++) {
        if (strchr(words, *p) == nullptr) {
            spare += *p;
        }
    }
    db_rng rng = DB_rng(5400 + db_variant);
    for (size_t i = spare.size(); i > 1; i--) {
        std::swap(spare[i - 1], spare[DB_next(rng) % i]);
    }
    size_t next = 0;
    for (int g = 0; g < LOGO_GLYPHS; g++) {
        if (table[g] == 0 && next < spare.size()) {
            table[g] = spare[next++];
        }
    }
}

// The colours the logo letters are drawn in: the body and the brighter edge.
static const int LOGO_BODY = LIGHT_ROW_BODY;
static const int LOGO_EDGE = LIGHT_ROW_EDGE;

db_image DB_logo_sheet(void)
{
    db_image img = DB_new_image(LOGO_SHEET_COLS * LOGO_CELL_W + 1, LOGO_SHEET_ROWS * LOGO_CELL_H);
    img.pal[LOGO_BODY] = {40, 44, 56};
    img.pal[LOGO_EDGE] = {63, 63, 63};
    db_face face =
        DB_open_face(db_variant == 0 ? "DejaVuSans-Bold.ttf" : "DejaVuSansMono-Bold.ttf");
    char table[LOGO_GLYPHS];
    logo_table(table);
    const int w = LOGO_GLYPH_W, h = LOGO_GLYPH_H, size = 29, baseline = 25;
    for (int g = 0; g < LOGO_GLYPHS; g++) {
        if (table[g] == 0) {
            continue; // more cells than characters: the last stay empty
        }
        std::vector<float> cov = place(DB_render_char(face, size, table[g]), w, h, baseline);
        auto body = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < w && y < h &&
                   cov[static_cast<size_t>(y) * w + x] >= 0.5f;
        };
        int ox = 1 + (g % LOGO_SHEET_COLS) * LOGO_CELL_W,
            oy = 1 + (g / LOGO_SHEET_COLS) * LOGO_CELL_H;
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) {
                int colour = 0;
                if (body(x, y)) {
                    // Edge pixels of the stroke shine brighter than its middle.
                    bool edge =
                        !body(x - 1, y) || !body(x + 1, y) || !body(x, y - 1) || !body(x, y + 1);
                    colour = edge ? LOGO_EDGE : LOGO_BODY;
                }
                img.pixels[static_cast<size_t>(oy + y) * img.w + ox + x] =
                    static_cast<unsigned char>(colour);
            }
        }
    }
    return img;
}
