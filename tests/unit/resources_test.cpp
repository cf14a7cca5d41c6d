// The archive, the temporary file, the colour-map rows and the slicing of
// the glyph sheets, on archives the tests make themselves.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "resources/archive.h"
#include "resources/colormaps.h"
#include "resources/directory.h"
#include "support.h"

namespace
{

// The bytes of a PCX of `bmp`, as the library writes it.
std::string pcx_bytes(BITMAP *bmp, const RGB *pal)
{
    save_pcx("member.tmp", bmp, pal);
    std::string bytes = TT_read_file("member.tmp");
    remove("member.tmp");
    return bytes;
}

// A short song: one note.
std::string tiny_song(void)
{
    const unsigned char bytes[] = {'M', 'T', 'h', 'd',  0,   0,   0, 6,    0,    0,  0, 1,
                                   0,   96,  'M', 'T',  'r', 'k', 0, 0,    0,    12, 0, 0x90,
                                   60,  100, 96,  0x80, 60,  0,   0, 0xff, 0x2f, 0};
    return std::string(reinterpret_cast<const char *>(bytes), sizeof bytes);
}

// A glyph sheet whose pixels tell where they are (every row differs, and the
// columns change every 16 pixels so that the sheet still fits its member);
// the pixels that belong to no glyph hold 255, which appears nowhere else.
BITMAP *make_sheet(int w, int h, int cell_w, int cell_h, bool margin_first)
{
    BITMAP *sheet = create_bitmap(w, h);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            const bool spare = margin_first
                                   ? (x % cell_w == 0 || y % cell_h == 0)
                                   : (x % cell_w == cell_w - 1 || y % cell_h == cell_h - 1);
            sheet->line[y][x] =
                spare ? 255 : static_cast<unsigned char>(((x / 16) * 5 + y * 3) % 190 + 1);
        }
    }
    return sheet;
}

struct Archive {
    std::string bytes = std::string(RES_ARCHIVE_SIZE, '\0');
    void put(res_member m, const std::string &member)
    {
        ASSERT_LE(member.size(), static_cast<size_t>(m.length));
        bytes.replace(m.offset, member.size(), member);
    }
};

PALETTE test_pal;
BITMAP *scroll_sheet, *logo_sheet;

// A complete archive and rows file in the working directory; picture i is
// filled with colour 10 + i and has palette entry 1 = (i, i, i).
void write_test_data(void)
{
    Archive archive;
    for (int i = 0; i < RES_PICTURES; i++) {
        BITMAP *picture = create_bitmap(PICTURE_W, PICTURE_H);
        clear_to_color(picture, 10 + i);
        PALETTE pal = {};
        pal[1].r = pal[1].g = pal[1].b = static_cast<unsigned char>(i);
        archive.put(RES_PICTURE[i], pcx_bytes(picture, pal));
        destroy_bitmap(picture);
    }
    scroll_sheet = make_sheet(320, 120, SCROLL_CELL_W, SCROLL_CELL_H, false);
    logo_sheet = make_sheet(298, 181, LOGO_CELL_W, LOGO_CELL_H, true);
    archive.put(RES_SCROLL_SHEET, pcx_bytes(scroll_sheet, test_pal));
    archive.put(RES_LOGO_SHEET, pcx_bytes(logo_sheet, test_pal));
    archive.put(RES_SONG, tiny_song());
    // The gap belongs to no member.
    archive.bytes.replace(RES_GAP_OFFSET, RES_GAP_LENGTH, "\x0c\x0c\x0c");
    TT_write_file("res.dat", archive.bytes);

    std::string rows(RES_ROWS_SIZE, '\0');
    for (int i = 0; i < RES_ROWS_SIZE; i++) {
        rows[i] = static_cast<char>((i * 7 + i / 256) & 255);
    }
    TT_write_file("res_2.dat", rows);
}

