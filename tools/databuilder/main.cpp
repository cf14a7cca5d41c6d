// The data builder: draws every picture, glyph sheet and intro member,
// composes the song, and writes the archive res.dat and the colour-map rows
// res_2.dat into a directory. The same arguments always give the same bytes.
//
//   databuilder [--variant N] [--contact-sheet PATH] DIR
//   databuilder --icons DIR
//
// Variant 0 is the release data, variant 1 a differently drawn set for the
// tests. A picture of every member goes to contact-sheet.png in the current
// directory, or to PATH; an empty PATH writes none. --icons writes only the
// program's icons, made from the release data's title logo.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "db.h"
#include "resources/directory.h"
#include "song.h"

// Pictures must show at least this many colours where the tiles sample them.
static const int MIN_FIELD_COLOURS = 96;
static const int FIELD_X0 = 11, FIELD_X1 = 304, FIELD_Y0 = 4, FIELD_Y1 = 193;

static void usage(void)
{
    fprintf(stderr, "usage: databuilder [--variant 0|1] [--contact-sheet PATH] DIR\n"
                    "       databuilder --icons DIR\n");
    exit(2);
}

static void write_file(const std::string &path, const std::vector<unsigned char> &bytes)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (f == nullptr) {
        DB_fail("cannot create %s", path.c_str());
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (fclose(f) != 0 || !ok) {
        DB_fail("cannot write %s", path.c_str());
    }
}

// Puts a member's bytes at its place, after checking they fill it exactly.
static void place(std::vector<unsigned char> &archive, res_member m,
                  const std::vector<unsigned char> &bytes, const char *name)
{
    if (bytes.size() != static_cast<size_t>(m.length)) {
        DB_fail("%s is %zu bytes, its place holds %d", name, bytes.size(), (int)m.length);
    }
    std::copy(bytes.begin(), bytes.end(), archive.begin() + m.offset);
}

static std::vector<unsigned char> pcx_member(const db_image &img, res_member m, const char *name)
{
    std::vector<unsigned char> pcx = DB_encode_pcx(img);
    if (!DB_pad_pcx(pcx, static_cast<size_t>(m.length))) {
        DB_fail("%s takes %zu bytes, more than its %d", name, pcx.size(), (int)m.length);
    }
    return pcx;
}

static int field_colours(const db_image &img)
{
    bool seen[256] = {false};
    int n = 0;
    for (int y = FIELD_Y0; y <= FIELD_Y1; y++) {
        for (int x = FIELD_X0; x <= FIELD_X1; x++) {
            unsigned char c = img.pixels[static_cast<size_t>(y) * img.w + x];
            n += !seen[c];
            seen[c] = true;
        }
    }
    return n;
}

int main(int argc, char **argv)
{
    std::string dir, sheet_path = "contact-sheet.png";
    if (argc == 3 && strcmp(argv[1], "--icons") == 0) {
        DB_write_icons(argv[2]);
        return 0;
    }
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--variant") == 0 && i + 1 < argc) {
            std::string v = argv[++i];
            if (v != "0" && v != "1") {
                usage();
            }
            db_variant = v[0] - '0';
        } else if (strcmp(argv[i], "--contact-sheet") == 0 && i + 1 < argc) {
            sheet_path = argv[++i];
        } else if (argv[i][0] == '-' || !dir.empty()) {
            usage();
        } else {
            dir = argv[i];
        }
    }
    if (dir.empty()) {
        usage();
    }

    std::vector<unsigned char> archive(RES_ARCHIVE_SIZE, 0);
    std::vector<unsigned char> rows(RES_ROWS_SIZE, 0);
    std::vector<db_image> pictures(RES_PICTURES);
    for (int n = 0; n < RES_PICTURES; n++) {
        char name[32];
        snprintf(name, sizeof name, "picture %d", n);
        db_col tint;
        db_canvas cv = DB_draw_picture(n, &tint);
        pictures[n] = DB_fit_picture(cv, tint, static_cast<size_t>(RES_PICTURE[n].length), name);
        int colours = field_colours(pictures[n]);
        if (colours < MIN_FIELD_COLOURS) {
            DB_fail("%s shows only %d colours in the field", name, colours);
        }
        place(archive, RES_PICTURE[n], pcx_member(pictures[n], RES_PICTURE[n], name), name);

        // Block n + 1 of every 60-byte group holds this picture's six rows.
        unsigned char block[ROWS_BLOCK][256];
        DB_color_rows(pictures[n].pal, block);
        for (int j = 0; j < 256; j++) {
            for (int k = 0; k < ROWS_BLOCK; k++) {
                rows[static_cast<size_t>(j) * RES_PICTURES * ROWS_BLOCK + n * ROWS_BLOCK + k] =
                    block[k][j];
            }
        }
    }

    db_image scroll = DB_scroll_sheet(), logo = DB_logo_sheet();
    db_image intro = DB_intro_source(), pattern = DB_intro_pattern();
    place(archive, RES_SCROLL_SHEET, pcx_member(scroll, RES_SCROLL_SHEET, "scroller sheet"),
          "scroller sheet");
    place(archive, RES_LOGO_SHEET, pcx_member(logo, RES_LOGO_SHEET, "logo sheet"), "logo sheet");
    place(archive, RES_INTRO_SOURCE, pcx_member(intro, RES_INTRO_SOURCE, "intro logo"),
          "intro logo");
    place(archive, RES_INTRO_PATTERN, pcx_member(pattern, RES_INTRO_PATTERN, "intro pattern"),
          "intro pattern");
    place(archive, RES_SONG, DB_build_song(), "song");

    write_file(dir + "/" + RES_ARCHIVE_NAME, archive);
    write_file(dir + "/" + RES_ROWS_NAME, rows);

    if (!sheet_path.empty()) {
        std::vector<const db_image *> shown;
        for (const db_image &p : pictures) {
            shown.push_back(&p);
        }
        DB_contact_sheet(sheet_path, shown, scroll, logo, intro, pattern);
    }
    return 0;
}
