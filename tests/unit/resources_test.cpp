// The archive, the temporary file, the colour-map rows and the slicing of
// the glyph sheets, on archives the tests make themselves.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "intro/tulor.h"
#include "intro_archive.h"
#include "resources/archive.h"
#include "resources/colormaps.h"
#include "resources/directory.h"
#include "resources/paths.h"
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
    PALETTE logo_pal;
    IT_logo_palette(logo_pal);
    IT_put_member(archive.bytes, RES_INTRO_SOURCE, IT_make_logo(100), logo_pal);
    IT_put_member(archive.bytes, RES_INTRO_PATTERN, IT_make_pattern(true), logo_pal);
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
    // A FIFO or a folder in the archive's place is refused, never waited on.
    for (const auto make : {+[](const char *n) { return mkfifo(n, 0644); },
                            +[](const char *n) { return mkdir(n, 0755); }}) {
        unlink("res.dat");
        ASSERT_EQ(make("res.dat"), 0);
        EXPECT_EXIT(extract_resource("res.dat", 0, 10), ::testing::ExitedWithCode(1),
                    "res.dat: cannot open the archive \\(not a regular file\\)");
        rmdir("res.dat");
    }
}

// A temporary file that cannot be made in the working folder, though the
// folder is writable (a folder of that name in the way; root in /proc is
// another case), goes into a private folder, removed on the way out; only
// when that cannot be made either does the run stop, with a message.
TEST(Extract, ATemporaryFileThatCannotBeMadeHereGoesToAPrivateFolder)
{
    const std::string tmp = TT_enter_workdir(false) + "/tmp";
    TT_write_file("res.dat", "0123456789");
    mkdir("tempola.xyz", 0755);
    EXPECT_EXIT((setenv("TMPDIR", tmp.c_str(), 1), extract_resource("res.dat", 0, 4)),
                ::testing::ExitedWithCode(1), "tempola.xyz: cannot write the temporary file");
    mkdir(tmp.c_str(), 0755);
    EXPECT_EXIT(
        {
            setenv("TMPDIR", tmp.c_str(), 1);
            extract_resource("res.dat", 0, 4);
            const std::string path = ZE_temp_path();
            exit(path.starts_with(tmp + "/") && TT_read_file(path) == "0123" ? 0 : 2);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(rmdir(tmp.c_str()), 0) << "the private folder is left";
    EXPECT_EQ(rmdir("tempola.xyz"), 0) << "the folder in the way changed";
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
    unlink("res_2.dat");
    ASSERT_EQ(mkfifo("res_2.dat", 0644), 0);
    EXPECT_EXIT(ZE_read_color_maps(), ::testing::ExitedWithCode(1),
                "res_2.dat: cannot open the colour-map rows \\(not a regular file\\)");
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

// Damaged members, each refused before any loader reads it, in one line that
// names the archive, the member and what is wrong, and with status 1: never a
// crash, a read past a buffer or a division by zero later on.
namespace
{

void set16(std::string &b, size_t at, int value)
{
    b[at] = static_cast<char>(value & 255);
    b[at + 1] = static_cast<char>((value >> 8) & 255);
}

void set32be(std::string &b, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; i++) {
        b[at + i] = static_cast<char>((value >> (24 - 8 * i)) & 255);
    }
}

// tiny_song's one track starts at byte 22: 00 90 3C 64, 60 80 3C 00, 00 FF 2F 00.
constexpr size_t TRACK = 22;

// Puts `events` in place of the track's events and sets its length.
void set_track(std::string &b, const std::string &events)
{
    b.replace(TRACK, 12, events);
    set32be(b, TRACK - 4, static_cast<uint32_t>(events.size()));
}

struct damaged_member {
    const char *what;                   // as the message names the member
    res_member member;                  // where it lies
    bool intro;                         // read by the intro, not by ZE_load_resources
    void (*damage)(std::string &bytes); // the member's bytes, as long as its place
    const char *complaint;              // the message after "... at offset N "
};

const damaged_member DAMAGED[] = {
    // Sizes whose product wraps: the loader would write past its bitmap.
    {"picture", RES_PICTURE[3], false,
     [](std::string &b) { set16(b, 8, 0xFFFF), set16(b, 10, 0xFFFF); },
     "is not a PCX the demo can read: it claims 65536 x 65536 pixels, outside 1..4096 each way"},
    {"picture", RES_PICTURE[3], false,
     [](std::string &b) { b[65] = 3, set16(b, 8, 0xFFFF), set16(b, 10, 21845); },
     "is not a PCX the demo can read: it has 3 colour planes, not 1"},
    // No bytes a line: the loader would hand on a bitmap of nothing.
    {"picture", RES_PICTURE[3], false,
     [](std::string &b) { set16(b, 8, 0xFFFF), set16(b, 10, 0xFFFF), set16(b, 66, 0); },
     "is not a PCX the demo can read: it claims 65536 x 65536 pixels, outside 1..4096 each way"},
    {"picture", RES_PICTURE[3], false, [](std::string &b) { set16(b, 66, 0); },
     "is not a PCX the demo can read: its lines hold 0 bytes, fewer than its 320 pixels"},
    {"picture", RES_PICTURE[3], false, [](std::string &b) { set16(b, 66, 319); },
     "is not a PCX the demo can read: its lines hold 319 bytes, fewer than its 320 pixels"},
    {"picture", RES_PICTURE[3], false, [](std::string &b) { set16(b, 4, 10), set16(b, 8, 5); },
     "is not a PCX the demo can read: it claims -4 x 200 pixels, outside 1..4096 each way"},
    {"picture", RES_PICTURE[3], false, [](std::string &b) { set16(b, 6, 200); },
     "is not a PCX the demo can read: it claims 320 x 0 pixels, outside 1..4096 each way"},
    {"picture", RES_PICTURE[3], false, [](std::string &b) { set16(b, 8, 4096); },
     "is not a PCX the demo can read: it claims 4097 x 200 pixels, outside 1..4096 each way"},
    {"picture", RES_PICTURE[3], false, [](std::string &b) { b[3] = 4; },
     "is not a PCX the demo can read: it has 4 bits per pixel, not 8"},
    {"picture", RES_PICTURE[3], false, [](std::string &b) { b[3] = 1; },
     "is not a PCX the demo can read: it has 1 bits per pixel, not 8"},
    {"picture", RES_PICTURE[3], false, [](std::string &b) { b[3] = 24; },
     "is not a PCX the demo can read: it has 24 bits per pixel, not 8"},
    {"picture", RES_PICTURE[3], false, [](std::string &b) { b[0] = 'B', b[1] = 'M'; },
     "is not a PCX the demo can read: it does not begin as a run-length PCX does"},
    {"picture", RES_PICTURE[3], false, [](std::string &b) { b[2] = 0; },
     "is not a PCX the demo can read: it does not begin as a run-length PCX does"},
    // Cut short: what follows the cut is the place's zeros, one pixel each.
    {"picture", RES_PICTURE[3], false,
     [](std::string &b) { b.replace(300, b.size() - 300, b.size() - 300, '\0'); },
     "is not a PCX the demo can read: its pixels end in line 137"},
    // 4096 lines of runs of 8 to the very end: the last byte starts a run it
    // does not hold.
    {"picture", RES_PICTURE[3], false,
     [](std::string &b) {
         for (size_t i = 128; i < b.size(); i++) {
             b[i] = static_cast<char>(i % 2 == 0 ? 0xC8 : 1);
         }
         set16(b, 10, 4095);
     },
     "is not a PCX the demo can read: its pixels end in line 494"},
    // Line 0 is five runs of 63 and one of 5 (0xC5); make that one 15.
    {"picture", RES_PICTURE[3], false, [](std::string &b) { b[138] = static_cast<char>(0xCF); },
     "is not a PCX the demo can read: a run crosses the end of line 0"},
    // Picture 0's palette holds no 12 that could stand in for the mark.
    {"picture", RES_PICTURE[0], false, [](std::string &b) { b[b.find('\x0c', 128)] = 0; },
     "is not a PCX the demo can read: it has no 256-colour palette after its pixels"},
    {"picture", RES_PICTURE[0], false,
     [](std::string &b) {
         b[b.find('\x0c', 128)] = 0;
         b[b.size() - 700] = 12;
     },
     "is not a PCX the demo can read: its 256-colour palette is cut short"},
    {"picture", RES_PICTURE[3], false, [](std::string &b) { b.assign(b.size(), '\0'); },
     "is not a PCX the demo can read: it does not begin as a run-length PCX does"},
    // Readable, but too small for what is cut or sampled from it.
    {"logo glyph sheet", RES_LOGO_SHEET, false, [](std::string &b) { set16(b, 8, 199); },
     "is not an 8-bit PCX of at least 297x180"},
    {"scroller glyph sheet", RES_SCROLL_SHEET, false, [](std::string &b) { set16(b, 66, 0xFFFF); },
     "is not a PCX the demo can read: its pixels end in line 0"},
    {"intro logo picture", RES_INTRO_SOURCE, true,
     [](std::string &b) { set16(b, 8, 0xFFFF), set16(b, 10, 0xFFFF), set16(b, 66, 0); },
     "is not a PCX the demo can read: it claims 65536 x 65536 pixels, outside 1..4096 each way"},
    {"intro pattern sheet", RES_INTRO_PATTERN, true, [](std::string &b) { b[65] = 3; },
     "is not a PCX the demo can read: it has 3 colour planes, not 1"},
    // A bitmap over nothing for each reader: the field, the intro, the slicing.
    {"intro pattern sheet", RES_INTRO_PATTERN, true,
     [](std::string &b) { set16(b, 8, 0xFFFF), set16(b, 10, 0xFFFF), set16(b, 66, 0); },
     "is not a PCX the demo can read: it claims 65536 x 65536 pixels, outside 1..4096 each way"},
    {"scroller glyph sheet", RES_SCROLL_SHEET, false,
     [](std::string &b) { set16(b, 8, 0xFFFF), set16(b, 10, 0xFFFF), set16(b, 66, 0); },
     "is not a PCX the demo can read: it claims 65536 x 65536 pixels, outside 1..4096 each way"},

    // The song. The player divides by the ticks a beat.
    {"song", RES_SONG, false, [](std::string &b) { set16(b, 12, 0); },
     "is not a MIDI file the player can read: its beat has 0 ticks"},
    {"song", RES_SONG, false, [](std::string &b) { b[12] = static_cast<char>(0xE7), b[13] = 40; },
     "is not a MIDI file the player can read: its time is counted in frames, which the player does "
     "not read"},
    {"song", RES_SONG, false, [](std::string &b) { b.replace(0, 4, "RIFF"); },
     "is not a MIDI file the player can read: it does not begin with a MIDI header"},
    {"song", RES_SONG, false, [](std::string &b) { b[7] = 10; },
     "is not a MIDI file the player can read: its header is 10 bytes long, not 6"},
    {"song", RES_SONG, false, [](std::string &b) { b[9] = 2; },
     "is not a MIDI file the player can read: it is of type 2; the player reads types 0 and 1"},
    {"song", RES_SONG, false, [](std::string &b) { b[11] = 0; },
     "is not a MIDI file the player can read: it has 0 tracks; the player reads 1 to 32"},
    {"song", RES_SONG, false, [](std::string &b) { b[11] = 33; },
     "is not a MIDI file the player can read: it has 33 tracks; the player reads 1 to 32"},
    {"song", RES_SONG, false, [](std::string &b) { b[11] = 2; },
     "is not a MIDI file the player can read: track 1 does not begin at byte 34"},
    {"song", RES_SONG, false, [](std::string &b) { b[17] = 'x'; },
     "is not a MIDI file the player can read: track 0 does not begin at byte 14"},
    {"song", RES_SONG, false, [](std::string &b) { set32be(b, TRACK - 4, 0x7FFFFFFF); },
     "is not a MIDI file the player can read: track 0 is 2147483647 bytes long, past the end of "
     "the song"},
    {"song", RES_SONG, false, [](std::string &b) { set_track(b, ""); },
     "is not a MIDI file the player can read: track 0 ends without an end-of-track event"},
    {"song", RES_SONG, false,
     [](std::string &b) { set_track(b, std::string("\0\x90\x3c\x64\x60\x80\x3c\0", 8)); },
     "is not a MIDI file the player can read: track 0 ends without an end-of-track event"},
    {"song", RES_SONG, false,
     [](std::string &b) {
         set_track(b, std::string("\0\x90\x3c\x64\x60\x80\x3c\0\0\xff\x2f", 11));
     },
     "is not a MIDI file the player can read: track 0 has a length at byte 11 that does not end in "
     "4 bytes or in the track"},
    // Lengths past the track: the player would read on past it.
    {"song", RES_SONG, false,
     [](std::string &b) {
         b[TRACK + 1] = static_cast<char>(0xFF), b[TRACK + 2] = 6, b[TRACK + 3] = 0x50;
     },
     "is not a MIDI file the player can read: track 0 has an event at byte 1 whose 80 bytes run "
     "past the track"},
    {"song", RES_SONG, false,
     [](std::string &b) { b[TRACK + 1] = static_cast<char>(0xF0), b[TRACK + 2] = 0x50; },
     "is not a MIDI file the player can read: track 0 has an event at byte 1 whose 80 bytes run "
     "past the track"},
    {"song", RES_SONG, false,
     [](std::string &b) {
         set_track(b, std::string("\0\x90\x3c\x64\x60\x80\x3c\0\0\xff\x2f\x01\0", 13));
     },
     "is not a MIDI file the player can read: track 0 has an end-of-track event of 1 bytes"},
    {"song", RES_SONG, false, [](std::string &b) { set32be(b, TRACK - 4, 14); },
     "is not a MIDI file the player can read: track 0 goes on for 2 bytes after its end-of-track "
     "event"},
    {"song", RES_SONG, false,
     [](std::string &b) { b[TRACK + 1] = 0x3C, b[TRACK + 2] = 0x64, b[TRACK + 3] = 0; },
     "is not a MIDI file the player can read: track 0 has a data byte at byte 1 with no status "
     "before it"},
    {"song", RES_SONG, false, [](std::string &b) { b[TRACK + 2] = static_cast<char>(0xBC); },
     "is not a MIDI file the player can read: track 0 has a data byte above 127 at byte 2"},
    {"song", RES_SONG, false, [](std::string &b) { b[TRACK + 1] = static_cast<char>(0xF2); },
     "is not a MIDI file the player can read: track 0 has a status 0xF2 at byte 1 that no song may "
     "hold"},
    {"song", RES_SONG, false,
     [](std::string &b) { set_track(b, std::string("\0\xff\x51\x02\x07\xa1\0\xff\x2f\0", 10)); },
     "is not a MIDI file the player can read: track 0 has a tempo of 2 bytes, not 3, at byte 1"},
    {"song", RES_SONG, false,
     [](std::string &b) { set_track(b, std::string("\xff\xff\xff\xff\x7f\xff\x2f\0", 8)); },
     "is not a MIDI file the player can read: track 0 has a time at byte 4 that does not end in 4 "
     "bytes or in the track"},
    {"song", RES_SONG, false,
     [](std::string &b) { set_track(b, std::string("\0\xff\x2f\x80\x80\x80\x80", 7)); },
     "is not a MIDI file the player can read: track 0 has a length at byte 7 that does not end in "
     "4 bytes or in the track"},
    // Every track over at once: the looping player would start over without end.
    {"song", RES_SONG, false, [](std::string &b) { b[TRACK + 4] = 0; },
     "is not a MIDI file the player can read: it lasts no time at all"},
};

std::string regex_quoted(const std::string &text)
{
    std::string out;
    for (char c : text) {
        if (strchr(".[]()*+?{}|^$\\", c) != NULL) {
            out += '\\';
        }
        out += c;
    }
    return out;
}

} // namespace

TEST(LoadResources, DamagedMembersStopWithOneLine)
{
    TT_enter_workdir(false);
    write_test_data();
    const std::string sound = TT_read_file("res.dat");
    for (const damaged_member &d : DAMAGED) {
        SCOPED_TRACE(d.complaint);
        std::string member = sound.substr(d.member.offset, d.member.length);
        d.damage(member);
        member.resize(d.member.length, '\0');
        std::string archive = sound;
        archive.replace(d.member.offset, d.member.length, member);
        TT_write_file("res.dat", archive);
        const std::string line = "^tessera: res\\.dat: the " + regex_quoted(d.what) +
                                 " at offset " + std::to_string(d.member.offset) + " " +
                                 regex_quoted(d.complaint) + "\n$";
        if (d.intro) {
            EXPECT_EXIT(TU_read_source_graphic("tulor.pcx"), ::testing::ExitedWithCode(1), line);
        } else {
            EXPECT_EXIT(ZE_load_resources(), ::testing::ExitedWithCode(1), line);
        }
    }
    // The undamaged archive loads.
    TT_write_file("res.dat", sound);
    ZE_load_resources();
    TU_read_source_graphic("tulor.pcx");
}
