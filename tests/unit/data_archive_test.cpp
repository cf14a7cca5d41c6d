// The built archive read back the way the program reads it, and its members
// checked byte by byte against what the library's PCX loader expects.
#include <allegro.h>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "data_checks.h"
#include "driver/startup.h"
#include "resources/archive.h"
#include "resources/directory.h"
#include "capture.h"
#include "support.h"

static const res_member PCX_MEMBERS[] = {
    RES_SCROLL_SHEET, RES_LOGO_SHEET, RES_PICTURE[0],   RES_PICTURE[1],    RES_PICTURE[2],
    RES_PICTURE[3],   RES_PICTURE[4], RES_PICTURE[5],   RES_PICTURE[6],    RES_PICTURE[7],
    RES_PICTURE[8],   RES_PICTURE[9], RES_INTRO_SOURCE, RES_INTRO_PATTERN,
};

TEST(DataArchive, FilesHaveTheirExactSizes)
{
    EXPECT_EQ(TT_read_file(std::string(TESSERA_DATA_DIR) + "/res.dat").size(),
              static_cast<size_t>(RES_ARCHIVE_SIZE));
    EXPECT_EQ(TT_read_file(std::string(TESSERA_DATA_DIR) + "/res_2.dat").size(),
              static_cast<size_t>(RES_ROWS_SIZE));
}

TEST(DataArchive, EveryMemberLoadsAndMeetsTheConventions)
{
    TT_start_without_screen();
    DT_check_loaded_set();
    // Ten different pictures, not one drawn ten times.
    for (int i = 0; i < RES_PICTURES; i++) {
        for (int j = i + 1; j < RES_PICTURES; j++) {
            EXPECT_NE(CP_pixel_checksum(iso_backs[i]), CP_pixel_checksum(iso_backs[j]))
                << i << " " << j;
            EXPECT_NE(CP_palette_checksum(iso_pal[i]), CP_palette_checksum(iso_pal[j]))
                << i << " " << j;
        }
    }
    // The song's copy is what the temporary file holds afterwards.
    EXPECT_EQ(TT_read_file(RES_TEMP_NAME).size(), static_cast<size_t>(RES_SONG.length));
    EXPECT_EQ(TT_read_file(RES_TEMP_NAME).substr(0, 4), "MThd");
}

// What a PCX member holds, decoded independently of the library.
struct decoded_pcx {
    int w = 0, h = 0;
    std::vector<unsigned char> pixels;
    size_t data_end = 0; // first byte after the image data
    std::string error;
};