bool same_pixels(BITMAP *glyph, BITMAP *sheet, int left, int top)
{
    for (int y = 0; y < glyph->h; y++) {
        for (int x = 0; x < glyph->w; x++) {
            if (glyph->line[y][x] != sheet->line[top + y][left + x]) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

TEST(Directory, MembersTileTheArchive)
{
    res_member all[] = {RES_SCROLL_SHEET,  RES_LOGO_SHEET, RES_PICTURE[0], RES_PICTURE[9],
                        RES_PICTURE[2],    RES_PICTURE[3], RES_PICTURE[4], RES_PICTURE[5],
                        RES_PICTURE[6],    RES_PICTURE[7], RES_PICTURE[8], RES_INTRO_SOURCE,
                        RES_INTRO_PATTERN, RES_PICTURE[1], RES_SONG};
    int32_t at = 0;
    for (const res_member &m : all) {
        if (at == RES_GAP_OFFSET) {
            at += RES_GAP_LENGTH;
        }
        EXPECT_EQ(m.offset, at);
        EXPECT_LE(m.length, RES_STAGING_SIZE);
        at = m.offset + m.length;
    }
    EXPECT_EQ(at, RES_ARCHIVE_SIZE);
}

TEST(Extract, ReplacesALongerTemporaryFileExactly)
{
    TT_enter_workdir(false);
    TT_write_file("res.dat", "0123456789abcdefghij");
    TT_write_file("tempola.xyz", std::string(5000, 'x'));
    extract_resource("res.dat", 3, 6);
    EXPECT_EQ(TT_read_file("tempola.xyz"), "345678");
    extract_resource("res.dat", 10, 0);
    EXPECT_EQ(TT_read_file("tempola.xyz"), "");
}

TEST(Extract, AMissingOrShortArchiveStopsWithAMessage)
{
    TT_enter_workdir(false);
    EXPECT_EXIT(extract_resource("res.dat", 0, 10), ::testing::ExitedWithCode(1),
                "res.dat: cannot open");
    TT_write_file("res.dat", "short");
    EXPECT_EXIT(extract_resource("res.dat", 2, 10), ::testing::ExitedWithCode(1),
                "res.dat: the archive ends inside the member at offset 2");
}

TEST(Extract, AnUnwritableTemporaryFileStopsWithAMessage)
{
    TT_enter_workdir(false);
    TT_write_file("res.dat", "0123456789");
    mkdir("tempola.xyz", 0755);
    EXPECT_EXIT(extract_resource("res.dat", 0, 4), ::testing::ExitedWithCode(1),
                "tempola.xyz: cannot write");
}

TEST(ColourMaps, RowsFileFillsItsSixtyRowsInGroupOrder)
{
    TT_enter_workdir(false);
    write_test_data();
    ZE_read_color_maps();
    auto value = [](int offset) { return (offset * 7 + offset / 256) & 255; };
    EXPECT_EQ(lights_1.data[103][0], value(0));
    EXPECT_EQ(lights_2.data[103][0], value(6));
    EXPECT_EQ(lights_1.data[103][1], value(60));
    EXPECT_EQ(shadows_10.data[225][255], value(15359));
    const int rows[6] = {103, 176, 75, 130, 175, 225};
    for (int j = 0; j < 256; j++) {
        for (int n = 0; n < RES_PICTURES; n++) {
            for (int k = 0; k < 6; k++) {
                COLOR_MAP *map = k < 2 ? ZE_light_maps[n] : ZE_shadow_maps[n];
                ASSERT_EQ(map->data[rows[k]][j], value(60 * j + 6 * n + k));
            }
        }
    }
    for (int n = 0; n < RES_PICTURES; n++) {
        for (int j = 0; j < 256; j++) {
            ASSERT_EQ(ZE_light_maps[n]->data[1][j], 0);
            ASSERT_EQ(ZE_shadow_maps[n]->data[255][j], 0);
        }
    }
}

TEST(ColourMaps, ALongerFileReadsAsItsFirst15360Bytes)
{
    TT_enter_workdir(false);
    write_test_data();
    TT_write_file("res_2.dat", TT_read_file("res_2.dat") + std::string(100, '\x77'));
    ZE_read_color_maps();
    EXPECT_EQ(shadows_10.data[225][255], (15359 * 7 + 15359 / 256) & 255);
}

TEST(ColourMaps, AMissingOrShortRowsFileStopsWithAMessage)
{
    TT_enter_workdir(false);
    EXPECT_EXIT(ZE_read_color_maps(), ::testing::ExitedWithCode(1), "res_2.dat: cannot open");
    TT_write_file("res_2.dat", std::string(15359, '\0'));
    EXPECT_EXIT(ZE_read_color_maps(), ::testing::ExitedWithCode(1),
                "res_2.dat: shorter than 15360 bytes");
}

TEST(LoadResources, LoadsEveryMemberIntoItsPlace)
{
    TT_enter_workdir(false);
    write_test_data();
    ZE_load_resources();

    for (int i = 0; i < RES_PICTURES; i++) {
        ASSERT_NE(iso_backs[i], nullptr);
        EXPECT_EQ(iso_backs[i]->w, PICTURE_W);
        EXPECT_EQ(iso_backs[i]->line[100][100], 10 + i) << "picture " << i;
        EXPECT_EQ(iso_pal[i][1].r, i) << "palette " << i;
        EXPECT_EQ(_shadows[i], ZE_shadow_maps[i]);
        EXPECT_EQ(_lights[i], ZE_light_maps[i]);
        for (int k = 0; k < 256; k++) {
            ASSERT_EQ(_shadows[i]->data[0][k], k);
            ASSERT_EQ(_lights[i]->data[0][k], k);
        }
    }
    EXPECT_EQ(&shadows_1, _shadows[0]);
    EXPECT_EQ(&lights_10, _lights[9]);
    ASSERT_NE(muzak, nullptr);
    // The song's copy stays behind until the intro loads its own members.
    EXPECT_EQ(TT_read_file("tempola.xyz").size(), static_cast<size_t>(RES_SONG.length));
}

TEST(LoadResources, GlyphsAreCutFromTheirCells)
{
    TT_enter_workdir(false);
    write_test_data();
    ZE_load_resources();

    for (int g = 0; g < SCROLL_GLYPHS; g++) {
        ASSERT_EQ(scrollie[g]->w, 31);
        ASSERT_EQ(scrollie[g]->h, 19);
        ASSERT_TRUE(same_pixels(scrollie[g], scroll_sheet, 32 * (g % 10), 20 * (g / 10))) << g;
    }
    EXPECT_TRUE(same_pixels(scrollie[59], scroll_sheet, 288, 100));
    for (int g = 0; g < LOGO_GLYPHS; g++) {
        ASSERT_EQ(logo[g]->w, 32);
        ASSERT_EQ(logo[g]->h, 29);
        ASSERT_TRUE(same_pixels(logo[g], logo_sheet, 1 + 33 * (g % 9), 1 + 30 * (g / 9))) << g;
    }
    EXPECT_TRUE(same_pixels(logo[53], logo_sheet, 265, 151));
    // The spare column and row of every cell appear in no glyph.
    for (BITMAP *glyph : scrollie) {
        for (int y = 0; y < glyph->h; y++) {
            for (int x = 0; x < glyph->w; x++) {
                ASSERT_NE(glyph->line[y][x], 255);
            }
        }
    }
    for (BITMAP *glyph : logo) {
        for (int y = 0; y < glyph->h; y++) {
            for (int x = 0; x < glyph->w; x++) {
                ASSERT_NE(glyph->line[y][x], 255);
            }
        }
    }
}

TEST(LoadResources, AMemberThatIsNotAPictureStopsWithAMessage)
{
    TT_enter_workdir(false);
    write_test_data();
    std::string archive = TT_read_file("res.dat");
    archive.replace(RES_PICTURE[3].offset, 4, "\x0a\x05\x01\x04"); // 4 bits per pixel
    TT_write_file("res.dat", archive);
    EXPECT_EXIT(ZE_load_resources(), ::testing::ExitedWithCode(1),
                "res.dat: the picture at offset 143070 is not an 8-bit PCX of at least 305x194");
}

TEST(LoadResources, ASmallGlyphSheetStopsWithAMessage)
{
    TT_enter_workdir(false);
    write_test_data();
    std::string archive = TT_read_file("res.dat");
    BITMAP *small = create_bitmap(200, 120);
    clear_bitmap(small);
    std::string member = pcx_bytes(small, test_pal);
    archive.replace(RES_LOGO_SHEET.offset, member.size(), member);
    TT_write_file("res.dat", archive);
    EXPECT_EXIT(ZE_load_resources(), ::testing::ExitedWithCode(1), "logo glyph sheet");
}

TEST(LoadResources, ASongThatIsNotMidiStopsWithAMessage)
{
    TT_enter_workdir(false);
    write_test_data();
    std::string archive = TT_read_file("res.dat");
    archive.replace(RES_SONG.offset, 4, "RIFF");
    TT_write_file("res.dat", archive);
    EXPECT_EXIT(ZE_load_resources(), ::testing::ExitedWithCode(1), "not a MIDI file");
}