static int le16(const std::string &b, size_t at)
{
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

static decoded_pcx decode(const std::string &b)
{
    decoded_pcx d;
    if (b.size() < 128 + 769 || b[0] != 10 || b[2] != 1 || b[3] != 8 || b[65] != 1) {
        d.error = "not an 8-bit, one-plane, run-length PCX";
        return d;
    }
    d.w = le16(b, 8) - le16(b, 4) + 1;
    d.h = le16(b, 10) - le16(b, 6) + 1;
    int per_line = le16(b, 66);
    if (per_line < d.w || per_line % 2 != 0) {
        d.error = "bad bytes per line";
        return d;
    }
    size_t at = 128;
    for (int y = 0; y < d.h; y++) {
        int x = 0;
        while (x < per_line) {
            if (at + 1 >= b.size()) {
                d.error = "image data runs off the end";
                return d;
            }
            unsigned char c = static_cast<unsigned char>(b[at++]);
            int run = 1;
            if ((c & 0xC0) == 0xC0) {
                run = c & 0x3F;
                c = static_cast<unsigned char>(b[at++]);
            }
            if (x + run > per_line) {
                d.error = "a run crosses the end of scanline " + std::to_string(y);
                return d;
            }
            for (int k = 0; k < run; k++, x++) {
                if (x < d.w) {
                    d.pixels.push_back(c);
                }
            }
        }
    }
    d.data_end = at;
    return d;
}

TEST(DataArchive, PcxMembersKeepTheirPaletteBehindPaddingTheLoaderSkips)
{
    TT_enter_workdir(true);
    const std::string archive = TT_read_file(RES_ARCHIVE_NAME);
    for (const res_member &m : PCX_MEMBERS) {
        SCOPED_TRACE("member at " + std::to_string(m.offset));
        const std::string member = archive.substr(m.offset, m.length);
        decoded_pcx d = decode(member);
        ASSERT_EQ(d.error, "");
        const size_t marker = member.size() - 769;
        ASSERT_LE(d.data_end, marker);
        EXPECT_EQ(member[marker], 12);
        // The loader takes the first 12 after the image data as the marker.
        EXPECT_EQ(member.find('\x0c', d.data_end), marker);

        // The library reads the same pixels and the palette behind the marker...
        extract_resource(RES_ARCHIVE_NAME, m.offset, m.length);
        PALETTE pal;
        BITMAP *bmp = load_pcx(RES_TEMP_NAME, pal);
        ASSERT_NE(bmp, nullptr);
        ASSERT_EQ(bmp->w, d.w);
        ASSERT_EQ(bmp->h, d.h);
        for (int y = 0; y < d.h; y++) {
            for (int x = 0; x < d.w; x++) {
                ASSERT_EQ(bmp->line[y][x], d.pixels[static_cast<size_t>(y) * d.w + x]);
            }
        }
        for (int i = 0; i < PAL_SIZE; i++) {
            ASSERT_EQ(pal[i].r, static_cast<unsigned char>(member[marker + 1 + 3 * i]) / 4);
            ASSERT_EQ(pal[i].g, static_cast<unsigned char>(member[marker + 2 + 3 * i]) / 4);
            ASSERT_EQ(pal[i].b, static_cast<unsigned char>(member[marker + 3 + 3 * i]) / 4);
        }

        // ...and exactly what it reads from the file without the padding.
        TT_write_file("unpadded.pcx", member.substr(0, d.data_end) + member.substr(marker));
        PALETTE bare_pal;
        BITMAP *bare = load_pcx("unpadded.pcx", bare_pal);
        ASSERT_NE(bare, nullptr);
        EXPECT_EQ(CP_pixel_checksum(bare), CP_pixel_checksum(bmp));
        EXPECT_EQ(CP_palette_checksum(bare_pal), CP_palette_checksum(pal));
        destroy_bitmap(bare);
        destroy_bitmap(bmp);
    }
}

TEST(DataArchive, GlyphSheetsKeepTheirCellBordersEmpty)
{
    // Pixels outside the glyph rectangles are never sliced out: a glyph that
    // reached them would be cut short on screen.
    TT_enter_workdir(true);
    PALETTE pal;
    extract_resource(RES_ARCHIVE_NAME, RES_SCROLL_SHEET.offset, RES_SCROLL_SHEET.length);
    BITMAP *sheet = load_pcx(RES_TEMP_NAME, pal);
    ASSERT_NE(sheet, nullptr);
    for (int y = 0; y < sheet->h; y++) {
        for (int x = 0; x < sheet->w; x++) {
            if (x % SCROLL_CELL_W == SCROLL_GLYPH_W || y % SCROLL_CELL_H == SCROLL_GLYPH_H) {
                ASSERT_EQ(sheet->line[y][x], 0) << x << "," << y;
            }
        }
    }
    destroy_bitmap(sheet);

    extract_resource(RES_ARCHIVE_NAME, RES_LOGO_SHEET.offset, RES_LOGO_SHEET.length);
    sheet = load_pcx(RES_TEMP_NAME, pal);
    ASSERT_NE(sheet, nullptr);
    for (int y = 0; y < sheet->h; y++) {
        for (int x = 0; x < sheet->w; x++) {
            if (x % LOGO_CELL_W == 0 || y % LOGO_CELL_H == 0 ||
                x >= LOGO_CELL_W * LOGO_SHEET_COLS) {
                ASSERT_EQ(sheet->line[y][x], 0) << x << "," << y;
            }
        }
    }
    destroy_bitmap(sheet);
}

TEST(DataArchive, ScrollerGlyphsAreAllDifferent)
{
    TT_start_without_screen();
    for (const char *p = DT_SHOWN_CHARS; *p; p++) {
        for (const char *q = p + 1; *q; q++) {
            EXPECT_NE(CP_pixel_checksum(scrollie[DT_scroll_glyph(*p)]),
                      CP_pixel_checksum(scrollie[DT_scroll_glyph(*q)]))
                << "'" << *p << "' and '" << *q << "'";
        }
    }
}
